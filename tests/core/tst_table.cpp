// SPDX-License-Identifier: MIT
#include "core/calculationstore.h"
#include "core/dates.h"
#include "core/errors.h"
#include "core/numbers.h"
#include "core/table.h"
#include "support/linetables.h"
#include "support/tempfolder.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

// The table engine over the two real table files: cursor, states, handlers, master/detail.
class TestTable : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void openCloseAndErrors();
    void appendPostAndAutoIncrement();
    void requiredFieldKeepsTheRecord();
    void beforeHandlersRefuseSilently_data();
    void beforeHandlersRefuseSilently();
    void cancelAndDelete();
    void calculatedFields();
    void calculationAfterReRead();
    void failingCalculationInGridReads();
    void editKeepsUndeclaredColumns();
    void checkBrowseModeOnMoveAndRefresh();
    void orderByIndexAndFields();
    void masterDetail();
    void emptyTableKeepsStructure();
    void valuesSurviveReopen();

private:
    void openLines(Table &lines);
    void addLine(Table &lines, const QString &cod, double value, const QDate &date);
    TempFolder *m_dir = nullptr;
};

void TestTable::init()
{
    m_dir = new TempFolder;
    WriteEmptyTables(m_dir->path());
}

void TestTable::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

void TestTable::openLines(Table &lines)
{
    lines.setDatabaseName(m_dir->path());
    lines.setTableName(kLineTableName);
    DeclareLineFields(lines);
    lines.open();
}

void TestTable::addLine(Table &lines, const QString &cod, double value, const QDate &date)
{
    lines.append();
    lines.fieldByName(QStringLiteral("COD")).setAsString(cod);
    lines.fieldByName(QStringLiteral("VALOR")).setAsFloat(value);
    lines.fieldByName(QStringLiteral("DATA")).setAsDate(DayNumber(date));
    lines.post();
}

void TestTable::openCloseAndErrors()
{
    Table t;
    t.setDatabaseName(m_dir->path());
    t.setTableName(QStringLiteral("CAL_JUR1.dbf")); // letter case does not matter
    QVERIFY(!t.active());
    t.open();
    QVERIFY(t.active());
    QCOMPARE(t.state(), TableState::Browse);
    QVERIFY(t.isEmpty());
    QVERIFY(t.eof());
    // The folder cannot change while the table is open.
    QVERIFY_THROWS_EXCEPTION(EngineError, t.setDatabaseName(QStringLiteral("/elsewhere")));
    t.close();
    QVERIFY(!t.active());

    Table missing;
    missing.setDatabaseName(m_dir->path());
    missing.setTableName(QStringLiteral("Nao_existe.db"));
    try {
        missing.open();
        QFAIL("opened a missing table");
    } catch (const EngineError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("Nao_existe.db")), qPrintable(e.message()));
    }
    Table noFolder;
    noFolder.setDatabaseName(m_dir->file(QStringLiteral("no/such/folder")));
    noFolder.setTableName(kLineTableName);
    try {
        noFolder.open();
        QFAIL("opened in a missing folder");
    } catch (const EngineError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("no/such/folder")), qPrintable(e.message()));
    }
}

void TestTable::appendPostAndAutoIncrement()
{
    Table lines;
    openLines(lines);
    QSignalSpy spy(new DataSource(&lines, this), &DataSource::changed);
    addLine(lines, QStringLiteral("000001"), 600, QDate(2024, 3, 5));
    addLine(lines, QStringLiteral("000001"), 700, QDate(2024, 3, 6));
    QCOMPARE(lines.recordCount(), 2);
    QCOMPARE(lines.state(), TableState::Browse);
    QVERIFY(spy.count() > 0);

    // INCR is numbered by the file; the program never declares it, so read the file itself.
    Table raw;
    raw.setDatabaseName(m_dir->path());
    raw.setTableName(kLineTableName);
    lines.close();
    raw.open();
    QCOMPARE(raw.recordCount(), 2);
    raw.first();
    QCOMPARE(raw.fieldByName(QStringLiteral("INCR")).asInteger(), 1);
    raw.next();
    QCOMPARE(raw.fieldByName(QStringLiteral("INCR")).asInteger(), 2);
}

