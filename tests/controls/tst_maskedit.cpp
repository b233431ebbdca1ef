// SPDX-License-Identifier: MIT
#include "controls/maskedit.h"

#include <QApplication>
#include <QClipboard>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

namespace
{

constexpr const char *kDate = "!99/99/9999;1;_";
constexpr const char *kRate = "!##9.99;_";

// The window's own rule for a point typed into the rate: the whole part typed so far moves to
// the right before the point goes to the mask.
void alignWholePart(MaskEdit *rate)
{
    const QString t = rate->maskedText();
    QString aligned = t;
    if (t.left(3) == QLatin1String("   "))
        aligned = QStringLiteral("  0") + t.mid(3);
    else if (t.at(1) == QLatin1Char(' '))
        aligned = QStringLiteral("  ") + t.at(0) + t.mid(3);
    else if (t.at(2) == QLatin1Char(' '))
        aligned = QStringLiteral(" ") + t.left(2) + t.mid(3);
    rate->setMaskedText(aligned);
}

// Key clicks from a script: characters are typed, braces hold a key sequence ({Shift+Left}).
QTestEventList events(const QString &script)
{
    QTestEventList list;
    for (qsizetype i = 0; i < script.size(); ++i) {
        if (script.at(i) != QLatin1Char('{')) {
            list.addKeyClicks(script.at(i));
            continue;
        }
        const qsizetype close = script.indexOf(QLatin1Char('}'), i);
        const QKeyCombination key = QKeySequence(script.mid(i + 1, close - i - 1))[0];
        list.addKeyClick(key.key(), key.keyboardModifiers());
        i = close;
    }
    return list;
}

// A header panel in small: base date, rate, reminder, each with its beeps counted.
class Form
{
public:
    Form()
    {
        auto *layout = new QVBoxLayout(&window);
        database = new MaskEdit(kDate, &window);
        rate = new MaskEdit(kRate, &window);
        reminder = new QLineEdit(&window);
        layout->addWidget(database);
        layout->addWidget(rate);
        layout->addWidget(reminder);
        database->setAutoSelect(false);
        for (MaskEdit *edit : {database, rate})
            edit->setBeepHandler([this] { ++beeps; });
        rate->setKeyPressHandler([this](QChar &key) {
            if (key == QLatin1Char(','))
                key = QLatin1Char('.');
            if (key == QChar(13)) {
                reminder->setFocus();
                key = QChar();
            } else if (key == QLatin1Char('.')) {
                alignWholePart(rate);
            }
        });
        window.show();
        window.activateWindow();
    }

    bool ready() { return QTest::qWaitForWindowActive(&window); }

    QWidget window;
    MaskEdit *database = nullptr;
    MaskEdit *rate = nullptr;
    QLineEdit *reminder = nullptr;
    int beeps = 0;
};

} // namespace

class TestMaskEdit : public QObject
{
    Q_OBJECT
private slots:
    void keys_data();
    void keys();
    void showsBlanksReadsSpaces();
    void refusalsBeep();
    void changeSignalOnlyForRealChanges();
    void escapeRestoresEntryText();
    void escapeDoesNotCloseDialog();
    void paste_data();
    void paste();
    void copyGivesProgramText();
    void keyHandlerSeesEveryCharacter();
    void rateKeepsToWindowRules();
    void autoSelectOnKeyboardEntryOnly();
    void entryAndExitIgnoreWindowActivation();
    void baseClassCallsGoThroughMask();
    void mousePlacesCaret();
    void neverKeepsFocus();
    void plainInputKeepsHandlerAndSignal();
};

void TestMaskEdit::keys_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("assigned");
    QTest::addColumn<QTestEventList>("events");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("cursor");

    struct Row {
        const char *name, *mask, *assigned, *keys, *text;
        int cursor;
    };
    constexpr const char *full = "05/03/2024";
    static const Row rows[] = {
        {"typed date", kDate, "", "05/03/2024", full, 10},
        {"right steps over the separator", kDate, full, "{Home}{Right}{Right}7", "05/73/2024", 4},
        {"backspace leaves blanks", kDate, full, "{End}{Backspace}{Backspace}", "05/03/20  ", 8},
        {"delete leaves a blank", kDate, full, "{Home}{Delete}", " 5/03/2024", 0},
        {"shift selection cleared by typing", kDate, full,
         "{Home}{Shift+Right}{Shift+Right}{Shift+Right}1", "1 /03/2024", 1},
        {"delete clears the selection", kDate, full, "{End}{Shift+Left}{Shift+Left}{Delete}",
         "05/03/20  ", 8},
        {"select all and backspace", kDate, full, "{Ctrl+A}{Backspace}", "  /  /    ", 0},
        {"rate sign", kRate, "0.00", "{Home}-5", "-50.00", 2},
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << QString(row.mask) << QString(row.assigned) << events(row.keys)
                                << QString(row.text) << row.cursor;
}

