// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <functional>

class QWidget;

// The program's message boxes, all in one place so that tests can replace them by a sink and
// never wait on a real modal box. The caption of every box is the application title.
namespace Messages
{

enum class Kind {
    Error,        // the error box: stop icon, OK
    Information,  // a plain message with OK
    Confirmation, // a question with OK and Cancel
};

// A sink receives every box instead of the screen; for a confirmation it returns the answer.
using Sink = std::function<bool(Kind kind, const QString &text)>;
void setSinkForTesting(Sink sink); // an empty sink restores the real boxes

// The application title: the program file's name without folder and extension (cut at its first
// "."), every letter after the first in lower case.
QString ApplicationTitle();
QString TitleFromProgramPath(const QString &path);

// The error box's text rule: a full stop is added when the last character sorts after '.'.
QString ErrorText(const QString &message);

void ShowError(const QString &message); // the error box
void ShowMessage(const QString &text);  // an information box with OK
bool Confirm(const QString &question);  // OK and Cancel; true for OK

} // namespace Messages
