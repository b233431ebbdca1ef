// SPDX-License-Identifier: MIT
#include "controls/calender.h"
#include "controls/dbgrid.h"
#include "controls/dbnavigator.h"
#include "controls/maskedit.h"
#include "controls/ovalbutton.h"
#include "core/clock.h"
#include "core/dates.h"
#include "core/table.h"
#include "support/ui/appmain.h"
#include "support/ui/windowfixture.h"
#include "ui/tcheq.h"

#include <QCalendarWidget>
#include <QDir>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

namespace
{

QWidget *focused()
{
    return QApplication::focusWidget();
}

// Types a text into whatever has the focus, one key event per character, as a user does.
void type(const QString &text)
{
    for (QChar c : text) {
        QWidget *target = focused();
        QVERIFY(target);
        QTest::keyClick(target, c.toLatin1());
    }
}

void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {})
{
    QWidget *target = focused();
    QVERIFY(target);
    QTest::keyClick(target, key, modifiers);
}

QString cell(const TCHEQ &w, int row, int column)
{
    return w.DBGrid1->gridModel()->index(row, column).data().toString();
}

enum Column { VALOR, DATA, DIAS, JUROS, VALORDESC };

} // namespace

// Header entry, Gravar and Reiniciar, the grid's keys and the window states, all driven by key
// and mouse events on a started main window.
class TestHeaderEntry : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil)); }
    void cleanupTestCase() { QLocale::setDefault(QLocale::c()); }
    void init() { setTodayForTesting(QDate(2024, 3, 5)); } // a Tuesday
    void cleanup() { setTodayForTesting(std::nullopt); }

    void wholeCalculationFromTheKeyboard();
    void baseDateOnLeaving_data();
    void baseDateOnLeaving();
    void rateOnLeaving_data();
    void rateOnLeaving();
    void reminderEnterWithGravarDisabled();
    void gravarWithNoDateLeavesTheState();
    void headerChangeLocksTheLines();
    void headerChangeDropsTheHalfTypedLine();
    void gridEnterRules();
    void gridF2RunsTheEnterRules();
    void gridValueThatIsNoNumber();
    void gridEmptyValueIsRefusedOnStore();
    void gridCtrlDeleteAsks_data();
    void gridCtrlDeleteAsks();
    void navigatorPassesTheLineGuard();
    void reiniciarWithLines();
    void windowStates();
    void calendarButtonWritesTheDate_data();
    void calendarButtonWritesTheDate();
    void realPickerWritesTheDate_data();
    void realPickerWritesTheDate();
    void modeSwitchIsNoHeaderChange();
    void acceleratorsClickTheOvalButtons_data();
    void acceleratorsClickTheOvalButtons();

private:
    // Starts a window and saves a header (base 01/03/2024, rate 3.50) through the keyboard.
    TCHEQ &startSaved(WindowFixture &f);
    // Types one cheque into the grid: value, Enter, date, Enter.
    void typeLine(const QString &value, const QString &date);
};

TCHEQ &TestHeaderEntry::startSaved(WindowFixture &f)
{
    TCHEQ &w = f.start();
    type(QStringLiteral("01032024"));
    press(Qt::Key_Return);
    type(QStringLiteral("3,5"));
    press(Qt::Key_Return);
    press(Qt::Key_Return); // empty reminder: on to Gravar
    press(Qt::Key_Return); // Gravar
    return w;
}

void TestHeaderEntry::typeLine(const QString &value, const QString &date)
{
    type(value);
    press(Qt::Key_Return);
    type(date);
    press(Qt::Key_Return);
}