void TestTable::requiredFieldKeepsTheRecord()
{
    Table lines;
    openLines(lines);
    lines.append();
    lines.fieldByName(QStringLiteral("COD")).setAsString(QStringLiteral("000001"));
    lines.fieldByName(QStringLiteral("DATA")).setAsDate(DayNumber(QDate(2024, 3, 5)));
    try {
        lines.post();
        QFAIL("posted without VALOR");
    } catch (const EngineError &e) {
        QCOMPARE(e.message(), QStringLiteral("Field 'VALOR' must have a value"));
    }
    QCOMPARE(lines.state(), TableState::Insert);
    lines.fieldByName(QStringLiteral("VALOR")).setAsFloat(1);
    lines.post();
    QCOMPARE(lines.recordCount(), 1);
}

void TestTable::beforeHandlersRefuseSilently_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("insert") << "insert";
    QTest::newRow("append") << "append";
    QTest::newRow("edit") << "edit";
    QTest::newRow("delete") << "delete";
    QTest::newRow("post") << "post";
    QTest::newRow("close") << "close";
}

void TestTable::beforeHandlersRefuseSilently()
{
    QFETCH(QString, operation);
    Table lines;
    openLines(lines);
    addLine(lines, QStringLiteral("000001"), 600, QDate(2024, 3, 5));
    const QByteArray before = [&] {
        QFile f(lines.filePath());
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }();
    auto refuse = [](Table &) { throw Abort(); };
    lines.beforeInsert = refuse;
    lines.beforeEdit = refuse;
    lines.beforeDelete = refuse;
    lines.beforeClose = refuse;
    TableState expected = TableState::Browse;
    if (operation == QLatin1String("post")) {
        lines.beforeEdit = nullptr;
        lines.edit();
        lines.fieldByName(QStringLiteral("VALOR")).setAsFloat(900);
        lines.beforePost = refuse;
        expected = TableState::Edit;
    }
    try {
        if (operation == QLatin1String("insert"))
            lines.insert();
        else if (operation == QLatin1String("append"))
            lines.append();
        else if (operation == QLatin1String("edit"))
            lines.edit();
        else if (operation == QLatin1String("delete"))
            lines.deleteRecord();
        else if (operation == QLatin1String("post"))
            lines.post();
        else
            lines.close();
        QFAIL("not refused");
    } catch (const Abort &) {
    }
    QVERIFY(lines.active());
    QCOMPARE(lines.state(), expected);
    QCOMPARE(lines.rowCount(), 1);
    QFile f(lines.filePath());
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);
}

void TestTable::cancelAndDelete()
{
    Table lines;
    openLines(lines);
    addLine(lines, QStringLiteral("000001"), 600, QDate(2024, 3, 5));
    lines.append();
    QCOMPARE(lines.rowCount(), 2);
    lines.cancel();
    QCOMPARE(lines.rowCount(), 1);
    lines.edit();
    lines.fieldByName(QStringLiteral("VALOR")).setAsFloat(1);
    lines.cancel();
    QCOMPARE(lines.fieldByName(QStringLiteral("VALOR")).asFloat(), 600.0);
    lines.deleteRecord();
    QVERIFY(lines.isEmpty());
    QVERIFY_THROWS_EXCEPTION(EngineError, lines.deleteRecord());
    // A delete while inserting only drops the new record.
    lines.append();
    lines.deleteRecord();
    QCOMPARE(lines.state(), TableState::Browse);
    QVERIFY(lines.isEmpty());
}

