// SPDX-License-Identifier: MIT
#include "controls/calender.h"
#include "controls/messages.h"
#include "core/clock.h"

#include <QCalendarWidget>
#include <QTableView>
#include <QtTest>

#include <functional>
#include <memory>

namespace
{

const QDate kToday(2024, 5, 15);

QDate dmy(const char *text)
{
    return QDate::fromString(QString::fromLatin1(text), QStringLiteral("dd/MM/yyyy"));
}

// Presses the keys of a list such as "Shift+Right, PgDown" one after the other on the widget that
// has the focus, the way the user's keyboard would reach the picker.
void pressKeys(const QString &keys)
{
    for (const QString &name : keys.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QKeySequence sequence(name.trimmed());
        QVERIFY2(sequence.count() == 1, qPrintable(name));
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QTest::keyClick(focus, sequence[0].key(), sequence[0].keyboardModifiers());
    }
}

QTableView *dayGrid(TCalender *picker)
{
    return picker->MonthCalendar1()->findChild<QTableView *>();
}

// The centre of the grid cell at (row, column); row 0 holds the day names, column 0 the week
// numbers.
QPoint cellCentre(TCalender *picker, int row, int column)
{
    QTableView *grid = dayGrid(picker);
    return grid->visualRect(grid->model()->index(row, column)).center();
}

// The cell showing `day` of the month on show (the days of the months around it are outside
// the range 15..20 on every page).
QPoint dayCentre(TCalender *picker, int day)
{
    QAbstractItemModel *model = dayGrid(picker)->model();
    for (int row = 1; row < model->rowCount(); ++row) {
        for (int column = 1; column < model->columnCount(); ++column) {
            if (model->index(row, column).data().toString() == QString::number(day))
                return cellCentre(picker, row, column);
        }
    }
    return {};
}

// A double click as the mouse makes it: the first click selects, the second press brings the
// double click.
void doubleClick(QWidget *widget, QPoint point)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, point);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, point);
}

QWidget *titleBand(TCalender *picker)
{
    return picker->MonthCalendar1()->findChild<QWidget *>(
        QStringLiteral("qt_calendar_navigationbar"));
}

// A point of the title band that no button covers.
QPoint bareTitlePoint(TCalender *picker)
{
    QWidget *band = titleBand(picker);
    const int y = band->height() / 2;
    for (int x = band->width() / 2; x > 0; --x) {
        if (!band->childAt(x, y))
            return {x, y};
    }
    return {};
}

} // namespace

class TestCalender : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void window();
    void calendarControl();
    void keys_data();
    void keys();
    void autoRepeatActsOncePerKeyDown();
    void escapeLeavesItOpen();
    void closes_data();
    void closes();
    void comingBackToThePickerKeepsItsDate();
    void eachOpeningStartsFromToday();

private:
    std::unique_ptr<TCalender> openPicker(QWidget *owner = nullptr);
    // Runs TCalender::Pick with `owner` while `drive` works the picker from inside the modal
    // showing; a picker that `drive` leaves open is ended so the test never hangs.
    QDate pickWith(QWidget *owner, const std::function<void(TCalender *)> &drive);

    QStringList m_boxes;
    bool m_leftOpen = false;
};

void TestCalender::init()
{
    m_boxes.clear();
    m_leftOpen = false;
    Messages::setSinkForTesting([this](Messages::Kind kind, const QString &text) {
        m_boxes << (kind == Messages::Kind::Error ? QStringLiteral("error: ") : QString()) + text;
        return true;
    });
    setTodayForTesting(kToday);
}

void TestCalender::cleanup()
{
    Messages::setSinkForTesting({});
    setTodayForTesting(std::nullopt);
}

std::unique_ptr<TCalender> TestCalender::openPicker(QWidget *owner)
{
    auto picker = std::make_unique<TCalender>(owner);
    picker->show();
    if (!QTest::qWaitForWindowActive(picker.get()))
        qWarning("the picker did not become active");
    return picker;
}