void TestMaskEdit::keys()
{
    QFETCH(QString, mask);
    QFETCH(QString, assigned);
    QFETCH(QTestEventList, events);
    QFETCH(QString, text);
    QFETCH(int, cursor);

    MaskEdit edit(mask);
    edit.setMaskedText(assigned);
    events.simulate(&edit);
    QCOMPARE(edit.maskedText(), text);
    QCOMPARE(edit.engine().cursorPosition(), cursor);
    QCOMPARE(edit.cursorPosition(), cursor); // the line edit shows the engine's caret
}

void TestMaskEdit::showsBlanksReadsSpaces()
{
    MaskEdit edit(kDate);
    QTest::keyClicks(&edit, QStringLiteral("0503"));
    QCOMPARE(edit.displayText(), QStringLiteral("05/03/____"));
    QCOMPARE(edit.maskedText(), QStringLiteral("05/03/    "));
    QCOMPARE(edit.text(), edit.maskedText());
    QCOMPARE(edit.property("text").toString(), edit.maskedText());

    MaskEdit rate(kRate);
    rate.setMaskedText(QStringLiteral("0.00"));
    QCOMPARE(rate.maskedText(), QStringLiteral("  0.00"));
    QCOMPARE(rate.displayText(), QStringLiteral("__0.00"));
}

void TestMaskEdit::refusalsBeep()
{
    Form form;
    QTest::keyClicks(form.database, QStringLiteral("x 0"));
    QCOMPARE(form.beeps, 2);
    QCOMPARE(form.database->maskedText(), QStringLiteral("0 /  /    "));

    form.rate->setMaskedText(QStringLiteral("123.45"));
    form.rate->setCursorPosition(5);
    QTest::keyClick(form.rate, Qt::Key_Period); // the caret is already past the point
    QCOMPARE(form.beeps, 3);
    QCOMPARE(form.rate->maskedText(), QStringLiteral("123.45"));

    // Control keys the input does not know are no refusal.
    QTest::keyClick(form.database, Qt::Key_F5);
    QTest::keyClick(form.database, Qt::Key_Up);
    QCOMPARE(form.beeps, 3);
}

void TestMaskEdit::changeSignalOnlyForRealChanges()
{
    MaskEdit edit(kDate);
    edit.setBeepHandler([] {});
    edit.setMaskedText(QStringLiteral("05/03/2024"));
    QSignalSpy changes(&edit, &MaskEdit::maskedTextChanged);

    edit.setMaskedText(QStringLiteral("05/03/2024"));
    edit.setText(QStringLiteral("05032024"));
    edit.setCursorPosition(0);
    QTest::keyClick(&edit, Qt::Key_0); // the same digit over itself
    QTest::keyClick(&edit, Qt::Key_Slash);
    QTest::keyClick(&edit, Qt::Key_X);
    QCOMPARE(changes.count(), 0);

    QTest::keyClick(&edit, Qt::Key_9);
    QCOMPARE(changes.count(), 1);
    QCOMPARE(changes.at(0).at(0).toString(), QStringLiteral("05/93/2024"));

    edit.setCursorPosition(4);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Backspace); // over the separator, onto the day
    QCOMPARE(changes.count(), 3);
    QCOMPARE(edit.maskedText(), QStringLiteral("0 / 3/2024"));

    edit.setMaskedText(QStringLiteral("1/1/2000"));
    QCOMPARE(changes.count(), 4);
    QCOMPARE(changes.last().at(0).toString(), QStringLiteral(" 1/ 1/2000"));
}