void TestTable::calculatedFields()
{
    Table lines;
    int calls = 0;
    lines.onCalcFields = [&](Table &t) {
        ++calls;
        t.fieldByName(QStringLiteral("VALORACUM"))
            .setAsFloat(t.fieldByName(QStringLiteral("VALOR")).asFloat() * 2);
    };
    openLines(lines);
    addLine(lines, QStringLiteral("000001"), 600, QDate(2024, 3, 5));
    QCOMPARE(lines.fieldByName(QStringLiteral("VALORACUM")).asFloat(), 1200.0);
    // While editing, each change of a stored field recalculates.
    lines.edit();
    const int before = calls;
    lines.fieldByName(QStringLiteral("VALOR")).setAsFloat(50);
    QVERIFY(calls > before);
    QCOMPARE(lines.fieldByName(QStringLiteral("VALORACUM")).asFloat(), 100.0);
    lines.post();
    // Calculated fields are never stored: the file has only its four columns, and reading the
    // line again calculates it again.
    lines.close();
    lines.open();
    QCOMPARE(lines.fieldByName(QStringLiteral("VALORACUM")).asFloat(), 100.0);
    // The handler may not write stored fields.
    lines.onCalcFields = [](Table &t) { t.fieldByName(QStringLiteral("VALOR")).setAsFloat(1); };
    QVERIFY_THROWS_EXCEPTION(EngineError, lines.refresh());
}

void TestTable::calculationAfterReRead()
{
    Table lines;
    double factor = 2;
    bool writeGross = true;
    QList<bool> emptyBeforeWrite; // what the handler read before it wrote VALORACUM
    lines.onCalcFields = [&](Table &t) {
        Field &gross = t.fieldByName(QStringLiteral("VALORACUM"));
        emptyBeforeWrite << gross.isNull();
        if (writeGross)
            gross.setAsFloat(t.fieldByName(QStringLiteral("VALOR")).asFloat() * factor);
        t.fieldByName(QStringLiteral("DIAS")).setAsString(QString::number(factor));
    };
    openLines(lines);
    for (double v : {1.0, 2.0, 3.0})
        addLine(lines, QStringLiteral("000001"), v, QDate(2024, 3, 5));
    auto column = [&](const char *name) {
        QStringList texts;
        for (lines.first(); !lines.eof(); lines.next())
            texts << lines.fieldByName(QLatin1String(name)).asString();
        return texts;
    };

    // After a re-read every line shows the handler's new figures, through the cursor and
    // through the rows a grid reads without moving it.
    factor = 10;
    lines.moveTo(1);
    lines.refresh();
    QCOMPARE(lines.currentRow(), 1);
    const int gross = lines.fieldByName(QStringLiteral("VALORACUM")).index();
    QCOMPARE(lines.rowValue(2, gross).toDouble(), 30.0);
    QCOMPARE(lines.rowDisplayText(0, gross), FormatFloat(QStringLiteral("##,###,##0.00"), 10));
    QCOMPARE(column("VALORACUM"), (QStringList{"10", "20", "30"}));
    QCOMPARE(column("DIAS"), (QStringList{"10", "10", "10"}));
    // A calculated field starts every calculation empty.
    QVERIFY(!emptyBeforeWrite.contains(false));

    // One the handler leaves alone reads empty, though an earlier calculation wrote it.
    writeGross = false;
    lines.refresh();
    QCOMPARE(column("VALORACUM"), (QStringList{"", "", ""}));
    QCOMPARE(column("DIAS"), (QStringList{"10", "10", "10"}));
    // Writing the same text again changes nothing the line shows.
    lines.refresh();
    QCOMPARE(column("DIAS"), (QStringList{"10", "10", "10"}));
}

void TestTable::failingCalculationInGridReads()
{
    Table lines;
    bool fail = false;
    lines.onCalcFields = [&](Table &t) {
        if (fail && t.fieldByName(QStringLiteral("VALOR")).asFloat() == 2)
            throw EngineError(QStringLiteral("no figures for this line"));
        t.fieldByName(QStringLiteral("VALORACUM"))
            .setAsFloat(t.fieldByName(QStringLiteral("VALOR")).asFloat());
    };
    openLines(lines);
    for (double v : {1.0, 2.0, 3.0})
        addLine(lines, QStringLiteral("000001"), v, QDate(2024, 3, 5));
    fail = true;
    lines.first();
    lines.refresh();
    // A grid painting the rows gets what the calculation gave, and no exception.
    const int gross = lines.fieldByName(QStringLiteral("VALORACUM")).index();
    QVERIFY(!lines.rowValue(1, gross).isValid());
    QCOMPARE(lines.rowDisplayText(1, gross), QString());
    QCOMPARE(lines.rowValue(2, gross).toDouble(), 3.0);
    // The cursor reading that line reports the failure, each time it reads it.
    lines.next();
    QVERIFY_THROWS_EXCEPTION(EngineError, lines.fieldByName(QStringLiteral("VALORACUM")).asFloat());
    QVERIFY_THROWS_EXCEPTION(EngineError, lines.fieldByName(QStringLiteral("VALORACUM")).asFloat());
    // and a re-read on it too.
    QVERIFY_THROWS_EXCEPTION(EngineError, lines.refresh());
    fail = false;
    QCOMPARE(lines.fieldByName(QStringLiteral("VALORACUM")).asFloat(), 2.0);
}

