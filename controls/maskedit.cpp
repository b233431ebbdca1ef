// SPDX-License-Identifier: MIT
#include "controls/maskedit.h"

#include "controls/typedkeys.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScopedValueRollback>

namespace
{

using namespace TypedKeys;

// Focus that leaves and comes back with the window or a popup does not enter or leave the input.
bool isComeback(Qt::FocusReason reason)
{
    return reason == Qt::ActiveWindowFocusReason || reason == Qt::PopupFocusReason ||
           reason == Qt::MenuBarFocusReason;
}

} // namespace

MaskEdit::MaskEdit(QWidget *parent) : MaskEdit(QString(), parent) {}

MaskEdit::MaskEdit(const QString &editMask, QWidget *parent) : QLineEdit(parent)
{
    connect(this, &QLineEdit::textChanged, this, &MaskEdit::baseTextChanged);
    connect(this, &QLineEdit::cursorPositionChanged, this, &MaskEdit::takeViewSelection);
    connect(this, &QLineEdit::selectionChanged, this, &MaskEdit::takeViewSelection);
    setEditMask(editMask);
}

void MaskEdit::setEditMask(const QString &mask)
{
    m_engine.setMask(mask);
    // Dropped text would bypass the mask.
    setAcceptDrops(!masked());
    if (masked())
        showEngine();
    else
        QLineEdit::clear();
    if (!hasFocus())
        m_entryText = maskedText();
    notifyIfChanged();
}

QString MaskEdit::maskedText() const
{
    return masked() ? m_engine.text() : QLineEdit::text();
}

void MaskEdit::setMaskedText(const QString &text)
{
    if (!masked())
        QLineEdit::setText(text);
    else if (m_engine.setText(text))
        showEngine();
    if (!hasFocus())
        m_entryText = maskedText();
    notifyIfChanged();
}

void MaskEdit::clear()
{
    setMaskedText(QString());
}

void MaskEdit::copy() const
{
    if (!masked()) {
        QLineEdit::copy();
        return;
    }
    if (m_engine.hasSelection() && echoMode() == QLineEdit::Normal)
        QGuiApplication::clipboard()->setText(m_engine.selectedText());
}

void MaskEdit::cut()
{
    if (!masked()) {
        QLineEdit::cut();
        return;
    }
    if (isReadOnly() || !m_engine.hasSelection())
        return;
    copy();
    finish({m_engine.removeSelection(), false});
}

void MaskEdit::paste()
{
    if (!masked()) {
        QLineEdit::paste();
        return;
    }
    pasteText(QGuiApplication::clipboard()->text());
}