void TestHeaderEntry::wholeCalculationFromTheKeyboard()
{
    WindowFixture f;
    TCHEQ &w = f.start();
    QCOMPARE(focused(), static_cast<QWidget *>(w.DATABASE));
    QVERIFY(w.DATABASE->hasSelectedText());

    type(QStringLiteral("01032024"));
    QCOMPARE(w.DATABASE->maskedText(), QStringLiteral("01/03/2024"));
    press(Qt::Key_Return);
    QCOMPARE(focused(), static_cast<QWidget *>(w.TAXA));
    QCOMPARE(w.TAXA->selectedText().size(), 6);

    type(QStringLiteral("3,5"));
    press(Qt::Key_Return);
    QCOMPARE(focused(), static_cast<QWidget *>(w.LEMBRETE));
    QCOMPARE(w.TAXA->maskedText(), QStringLiteral("  3.50"));

    type(QStringLiteral("cliente x"));
    QCOMPARE(w.LEMBRETE->text(), QStringLiteral("CLIENTE X"));
    press(Qt::Key_Return);
    QCOMPARE(focused(), static_cast<QWidget *>(w.BT1));
    press(Qt::Key_Return);

    // Saved header: the record is stored, the lines are open, the focus is on the grid.
    QVERIFY2(f.boxes.isEmpty(), qPrintable(f.boxes.join('|')));
    QCOMPARE(w.Table1.state(), TableState::Browse);
    QCOMPARE(w.Table1.fieldByName(QStringLiteral("JUROS")).asFloat(), 3.5);
    QCOMPARE(w.Table1.fieldByName(QStringLiteral("DATABASE")).asDate(),
             DayNumber(QDate(2024, 3, 1)));
    QCOMPARE(w.Table1.fieldByName(QStringLiteral("LEMBRETE")).asString(),
             QStringLiteral("CLIENTE X"));
    QVERIFY(!w.BT1->isEnabled());
    QVERIFY(w.Panel3->isEnabled());
    QCOMPARE(focused(), static_cast<QWidget *>(w.DBGrid1));

    // Enter on the empty grid starts the first line, with today's date, on the value.
    press(Qt::Key_Return);
    QCOMPARE(w.Table2.state(), TableState::Insert);
    QCOMPARE(w.DBGrid1->selectedIndex(), int(VALOR));
    typeLine(QStringLiteral("600"), QStringLiteral("15042024"));
    typeLine(QStringLiteral("1000"), QStringLiteral("13042024")); // a Saturday
    typeLine(QStringLiteral("250,5"), QStringLiteral("01052024"));
    QVERIFY2(f.boxes.isEmpty(), qPrintable(f.boxes.join('|')));

    // Three stored lines and the next one waiting, untouched, on the value.
    QCOMPARE(w.Table2.state(), TableState::Insert);
    QCOMPARE(w.DBGrid1->selectedIndex(), int(VALOR));
    QCOMPARE(w.DBGrid1->gridModel()->rowCount(), 4);
    const QStringList expected[] = {
        {"600,00", "15/04/2024", "45", "31,50", "568,50"},
        {"1.000,00", "15/04/2024", "45", "52,50", "947,50"},
        {"250,50", "01/05/2024", "61", "17,83", "232,67"},
    };
    for (int row = 0; row < 3; ++row)
        for (int column = VALOR; column <= VALORDESC; ++column)
            QCOMPARE(cell(w, row, column), expected[row][column]);
    QCOMPARE(w.lVALOR->text(), QStringLiteral("1.850,50"));
    QCOMPARE(w.lJUROS->text(), QStringLiteral("101,83"));
    QCOMPARE(w.lVALORACUM->text(), QStringLiteral("1.748,67"));

    // The line file holds the three lines, the Saturday moved to the Monday.
    Table lines;
    lines.setDatabaseName(f.dataFolder());
    lines.setTableName(QStringLiteral("Aux_Jur1.db"));
    lines.open();
    QCOMPARE(lines.recordCount(), 3);
    const QDate dates[] = {{2024, 4, 15}, {2024, 4, 15}, {2024, 5, 1}};
    const double values[] = {600, 1000, 250.5};
    lines.first();
    for (int i = 0; i < 3; ++i, lines.next()) {
        QCOMPARE(lines.fieldByName(QStringLiteral("COD")).asString(), QStringLiteral("000001"));
        QCOMPARE(lines.fieldByName(QStringLiteral("DATA")).asDate(), DayNumber(dates[i]));
        QCOMPARE(lines.fieldByName(QStringLiteral("VALOR")).asFloat(), values[i]);
    }
}

