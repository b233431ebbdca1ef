// SPDX-License-Identifier: MIT
#include "controls/maskengine.h"

#include <QTest>

namespace
{

constexpr const char *kDate = "!99/99/9999;1;_";
constexpr const char *kRate = "!##9.99;_";

struct Run {
    int refusals = 0;
    bool changed = false;
};

// Plays a key script on the engine. Characters are typed; braces hold the other keys:
// {H} Home, {E} End, {L} Left, {R} Right, {SL} Shift+Left, {SR} Shift+Right, {A} select all,
// {BS} Backspace, {DEL} Delete, {@n} caret to n, {S:a,c} selection from a to c,
// {P:text} paste.
Run play(MaskEngine &engine, const QString &script)
{
    Run run;
    const auto note = [&run](MaskEngine::Outcome outcome) {
        run.changed |= outcome.changed;
        run.refusals += outcome.refused ? 1 : 0;
    };
    for (qsizetype i = 0; i < script.size(); ++i) {
        if (script.at(i) != QLatin1Char('{')) {
            note(engine.type(script.at(i)));
            continue;
        }
        const qsizetype close = script.indexOf(QLatin1Char('}'), i);
        const QString token = script.mid(i + 1, close - i - 1);
        i = close;
        if (token == QLatin1String("H"))
            engine.home(false);
        else if (token == QLatin1String("E"))
            engine.end(false);
        else if (token == QLatin1String("L"))
            engine.cursorBackward(false);
        else if (token == QLatin1String("R"))
            engine.cursorForward(false);
        else if (token == QLatin1String("SL"))
            engine.cursorBackward(true);
        else if (token == QLatin1String("SR"))
            engine.cursorForward(true);
        else if (token == QLatin1String("A"))
            engine.selectAll();
        else if (token == QLatin1String("BS"))
            note({engine.backspace(), false});
        else if (token == QLatin1String("DEL"))
            note({engine.deleteForward(), false});
        else if (token.startsWith(QLatin1Char('@')))
            engine.setCursorPosition(token.mid(1).toInt());
        else if (token.startsWith(QLatin1String("S:")))
            engine.setSelection(token.mid(2).section(QLatin1Char(','), 0, 0).toInt(),
                                token.mid(2).section(QLatin1Char(','), 1, 1).toInt());
        else if (token.startsWith(QLatin1String("P:")))
            note(engine.paste(token.mid(2)));
        else
            qFatal("unknown token %s", qPrintable(token));
    }
    return run;
}

} // namespace

class TestMaskEngine : public QObject
{
    Q_OBJECT
private slots:
    void parse_data();
    void parse();
    void assign_data();
    void assign();
    void assignKeepsCaretOnlyWhenUnchanged();
    void keys_data();
    void keys();
    void refusedCharacterKeepsSelection();
    void selectionByShift();
    void changeReportedOnlyForRealChanges_data();
    void changeReportedOnlyForRealChanges();
    void requiredPositions();
};

void TestMaskEngine::parse_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("text");    // text of the empty input
    QTest::addColumn<QString>("display"); // what the empty input shows
    QTest::addColumn<bool>("padsLeft");

    struct Row {
        const char *name, *mask, *text, *display;
        bool padsLeft;
    };
    static const Row rows[] = {
        {"base date", kDate, "  /  /    ", "__/__/____", true},
        {"rate", kRate, "   .  ", "___.__", true},
        {"no pad, own blank", "99-99;1;*", "  -  ", "**-**", false},
        {"separators not saved", "99/99;0;_", "    ", "__/__", false},
        {"escaped code is a separator", "\\99\\;9", "9 ; ", "9_;_", false},
        {"underscore is a blank separator", "99_99", "     ", "__ __", false},
        {"case markers take no position", ">LL<>ll", "    ", "____", false},
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << QString(row.mask) << QString(row.text) << QString(row.display)
                                << row.padsLeft;
}

void TestMaskEngine::parse()
{
    QFETCH(QString, mask);
    QFETCH(QString, text);
    QFETCH(QString, display);
    QFETCH(bool, padsLeft);

    const MaskEngine engine(mask);
    QCOMPARE(engine.text(), text);
    QCOMPARE(engine.displayText(), display);
    QCOMPARE(engine.padsLeft(), padsLeft);
    QCOMPARE(engine.cursorPosition(), 0);
}