void TestMaskEdit::escapeRestoresEntryText()
{
    Form form;
    QVERIFY(form.ready());
    form.database->setMaskedText(QStringLiteral("05/03/2024"));
    form.reminder->setFocus();
    form.database->setFocus(Qt::TabFocusReason);
    QVERIFY(form.database->hasFocus());

    QSignalSpy changes(form.database, &MaskEdit::maskedTextChanged);
    form.database->setCursorPosition(0);
    QTest::keyClicks(form.database, QStringLiteral("17"));
    form.database->setMaskedText(QStringLiteral("01/01/1999")); // as the calendar would
    QCOMPARE(changes.count(), 3);

    QTest::keyClick(form.database, Qt::Key_Escape);
    QCOMPARE(form.database->maskedText(), QStringLiteral("05/03/2024"));
    QCOMPARE(changes.count(), 4);

    // A second Escape finds the text as it was: no change.
    QTest::keyClick(form.database, Qt::Key_Escape);
    QCOMPARE(changes.count(), 4);

    // The next entry takes the text of its own moment.
    QTest::keyClick(form.database, Qt::Key_Home);
    QTest::keyClicks(form.database, QStringLiteral("2"));
    form.reminder->setFocus(Qt::TabFocusReason);
    form.database->setFocus(Qt::TabFocusReason);
    QTest::keyClicks(form.database, QStringLiteral("3"));
    QTest::keyClick(form.database, Qt::Key_Escape);
    QCOMPARE(form.database->maskedText(), QStringLiteral("25/03/2024"));
}

void TestMaskEdit::escapeDoesNotCloseDialog()
{
    QDialog dialog;
    auto *edit = new MaskEdit(kRate, &dialog);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    edit->setFocus();
    QTest::keyClicks(edit, QStringLiteral("5"));
    QTest::keyClick(edit, Qt::Key_Escape);
    QCOMPARE(rejected.count(), 0);
    QVERIFY(dialog.isVisible());
}

void TestMaskEdit::paste_data()
{
    QTest::addColumn<QString>("clipboard");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("beeps");

    struct Row {
        const char *name, *clipboard, *text;
        int beeps;
    };
    static const Row rows[] = {
        {"digits", "05032024", "05/03/2024", 0},
        {"with separators", "05/03/2024", "05/03/2024", 0},
        {"with a line end", "05/03/2024\n", "05/03/2024", 0},
        {"as the program reads it", " 5/ 3/2024", " 5/ 3/2024", 0},
        {"letters refused, one beep", "0x5y", "05/  /    ", 1},
    };
    for (const Row &row : rows)
        QTest::newRow(row.name) << QString(row.clipboard) << QString(row.text) << row.beeps;
}

