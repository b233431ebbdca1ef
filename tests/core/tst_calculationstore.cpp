// SPDX-License-Identifier: MIT
#include "core/calculationstore.h"
#include "core/clock.h"
#include "core/dates.h"
#include "core/errors.h"
#include "core/interest.h"
#include "support/linetables.h"
#include "support/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRandomGenerator>
#include <QTest>

// The calculation store with its interest engine, on real table files and a fake window.
class TestCalculationStore : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void startNewCalculationOrder();
    void seeding_data();
    void seeding();
    void noFilesNoTemplates();
    void linesInBothModes();
    void weekendShift_data();
    void weekendShift();
    void lineGuard_data();
    void lineGuard();
    void editChangesTotalsByTheDifference();
    void addAndDeleteBringsTotalsToZero();
    void randomSequenceKeepsTotalsInStep();
    void restartDropsLines();
    void closeDropsUnstoredLine();
    void headerDeleteTakesItsLines();

private:
    void start(CalculationStore &store);
    void saveHeader(CalculationStore &store, const QDate &base, double rate);
    void addLine(CalculationStore &store, double value, const QDate &date);

    TempFolder *m_data = nullptr;
    TempFolder *m_work = nullptr;
    FakeHost *m_host = nullptr;
};

void TestCalculationStore::init()
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    setTodayForTesting(QDate(2024, 3, 5));
    m_data = new TempFolder;
    m_work = new TempFolder;
    m_host = new FakeHost;
    WriteEmptyTables(m_work->path());
}

void TestCalculationStore::cleanup()
{
    setTodayForTesting(std::nullopt);
    delete m_host;
    delete m_work;
    delete m_data;
}

void TestCalculationStore::start(CalculationStore &store)
{
    store.setWorkingFolder(m_work->path());
    store.PrepareDataFolder(m_data->path());
    store.StartNewCalculation();
}

void TestCalculationStore::saveHeader(CalculationStore &store, const QDate &base, double rate)
{
    // What Gravar does with the header record.
    Table &h = store.Table1;
    if (h.state() == TableState::Browse)
        h.edit();
    h.fieldByName(QStringLiteral("DATABASE")).setAsDate(DayNumber(base));
    h.fieldByName(QStringLiteral("JUROS")).setAsFloat(rate);
    h.fieldByName(QStringLiteral("VALOR")).setAsFloat(0);
    h.post();
    store.RecomputeTotals();
    m_host->setSaveEnabled(false);
}

void TestCalculationStore::addLine(CalculationStore &store, double value, const QDate &date)
{
    store.Table2.append();
    store.Table2.fieldByName(QStringLiteral("VALOR")).setAsFloat(value);
    store.Table2.fieldByName(QStringLiteral("DATA")).setAsDate(DayNumber(date));
    store.Table2.post();
}

void TestCalculationStore::startNewCalculationOrder()
{
    CalculationStore store(*m_host);
    start(store);
    QCOMPARE(m_host->calls, (QStringList{"headerPanel 1", "linePanel 0", "save 1",
                                         "resetHeaderFields", "focusBaseDate"}));
    QVERIFY(store.Table1.active());
    QVERIFY(store.Table2.active());
    QCOMPARE(store.Table1.state(), TableState::Insert);
    QCOMPARE(store.Table1.fieldByName(QStringLiteral("COD")).asString(), QStringLiteral("000001"));
    QVERIFY(store.Table2.isEmpty());
    QVERIFY(m_host->pending);
}

void TestCalculationStore::seeding_data()
{
    QTest::addColumn<bool>("present");
    QTest::newRow("files present are left alone") << true;
    QTest::newRow("templates copied") << false;
}

void TestCalculationStore::seeding()
{
    QFETCH(bool, present);
    if (present) {
        for (const QString &name : kSeedFiles) {
            QFile f(QDir(m_data->path()).filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("kept");
        }
    }
    CalculationStore store(*m_host);
    store.setWorkingFolder(m_work->path());
    store.PrepareDataFolder(m_data->path());
    QCOMPARE(store.Table1.databaseName(), m_data->path());
    QCOMPARE(store.Table2.databaseName(), m_data->path());
    for (const QString &name : kSeedFiles) {
        QFile f(ResolveFileName(m_data->path(), name));
        QVERIFY2(f.open(QIODevice::ReadOnly), qPrintable(name));
        QFile t(ResolveFileName(m_work->path(), name));
        QVERIFY(t.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), present ? QByteArray("kept") : t.readAll());
    }
}

void TestCalculationStore::noFilesNoTemplates()
{
    TempFolder emptyWork;
    CalculationStore store(*m_host);
    store.setWorkingFolder(emptyWork.path());
    store.PrepareDataFolder(m_data->path()); // nothing to copy: passed over silently
    try {
        store.StartNewCalculation();
        QFAIL("started without tables");
    } catch (const EngineError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("Cal_jur1")), qPrintable(e.message()));
    }
    QVERIFY(!store.Table1.active());
    QVERIFY(!m_host->calls.contains(QStringLiteral("focusBaseDate")));
}