void TestMaskEngine::assign_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("assigned");
    QTest::addColumn<QString>("text");

    struct Row {
        const char *name, *mask, *assigned, *text;
    };
    static const Row rows[] = {
        {"rate reset value", kRate, "0.00", "  0.00"},
        {"rate already complete", kRate, "  0.00", "  0.00"},
        {"rate negative", kRate, "-5.00", " -5.00"},
        {"rate whole part only", kRate, "12", " 12.  "},
        {"rate short hundredths pad left too", kRate, "3.5", "  3. 5"},
        {"rate too long parts are cut", kRate, "1234.567", "123.56"},
        {"date short parts", kDate, "5/3/2024", " 5/ 3/2024"},
        {"date full", kDate, "05/03/2024", "05/03/2024"},
        {"date without separators", kDate, "05032024", "05/03/2024"},
        {"date empty", kDate, "", "  /  /    "},
        {"date shown blanks read as empty", kDate, "__/__/____", "  /  /    "},
        {"date letters leave blanks", kDate, "ab/1c/2024", "  /1 /2024"},
        {"date two-digit year", kDate, "01/02/24", "01/02/  24"},
        {"date too long year is cut", kDate, "1/2/20245", " 1/ 2/2024"},
        {"no pad mask pads right", "99/99", "5/3", "5 /3 "},
        {"unsaved separators, pad left", "!99/99;0;_", "53", "  53"},
        {"unsaved separators, pad right", "99/99;0;_", "53", "53  "},
        {"upper case letters", ">LL", "ab", "AB"},
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << QString(row.mask) << QString(row.assigned) << QString(row.text);
}

void TestMaskEngine::assign()
{
    QFETCH(QString, mask);
    QFETCH(QString, assigned);
    QFETCH(QString, text);

    MaskEngine engine(mask);
    engine.setText(assigned);
    QCOMPARE(engine.text(), text);
    QCOMPARE(engine.text().size(), engine.savesLiterals() ? engine.length() : text.size());
}

void TestMaskEngine::assignKeepsCaretOnlyWhenUnchanged()
{
    MaskEngine engine(kDate);
    QVERIFY(engine.setText(QStringLiteral("05/03/2024")));
    engine.setSelection(3, 5);

    // The same text, however written, is no change: caret and selection stay.
    QVERIFY(!engine.setText(QStringLiteral("05/03/2024")));
    QVERIFY(!engine.setText(QStringLiteral("05032024")));
    QCOMPARE(engine.anchor(), 3);
    QCOMPARE(engine.cursorPosition(), 5);

    // A new text puts the caret at the start without a selection.
    QVERIFY(engine.setText(QStringLiteral("06/03/2024")));
    QVERIFY(!engine.hasSelection());
    QCOMPARE(engine.cursorPosition(), 0);
}

