// SPDX-License-Identifier: MIT
#include "core/dates.h"
#include "core/interest.h"
#include "core/numbers.h"

#include <QTest>

class TestInterest : public QObject
{
    Q_OBJECT
private slots:
    void lineFigures_data();
    void lineFigures();
    void dayCountText_data();
    void dayCountText();
    void weekendShift_data();
    void weekendShift();
};

void TestInterest::lineFigures_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("rate");
    QTest::addColumn<int>("days");
    QTest::addColumn<bool>("hasDate");
    QTest::addColumn<bool>("simple");
    QTest::addColumn<double>("interest");
    QTest::addColumn<QString>("shown"); // interest through "##,###,##0.00", pt_BR separators
    QTest::addColumn<double>("net");
    QTest::addColumn<double>("gross");

    // value rate days date? simple interest shown net gross
    QTest::newRow("600 3% 45d simple")
        << 600.0 << 3.0 << 45 << true << true << 27.0 << "27,00" << 573.0 << 627.0;
    QTest::newRow("600 3% 45d compound")
        << 600.0 << 3.0 << 45 << true << false << 27.27 << "27,27" << 572.73 << 627.27;
    QTest::newRow("600 3% 30d simple")
        << 600.0 << 3.0 << 30 << true << true << 18.0 << "18,00" << 582.0 << 618.0;
    QTest::newRow("600 3% 30d compound")
        << 600.0 << 3.0 << 30 << true << false << 18.0 << "18,00" << 582.0 << 618.0;
    QTest::newRow("600 3% 31d simple")
        << 600.0 << 3.0 << 31 << true << true << 18.6 << "18,60" << 581.4 << 618.6;
    QTest::newRow("600 3% 31d compound")
        << 600.0 << 3.0 << 31 << true << false << 18.618 << "18,62" << 581.382 << 618.618;
    QTest::newRow("600 3% 60d simple")
        << 600.0 << 3.0 << 60 << true << true << 36.0 << "36,00" << 564.0 << 636.0;
    QTest::newRow("600 3% 60d compound")
        << 600.0 << 3.0 << 60 << true << false << 36.54 << "36,54" << 563.46 << 636.54;
    QTest::newRow("600 3% 75d compound")
        << 600.0 << 3.0 << 75 << true << false << 46.0881 << "46,09" << 553.9119 << 646.0881;
    QTest::newRow("600 3% -45d simple")
        << 600.0 << 3.0 << -45 << true << true << -27.0 << "-27,00" << 627.0 << 573.0;
    QTest::newRow("600 3% -45d compound")
        << 600.0 << 3.0 << -45 << true << false << -27.27 << "-27,27" << 627.27 << 572.73;
    QTest::newRow("800 2.5% 90d simple")
        << 800.0 << 2.5 << 90 << true << true << 60.0 << "60,00" << 740.0 << 860.0;
    QTest::newRow("800 2.5% 90d compound")
        << 800.0 << 2.5 << 90 << true << false << 61.5125 << "61,51" << 738.4875 << 861.5125;
    QTest::newRow("0 days simple")
        << 600.0 << 3.0 << 0 << true << true << 0.0 << "0,00" << 600.0 << 600.0;
    QTest::newRow("0 days compound")
        << 600.0 << 3.0 << 0 << true << false << 0.0 << "0,00" << 600.0 << 600.0;
    // An empty date is day 0: in simple mode it counts days from the base date's day number,
    // in compound mode it bears nothing.
    QTest::newRow("no date compound")
        << 600.0 << 3.0 << 0 << false << false << 0.0 << "0,00" << 600.0 << 600.0;
}

void TestInterest::lineFigures()
{
    QFETCH(double, value);
    QFETCH(double, rate);
    QFETCH(int, days);
    QFETCH(bool, hasDate);
    QFETCH(bool, simple);
    QFETCH(double, interest);
    QFETCH(QString, shown);
    QFETCH(double, net);
    QFETCH(double, gross);

    const int base = DayNumber(QDate(2024, 3, 5));
    const LineFigures f = ComputeLine(hasDate, base + days, value, base, rate, simple);
    if (hasDate)
        QCOMPARE(f.days, QString::number(days));
    QVERIFY2(qAbs(f.interest - interest) < 1e-9, qPrintable(QString::number(f.interest, 'g', 17)));
    QVERIFY(qAbs(f.net - net) < 1e-9);
    QVERIFY(qAbs(f.gross - gross) < 1e-9);
    QCOMPARE(FormatFloat(QStringLiteral("##,###,##0.00"), f.interest, {'.', ','}), shown);
    QCOMPARE(f.net, value - f.interest);
    QCOMPARE(f.gross, value + f.interest);
}

void TestInterest::dayCountText_data()
{
    QTest::addColumn<int>("cheque");
    QTest::addColumn<int>("base");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("readBack");
    QTest::newRow("forward") << 45030 << 45000 << "30" << 30;
    QTest::newRow("back") << 44988 << 45000 << "-12" << -12;
    QTest::newRow("same") << 45000 << 45000 << "0" << 0;
    QTest::newRow("empty date") << 0 << 45000 << "-45000" << -45000;
    // Dates thousands of years apart: the text keeps its first seven characters.
    QTest::newRow("cut") << -600000 << 2900000 << "-350000" << -350000;
}

void TestInterest::dayCountText()
{
    QFETCH(int, cheque);
    QFETCH(int, base);
    QFETCH(QString, text);
    QFETCH(int, readBack);
    QCOMPARE(DayCountText(cheque, base), text);
    QCOMPARE(DayCountFromText(DayCountText(cheque, base)), readBack);
    const DayCount count = CountDays(cheque, base);
    QCOMPARE(QString(count.view()), text);
    QCOMPARE(count.sharedText(), text);
    QCOMPARE(count.days, readBack);
}

void TestInterest::weekendShift_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QDate>("stored");
    QTest::newRow("saturday") << QDate(2024, 3, 9) << QDate(2024, 3, 11);
    QTest::newRow("sunday") << QDate(2024, 3, 10) << QDate(2024, 3, 11);
    QTest::newRow("monday") << QDate(2024, 3, 11) << QDate(2024, 3, 11);
    QTest::newRow("friday") << QDate(2024, 3, 8) << QDate(2024, 3, 8);
    QTest::newRow("saturday across the year") << QDate(2022, 12, 31) << QDate(2023, 1, 2);
}

void TestInterest::weekendShift()
{
    QFETCH(QDate, date);
    QFETCH(QDate, stored);
    QCOMPARE(DateOfDayNumber(WeekendShift(DayNumber(date))), stored);
}

QTEST_GUILESS_MAIN(TestInterest)
#include "tst_interest.moc"
