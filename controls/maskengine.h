// SPDX-License-Identifier: MIT
#pragma once

#include <QChar>
#include <QList>
#include <QString>

// The rules of a masked input, apart from any widget: the mask, the text it holds and the caret
// with its selection. Every position keeps its place; typing overwrites, Backspace and Delete
// leave blanks, and separators never move.
//
// Mask syntax, in up to three fields separated by ';':
//   "mask;save;blank" (three fields), "mask;blank" (two fields) or "mask" (one field).
//   save "0" leaves the separators out of text(); anything else keeps them (the default).
//   blank is the character shown for an empty position (default '_').
// Characters of the mask field:
//   '0' digit, required          '9' digit            '#' digit, blank, '+' or '-'
//   'L' letter, required         'l' letter
//   'A' letter or digit, req.    'a' letter or digit
//   'C' any character, required  'c' any character
//   '!' short parts are padded with blanks on the left (right-aligned) instead of the right
//   '>' upper case from here on, '<' lower case from here on, "<>" no case change
//   '\' the next character is a separator, '_' a blank separator, any other character a separator
//
// Required positions are reported by isComplete() only; nothing here ever refuses a text for an
// empty position.
class MaskEngine
{
public:
    // What an editing operation did. A refused character leaves text, caret and selection alone.
    struct Outcome {
        bool changed = false; // the text is different from before the operation
        bool refused = false; // at least one character was not taken (the caller beeps)
    };

    // Where a typed character comes from. Pasted text is text: a blank in it stands for an empty
    // position even where a blank cannot be typed.
    enum class Source { Keyboard, Paste };

    MaskEngine() = default;
    explicit MaskEngine(const QString &mask);

    // A new mask empties every position and puts the caret at the start.
    void setMask(const QString &mask);
    const QString &mask() const { return m_mask; }
    bool hasMask() const { return !m_slots.isEmpty(); }
    int length() const { return int(m_slots.size()); }
    QChar blankChar() const { return m_blank; }
    bool savesLiterals() const { return m_saveLiterals; }
    bool padsLeft() const { return m_padLeft; }
    bool isLiteral(int position) const;
    bool isRequired(int position) const;
    bool isComplete() const;

    // The text as the program reads it: empty positions as blanks, separators included when the
    // mask saves them.
    QString text() const;
    // All positions with the separators, empty positions as blanks, whatever the mask saves.
    const QString &editText() const { return m_chars; }
    // What the input shows: empty positions as the blank character.
    QString displayText() const;

    // Assigns a text. Each part between separators goes into its positions, padded with blanks
    // on the left when the mask has '!' (on the right otherwise) and cut when too long; a part
    // without its separator takes as many characters as it has positions; a character a position
    // does not take leaves it empty. Returns whether the text changed; when it did, the caret
    // goes to the start without a selection, otherwise caret and selection stay.
    bool setText(const QString &text);

    int cursorPosition() const { return m_cursor; }
    int anchor() const { return m_anchor; }
    int selectionStart() const { return qMin(m_cursor, m_anchor); }
    int selectionEnd() const { return qMax(m_cursor, m_anchor); }
    bool hasSelection() const { return m_cursor != m_anchor; }
    QString selectedText() const; // from editText(), separators included

    // Caret positions run from 0 (before the first position) to length(); the caret may stand
    // on a separator. `mark` extends the selection from the anchor instead of dropping it.
    void setCursorPosition(int position, bool mark = false);
    void setSelection(int anchor, int cursor);
    void selectAll();
    void home(bool mark);
    void end(bool mark);
    void cursorBackward(bool mark);
    void cursorForward(bool mark);

    // One typed character, at the caret (or at the start of the selection):
    // - a character the first open position from there takes overwrites it, after a selection of
    //   more than one character has been cleared; the caret moves on past any separator;
    // - otherwise a separator character moves the caret past the next such separator, except
    //   right after a typed character moved the caret over that very separator: then it is taken
    //   as already typed ("05/03/2024" types the same as "05032024");
    // - otherwise it is refused.
    Outcome type(QChar c, Source source = Source::Keyboard);
    // Each printable character of `text` as if pasted, one after the other.
    Outcome paste(const QString &text);
    // Clears the selection, or else the first open position before the caret (moving the caret
    // there, over separators). Returns whether the text changed.
    bool backspace();
    // Clears the selection, or else the first open position at or after the caret; the caret
    // stays. Returns whether the text changed.
    bool deleteForward();
    // Clears the open positions of the selection; the caret goes to its start.
    bool removeSelection();

private:
    enum class Kind { Literal, Digit, DigitOrSign, Letter, LetterOrDigit, Any };
    enum class LetterCase { Keep, Upper, Lower };
    struct Slot {
        Kind kind = Kind::Literal;
        bool required = false;
        LetterCase letterCase = LetterCase::Keep;
        QChar literal;
    };

    QChar adjusted(int position, QChar c) const;
    bool takes(int position, QChar c) const;
    int openAtOrAfter(int position) const;
    int skipLiterals(int position) const;
    void clearRange(int from, int to);
    void assignPart(int from, int count, QString part);
    void collapse(int position);

    QString m_mask;
    QList<Slot> m_slots;
    QChar m_blank = QLatin1Char('_');
    bool m_saveLiterals = true;
    bool m_padLeft = false;
    QString m_chars; // one character per position, blanks for empty ones
    int m_cursor = 0;
    int m_anchor = 0;
    bool m_skippedLiteral = false; // the last typed character moved the caret over a separator
};