void TestMaskEngine::keys_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("assigned");
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");
    QTest::addColumn<int>("refusals");

    struct Row {
        const char *name, *mask, *assigned, *script, *text;
        int cursor, refusals;
    };
    constexpr const char *full = "05/03/2024";
    constexpr const char *none = "  /  /    ";
    constexpr const char *rate = "  3.50";
    static const Row rows[] = {
        // Typing into the base date.
        {"digits skip the separators", kDate, "", "05032024", full, 10, 0},
        {"separators typed after the skip", kDate, "", "05/03/2024", full, 10, 0},
        {"separator jumps to the next part", kDate, "", "5/3/2024", "5 /3 /2024", 10, 0},
        {"second separator after a skip jumps", kDate, "", "05//2", "05/  /2   ", 7, 0},
        {"letter refused", kDate, "", "x", none, 0, 1},
        {"blank refused in a digit position", kDate, "", " ", none, 0, 1},
        {"sign refused in a digit position", kDate, "", "-", none, 0, 1},
        {"overwrite at the caret", kDate, full, "{@0}1", "15/03/2024", 1, 0},
        {"caret on a separator types after it", kDate, "", "{@2}7", "  /7 /    ", 4, 0},
        {"separator with none ahead refused", kDate, "", "{@7}/", none, 7, 1},
        {"typing at the end refused", kDate, full, "{E}1", full, 10, 1},
        {"selection cleared before the character", kDate, full, "{A}1", "1 /  /    ", 1, 0},
        {"part selection cleared", kDate, full, "{S:1,5}9", "09/  /2024", 3, 0},
        {"one selected character is overwritten", kDate, full, "{S:0,1}9", "95/03/2024", 1, 0},
        {"separator with everything selected keeps the text", kDate, full, "{A}/", full, 3, 0},

        // Backspace and Delete leave blanks.
        {"backspace over a separator", kDate, full, "{@3}{BS}", "0 /03/2024", 1, 0},
        {"backspaces in a row", kDate, full, "{E}{BS}{BS}{BS}{BS}{BS}", "05/0 /    ", 4, 0},
        {"backspace at the start", kDate, full, "{H}{BS}", full, 0, 0},
        {"backspace clears the selection", kDate, full, "{S:4,1}{BS}", "0 / 3/2024", 1, 0},
        {"delete at the caret", kDate, full, "{@3}{DEL}", "05/ 3/2024", 3, 0},
        {"delete on a separator", kDate, full, "{@2}{DEL}", "05/ 3/2024", 2, 0},
        {"delete at the end", kDate, full, "{E}{DEL}", full, 10, 0},
        {"delete clears the selection", kDate, full, "{A}{DEL}", none, 0, 0},
        {"typing after delete", kDate, full, "{@3}{DEL}7", "05/73/2024", 4, 0},

        // Caret movement steps over separators.
        {"right over a separator", kDate, "", "{@1}{R}7", "  /7 /    ", 4, 0},
        {"left over a separator", kDate, "", "{@3}{L}7", " 7/  /    ", 3, 0},
        {"left collapses a selection", kDate, full, "{S:2,6}{L}9", "05/93/2024", 4, 0},

        // Paste goes through the typing rules.
        {"paste digits", kDate, full, "{A}{P:06042025}", "06/04/2025", 10, 0},
        {"paste with separators", kDate, full, "{A}{P:06/04/2025}", "06/04/2025", 10, 0},
        {"paste of a text with blanks", kDate, full, "{A}{P: 6/ 4/2025}", " 6/ 4/2025", 10, 0},
        {"paste drops line ends", kDate, "", "{P:06042025\r\n}", "06/04/2025", 10, 0},
        {"paste refuses letters once", kDate, "", "{P:0a5b}", "05/  /    ", 3, 1},
        {"paste from the caret", kDate, full, "{@6}{P:1999}", "05/03/1999", 10, 0},

        // The rate.
        {"rate whole part", kRate, "", "12", "12 .  ", 2, 0},
        {"rate point before the point", kRate, " 12.  ", "{@2}.", " 12.  ", 4, 0},
        {"rate point from the start", kRate, " 12.  ", "{@0}.", " 12.  ", 4, 0},
        {"rate point after the point refused", kRate, rate, "{@5}.", rate, 5, 1},
        {"rate point right after the skip", kRate, "", "123.4", "123.4 ", 5, 0},
        {"rate digits run over the point", kRate, "", "12345", "123.45", 6, 0},
        {"rate sign and blank in the first two", kRate, "", "- 5", "- 5.  ", 4, 0},
        {"rate sign refused in the third", kRate, "", "{@2}+", "   .  ", 2, 1},
        {"rate blank refused in the third", kRate, "", "{@2} ", "   .  ", 2, 1},
        {"rate sign refused in the hundredths", kRate, rate, "{@4}-", rate, 4, 1},
        {"rate comma is no separator", kRate, "", "3,", "3  .  ", 1, 1},
        {"rate backspace over the point", kRate, rate, "{@4}{BS}", "   .50", 2, 0},
        {"rate typed after reset, all selected", kRate, "0.00", "{A}3", "3  .  ", 1, 0},

        // Letters.
        {"letters to upper case", ">LL", "", "ab", "AB", 2, 0},
        {"digit refused by a letter", "LL", "", "1", "  ", 0, 1},
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << QString(row.mask) << QString(row.assigned) << QString(row.script)
                                << QString(row.text) << row.cursor << row.refusals;
}