void TestHeaderEntry::baseDateOnLeaving_data()
{
    QTest::addColumn<QString>("typed"); // after selecting the whole text; "<empty>" deletes it
    QTest::addColumn<QString>("text");  // DATABASE afterwards
    QTest::addColumn<QString>("box");   // the error box, or ""
    QTest::newRow("two-digit year") << "010224"
                                    << "01/02/2024"
                                    << "";
    QTest::newRow("single digits kept as typed") << "05062024"
                                                 << "05/06/2024"
                                                 << "";
    QTest::newRow("29/02 in a leap year") << "29022024"
                                          << "29/02/2024"
                                          << "";
    QTest::newRow("29/02 in a common year") << "29022023"
                                            << "29/02/2023"
                                            << "error: '29/02/2023' is not a valid date.";
    QTest::newRow("31/04") << "31042024"
                           << "31/04/2024"
                           << "error: '31/04/2024' is not a valid date.";
    QTest::newRow("empty") << "<empty>"
                           << "  /  /    "
                           << "error: '  /  /    ' is not a valid date.";
}

void TestHeaderEntry::baseDateOnLeaving()
{
    QFETCH(QString, typed);
    QFETCH(QString, text);
    QFETCH(QString, box);
    WindowFixture f;
    TCHEQ &w = f.start();
    if (typed == QLatin1String("<empty>"))
        press(Qt::Key_Delete);
    else
        type(typed);
    press(Qt::Key_Return);
    QCOMPARE(w.DATABASE->maskedText(), text);
    QCOMPARE(f.boxes, box.isEmpty() ? QStringList() : QStringList{box});
    // The header stays unsaved whatever happened.
    QVERIFY(w.BT1->isEnabled());
    QVERIFY(!w.Panel3->isEnabled());
}

void TestHeaderEntry::rateOnLeaving_data()
{
    QTest::addColumn<QString>("keys"); // typed after entering TAXA (whole text selected)
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("rate"); // stored by Gravar
    QTest::newRow("3 comma 5") << "3,5"
                               << "  3.50" << 3.5;
    QTest::newRow("point on blanks") << "."
                                     << "  0.00" << 0.0;
    QTest::newRow("point after two digits") << "12.7"
                                            << " 12.70" << 12.7;
    QTest::newRow("three digits") << "12525"
                                  << "125.25" << 125.25;
    QTest::newRow("minus") << "-5."
                           << " -5.00" << -5.0;
    QTest::newRow("nothing typed") << ""
                                   << "  0.00" << 0.0;
    QTest::newRow("refused letter") << "a2"
                                    << "  2.00" << 2.0;
}

void TestHeaderEntry::rateOnLeaving()
{
    QFETCH(QString, keys);
    QFETCH(QString, text);
    QFETCH(double, rate);
    WindowFixture f;
    TCHEQ &w = f.start();
    press(Qt::Key_Return); // to TAXA
    QCOMPARE(focused(), static_cast<QWidget *>(w.TAXA));
    type(keys);
    press(Qt::Key_Tab);
    QCOMPARE(w.TAXA->maskedText(), text);
    w.BT1->click();
    QVERIFY2(f.boxes.isEmpty(), qPrintable(f.boxes.join('|')));
    QCOMPARE(w.Table1.fieldByName(QStringLiteral("JUROS")).asFloat(), rate);
}

void TestHeaderEntry::reminderEnterWithGravarDisabled()
{
    WindowFixture f;
    TCHEQ &w = startSaved(f);
    QVERIFY(!w.BT1->isEnabled());
    w.LEMBRETE->setFocus(Qt::TabFocusReason);
    // Enter alone changes nothing, so Gravar stays disabled and the focus stays.
    press(Qt::Key_Return);
    QCOMPARE(focused(), static_cast<QWidget *>(w.LEMBRETE));
    QVERIFY(!w.BT1->isEnabled());
}

void TestHeaderEntry::gravarWithNoDateLeavesTheState()
{
    WindowFixture f;
    TCHEQ &w = f.start();
    // Gravar by its accelerator while the base date is empty: the leave handler and Gravar
    // both report the text, nothing is stored.
    press(Qt::Key_Delete);
    press(Qt::Key_G, Qt::AltModifier); // a button's mnemonic clicks it after its animation
    QTRY_VERIFY2(f.boxes.contains(QStringLiteral("error: '  /  /    ' is not a valid date.")),
                 qPrintable(f.boxes.join('|')));
    QCOMPARE(w.Table1.state(), TableState::Insert);
    QVERIFY(w.BT1->isEnabled());
    QVERIFY(!w.Panel3->isEnabled());
}