QDate TestCalender::pickWith(QWidget *owner, const std::function<void(TCalender *)> &drive)
{
    QTimer::singleShot(0, owner, [this, drive] {
        auto *picker = qobject_cast<TCalender *>(QApplication::activeModalWidget());
        if (!picker)
            return;
        if (QTest::qWaitForWindowActive(picker))
            drive(picker);
        m_leftOpen = picker->isVisible();
        if (m_leftOpen)
            picker->done(QDialog::Rejected);
    });
    return TCalender::Pick(owner);
}

void TestCalender::window()
{
    QWidget owner;
    owner.setGeometry(0, 0, 1000, 700);
    owner.show();
    auto picker = openPicker(&owner);

    QCOMPARE(picker->windowTitle(), QStringLiteral("           Calendário"));
    QCOMPARE(picker->parentWidget(), &owner);
    const Qt::WindowFlags flags = picker->windowFlags();
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::MSWindowsFixedSizeDialogHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowContextHelpButtonHint));

    // Not centred over the owner: the outer corner stands where it was put.
    QCOMPARE(picker->frameGeometry().topLeft(), QPoint(337, 194));
    QCOMPARE(picker->size(), QSize(247, 181));
    QCOMPARE(picker->minimumSize(), QSize(247, 181));
    QCOMPARE(picker->maximumSize(), QSize(247, 181));

    const QIcon icon = picker->windowIcon();
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    const QImage image = icon.pixmap(32, 32).toImage();
    QCOMPARE(image.size(), QSize(32, 32));
    QVERIFY(image.pixelColor(16, 20).alpha() > 0);

    QCOMPARE(picker->font().pixelSize(), 10);
    const QString face = QFontInfo(picker->font()).family();
    QVERIFY2(QStringList({"MS Sans Serif", "Liberation Sans", "DejaVu Sans"}).contains(face),
             qPrintable(face));
}

void TestCalender::calendarControl()
{
    auto picker = openPicker();
    QCalendarWidget *calendar = picker->MonthCalendar1();

    QCOMPARE(calendar->objectName(), QStringLiteral("MonthCalendar1"));
    QCOMPARE(calendar->parentWidget(), picker.get());
    QCOMPARE(picker->findChildren<QCalendarWidget *>().size(), 1);
    QCOMPARE(calendar->geometry(), QRect(-3, -21, 253, 222));
    QCOMPARE(calendar->verticalHeaderFormat(), QCalendarWidget::ISOWeekNumbers);
    QCOMPARE(calendar->selectionMode(), QCalendarWidget::SingleSelection);
    QCOMPARE(calendar->font().pixelSize(), 15);

    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    QVERIFY(calendar == focus || calendar->isAncestorOf(focus));

    // Though the control reaches past every edge, its title band and its last week are in view.
    QWidget *band = titleBand(picker.get());
    QVERIFY(band);
    const QRect bandInPicker(band->mapTo(picker.get(), QPoint(0, 0)), band->size());
    QVERIFY2(picker->rect().contains(bandInPicker.topLeft()), "title band hidden");
    QTableView *grid = dayGrid(picker.get());
    const QRect lastCell = grid->visualRect(
        grid->model()->index(grid->model()->rowCount() - 1, grid->model()->columnCount() - 1));
    const QPoint lastCorner = grid->viewport()->mapTo(picker.get(), lastCell.bottomRight());
    QVERIFY2(picker->rect().contains(lastCorner), "last week hidden");

    const QPoint bare = bareTitlePoint(picker.get());
    QVERIFY(!bare.isNull());
    const QImage shot = picker->grab().toImage();
    QCOMPARE(shot.pixelColor(band->mapTo(picker.get(), bare)), QColor(0, 128, 128));
}