void TestTable::editKeepsUndeclaredColumns()
{
    // INCR is not among the program's fields: an edit must write back what the file holds.
    Table lines;
    openLines(lines);
    lines.setIndexFieldNames(QStringLiteral("COD;INCR"));
    for (double v : {1.0, 2.0, 3.0})
        addLine(lines, QStringLiteral("000001"), v, QDate(2024, 3, 5));
    lines.first();
    lines.edit();
    lines.fieldByName(QStringLiteral("VALOR")).setAsFloat(10);
    lines.post();
    QCOMPARE(lines.currentRow(), 0); // still first in the order by INCR
    lines.moveTo(1);
    lines.deleteRecord();
    lines.close();

    Table raw;
    raw.setDatabaseName(m_dir->path());
    raw.setTableName(kLineTableName);
    raw.open();
    QList<QPair<int, double>> rows;
    for (raw.first(); !raw.eof(); raw.next())
        rows << qMakePair(raw.fieldByName(QStringLiteral("INCR")).asInteger(),
                          raw.fieldByName(QStringLiteral("VALOR")).asFloat());
    QCOMPARE(rows, (QList<QPair<int, double>>{{1, 10.0}, {3, 3.0}}));
}

void TestTable::checkBrowseModeOnMoveAndRefresh()
{
    Table lines;
    openLines(lines);
    addLine(lines, QStringLiteral("000001"), 1, QDate(2024, 3, 5));
    addLine(lines, QStringLiteral("000001"), 2, QDate(2024, 3, 5));
    // An untouched new record is dropped when the cursor moves.
    lines.append();
    lines.first();
    QCOMPARE(lines.rowCount(), 2);
    QCOMPARE(lines.state(), TableState::Browse);
    // A changed one is stored.
    lines.edit();
    lines.fieldByName(QStringLiteral("VALOR")).setAsFloat(10);
    lines.refresh();
    QCOMPARE(lines.state(), TableState::Browse);
    lines.first();
    QCOMPARE(lines.fieldByName(QStringLiteral("VALOR")).asFloat(), 10.0);
    // Walking the cursor.
    double sum = 0;
    for (lines.first(); !lines.eof(); lines.next())
        sum += lines.fieldByName(QStringLiteral("VALOR")).asFloat();
    QCOMPARE(sum, 12.0);
}

void TestTable::orderByIndexAndFields()
{
    Table lines;
    openLines(lines);
    addLine(lines, QStringLiteral("000002"), 1, QDate(2024, 3, 9));
    addLine(lines, QStringLiteral("000001"), 2, QDate(2024, 3, 7));
    addLine(lines, QStringLiteral("000001"), 3, QDate(2024, 3, 5));
    auto values = [&] {
        QList<double> v;
        for (lines.first(); !lines.eof(); lines.next())
            v << lines.fieldByName(QStringLiteral("VALOR")).asFloat();
        return v;
    };
    lines.setIndexFieldNames(QStringLiteral("COD;INCR"));
    QCOMPARE(values(), (QList<double>{2, 3, 1}));
    lines.setIndexName(QStringLiteral("COD_DATA"));
    QCOMPARE(values(), (QList<double>{3, 2, 1}));
    QVERIFY_THROWS_EXCEPTION(EngineError, lines.setIndexName(QStringLiteral("NOPE")));
}