void TestHeaderEntry::headerChangeLocksTheLines()
{
    WindowFixture f;
    TCHEQ &w = startSaved(f);
    press(Qt::Key_Return);
    typeLine(QStringLiteral("600"), QStringLiteral("15042024"));
    press(Qt::Key_Escape); // drop the untouched next line
    QCOMPARE(w.Table2.state(), TableState::Browse);
    QCOMPARE(w.Table2.recordCount(), 1);

    w.LEMBRETE->setFocus(Qt::TabFocusReason);
    type(QStringLiteral("a"));
    QVERIFY(w.BT1->isEnabled());
    QVERIFY(w.Panel3->isEnabled());

    w.DBGrid1->setFocus(Qt::TabFocusReason);
    f.boxes.clear();
    press(Qt::Key_Return);
    QCOMPARE(f.boxes, QStringList{QStringLiteral("info: Grave o cabeçário primeiro.")});
    QCOMPARE(w.Table2.state(), TableState::Browse);
    // Printing is refused the same way.
    f.boxes.clear();
    w.BitBtn2Click();
    QCOMPARE(f.boxes, QStringList{QStringLiteral("info: Grave o cabeçário primeiro.")});
    QVERIFY(!w.reportForm());

    // Gravar again opens the lines.
    w.BT1->click();
    w.DBGrid1->setFocus(Qt::TabFocusReason);
    f.boxes.clear();
    press(Qt::Key_Return);
    QVERIFY(f.boxes.isEmpty());
    QCOMPARE(w.Table2.state(), TableState::Edit);
}

void TestHeaderEntry::headerChangeDropsTheHalfTypedLine()
{
    WindowFixture f;
    TCHEQ &w = startSaved(f);
    press(Qt::Key_Return);
    type(QStringLiteral("600"));
    press(Qt::Key_Return); // the value is in, the date not yet confirmed
    QCOMPARE(w.Table2.state(), TableState::Insert);
    QTest::mouseClick(w.LEMBRETE, Qt::LeftButton);
    type(QStringLiteral("x"));
    QCOMPARE(w.Table2.state(), TableState::Browse);
    QCOMPARE(w.Table2.recordCount(), 0);
    QCOMPARE(w.DBGrid1->gridModel()->rowCount(), 0);
    QCOMPARE(w.lVALOR->text(), QStringLiteral("0,00"));
}

void TestHeaderEntry::gridEnterRules()
{
    WindowFixture f;
    TCHEQ &w = startSaved(f);
    press(Qt::Key_Return);
    typeLine(QStringLiteral("600"), QStringLiteral("15042024"));
    press(Qt::Key_Escape);
    QCOMPARE(w.Table2.recordCount(), 1);

    // Browsing: Enter edits the current line, on its column.
    press(Qt::Key_Return);
    QCOMPARE(w.Table2.state(), TableState::Edit);
    QCOMPARE(w.DBGrid1->selectedIndex(), int(VALOR));
    // On a calculated column Enter only hides or shows the cell editor.
    w.DBGrid1->setSelectedIndex(JUROS);
    const bool shown = w.DBGrid1->editorMode();
    press(Qt::Key_Return);
    QCOMPARE(w.Table2.state(), TableState::Edit);
    QCOMPARE(w.DBGrid1->editorMode(), !shown);
    QCOMPARE(w.DBGrid1->selectedIndex(), int(JUROS));

    // Enter on DATA of an edited line stores it and opens no new line.
    w.DBGrid1->setSelectedIndex(VALOR);
    type(QStringLiteral("700"));
    press(Qt::Key_Return);
    QCOMPARE(w.DBGrid1->selectedIndex(), int(DATA));
    press(Qt::Key_Return);
    QCOMPARE(w.Table2.state(), TableState::Browse);
    QCOMPARE(w.Table2.recordCount(), 1);
    QCOMPARE(cell(w, 0, VALOR), QStringLiteral("700,00"));
    QCOMPARE(w.lVALOR->text(), QStringLiteral("700,00"));
}

void TestHeaderEntry::gridF2RunsTheEnterRules()
{
    WindowFixture f;
    TCHEQ &w = startSaved(f);
    press(Qt::Key_F2); // as Enter: the first line
    QCOMPARE(w.Table2.state(), TableState::Insert);
    type(QStringLiteral("600"));
    press(Qt::Key_F2);
    QCOMPARE(w.DBGrid1->selectedIndex(), int(DATA));
    type(QStringLiteral("15042024"));
    press(Qt::Key_F2);
    QCOMPARE(w.Table2.recordCount(), 1);
    QCOMPARE(w.Table2.state(), TableState::Insert);
    QCOMPARE(w.DBGrid1->selectedIndex(), int(VALOR));
}

