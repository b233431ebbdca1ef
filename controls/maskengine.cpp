// SPDX-License-Identifier: MIT
#include "controls/maskengine.h"

#include <QStringList>

namespace
{

constexpr QChar kBlank = QLatin1Char(' ');

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Splits the mask into its ';' fields; a '\' keeps the next character in its field.
QStringList maskFields(const QString &mask)
{
    QStringList fields;
    QString field;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask.at(i);
        if (c == QLatin1Char('\\') && i + 1 < mask.size()) {
            field += c;
            field += mask.at(++i);
        } else if (c == QLatin1Char(';')) {
            fields << field;
            field.clear();
        } else {
            field += c;
        }
    }
    fields << field;
    return fields;
}

} // namespace

MaskEngine::MaskEngine(const QString &mask)
{
    setMask(mask);
}

void MaskEngine::setMask(const QString &mask)
{
    struct Code {
        char code;
        Kind kind;
        bool required;
    };
    static constexpr Code codes[] = {
        {'0', Kind::Digit, true},          {'9', Kind::Digit, false},
        {'#', Kind::DigitOrSign, false},   {'L', Kind::Letter, true},
        {'l', Kind::Letter, false},        {'A', Kind::LetterOrDigit, true},
        {'a', Kind::LetterOrDigit, false}, {'C', Kind::Any, true},
        {'c', Kind::Any, false},
    };

    m_mask = mask;
    m_slots.clear();
    m_blank = QLatin1Char('_');
    m_saveLiterals = true;
    m_padLeft = false;

    const QStringList fields = maskFields(mask);
    if (fields.size() >= 2 && !fields.last().isEmpty())
        m_blank = fields.last().at(0);
    if (fields.size() >= 3)
        m_saveLiterals = fields.at(1) != QLatin1String("0");

    const QString &pattern = fields.first();
    LetterCase letterCase = LetterCase::Keep;
    for (qsizetype i = 0; i < pattern.size(); ++i) {
        const QChar c = pattern.at(i);
        Slot slot;
        slot.letterCase = letterCase;
        if (c == QLatin1Char('!')) {
            m_padLeft = true;
            continue;
        }
        if (c == QLatin1Char('>')) {
            const bool reset = i + 1 < pattern.size() && pattern.at(i + 1) == QLatin1Char('<');
            letterCase = reset ? LetterCase::Keep : LetterCase::Upper;
            if (reset)
                ++i;
            continue;
        }
        if (c == QLatin1Char('<')) {
            letterCase = LetterCase::Lower;
            continue;
        }
        if (c == QLatin1Char('\\') && i + 1 < pattern.size()) {
            slot.literal = pattern.at(++i);
        } else if (c == QLatin1Char('_')) {
            slot.literal = kBlank;
        } else {
            slot.literal = c;
            for (const Code &code : codes) {
                if (c == QLatin1Char(code.code)) {
                    slot.kind = code.kind;
                    slot.required = code.required;
                    slot.literal = QChar();
                    break;
                }
            }
        }
        m_slots.append(slot);
    }

    m_chars.clear();
    for (const Slot &slot : std::as_const(m_slots))
        m_chars += slot.kind == Kind::Literal ? slot.literal : kBlank;
    m_skippedLiteral = false;
    collapse(0);
}

bool MaskEngine::isLiteral(int position) const
{
    return position >= 0 && position < length() && m_slots.at(position).kind == Kind::Literal;
}

bool MaskEngine::isRequired(int position) const
{
    return position >= 0 && position < length() && m_slots.at(position).required;
}

bool MaskEngine::isComplete() const
{
    for (int i = 0; i < length(); ++i) {
        if (isRequired(i) && m_chars.at(i) == kBlank)
            return false;
    }
    return true;
}

QString MaskEngine::text() const
{
    if (m_saveLiterals)
        return m_chars;
    QString open;
    for (int i = 0; i < length(); ++i) {
        if (!isLiteral(i))
            open += m_chars.at(i);
    }
    return open;
}