void TestMaskEdit::paste()
{
    QFETCH(QString, clipboard);
    QFETCH(QString, text);
    QFETCH(int, beeps);

    Form form;
    form.database->setMaskedText(QStringLiteral("01/01/1999"));
    form.database->selectAll(); // what the window's entry handler does
    QApplication::clipboard()->setText(clipboard);
    QSignalSpy changes(form.database, &MaskEdit::maskedTextChanged);

    QTest::keyClick(form.database, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(form.database->maskedText(), text);
    QCOMPARE(form.beeps, beeps);
    QCOMPARE(changes.count(), 1); // one notification for the whole paste
}

void TestMaskEdit::copyGivesProgramText()
{
    MaskEdit edit(kDate);
    edit.setMaskedText(QStringLiteral("5/3/2024"));
    QTest::keyClick(&edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(&edit, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral(" 5/ 3/2024"));

    QTest::keyClick(&edit, Qt::Key_X, Qt::ControlModifier);
    QCOMPARE(edit.maskedText(), QStringLiteral("  /  /    "));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral(" 5/ 3/2024"));
}

void TestMaskEdit::keyHandlerSeesEveryCharacter()
{
    MaskEdit edit(kDate);
    QString seen;
    bool swallow = false;
    edit.setKeyPressHandler([&](QChar &key) {
        seen += key;
        if (swallow)
            key = QChar();
    });
    QSignalSpy returns(&edit, &QLineEdit::returnPressed);

    QTest::keyClicks(&edit, QStringLiteral("12"));
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QTest::keyClick(&edit, Qt::Key_Return);
    QTest::keyClick(&edit, Qt::Key_Escape);
    QTest::keyClick(&edit, Qt::Key_Left); // no character
    QCOMPARE(seen, QStringLiteral("12\b\r\x1b"));
    QCOMPARE(returns.count(), 1);

    swallow = true;
    edit.setMaskedText(QString());
    QTest::keyClicks(&edit, QStringLiteral("34"));
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(edit.maskedText(), QStringLiteral("  /  /    "));
    QCOMPARE(returns.count(), 1);

    // The handler may change the character the mask gets.
    swallow = false;
    edit.setKeyPressHandler([](QChar &key) {
        if (key == QLatin1Char('a'))
            key = QLatin1Char('7');
    });
    QTest::keyClicks(&edit, QStringLiteral("a"));
    QCOMPARE(edit.maskedText(), QStringLiteral("7 /  /    "));
}

void TestMaskEdit::rateKeepsToWindowRules()
{
    Form form;
    QVERIFY(form.ready());

    // After a reset: entered from the keyboard, 3, a comma and 5, then Enter.
    form.rate->setMaskedText(QStringLiteral("0.00"));
    QCOMPARE(form.rate->maskedText(), QStringLiteral("  0.00"));
    form.database->setFocus();
    QTest::keyClick(form.database, Qt::Key_Tab);
    QVERIFY(form.rate->hasFocus());
    QCOMPARE(form.rate->selectedText().size(), 6);
    QTest::keyClicks(form.rate, QStringLiteral("3,5"));
    QCOMPARE(form.rate->maskedText(), QStringLiteral("  3.5 "));
    QCOMPARE(form.rate->engine().cursorPosition(), 5);
    QTest::keyClick(form.rate, Qt::Key_Return);
    QVERIFY(form.reminder->hasFocus());
    QCOMPARE(form.beeps, 0);

    // A point typed after "12": the whole part moves right, the caret goes to the hundredths.
    form.rate->setFocus(Qt::MouseFocusReason);
    form.rate->setMaskedText(QString());
    form.rate->setCursorPosition(0);
    QTest::keyClicks(form.rate, QStringLiteral("12"));
    QCOMPARE(form.rate->maskedText(), QStringLiteral("12 .  "));
    QTest::keyClicks(form.rate, QStringLiteral("."));
    QCOMPARE(form.rate->maskedText(), QStringLiteral(" 12.  "));
    QCOMPARE(form.rate->engine().cursorPosition(), 4);
    QTest::keyClicks(form.rate, QStringLiteral("75"));
    QCOMPARE(form.rate->maskedText(), QStringLiteral(" 12.75"));
    QCOMPARE(form.beeps, 0);
}

void TestMaskEdit::autoSelectOnKeyboardEntryOnly()
{
    Form form;
    QVERIFY(form.ready());
    form.database->setMaskedText(QStringLiteral("05/03/2024"));
    form.rate->setMaskedText(QStringLiteral("0.00"));

    // Base date: no selection by itself, also not the one the line edit makes on Tab.
    form.reminder->setFocus();
    QTest::keyClick(form.reminder, Qt::Key_Tab, Qt::ShiftModifier);
    QTest::keyClick(form.rate, Qt::Key_Tab, Qt::ShiftModifier);
    QVERIFY(form.database->hasFocus());
    QVERIFY(!form.database->hasSelectedText());
    QVERIFY(!form.database->engine().hasSelection());

    // Its entry handler selects instead, through the line edit's own call.
    QObject::connect(form.database, &MaskEdit::entered, form.database, &QLineEdit::selectAll);
    form.rate->setFocus(Qt::TabFocusReason);
    form.database->setFocus(Qt::BacktabFocusReason);
    QCOMPARE(form.database->engine().selectionEnd() - form.database->engine().selectionStart(), 10);
    QTest::keyClicks(form.database, QStringLiteral("1"));
    QCOMPARE(form.database->maskedText(), QStringLiteral("1 /  /    "));

    QTest::keyClick(form.database, Qt::Key_Tab);
    QVERIFY(form.rate->hasFocus());
    QCOMPARE(form.rate->engine().selectionStart(), 0);
    QCOMPARE(form.rate->engine().selectionEnd(), 6);

    // The program moving the focus counts as the keyboard; the mouse does not.
    form.reminder->setFocus();
    form.rate->setFocus();
    QCOMPARE(form.rate->engine().selectionEnd() - form.rate->engine().selectionStart(), 6);
    form.reminder->setFocus();
    form.rate->setFocus(Qt::MouseFocusReason);
    QVERIFY(!form.rate->engine().hasSelection());
}

void TestMaskEdit::entryAndExitIgnoreWindowActivation()
{
    Form form;
    QVERIFY(form.ready());
    form.database->setFocus();
    form.database->setMaskedText(QStringLiteral("05/03/2024"));
    QSignalSpy entered(form.database, &MaskEdit::entered);
    QSignalSpy exited(form.database, &MaskEdit::exited);

    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QFocusEvent in(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(form.database, &out);
    QApplication::sendEvent(form.database, &in);
    QCOMPARE(entered.count(), 0);
    QCOMPARE(exited.count(), 0);

    // The text at the real entry is still the one Escape goes back to.
    form.database->setFocus(Qt::TabFocusReason);
    form.database->setCursorPosition(0);
    QTest::keyClicks(form.database, QStringLiteral("1"));
    QTest::keyClick(form.database, Qt::Key_Escape);
    QCOMPARE(form.database->maskedText(), QStringLiteral("  /  /    "));

    form.reminder->setFocus(Qt::TabFocusReason);
    QCOMPARE(exited.count(), 1);
    form.database->setFocus(Qt::TabFocusReason);
    QCOMPARE(entered.count(), 1);
}

void TestMaskEdit::baseClassCallsGoThroughMask()
{
    MaskEdit edit(kDate);
    QSignalSpy changes(&edit, &MaskEdit::maskedTextChanged);
    QLineEdit *base = &edit;

    base->setText(QStringLiteral("5/3/2024"));
    QCOMPARE(edit.maskedText(), QStringLiteral(" 5/ 3/2024"));
    QCOMPARE(edit.displayText(), QStringLiteral("_5/_3/2024"));
    QCOMPARE(changes.count(), 1);

    base->setProperty("text", QStringLiteral("06/03/2024"));
    QCOMPARE(edit.maskedText(), QStringLiteral("06/03/2024"));

    base->clear();
    QCOMPARE(edit.maskedText(), QStringLiteral("  /  /    "));
    QCOMPARE(changes.count(), 3);

    // Caret moves made on the line edit are the engine's caret.
    base->setCursorPosition(6);
    QTest::keyClicks(&edit, QStringLiteral("1999"));
    QCOMPARE(edit.maskedText(), QStringLiteral("  /  /1999"));
    base->setSelection(0, 10);
    QTest::keyClick(&edit, Qt::Key_Delete);
    QCOMPARE(edit.maskedText(), QStringLiteral("  /  /    "));
}

void TestMaskEdit::mousePlacesCaret()
{
    Form form;
    QVERIFY(form.ready());
    form.database->setMaskedText(QStringLiteral("05/03/2024"));
    MaskEdit *edit = form.database;

    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(edit->width() - 2, edit->height() / 2));
    QVERIFY(edit->hasFocus());
    QCOMPARE(edit->engine().cursorPosition(), 10);

    QTest::mouseClick(edit, Qt::LeftButton, {}, QPoint(1, edit->height() / 2));
    QCOMPARE(edit->engine().cursorPosition(), 0);
    QTest::keyClicks(edit, QStringLiteral("9"));
    QCOMPARE(edit->maskedText(), QStringLiteral("95/03/2024"));
}

void TestMaskEdit::neverKeepsFocus()
{
    Form form;
    QVERIFY(form.ready());
    form.database->setFocus();
    QTest::keyClicks(form.database, QStringLiteral("05"));
    QTest::keyClick(form.database, Qt::Key_Tab);
    QVERIFY(form.rate->hasFocus());
    QCOMPARE(form.database->maskedText(), QStringLiteral("05/  /    "));
}

void TestMaskEdit::plainInputKeepsHandlerAndSignal()
{
    MaskEdit edit;
    edit.setKeyPressHandler([](QChar &key) {
        if (key == QChar(13))
            key = QChar();
        else
            key = key.toUpper();
    });
    QSignalSpy changes(&edit, &MaskEdit::maskedTextChanged);
    QSignalSpy returns(&edit, &QLineEdit::returnPressed);

    QTest::keyClicks(&edit, QStringLiteral("ab c"));
    QTest::keyClick(&edit, Qt::Key_Return);
    QCOMPARE(edit.maskedText(), QStringLiteral("AB C"));
    QCOMPARE(changes.count(), 4);
    QCOMPARE(returns.count(), 0);

    edit.setMaskedText(QStringLiteral("AB C"));
    QCOMPARE(changes.count(), 4);
    QTest::keyClick(&edit, Qt::Key_Backspace);
    QCOMPARE(edit.maskedText(), QStringLiteral("AB "));
}

QTEST_MAIN(TestMaskEdit)
#include "tst_maskedit.moc"