void TestHeaderEntry::gridValueThatIsNoNumber()
{
    WindowFixture f;
    TCHEQ &w = startSaved(f);
    press(Qt::Key_Return);
    type(QStringLiteral("12x")); // a letter is refused at once
    QCOMPARE(w.DBGrid1->cellEditor()->maskedText().trimmed(), QStringLiteral("12"));
    type(QStringLiteral("-3"));
    press(Qt::Key_Return);
    QCOMPARE(f.boxes,
             QStringList{QStringLiteral("error: '12-3' is not a valid floating point value.")});
    QCOMPARE(w.Table2.state(), TableState::Insert);
    QCOMPARE(w.Table2.recordCount(), 0);
}

void TestHeaderEntry::gridEmptyValueIsRefusedOnStore()
{
    WindowFixture f;
    TCHEQ &w = startSaved(f);
    press(Qt::Key_Return);
    press(Qt::Key_Return); // no value: on to the date
    QCOMPARE(w.DBGrid1->selectedIndex(), int(DATA));
    press(Qt::Key_Return);
    QCOMPARE(f.boxes, QStringList{QStringLiteral("error: Field 'VALOR' must have a value.")});
    QCOMPARE(w.Table2.state(), TableState::Insert);
    QCOMPARE(w.Table2.recordCount(), 0);
}

void TestHeaderEntry::gridCtrlDeleteAsks_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<int>("left");
    QTest::newRow("yes") << true << 1;
    QTest::newRow("no") << false << 2;
}

void TestHeaderEntry::gridCtrlDeleteAsks()
{
    QFETCH(bool, answer);
    QFETCH(int, left);
    WindowFixture f;
    TCHEQ &w = startSaved(f);
    press(Qt::Key_Return);
    typeLine(QStringLiteral("600"), QStringLiteral("15042024"));
    typeLine(QStringLiteral("100"), QStringLiteral("15042024"));
    press(Qt::Key_Escape);
    QCOMPARE(w.Table2.recordCount(), 2);
    f.boxes.clear();
    f.confirmAnswer = answer;
    press(Qt::Key_Delete, Qt::ControlModifier);
    QCOMPARE(f.boxes, QStringList{QStringLiteral("confirm: Delete record?")});
    QCOMPARE(w.Table2.recordCount(), left);
    QCOMPARE(w.lVALOR->text(), answer ? QStringLiteral("600,00") : QStringLiteral("700,00"));
}

void TestHeaderEntry::navigatorPassesTheLineGuard()
{
    WindowFixture f;
    TCHEQ &w = startSaved(f);
    press(Qt::Key_Return);
    typeLine(QStringLiteral("600"), QStringLiteral("15042024"));
    press(Qt::Key_Escape);
    w.LEMBRETE->setFocus(Qt::TabFocusReason);
    type(QStringLiteral("a"));
    f.boxes.clear();
    // Insert and delete from the navigator are refused with the guard's message.
    for (const auto button :
         {DBNavigator::Button::Insert, DBNavigator::Button::Delete, DBNavigator::Button::Edit}) {
        QTest::mouseClick(w.DBNavigator1, Qt::LeftButton, {},
                          w.DBNavigator1->buttonRect(button).center());
        // The delete button asks first; the guard refuses when the table is asked.
        const QString expected = button == DBNavigator::Button::Delete
                                     ? QStringLiteral("confirm: Delete record?|")
                                     : QString();
        QCOMPARE(f.boxes.join('|'), expected + QStringLiteral("info: Grave o cabeçário primeiro."));
        f.boxes.clear();
        QCOMPARE(w.Table2.state(), TableState::Browse);
        QCOMPARE(w.Table2.recordCount(), 1);
    }
}