bool MaskEdit::event(QEvent *event)
{
    // Escape is the input's own key (restore); no window shortcut or dialog may take it.
    if (event->type() == QEvent::ShortcutOverride && masked() &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void MaskEdit::keyPressEvent(QKeyEvent *event)
{
    if (!masked()) {
        plainKeyPress(event);
        return;
    }
    if (runCommandKey(event)) {
        event->accept();
        return;
    }
    const QString keys = TypedCharacters(event);
    if (keys.isEmpty()) {
        event->ignore();
        return;
    }
    bool used = true;
    for (const QChar c : keys)
        used = typeKey(c) && used;
    event->setAccepted(used);
}

void MaskEdit::inputMethodEvent(QInputMethodEvent *event)
{
    if (!masked()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    const QString committed = event->commitString();
    for (const QChar c : committed) {
        if (c.isPrint())
            typeKey(c);
    }
    event->accept();
}

void MaskEdit::focusInEvent(QFocusEvent *event)
{
    const Qt::FocusReason reason = event->reason();
    const bool entry = !isComeback(reason) || !m_inside;
    const bool selectAllNow = entry && m_autoSelect && reason != Qt::MouseFocusReason;
    const int cursor = QLineEdit::cursorPosition();
    const int start = selectionStart();
    const int length = selectionLength();
    {
        // The line edit selects on Tab by itself; which selection the input gets is decided here.
        QScopedValueRollback guard(m_syncing, true);
        QLineEdit::focusInEvent(event);
    }
    m_inside = true;
    if (entry)
        m_entryText = maskedText();
    if (masked()) {
        if (selectAllNow)
            m_engine.selectAll();
        showEngine();
    } else if (selectAllNow) {
        QLineEdit::selectAll();
    } else if (length > 0) {
        setSelection(start, length);
    } else {
        QLineEdit::setCursorPosition(cursor);
    }
    if (entry)
        emit entered();
}

void MaskEdit::focusOutEvent(QFocusEvent *event)
{
    QLineEdit::focusOutEvent(event);
    if (!isComeback(event->reason()) && m_inside) {
        m_inside = false;
        emit exited();
    }
}

void MaskEdit::mouseReleaseEvent(QMouseEvent *event)
{
    // The middle button pastes the mouse selection; through the mask like any paste.
    if (masked() && event->button() == Qt::MiddleButton &&
        QGuiApplication::clipboard()->supportsSelection()) {
        const QPoint at = event->position().toPoint();
        if (!isReadOnly() && rect().contains(at)) {
            m_engine.setCursorPosition(cursorPositionAt(at));
            pasteText(QGuiApplication::clipboard()->text(QClipboard::Selection));
        }
        event->accept();
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void MaskEdit::contextMenuEvent(QContextMenuEvent *event)
{
    if (!masked()) {
        QLineEdit::contextMenuEvent(event);
        return;
    }
    // The line edit's own menu edits its text directly; this one goes through the mask.
    const bool editable = !isReadOnly();
    const bool selected = m_engine.hasSelection();
    QMenu menu(this);
    const auto add = [&](const QString &caption, QKeySequence::StandardKey key, bool enabled,
                         auto run) {
        QAction *action = menu.addAction(caption + QLatin1Char('\t') +
                                         QKeySequence(key).toString(QKeySequence::NativeText));
        action->setEnabled(enabled);
        connect(action, &QAction::triggered, this, run);
    };
    add(QStringLiteral("Recor&tar"), QKeySequence::Cut, editable && selected, [this] { cut(); });
    add(QStringLiteral("&Copiar"), QKeySequence::Copy, selected, [this] { copy(); });
    add(QStringLiteral("Co&lar"), QKeySequence::Paste,
        editable && !QGuiApplication::clipboard()->text().isEmpty(), [this] { paste(); });
    add(QStringLiteral("E&xcluir"), QKeySequence::Delete, editable && selected, [this] {
        finish({m_engine.removeSelection(), false});
    });
    menu.addSeparator();
    add(QStringLiteral("Selecionar &tudo"), QKeySequence::SelectAll, true, [this] {
        m_engine.selectAll();
        showEngine();
    });
    menu.exec(event->globalPos());
    event->accept();
}

void MaskEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    const int position = m_engine.cursorPosition();
    if (!masked() || !hasFocus() || m_engine.hasSelection() || position >= m_engine.length())
        return;
    // Typing overwrites: the position the caret stands on is marked as a block.
    const QRect caret = cursorRect();
    const int width = fontMetrics().horizontalAdvance(QLineEdit::text().at(position));
    QColor mark = palette().color(QPalette::Highlight);
    mark.setAlpha(96);
    QPainter painter(this);
    painter.fillRect(QRect(caret.center().x(), caret.top(), width, caret.height()), mark);
}

bool MaskEdit::runCommandKey(QKeyEvent *event)
{
    if (event == QKeySequence::Copy) {
        copy();
        return true;
    }
    if (event == QKeySequence::Cut) {
        cut();
        return true;
    }
    if (event == QKeySequence::Paste) {
        paste();
        return true;
    }
    if (event == QKeySequence::SelectAll) {
        m_engine.selectAll();
        showEngine();
        return true;
    }
    // Overwriting in place leaves nothing to undo; the keys are taken so they do nothing else.
    if (event == QKeySequence::Undo || event == QKeySequence::Redo)
        return true;

    const bool mark = event->modifiers() & Qt::ShiftModifier;
    switch (event->key()) {
    case Qt::Key_Left:
        m_engine.cursorBackward(mark);
        break;
    case Qt::Key_Right:
        m_engine.cursorForward(mark);
        break;
    case Qt::Key_Home:
        m_engine.home(mark);
        break;
    case Qt::Key_End:
        m_engine.end(mark);
        break;
    case Qt::Key_Delete:
        if (!isReadOnly())
            finish({m_engine.deleteForward(), false});
        return true;
    default:
        return false;
    }
    showEngine();
    return true;
}

// One typed character: the key handler first, then the mask. Returns false when the key is to
// go on to the parent (Enter not taken by the handler, control characters).
bool MaskEdit::typeKey(QChar key)
{
    if (m_keyPress)
        m_keyPress(key);
    if (key.isNull())
        return true;
    switch (key.unicode()) {
    case kEnter:
        emit returnPressed();
        return false;
    case kEscape:
        restoreEntryText();
        return true;
    case kBackspace:
        if (!isReadOnly())
            finish({m_engine.backspace(), false});
        return true;
    default:
        break;
    }
    if (!key.isPrint())
        return false;
    if (!isReadOnly())
        finish(m_engine.type(key));
    return true;
}

void MaskEdit::plainKeyPress(QKeyEvent *event)
{
    const QString keys = TypedCharacters(event);
    if (keys.isEmpty() || !m_keyPress) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    if (keys.size() > 1) {
        QString kept;
        for (QChar key : keys) {
            m_keyPress(key);
            if (key.isPrint())
                kept += key;
        }
        if (!isReadOnly() && !kept.isEmpty())
            insert(kept);
        event->accept();
        return;
    }
    const QChar typed = keys.at(0);
    QChar key = typed;
    m_keyPress(key);
    if (key.isNull()) {
        event->accept();
    } else if (key == typed) {
        QLineEdit::keyPressEvent(event);
    } else if (key.isPrint()) {
        if (!isReadOnly())
            insert(QString(key));
        event->accept();
    } else if (const int code = KeyOfControlCharacter(key); code != 0) {
        QKeyEvent changed(QEvent::KeyPress, code, Qt::NoModifier, QString(key));
        QLineEdit::keyPressEvent(&changed);
        event->setAccepted(changed.isAccepted());
    } else {
        event->ignore();
    }
}

void MaskEdit::pasteText(const QString &text)
{
    if (isReadOnly())
        return;
    bool refused = false;
    for (const QChar c : text) {
        if (!c.isPrint())
            continue;
        QChar key = c;
        if (m_keyPress)
            m_keyPress(key);
        if (key.isNull() || !key.isPrint())
            continue;
        refused |= m_engine.type(key, MaskEngine::Source::Paste).refused;
    }
    // One beep for a paste, however many characters it lost.
    finish({false, refused});
}

void MaskEdit::restoreEntryText()
{
    if (isReadOnly())
        return;
    m_engine.setText(m_entryText);
    m_engine.selectAll();
    finish({});
}

void MaskEdit::finish(MaskEngine::Outcome outcome)
{
    if (outcome.refused)
        beep();
    showEngine();
    notifyIfChanged();
}

void MaskEdit::beep()
{
    if (m_beep)
        m_beep();
    else
        QApplication::beep();
}

void MaskEdit::showEngine()
{
    QScopedValueRollback guard(m_syncing, true);
    const QString shown = m_engine.displayText();
    if (QLineEdit::text() != shown)
        QLineEdit::setText(shown);
    if (m_engine.hasSelection()) {
        setSelection(m_engine.anchor(), m_engine.cursorPosition() - m_engine.anchor());
    } else {
        deselect();
        QLineEdit::setCursorPosition(m_engine.cursorPosition());
    }
    update();
}

// The caret or selection moved in the line edit itself (mouse, base-class calls).
void MaskEdit::takeViewSelection()
{
    if (m_syncing || !masked())
        return;
    const int cursor = QLineEdit::cursorPosition();
    int anchor = cursor;
    if (hasSelectedText()) {
        const int start = selectionStart();
        const int end = start + selectionLength();
        anchor = cursor == start ? end : start;
    }
    m_engine.setSelection(anchor, cursor);
    update();
}

void MaskEdit::baseTextChanged(const QString &shown)
{
    if (m_syncing)
        return;
    if (masked() && shown != m_engine.displayText()) {
        m_engine.setText(shown);
        showEngine();
    }
    notifyIfChanged();
}

void MaskEdit::notifyIfChanged()
{
    const QString now = maskedText();
    if (now == m_notifiedText)
        return;
    m_notifiedText = now;
    emit maskedTextChanged(now);
}
