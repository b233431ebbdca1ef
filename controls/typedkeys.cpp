// SPDX-License-Identifier: MIT
#include "controls/typedkeys.h"

#include <QKeyEvent>
#include <algorithm>

namespace TypedKeys
{

QChar ControlCharacterOfKey(int key)
{
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QChar(kEnter);
    case Qt::Key_Escape:
        return QChar(kEscape);
    case Qt::Key_Backspace:
        return QChar(kBackspace);
    default:
        return {};
    }
}

int KeyOfControlCharacter(QChar c)
{
    switch (c.unicode()) {
    case kEnter:
        return Qt::Key_Return;
    case kEscape:
        return Qt::Key_Escape;
    case kBackspace:
        return Qt::Key_Backspace;
    default:
        return 0;
    }
}

QString TypedCharacters(const QKeyEvent *event)
{
    const QChar control = ControlCharacterOfKey(event->key());
    if (!control.isNull())
        return QString(control);
    const Qt::KeyboardModifiers chord =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (chord != Qt::NoModifier && chord != (Qt::ControlModifier | Qt::AltModifier))
        return {};
    const QString text = event->text();
    if (!std::all_of(text.begin(), text.end(), [](QChar c) { return c.isPrint(); }))
        return {};
    return text;
}

} // namespace TypedKeys