void TestCalender::keys_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QDate>("shown");
    QTest::addColumn<QStringList>("boxes");

    const QStringList none;
    const QDate mid = kToday;
    QTest::newRow("Left") << mid << "Left" << dmy("14/05/2024") << none;
    QTest::newRow("Shift+Left") << mid << "Shift+Left" << dmy("14/05/2024") << none;
    QTest::newRow("Ctrl+Left") << mid << "Ctrl+Left" << dmy("14/05/2024") << none;
    QTest::newRow("Right") << mid << "Right" << dmy("16/05/2024") << none;
    QTest::newRow("Shift+Right") << mid << "Shift+Right" << dmy("16/05/2024") << none;
    QTest::newRow("Ctrl+Right") << mid << "Ctrl+Right" << dmy("16/05/2024") << none;
    QTest::newRow("Alt+Right") << mid << "Alt+Right" << dmy("16/05/2024") << none;
    QTest::newRow("Up") << mid << "Up" << dmy("08/05/2024") << none;
    QTest::newRow("Shift+Up") << mid << "Shift+Up" << dmy("08/05/2024") << none;
    QTest::newRow("Ctrl+Up") << mid << "Ctrl+Up" << dmy("08/05/2024") << none;
    QTest::newRow("Down") << mid << "Down" << dmy("22/05/2024") << none;
    QTest::newRow("Shift+Down") << mid << "Shift+Down" << dmy("22/05/2024") << none;
    QTest::newRow("Ctrl+Down") << mid << "Ctrl+Down" << dmy("22/05/2024") << none;
    QTest::newRow("Left into February of a leap year")
        << dmy("01/03/2024") << "Left" << dmy("29/02/2024") << none;
    QTest::newRow("Down into the next year")
        << dmy("28/12/2023") << "Down" << dmy("04/01/2024") << none;
    QTest::newRow("Up into the previous year")
        << dmy("03/01/2024") << "Up" << dmy("27/12/2023") << none;
    QTest::newRow("arrows in a row")
        << mid << "Right, Right, Down, Left, Up, Up" << dmy("09/05/2024") << none;

    QTest::newRow("PgUp") << mid << "PgUp" << dmy("15/04/2024") << none;
    QTest::newRow("Shift+PgUp") << mid << "Shift+PgUp" << dmy("15/04/2024") << none;
    QTest::newRow("Ctrl+PgUp") << mid << "Ctrl+PgUp" << dmy("15/04/2024") << none;
    QTest::newRow("PgDown") << mid << "PgDown" << dmy("15/06/2024") << none;
    QTest::newRow("Shift+PgDown") << mid << "Shift+PgDown" << dmy("15/06/2024") << none;
    QTest::newRow("Ctrl+PgDown") << mid << "Ctrl+PgDown" << dmy("15/06/2024") << none;
    QTest::newRow("PgUp in January") << dmy("31/01/2024") << "PgUp" << dmy("31/12/2023") << none;
    QTest::newRow("PgDown in December")
        << dmy("31/12/2023") << "PgDown" << dmy("31/01/2024") << none;
    QTest::newRow("PgDown onto 29 February of a leap year")
        << dmy("29/01/2024") << "PgDown" << dmy("29/02/2024") << none;
    QTest::newRow("PgDown across the year")
        << dmy("15/11/2023") << "PgDown, PgDown, PgDown" << dmy("15/02/2024") << none;
    QTest::newRow("PgUp across the year")
        << dmy("10/02/2024") << "PgUp, PgUp" << dmy("10/12/2023") << none;

    QTest::newRow("PgDown from 31 March")
        << dmy("31/03/2024") << "PgDown" << dmy("31/03/2024")
        << QStringList{"error: '31/04/2024' is not a valid date."};
    QTest::newRow("PgDown from 29 January 2023")
        << dmy("29/01/2023") << "PgDown" << dmy("29/01/2023")
        << QStringList{"error: '29/02/2023' is not a valid date."};
    QTest::newRow("PgDown from 31 January 2024")
        << dmy("31/01/2024") << "PgDown" << dmy("31/01/2024")
        << QStringList{"error: '31/02/2024' is not a valid date."};
    QTest::newRow("Shift+PgUp from 31 May")
        << dmy("31/05/2024") << "Shift+PgUp" << dmy("31/05/2024")
        << QStringList{"error: '31/04/2024' is not a valid date."};
    QTest::newRow("PgUp from 30 March 2023")
        << dmy("30/03/2023") << "PgUp" << dmy("30/03/2023")
        << QStringList{"error: '30/02/2023' is not a valid date."};
    QTest::newRow("the picker goes on after a failed step")
        << dmy("31/01/2024") << "PgDown, PgDown, Right, PgDown" << dmy("01/03/2024")
        << QStringList{"error: '31/02/2024' is not a valid date.",
                       "error: '31/02/2024' is not a valid date."};

    // Keys outside the picker's table: the calendar's own month ends, nothing for the rest.
    QTest::newRow("Home") << mid << "Home" << dmy("01/05/2024") << none;
    QTest::newRow("End") << mid << "End" << dmy("31/05/2024") << none;
    QTest::newRow("Escape") << mid << "Escape" << mid << none;
    QTest::newRow("digits") << mid << "1, 2" << mid << none;
    QTest::newRow("Tab then Right") << mid << "Tab, Right" << dmy("16/05/2024") << none;
}