void TestTable::masterDetail()
{
    Table header;
    header.setDatabaseName(m_dir->path());
    header.setTableName(kHeaderTableName);
    DeclareHeaderFields(header);
    header.setIndexName(QStringLiteral("COD"));
    header.open();
    DataSource headerSource(&header);
    for (const char *cod : {"000001", "000002"}) {
        header.append();
        header.fieldByName(QStringLiteral("COD")).setAsString(QLatin1String(cod));
        header.post();
    }

    Table lines, report;
    for (Table *t : {&lines, &report}) {
        t->setMasterSource(&headerSource, QStringLiteral("COD"));
        t->setIndexFieldNames(QStringLiteral("COD;INCR"));
    }
    openLines(lines);
    report.setDatabaseName(m_dir->path());
    report.setTableName(kLineTableName);
    DeclareLineFields(report);
    report.open();

    header.first(); // 000001
    addLine(lines, QStringLiteral("000001"), 1, QDate(2024, 3, 5));
    header.next(); // 000002
    QVERIFY(lines.isEmpty());
    // A new detail record takes the master's code.
    lines.append();
    QCOMPARE(lines.fieldByName(QStringLiteral("COD")).asString(), QStringLiteral("000002"));
    lines.fieldByName(QStringLiteral("VALOR")).setAsFloat(2);
    lines.fieldByName(QStringLiteral("DATA")).setAsDate(DayNumber(QDate(2024, 3, 5)));
    lines.post();
    addLine(lines, QStringLiteral("000002"), 3, QDate(2024, 3, 5));
    QCOMPARE(lines.recordCount(), 2);
    // Both details follow the master.
    report.refresh();
    QCOMPARE(report.recordCount(), 2);
    header.first();
    QCOMPARE(lines.recordCount(), 1);
    QCOMPARE(report.recordCount(), 1);
    QCOMPARE(report.fieldByName(QStringLiteral("VALOR")).asFloat(), 1.0);
}

void TestTable::emptyTableKeepsStructure()
{
    Table lines;
    openLines(lines);
    addLine(lines, QStringLiteral("000001"), 1, QDate(2024, 3, 5));
    lines.close();
    lines.emptyTable(); // closed
    lines.open();
    QVERIFY(lines.isEmpty());
    addLine(lines, QStringLiteral("000001"), 1, QDate(2024, 3, 5));
    lines.emptyTable(); // open
    QVERIFY(lines.isEmpty());
    lines.close();
    lines.open();
    QVERIFY(lines.isEmpty());
    QCOMPARE(lines.fieldCount(), 7);
}

void TestTable::valuesSurviveReopen()
{
    Table header;
    header.setDatabaseName(m_dir->path());
    header.setTableName(kHeaderTableName);
    DeclareHeaderFields(header);
    header.open();
    header.append();
    header.fieldByName(QStringLiteral("COD")).setAsString(QStringLiteral("000001"));
    header.fieldByName(QStringLiteral("LEMBRETE")).setAsString(QStringLiteral("Simulação março"));
    header.fieldByName(QStringLiteral("DATABASE")).setAsDate(DayNumber(QDate(2024, 3, 5)));
    header.fieldByName(QStringLiteral("JUROS")).setAsFloat(3.57);
    header.fieldByName(QStringLiteral("VALOR")).setAsFloat(0);
    header.post();
    header.close();
    header.open();
    QCOMPARE(header.fieldByName(QStringLiteral("LEMBRETE")).asString(),
             QStringLiteral("Simulação março"));
    QVERIFY(header.fieldByName(QStringLiteral("DATA")).isNull());
    QCOMPARE(header.fieldByName(QStringLiteral("DATABASE")).asDate(), DayNumber(QDate(2024, 3, 5)));
    QCOMPARE(header.fieldByName(QStringLiteral("JUROS")).asFloat(), 3.57);
    QCOMPARE(header.fieldByName(QStringLiteral("VALOR")).asFloat(), 0.0);
    QVERIFY(!header.fieldByName(QStringLiteral("VALOR")).isNull());
}

QTEST_GUILESS_MAIN(TestTable)
#include "tst_table.moc"