void TestHeaderEntry::reiniciarWithLines()
{
    WindowFixture f;
    TCHEQ &w = startSaved(f);
    press(Qt::Key_Return);
    typeLine(QStringLiteral("600"), QStringLiteral("15042024"));
    typeLine(QStringLiteral("100"), QStringLiteral("16042024"));
    w.LEMBRETE->setText(QStringLiteral("X"));
    f.boxes.clear();
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton, {}, w.BitBtn1->rect().center());
    QVERIFY2(f.boxes.isEmpty(), qPrintable(f.boxes.join('|')));
    QCOMPARE(w.DBGrid1->gridModel()->rowCount(), 0);
    QVERIFY(!w.Panel3->isEnabled());
    QVERIFY(w.BT1->isEnabled());
    QCOMPARE(w.LEMBRETE->text(), QString());
    QCOMPARE(w.TAXA->maskedText(), QStringLiteral("  0.00"));
    QCOMPARE(w.DATABASE->maskedText(), QStringLiteral("05/03/2024"));
    for (QLabel *total : {w.lVALOR, w.lJUROS, w.lVALORACUM})
        QCOMPARE(total->text(), QStringLiteral("0,00"));
    QCOMPARE(focused(), static_cast<QWidget *>(w.DATABASE));
    Table lines;
    lines.setDatabaseName(f.dataFolder());
    lines.setTableName(QStringLiteral("Aux_Jur1.db"));
    lines.open();
    QVERIFY(lines.isEmpty());
}

void TestHeaderEntry::windowStates()
{
    WindowFixture f;
    TCHEQ &w = f.start();
    const auto always = [&w] {
        for (QWidget *c :
             std::initializer_list<QWidget *>{w.BitBtn1, w.BitBtn2, w.BitBtn3, w.Image2, w.Label1,
                                              w.Panel2, w.RadioButton1, w.RadioButton2})
            QVERIFY2(c->isEnabled(), qPrintable(c->objectName()));
    };
    // Unsaved new header.
    always();
    QVERIFY(w.BT1->isEnabled());
    QVERIFY(!w.Panel3->isEnabled());
    // Saved header.
    w.BT1->click();
    always();
    QVERIFY(!w.BT1->isEnabled());
    QVERIFY(w.Panel3->isEnabled());
    // Changed header: by each of the three inputs.
    for (QLineEdit *input :
         {static_cast<QLineEdit *>(w.DATABASE), static_cast<QLineEdit *>(w.TAXA), w.LEMBRETE}) {
        w.BT1->click();
        QVERIFY(!w.BT1->isEnabled());
        input->setFocus(Qt::TabFocusReason);
        press(Qt::Key_End);
        press(Qt::Key_Backspace);
        QVERIFY2(w.BT1->isEnabled() || input == w.LEMBRETE, qPrintable(input->objectName()));
        if (input == w.LEMBRETE) {
            type(QStringLiteral("z"));
            QVERIFY(w.BT1->isEnabled());
        }
        always();
        QVERIFY(w.Panel3->isEnabled());
        input->setText(input == w.DATABASE ? QStringLiteral("01/03/2024")
                       : input == w.TAXA   ? QStringLiteral("  1.00")
                                           : QString());
    }
}

void TestHeaderEntry::calendarButtonWritesTheDate_data()
{
    QTest::addColumn<QDate>("picked");
    QTest::addColumn<bool>("changed");
    QTest::newRow("another date") << QDate(2024, 4, 2) << true;
    QTest::newRow("the same date") << QDate(2024, 3, 1) << false;
}

void TestHeaderEntry::calendarButtonWritesTheDate()
{
    QFETCH(QDate, picked);
    QFETCH(bool, changed);
    WindowFixture f;
    TCHEQ &w = startSaved(f);
    QWidget *owner = nullptr;
    TCHEQ::setDatePickerForTesting([&](QWidget *o) {
        owner = o;
        return picked;
    });
    w.TAXA->setFocus(Qt::TabFocusReason);
    QTest::mouseClick(w.SpeedButton2, Qt::LeftButton);
    QCOMPARE(owner, static_cast<QWidget *>(&w));
    QCOMPARE(w.DATABASE->maskedText(), picked.toString(QStringLiteral("dd/MM/yyyy")));
    QCOMPARE(focused(), static_cast<QWidget *>(w.DATABASE));
    QCOMPARE(w.BT1->isEnabled(), changed);
}

void TestHeaderEntry::realPickerWritesTheDate_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("changed");
    // The picker opens on today, 05/03/2024, whatever the base date is.
    QTest::newRow("Enter after Right") << "Enter"
                                       << "06/03/2024" << true;
    QTest::newRow("close box after Right") << "close"
                                           << "06/03/2024" << true;
    QTest::newRow("Enter on today, the date before") << "Enter today"
                                                     << "05/03/2024" << false;
}