void TestMaskEngine::keys()
{
    QFETCH(QString, mask);
    QFETCH(QString, assigned);
    QFETCH(QString, script);
    QFETCH(QString, text);
    QFETCH(int, cursor);
    QFETCH(int, refusals);

    MaskEngine engine(mask);
    engine.setText(assigned);
    const Run run = play(engine, script);
    QCOMPARE(engine.text(), text);
    QCOMPARE(engine.cursorPosition(), cursor);
    QCOMPARE(run.refusals, refusals);
}

void TestMaskEngine::refusedCharacterKeepsSelection()
{
    MaskEngine engine(kDate);
    engine.setText(QStringLiteral("05/03/2024"));
    engine.selectAll();

    const MaskEngine::Outcome outcome = engine.type(QLatin1Char('x'));
    QVERIFY(outcome.refused);
    QVERIFY(!outcome.changed);
    QCOMPARE(engine.text(), QStringLiteral("05/03/2024"));
    QCOMPARE(engine.selectionStart(), 0);
    QCOMPARE(engine.selectionEnd(), 10);
}

void TestMaskEngine::selectionByShift()
{
    MaskEngine engine(kDate);
    engine.setText(QStringLiteral("05/03/2024"));
    engine.setCursorPosition(4);
    engine.cursorBackward(true);
    engine.cursorBackward(true);
    engine.cursorBackward(true);
    QCOMPARE(engine.anchor(), 4);
    QCOMPARE(engine.cursorPosition(), 1);
    QCOMPARE(engine.selectedText(), QStringLiteral("5/0"));

    engine.end(true);
    QCOMPARE(engine.selectedText(), QStringLiteral("3/2024"));
    engine.home(true);
    QCOMPARE(engine.selectedText(), QStringLiteral("05/0"));
    engine.cursorForward(false);
    QVERIFY(!engine.hasSelection());
    QCOMPARE(engine.cursorPosition(), 4);
}

void TestMaskEngine::changeReportedOnlyForRealChanges_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("assigned");
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("changed");

    struct Row {
        const char *name, *mask, *assigned, *script;
        bool changed;
    };
    static const Row rows[] = {
        {"same digit over itself", kDate, "05/03/2024", "{@0}0", false},
        {"other digit", kDate, "05/03/2024", "{@0}1", true},
        {"backspace on a blank", kDate, "", "{@3}{BS}", false},
        {"delete on a blank", kDate, "", "{DEL}", false},
        {"paste of the same text", kDate, "05/03/2024", "{A}{P:05/03/2024}", false},
        {"separator moves only", kRate, "  3.50", "{@0}.", false},
        {"refused character", kRate, "  3.50", "{@0}x", false},
        {"blank typed over a blank", kRate, "", "{@0} ", false},
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << QString(row.mask) << QString(row.assigned) << QString(row.script)
                                << row.changed;
}

void TestMaskEngine::changeReportedOnlyForRealChanges()
{
    QFETCH(QString, mask);
    QFETCH(QString, assigned);
    QFETCH(QString, script);
    QFETCH(bool, changed);

    MaskEngine engine(mask);
    engine.setText(assigned);
    const QString before = engine.text();
    QCOMPARE(play(engine, script).changed, changed);
    QCOMPARE(engine.text() != before, changed);
}

void TestMaskEngine::requiredPositions()
{
    MaskEngine engine(QStringLiteral("00/99"));
    QVERIFY(!engine.isComplete());
    engine.setText(QStringLiteral("12/"));
    QVERIFY(engine.isComplete());
    QVERIFY(!engine.isRequired(3));

    // No position of the program's masks is required.
    for (const char *mask : {kDate, kRate}) {
        const MaskEngine open(QString::fromLatin1(mask));
        QVERIFY(open.isComplete());
    }
}

QTEST_GUILESS_MAIN(TestMaskEngine)
#include "tst_maskengine.moc"