void TestCalculationStore::linesInBothModes()
{
    CalculationStore store(*m_host);
    start(store);
    const QDate base(2024, 3, 4); // a Monday
    saveHeader(store, base, 3);
    addLine(store, 600, base.addDays(45)); // Thursday 18/04
    QCOMPARE(store.Table2.fieldByName(QStringLiteral("DIAS")).asString(), QStringLiteral("45"));
    QCOMPARE(store.Table2.fieldByName(QStringLiteral("JUROS")).asFloat(), 27.0);
    QCOMPARE(store.Table2.fieldByName(QStringLiteral("VALORDESC")).asFloat(), 573.0);
    QCOMPARE(store.Table2.fieldByName(QStringLiteral("VALORACUM")).asFloat(), 627.0);
    QCOMPARE(m_host->value, QStringLiteral("600,00"));
    QCOMPARE(m_host->interest, QStringLiteral("27,00"));
    QCOMPARE(m_host->net, QStringLiteral("573,00"));

    m_host->simple = false;
    store.ModeSwitch();
    store.Table2.first();
    QVERIFY(qAbs(store.Table2.fieldByName(QStringLiteral("JUROS")).asFloat() - 27.27) < 1e-9);
    QCOMPARE(m_host->interest, QStringLiteral("27,27"));
    QCOMPARE(m_host->net, QStringLiteral("572,73"));
    m_host->simple = true;
    store.ModeSwitch();
    QCOMPARE(m_host->interest, QStringLiteral("27,00"));

    // A new base date shows in every line once the header is stored again.
    saveHeader(store, base.addDays(15), 3);
    store.Table2.first();
    QCOMPARE(store.Table2.fieldByName(QStringLiteral("DIAS")).asString(), QStringLiteral("30"));
    QCOMPARE(m_host->interest, QStringLiteral("18,00"));
}

void TestCalculationStore::weekendShift_data()
{
    QTest::addColumn<QDate>("date");
    QTest::addColumn<QDate>("stored");
    QTest::addColumn<QString>("days");
    QTest::newRow("saturday") << QDate(2024, 4, 13) << QDate(2024, 4, 15) << "42";
    QTest::newRow("sunday") << QDate(2024, 4, 14) << QDate(2024, 4, 15) << "42";
    QTest::newRow("friday") << QDate(2024, 4, 12) << QDate(2024, 4, 12) << "39";
}

void TestCalculationStore::weekendShift()
{
    QFETCH(QDate, date);
    QFETCH(QDate, stored);
    QFETCH(QString, days);
    CalculationStore store(*m_host);
    start(store);
    saveHeader(store, QDate(2024, 3, 4), 3);
    addLine(store, 600, date);
    QCOMPARE(store.Table2.fieldByName(QStringLiteral("DATA")).asDate(), DayNumber(stored));
    QCOMPARE(store.Table2.fieldByName(QStringLiteral("DIAS")).asString(), days);
    const double interest = SimpleInterest(600, days.toInt(), 3);
    QCOMPARE(store.SumJUROS, interest);
    // The file holds the shifted date too.
    store.Table2.close();
    store.Table2.open();
    QCOMPARE(store.Table2.fieldByName(QStringLiteral("DATA")).asDate(), DayNumber(stored));
}

void TestCalculationStore::lineGuard_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("insert") << "insert";
    QTest::newRow("edit") << "edit";
    QTest::newRow("delete") << "delete";
}

void TestCalculationStore::lineGuard()
{
    QFETCH(QString, operation);
    CalculationStore store(*m_host);
    start(store);
    saveHeader(store, QDate(2024, 3, 4), 3);
    addLine(store, 600, QDate(2024, 4, 18));
    const double sum = store.SumVALOR, interest = store.SumJUROS;
    m_host->pending = true; // a header input changed
    try {
        if (operation == QLatin1String("insert"))
            store.Table2.append();
        else if (operation == QLatin1String("edit"))
            store.Table2.edit();
        else
            store.Table2.deleteRecord();
        QFAIL("the guard let it pass");
    } catch (const Abort &) {
    }
    QCOMPARE(m_host->messages, QStringList{QStringLiteral("Grave o cabeçário primeiro.")});
    QCOMPARE(store.Table2.state(), TableState::Browse);
    QCOMPARE(store.Table2.recordCount(), 1);
    QCOMPARE(store.SumVALOR, sum);
    QCOMPARE(store.SumJUROS, interest);
}

void TestCalculationStore::editChangesTotalsByTheDifference()
{
    CalculationStore store(*m_host);
    start(store);
    saveHeader(store, QDate(2024, 3, 4), 3);
    addLine(store, 600, QDate(2024, 4, 18));
    addLine(store, 250, QDate(2024, 5, 6));
    const double value = store.SumVALOR, interest = store.SumJUROS;
    store.Table2.first();
    const double oldInterest = store.Table2.fieldByName(QStringLiteral("JUROS")).asFloat();
    store.Table2.edit();
    store.Table2.fieldByName(QStringLiteral("VALOR")).setAsFloat(900);
    const double newInterest = store.Table2.fieldByName(QStringLiteral("JUROS")).asFloat();
    store.Table2.post();
    QCOMPARE(store.SumVALOR - value, 300.0);
    QVERIFY(qAbs((store.SumJUROS - interest) - (newInterest - oldInterest)) < 1e-12);
    // A cancelled edit changes nothing.
    const double after = store.SumVALOR;
    store.Table2.edit();
    store.Table2.fieldByName(QStringLiteral("VALOR")).setAsFloat(1);
    store.Table2.cancel();
    QCOMPARE(store.SumVALOR, after);
}