QString MaskEngine::displayText() const
{
    QString shown = m_chars;
    for (int i = 0; i < length(); ++i) {
        if (!isLiteral(i) && shown.at(i) == kBlank)
            shown[i] = m_blank;
    }
    return shown;
}

bool MaskEngine::setText(const QString &text)
{
    const QString before = m_chars;
    clearRange(0, length());

    if (!m_saveLiterals) {
        // Without separators in the text the whole text is one part over the open positions.
        QList<int> open;
        for (int i = 0; i < length(); ++i) {
            if (!isLiteral(i))
                open.append(i);
        }
        QString part = text.left(open.size());
        const qsizetype pad = open.size() - part.size();
        part = m_padLeft ? QString(pad, kBlank) + part : part + QString(pad, kBlank);
        for (qsizetype i = 0; i < open.size(); ++i) {
            const QChar c = adjusted(open.at(i), part.at(i));
            m_chars[open.at(i)] = c != kBlank && takes(open.at(i), c) ? c : kBlank;
        }
    } else {
        qsizetype in = 0;
        int position = 0;
        while (position < length()) {
            if (isLiteral(position)) {
                if (in < text.size() && text.at(in) == m_slots.at(position).literal)
                    ++in;
                ++position;
                continue;
            }
            int end = position;
            while (end < length() && !isLiteral(end))
                ++end;
            const int count = end - position;
            const qsizetype separator =
                end < length() ? text.indexOf(m_slots.at(end).literal, in) : qsizetype(-1);
            QString part;
            if (separator >= 0) {
                part = text.mid(in, separator - in);
                in = separator;
            } else {
                part = text.mid(in, count);
                in += part.size();
            }
            assignPart(position, count, part);
            position = end;
        }
    }

    m_skippedLiteral = false;
    if (m_chars == before)
        return false;
    collapse(0);
    return true;
}

QString MaskEngine::selectedText() const
{
    return m_chars.mid(selectionStart(), selectionEnd() - selectionStart());
}

void MaskEngine::setCursorPosition(int position, bool mark)
{
    m_cursor = qBound(0, position, length());
    if (!mark)
        m_anchor = m_cursor;
    m_skippedLiteral = false;
}

void MaskEngine::setSelection(int anchor, int cursor)
{
    m_anchor = qBound(0, anchor, length());
    m_cursor = qBound(0, cursor, length());
    m_skippedLiteral = false;
}

void MaskEngine::selectAll()
{
    setSelection(0, length());
}

void MaskEngine::home(bool mark)
{
    setCursorPosition(0, mark);
}

void MaskEngine::end(bool mark)
{
    setCursorPosition(length(), mark);
}

void MaskEngine::cursorBackward(bool mark)
{
    if (mark) {
        setCursorPosition(m_cursor - 1, true);
        return;
    }
    if (hasSelection()) {
        setCursorPosition(selectionStart());
        return;
    }
    // The caret steps over separators, so that it always stands on a position that takes text.
    int position = m_cursor - 1;
    while (position > 0 && isLiteral(position))
        --position;
    setCursorPosition(position);
}

void MaskEngine::cursorForward(bool mark)
{
    if (mark) {
        setCursorPosition(m_cursor + 1, true);
        return;
    }
    if (hasSelection()) {
        setCursorPosition(selectionEnd());
        return;
    }
    setCursorPosition(skipLiterals(m_cursor + 1));
}