void TestHeaderEntry::realPickerWritesTheDate()
{
    QFETCH(QString, way);
    QFETCH(QString, text);
    QFETCH(bool, changed);
    WindowFixture f;
    TCHEQ &w = f.start();
    w.DATABASE->setText(QStringLiteral("05/03/2024"));
    w.BT1->click();
    QVERIFY(!w.BT1->isEnabled());
    bool opened = false, leftOpen = false;
    QDate shown;
    // The picker runs its own loop: drive it from inside, and never leave it waiting.
    QTimer::singleShot(0, &w, [&] {
        auto *picker = qobject_cast<TCalender *>(QApplication::activeModalWidget());
        if (!picker)
            return;
        opened = true;
        shown = picker->Date();
        QApplication::setActiveWindow(picker); // no window manager offscreen
        if (QTest::qWaitForWindowActive(picker) && QApplication::focusWidget()) {
            if (way != QLatin1String("Enter today"))
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
            if (way == QLatin1String("close"))
                picker->close();
            else
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        }
        leftOpen = picker->isVisible();
        if (leftOpen)
            picker->done(QDialog::Rejected);
    });
    w.SpeedButton2Click();
    QVERIFY(opened);
    QVERIFY2(!leftOpen, "the picker stayed open");
    QCOMPARE(shown, QDate(2024, 3, 5));
    QVERIFY(w.findChildren<TCalender *>().isEmpty());
    QCOMPARE(w.DATABASE->maskedText(), text);
    // The window's own focus; with no window manager offscreen nothing reactivates it.
    QCOMPARE(w.focusWidget(), static_cast<QWidget *>(w.DATABASE));
    QCOMPARE(w.BT1->isEnabled(), changed);
    QVERIFY2(f.boxes.isEmpty(), qPrintable(f.boxes.join('|')));
}

void TestHeaderEntry::modeSwitchIsNoHeaderChange()
{
    WindowFixture f;
    TCHEQ &w = startSaved(f);
    press(Qt::Key_Return);
    typeLine(QStringLiteral("600"), QStringLiteral("15042024"));
    press(Qt::Key_Escape);
    QCOMPARE(cell(w, 0, JUROS), QStringLiteral("31,50"));
    QTest::mouseClick(w.RadioButton2, Qt::LeftButton);
    QVERIFY(w.RadioButton2->isChecked());
    QVERIFY(!w.BT1->isEnabled());
    // Compound: 21,00 on the first 30 days, then 15 days on 621,00.
    QCOMPARE(cell(w, 0, JUROS), QStringLiteral("31,87"));
    QCOMPARE(w.lJUROS->text(), QStringLiteral("31,87"));
    QTest::mouseClick(w.RadioButton1, Qt::LeftButton);
    QCOMPARE(cell(w, 0, JUROS), QStringLiteral("31,50"));
}

void TestHeaderEntry::acceleratorsClickTheOvalButtons_data()
{
    QTest::addColumn<char>("letter");
    QTest::addColumn<QString>("result");
    QTest::newRow("Alt+R Reiniciar") << 'r' << "restarted";
    QTest::newRow("Alt+P Imprimir") << 'p' << "refused";
    QTest::newRow("Alt+S Sair") << 's' << "closed";
}

void TestHeaderEntry::acceleratorsClickTheOvalButtons()
{
    QFETCH(char, letter);
    QFETCH(QString, result);
    WindowFixture f;
    TCHEQ &w = f.start();
    w.LEMBRETE->setFocus(Qt::TabFocusReason);
    type(QStringLiteral("abc"));
    f.boxes.clear();
    QTest::keyClick(focused(), letter, Qt::AltModifier);
    if (result == QLatin1String("restarted")) {
        QCOMPARE(w.LEMBRETE->text(), QString());
        QCOMPARE(focused(), static_cast<QWidget *>(w.DATABASE));
    } else if (result == QLatin1String("refused")) {
        QCOMPARE(f.boxes, QStringList{QStringLiteral("info: Grave o cabeçário primeiro.")});
    } else {
        QVERIFY(!w.isVisible());
    }
    if (result != QLatin1String("restarted"))
        QCOMPARE(w.LEMBRETE->text(), QStringLiteral("ABC"));
}

CHEQUES_APP_TEST_MAIN(TestHeaderEntry)
#include "tst_headerentry.moc"