void TestCalculationStore::addAndDeleteBringsTotalsToZero()
{
    CalculationStore store(*m_host);
    start(store);
    saveHeader(store, QDate(2024, 3, 4), 2.75);
    addLine(store, 1234.56, QDate(2024, 6, 19));
    QVERIFY(store.SumJUROS != 0);
    store.Table2.deleteRecord();
    QCOMPARE(store.SumVALOR, 0.0);
    QCOMPARE(store.SumJUROS, 0.0);
    QCOMPARE(store.SumVALORDESC, 0.0);
    QCOMPARE(m_host->value, QStringLiteral("0,00"));
}

void TestCalculationStore::randomSequenceKeepsTotalsInStep()
{
    CalculationStore store(*m_host);
    start(store);
    saveHeader(store, QDate(2024, 3, 4), 3.25);
    QRandomGenerator random(20241210);
    Table &t = store.Table2;
    for (int step = 0; step < 3000; ++step) {
        const int action = random.bounded(10);
        const double value = random.bounded(100000) / 100.0;
        const QDate date = QDate(2024, 3, 4).addDays(random.bounded(-60, 400));
        if (action < 4 || t.isEmpty()) {
            addLine(store, value, date);
        } else if (action < 6) {
            t.moveTo(random.bounded(t.rowCount()));
            t.edit();
            t.fieldByName(QStringLiteral("VALOR")).setAsFloat(value);
            t.fieldByName(QStringLiteral("DATA")).setAsDate(DayNumber(date));
            t.post();
        } else if (action < 8) {
            t.moveTo(random.bounded(t.rowCount()));
            t.deleteRecord();
        } else if (action < 9) {
            t.append();
            t.fieldByName(QStringLiteral("VALOR")).setAsFloat(value);
            t.cancel();
        } else {
            m_host->simple = !m_host->simple;
            store.ModeSwitch();
        }
    }
    const double value = store.SumVALOR, interest = store.SumJUROS, net = store.SumVALORDESC;
    store.RecomputeTotals();
    auto close = [](double a, double b) { return qAbs(a - b) <= 1e-9 * qMax(1.0, qAbs(b)); };
    QVERIFY2(close(value, store.SumVALOR), qPrintable(QString::number(value - store.SumVALOR)));
    QVERIFY(close(interest, store.SumJUROS));
    QVERIFY(close(net, store.SumVALORDESC));
}

void TestCalculationStore::restartDropsLines()
{
    {
        CalculationStore store(*m_host);
        start(store);
        saveHeader(store, QDate(2024, 3, 4), 3);
        addLine(store, 600, QDate(2024, 4, 18));
        addLine(store, 700, QDate(2024, 4, 19));
    }
    // The files stay in the data folder, the lines do not.
    QVERIFY(QFile::exists(ResolveFileName(m_data->path(), kLineTableName)));
    CalculationStore store(*m_host);
    start(store);
    QVERIFY(store.Table2.isEmpty());
    QCOMPARE(store.Table1.recordCount(), 0); // the new header is still being inserted
    QCOMPARE(store.Table1.state(), TableState::Insert);
    // Reiniciar before the first Gravar: the header table never holds more than one record.
    store.StartNewCalculation();
    saveHeader(store, QDate(2024, 3, 4), 3);
    QCOMPARE(store.Table1.recordCount(), 1);
}

void TestCalculationStore::closeDropsUnstoredLine()
{
    CalculationStore store(*m_host);
    start(store);
    saveHeader(store, QDate(2024, 3, 4), 3);
    addLine(store, 600, QDate(2024, 4, 18));
    store.Table2.append();
    store.Table2.fieldByName(QStringLiteral("VALOR")).setAsFloat(999);
    store.Table2.close();
    store.Table2.open();
    QCOMPARE(store.Table2.recordCount(), 1);
}

void TestCalculationStore::headerDeleteTakesItsLines()
{
    CalculationStore store(*m_host);
    start(store);
    saveHeader(store, QDate(2024, 3, 4), 3);
    addLine(store, 600, QDate(2024, 4, 18));
    addLine(store, 700, QDate(2024, 4, 19));
    store.Table1.deleteRecord();
    QVERIFY(store.Table2.isEmpty());
    QCOMPARE(store.SumVALOR, 0.0);
    store.Table2.close();
    store.Table2.open();
    QVERIFY(store.Table2.isEmpty());
}

QTEST_GUILESS_MAIN(TestCalculationStore)
#include "tst_calculationstore.moc"
