// SPDX-License-Identifier: MIT
#include "controls/messages.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace Messages
{
namespace
{
Sink g_sink;

QWidget *boxParent()
{
    return QApplication::activeWindow();
}
} // namespace

void setSinkForTesting(Sink sink)
{
    g_sink = std::move(sink);
}

QString TitleFromProgramPath(const QString &path)
{
    QString name = QFileInfo(path).fileName();
    const int dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.isEmpty())
        return name;
    return name.left(1) + name.mid(1).toLower();
}

QString ApplicationTitle()
{
    return TitleFromProgramPath(QCoreApplication::applicationFilePath());
}

QString ErrorText(const QString &message)
{
    if (!message.isEmpty() && message.back().unicode() > '.')
        return message + QLatin1Char('.');
    return message;
}

void ShowError(const QString &message)
{
    const QString text = ErrorText(message);
    if (g_sink) {
        g_sink(Kind::Error, text);
        return;
    }
    QMessageBox box(QMessageBox::Critical, ApplicationTitle(), text, QMessageBox::Ok, boxParent());
    box.exec();
}

void ShowMessage(const QString &text)
{
    if (g_sink) {
        g_sink(Kind::Information, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, ApplicationTitle(), text, QMessageBox::Ok, boxParent());
    box.exec();
}

bool Confirm(const QString &question)
{
    if (g_sink)
        return g_sink(Kind::Confirmation, question);
    QMessageBox box(QMessageBox::Question, ApplicationTitle(), question,
                    QMessageBox::Ok | QMessageBox::Cancel, boxParent());
    box.setDefaultButton(QMessageBox::Ok);
    return box.exec() == QMessageBox::Ok;
}

} // namespace Messages