MaskEngine::Outcome MaskEngine::type(QChar c, Source source)
{
    Outcome outcome;
    const int from = selectionStart();

    const int target = openAtOrAfter(from);
    if (target >= 0) {
        const QChar placed = adjusted(target, c);
        const bool blank = source == Source::Paste && (c == kBlank || c == m_blank);
        if (blank || takes(target, placed)) {
            const QString before = m_chars;
            if (selectionEnd() - from > 1)
                clearRange(from, selectionEnd());
            m_chars[target] = blank ? kBlank : placed;
            const int next = skipLiterals(target + 1);
            collapse(next);
            m_skippedLiteral = next > target + 1;
            outcome.changed = m_chars != before;
            return outcome;
        }
    }

    // A separator typed right after the caret was moved over it has been typed already.
    if (!hasSelection() && m_skippedLiteral) {
        for (int i = from - 1; i >= 0 && isLiteral(i); --i) {
            if (m_slots.at(i).literal == c) {
                m_skippedLiteral = false;
                return outcome;
            }
        }
    }

    for (int i = from; i < length(); ++i) {
        if (isLiteral(i) && m_slots.at(i).literal == c) {
            collapse(skipLiterals(i + 1));
            m_skippedLiteral = false;
            return outcome;
        }
    }

    outcome.refused = true;
    return outcome;
}

MaskEngine::Outcome MaskEngine::paste(const QString &text)
{
    const QString before = m_chars;
    Outcome outcome;
    for (const QChar c : text) {
        if (c.isPrint())
            outcome.refused |= type(c, Source::Paste).refused;
    }
    outcome.changed = m_chars != before;
    return outcome;
}

bool MaskEngine::backspace()
{
    m_skippedLiteral = false;
    if (hasSelection())
        return removeSelection();
    int position = m_cursor - 1;
    while (position >= 0 && isLiteral(position))
        --position;
    if (position < 0)
        return false;
    const bool changed = m_chars.at(position) != kBlank;
    m_chars[position] = kBlank;
    collapse(position);
    return changed;
}

bool MaskEngine::deleteForward()
{
    m_skippedLiteral = false;
    if (hasSelection())
        return removeSelection();
    const int position = openAtOrAfter(m_cursor);
    if (position < 0)
        return false;
    const bool changed = m_chars.at(position) != kBlank;
    m_chars[position] = kBlank;
    return changed;
}

bool MaskEngine::removeSelection()
{
    m_skippedLiteral = false;
    const QString before = m_chars;
    const int start = selectionStart();
    clearRange(start, selectionEnd());
    collapse(start);
    return m_chars != before;
}

QChar MaskEngine::adjusted(int position, QChar c) const
{
    switch (m_slots.at(position).letterCase) {
    case LetterCase::Upper:
        return c.toUpper();
    case LetterCase::Lower:
        return c.toLower();
    case LetterCase::Keep:
        break;
    }
    return c;
}

bool MaskEngine::takes(int position, QChar c) const
{
    switch (m_slots.at(position).kind) {
    case Kind::Literal:
        return false;
    case Kind::Digit:
        return isAsciiDigit(c);
    case Kind::DigitOrSign:
        return isAsciiDigit(c) || c == kBlank || c == QLatin1Char('+') || c == QLatin1Char('-');
    case Kind::Letter:
        return c.isLetter();
    case Kind::LetterOrDigit:
        return c.isLetter() || isAsciiDigit(c);
    case Kind::Any:
        return c.isPrint();
    }
    return false;
}

int MaskEngine::openAtOrAfter(int position) const
{
    const int open = skipLiterals(position);
    return open < length() ? open : -1;
}

int MaskEngine::skipLiterals(int position) const
{
    while (position < length() && isLiteral(position))
        ++position;
    return position;
}

void MaskEngine::clearRange(int from, int to)
{
    for (int i = qMax(0, from); i < qMin(to, length()); ++i) {
        if (!isLiteral(i))
            m_chars[i] = kBlank;
    }
}

void MaskEngine::assignPart(int from, int count, QString part)
{
    part.truncate(count);
    const int offset = m_padLeft ? count - int(part.size()) : 0;
    for (qsizetype i = 0; i < part.size(); ++i) {
        const int position = from + offset + int(i);
        const QChar c = adjusted(position, part.at(i));
        m_chars[position] = c != kBlank && takes(position, c) ? c : kBlank;
    }
}

void MaskEngine::collapse(int position)
{
    m_cursor = m_anchor = qBound(0, position, length());
}