void TestCalender::keys()
{
    QFETCH(QDate, today);
    QFETCH(QString, keys);
    QFETCH(QDate, shown);
    QFETCH(QStringList, boxes);

    setTodayForTesting(today);
    auto picker = openPicker();
    QCOMPARE(picker->Date(), today);
    QSignalSpy finished(picker.get(), &QDialog::finished);

    pressKeys(keys);

    QCOMPARE(picker->Date(), shown);
    QCOMPARE(picker->MonthCalendar1()->monthShown(), shown.month());
    QCOMPARE(picker->MonthCalendar1()->yearShown(), shown.year());
    QCOMPARE(m_boxes, boxes);
    QVERIFY(picker->isVisible());
    QCOMPARE(finished.count(), 0);
}

void TestCalender::autoRepeatActsOncePerKeyDown()
{
    auto picker = openPicker();
    QWidget *focus = QApplication::focusWidget();
    QVERIFY(focus);
    for (int i = 0; i < 3; ++i) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier, QString(), i > 0);
        QApplication::sendEvent(focus, &press);
    }
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Right, Qt::NoModifier);
    QApplication::sendEvent(focus, &release);
    QCOMPARE(picker->Date(), dmy("18/05/2024"));

    QKeyEvent repeat(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(focus, &repeat);
    QCOMPARE(picker->Date(), dmy("18/06/2024"));
}

void TestCalender::escapeLeavesItOpen()
{
    auto picker = openPicker();
    QSignalSpy finished(picker.get(), &QDialog::finished);
    pressKeys(QStringLiteral("Right, Escape, Escape, Shift+Escape"));
    QVERIFY(picker->isVisible());
    QCOMPARE(finished.count(), 0);
    QCOMPARE(picker->Date(), dmy("16/05/2024"));
    QVERIFY(m_boxes.isEmpty());

    // Also from inside the modal showing.
    QWidget owner;
    owner.show();
    const QDate picked = pickWith(&owner, [](TCalender *) { pressKeys(QStringLiteral("Escape")); });
    QVERIFY(m_leftOpen);
    QCOMPARE(picked, kToday);
}

void TestCalender::closes_data()
{
    QTest::addColumn<QString>("way");
    QTest::addColumn<QDate>("picked");

    // Each way first moves to 16/05 with Right.
    const QDate moved = dmy("16/05/2024");
    QTest::newRow("Enter") << "Return" << moved;
    QTest::newRow("keypad Enter") << "Enter" << moved;
    QTest::newRow("Shift+Enter") << "Shift+Return" << moved;
    QTest::newRow("close box") << "close" << moved;
    QTest::newRow("double click on a day") << "day" << dmy("19/05/2024");
    QTest::newRow("double click on the current day") << "current day" << moved;
    QTest::newRow("double click on a week number") << "week number" << moved;
    QTest::newRow("double click on a day name") << "day name" << moved;
    QTest::newRow("double click on the title band") << "title" << moved;
}

