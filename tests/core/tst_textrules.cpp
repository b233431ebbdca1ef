// SPDX-License-Identifier: MIT
#include "core/clock.h"
#include "core/dates.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "core/texts.h"

#include <QTest>

// The small text rules: date conversion, number pictures, ZeroPad and friends.
class TestTextRules : public QObject
{
    Q_OBJECT
private slots:
    void init() { setTodayForTesting(QDate(2026, 12, 10)); }
    void cleanup() { setTodayForTesting(std::nullopt); }
    void strToDate_data();
    void strToDate();
    void dayNumbers();
    void formatFloat_data();
    void formatFloat();
    void zeroPad_data();
    void zeroPad();
    void rightJustifyDigits_data();
    void rightJustifyDigits();
    void validateDateText_data();
    void validateDateText();
    void parseDecimal_data();
    void parseDecimal();
};

void TestTextRules::strToDate_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date"); // invalid: the conversion fails
    QTest::newRow("full") << "05/03/2024" << QDate(2024, 3, 5);
    QTest::newRow("single digits") << "5/3/2024" << QDate(2024, 3, 5);
    QTest::newRow("blanks around") << " 5/ 3/2024" << QDate(2024, 3, 5);
    QTest::newRow("two-digit year 24") << "01/02/24  " << QDate(2024, 2, 1);
    QTest::newRow("two-digit year 76") << "01/02/76" << QDate(1976, 2, 1);
    QTest::newRow("two-digit year 75") << "01/02/75" << QDate(2075, 2, 1);
    QTest::newRow("leap day") << "29/02/2024" << QDate(2024, 2, 29);
    QTest::newRow("no leap day") << "29/02/2023" << QDate();
    QTest::newRow("31 april") << "31/04/2024" << QDate();
    QTest::newRow("empty mask") << "  /  /    " << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("letters") << "aa/03/2024" << QDate();
    QTest::newRow("five-digit year") << "01/01/20245" << QDate();
    QTest::newRow("month 13") << "01/13/2024" << QDate();
    QTest::newRow("trailing text") << "01/01/2024x" << QDate();
}

void TestTextRules::strToDate()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    if (date.isValid()) {
        QCOMPARE(StrToDate(text), date);
        return;
    }
    try {
        StrToDate(text);
        QFAIL("no error");
    } catch (const ConvertError &e) {
        QCOMPARE(e.message(), QStringLiteral("'%1' is not a valid date").arg(text));
    }
}

void TestTextRules::dayNumbers()
{
    QCOMPARE(DayNumber(QDate(1899, 12, 30)), 0);
    QCOMPARE(DayNumber(QDate(1900, 1, 1)), 2);
    QCOMPARE(DateOfDayNumber(DayNumber(QDate(2024, 3, 5))), QDate(2024, 3, 5));
    QCOMPARE(ShortDateText(QDate(2024, 3, 5)), QStringLiteral("05/03/2024"));
}

void TestTextRules::formatFloat_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("grouped") << "#,##0.00" << 1234567.5 << "1.234.567,50";
    QTest::newRow("small") << "#,##0.00" << 0.5 << "0,50";
    QTest::newRow("zero") << "#,##0.00" << 0.0 << "0,00";
    QTest::newRow("below the tie") << "#,##0.00" << 2.675 << "2,67";
    QTest::newRow("exact tie") << "#,##0.00" << 0.125 << "0,13";
    QTest::newRow("negative tie") << "#,##0.00" << -0.125 << "-0,13";
    QTest::newRow("no minus zero") << "#,##0.00" << -0.001 << "0,00";
    QTest::newRow("negative zero") << "#,##0.00" << -0.0 << "0,00";
    QTest::newRow("negative") << "##,###,##0.00" << -1234.5 << "-1.234,50";
    QTest::newRow("carry") << "##,###,##0.00" << 999.999 << "1.000,00";
    QTest::newRow("edit format") << "#######0.00" << 1234.5 << "1234,50";
    QTest::newRow("rate") << "###0.00" << 3.0 << "3,00";
}

void TestTextRules::formatFloat()
{
    QFETCH(QString, mask);
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(FormatFloat(mask, value, {'.', ','}), text);
}

void TestTextRules::zeroPad_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("result");
    QTest::newRow("7") << "7" << 2 << "07";
    QTest::newRow("12") << "12" << 4 << "0012";
    QTest::newRow("2024") << "2024" << 4 << "2024";
    QTest::newRow("never cuts") << "123" << 2 << "123";
    QTest::newRow("leading blanks") << " 5" << 2 << "05";
    QTest::newRow("stops at a non-digit") << "12/03" << 2 << "12";
    QTest::newRow("nothing read") << "xx" << 2 << "00";
    QTest::newRow("leading zeros dropped") << "007" << 2 << "07";
}

void TestTextRules::zeroPad()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, result);
    QCOMPARE(ZeroPad(text, width), result);
}

void TestTextRules::rightJustifyDigits_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("result");
    QTest::newRow("1 5") << "1 5"
                         << " 15";
    QTest::newRow("5  ") << "5  "
                         << "  5";
    QTest::newRow("-5 ") << "-5 "
                         << " -5";
    QTest::newRow("+5 ") << "+5 "
                         << "  5";
    QTest::newRow("blank") << "   "
                           << "   ";
}

void TestTextRules::rightJustifyDigits()
{
    QFETCH(QString, text);
    QFETCH(QString, result);
    QCOMPARE(RightJustifyDigits(text), result);
}

void TestTextRules::validateDateText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("result");
    QTest::newRow("date") << "05/03/2024" << true << "05/03/2024";
    QTest::newRow("blanks") << " 5/ 3/2024" << true << "05/03/2024";
    QTest::newRow("leap") << "29/02/2024" << true << "29/02/2024";
    QTest::newRow("not leap") << "29/02/2023" << false << "29/02/2023";
    QTest::newRow("31 april") << "31/04/2024" << false << "31/04/2024";
    QTest::newRow("31 may") << "31/05/2024" << true << "31/05/2024";
    QTest::newRow("month 13") << "01/13/2024" << false << "01/13/2024";
    QTest::newRow("zero day") << "00/01/2024" << false << "00/01/2024";
    QTest::newRow("empty") << "  /  /    " << false << "  /  /    ";
    QTest::newRow("letters") << "ab/cd/efgh" << false << "ab/cd/efgh";
}

void TestTextRules::validateDateText()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(QString, result);
    QCOMPARE(ValidateDateText(text), ok);
    QCOMPARE(text, result);
}

void TestTextRules::parseDecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<double>("value");
    QTest::newRow("rate") << "  3.50" << true << 3.5;
    QTest::newRow("negative") << " -5.00" << true << -5.0;
    QTest::newRow("blank") << "      " << false << 0.0;
    QTest::newRow("garbage") << "1a" << false << 0.0;
    QTest::newRow("two points") << "1.2.3" << false << 0.0;
}

void TestTextRules::parseDecimal()
{
    QFETCH(QString, text);
    QFETCH(bool, ok);
    QFETCH(double, value);
    double v = 0;
    QCOMPARE(ParseDecimal(text, &v), ok);
    if (ok)
        QCOMPARE(v, value);
}

QTEST_GUILESS_MAIN(TestTextRules)
#include "tst_textrules.moc"
