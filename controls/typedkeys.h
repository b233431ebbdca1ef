// SPDX-License-Identifier: MIT
#pragma once

#include <QChar>
#include <QString>

class QKeyEvent;

// The characters that keys type, as the key-press handlers of the forms see them: Enter,
// Escape and Backspace type their classic control characters; other keys type their printable
// text when pressed without Ctrl, Alt or Meta (Ctrl+Alt is AltGr and types).
namespace TypedKeys
{

constexpr char16_t kEnter = 13;
constexpr char16_t kEscape = 27;
constexpr char16_t kBackspace = 8;

// Enter, Escape or Backspace as their character; a null character for any other key.
QChar ControlCharacterOfKey(int key);
// The key of a control character above; 0 for any other character.
int KeyOfControlCharacter(QChar c);
// What the event types: one control character, the printable text, or nothing.
QString TypedCharacters(const QKeyEvent *event);

} // namespace TypedKeys