void TestCalender::closes()
{
    QFETCH(QString, way);
    QFETCH(QDate, picked);

    QWidget owner;
    owner.show();
    int finished = 0;
    bool modalOnOwner = false;
    const QDate result = pickWith(&owner, [&](TCalender *picker) {
        modalOnOwner = picker->parentWidget() == &owner && picker->isModal();
        connect(picker, &QDialog::finished, picker, [&finished] { ++finished; });
        pressKeys(QStringLiteral("Right"));
        QWidget *grid = dayGrid(picker)->viewport();
        if (way == QLatin1String("close"))
            picker->close();
        else if (way == QLatin1String("day"))
            doubleClick(grid, dayCentre(picker, 19));
        else if (way == QLatin1String("current day"))
            doubleClick(grid, dayCentre(picker, 16));
        else if (way == QLatin1String("week number"))
            doubleClick(grid, cellCentre(picker, 3, 0));
        else if (way == QLatin1String("day name"))
            doubleClick(grid, cellCentre(picker, 0, 4));
        else if (way == QLatin1String("title"))
            doubleClick(titleBand(picker), bareTitlePoint(picker));
        else
            pressKeys(way);
    });

    QVERIFY2(!m_leftOpen, "the picker stayed open");
    QVERIFY(modalOnOwner);
    QCOMPARE(finished, 1);
    QCOMPARE(result, picked);
    QVERIFY(owner.findChildren<TCalender *>().isEmpty());
    QVERIFY(m_boxes.isEmpty());
}

void TestCalender::comingBackToThePickerKeepsItsDate()
{
    // The error box of a failed month step takes the activation and gives it back.
    setTodayForTesting(dmy("30/01/2024"));
    Messages::setSinkForTesting([this](Messages::Kind, const QString &text) {
        m_boxes << text;
        QWidget box;
        box.show();
        box.activateWindow();
        if (!QTest::qWaitForWindowActive(&box))
            m_boxes << QStringLiteral("the box did not become active");
        return true;
    });
    auto picker = openPicker();
    pressKeys(QStringLiteral("Right, PgDown"));
    picker->activateWindow(); // what the platform does when the box goes
    QVERIFY(QTest::qWaitForWindowActive(picker.get()));
    QCOMPARE(m_boxes, QStringList{"'31/02/2024' is not a valid date."});
    QCOMPARE(picker->Date(), dmy("31/01/2024"));

    // The same after a visit to another window.
    QWidget other;
    other.show();
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    picker->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(picker.get()));
    QCOMPARE(picker->Date(), dmy("31/01/2024"));
}

void TestCalender::eachOpeningStartsFromToday()
{
    QWidget owner;
    owner.show();
    QCOMPARE(pickWith(&owner, [](TCalender *) { pressKeys(QStringLiteral("PgUp, Down, Return")); }),
             dmy("22/04/2024"));
    QCOMPARE(pickWith(&owner, [](TCalender *) { pressKeys(QStringLiteral("Return")); }), kToday);

    setTodayForTesting(dmy("01/08/2024"));
    QCOMPARE(pickWith(&owner, [](TCalender *) { pressKeys(QStringLiteral("Return")); }),
             dmy("01/08/2024"));

    // A picker built earlier still shows the day of its opening.
    TCalender early(&owner);
    setTodayForTesting(dmy("02/09/2024"));
    early.show();
    QVERIFY(QTest::qWaitForWindowActive(&early));
    QCOMPARE(early.Date(), dmy("02/09/2024"));
    QVERIFY(!m_leftOpen);
}

QTEST_MAIN(TestCalender)
#include "tst_calender.moc"
