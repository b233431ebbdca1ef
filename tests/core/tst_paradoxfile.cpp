// SPDX-License-Identifier: MIT
#include "core/errors.h"
#include "core/paradoxfile.h"
#include "support/tempfolder.h"
#include "tablefixtures.h"

#include <QtEndian>
#include <QtTest>
#include <algorithm>
#include <functional>

using namespace fixtures;

namespace
{

bool allOf(const QByteArray &bytes, char value)
{
    return std::all_of(bytes.begin(), bytes.end(), [value](char c) { return c == value; });
}

RecordValues line(const QVariant &cod, const QVariant &incr, const QVariant &data,
                  const QVariant &valor)
{
    return {cod, incr, data, valor};
}

QVector<RecordValues> valuesOf(const TableFile &file)
{
    QVector<RecordValues> out;
    for (const TableFile::Record &r : file.records())
        out.append(r.values);
    return out;
}

QVector<RecordValues> inOrder(const TableFile &file, const QString &index)
{
    QHash<quint32, RecordValues> bySlot;
    for (const TableFile::Record &r : file.records())
        bySlot.insert(r.slot, r.values);
    QVector<RecordValues> out;
    for (quint32 slot : file.indexOrder(index))
        out.append(bySlot.value(slot));
    return out;
}

quint16 u16(const QByteArray &b, int at)
{
    return qFromLittleEndian<quint16>(b.constData() + at);
}

// Walks the blocks of a table of 2 KiB blocks straight from its bytes and checks what every
// Paradox reader relies on: counts that add up, links both ways, no empty block in the chain,
// records in ascending key order (`keyBytes` leading bytes of each record, compared as
// unsigned bytes, which is the key order for alpha and number fields).
QString checkLayout(const QByteArray &b, int keyBytes)
{
    const int recordSize = u16(b, 0);
    const int headerSize = u16(b, 2);
    const int blockSize = quint8(b[5]) * 1024;
    const quint32 numRecords = qFromLittleEndian<quint32>(b.constData() + 6);
    const int fileBlocks = u16(b, 0x0C);
    if (b.size() != headerSize + qint64(fileBlocks) * blockSize)
        return QStringLiteral("file size %1 for %2 blocks").arg(b.size()).arg(fileBlocks);
    if (u16(b, 0x0A) != fileBlocks || u16(b, 0x3A) != fileBlocks)
        return QStringLiteral("nextBlock or maxBlocks differ from fileBlocks");
    int blocks = 0, previous = 0;
    quint32 records = 0;
    QByteArray lastKey;
    for (int n = u16(b, 0x0E); n; n = u16(b, headerSize + (n - 1) * blockSize)) {
        if (n > fileBlocks || ++blocks > fileBlocks)
            return QStringLiteral("bad link to %1").arg(n);
        const int at = headerSize + (n - 1) * blockSize;
        if (u16(b, at + 2) != previous)
            return QStringLiteral("block %1 links back to %2").arg(n).arg(u16(b, at + 2));
        const int used = qFromLittleEndian<qint16>(b.constData() + at + 4);
        if (used < 0 || used % recordSize)
            return QStringLiteral("block %1 has count word %2").arg(n).arg(used);
        const int count = used / recordSize + 1;
        for (int i = 0; i < count; ++i) {
            const QByteArray key = b.mid(at + 6 + i * recordSize, keyBytes);
            if (!lastKey.isEmpty() && !(lastKey < key))
                return QStringLiteral("records out of key order in block %1").arg(n);
            lastKey = key;
        }
        records += quint32(count);
        previous = n;
    }
    if (blocks != fileBlocks)
        return QStringLiteral("%1 blocks linked of %2").arg(blocks).arg(fileBlocks);
    if (records != numRecords)
        return QStringLiteral("%1 records in blocks, %2 in the header")
            .arg(records)
            .arg(numRecords);
    if (u16(b, 0x10) != previous)
        return QStringLiteral("lastBlock is %1, the chain ends at %2")
            .arg(u16(b, 0x10))
            .arg(previous);
    return {};
}

#ifdef CHEQUES_PXREADER
// The records as pxlib reads them, one text per record: fields joined by '|'.
QStringList pxlibRecords(const QString &path)
{
    const ToolRun run = runTool(QStringLiteral(CHEQUES_PXREADER), {path});
    if (run.exitCode != 0 || !run.err.isEmpty())
        return {QStringLiteral("pxlib failed: ") + QString::fromUtf8(run.err)};
    QStringList lines = QString::fromUtf8(run.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    return lines.mid(2);
}
#endif

// A record as the pxlib reader prints it.
QString asPxlibText(const RecordValues &v)
{
    QStringList parts;
    parts << (v[0].isValid() ? v[0].toString() : QStringLiteral("NULL"));
    parts << (v[1].isValid() ? QString::number(v[1].toInt()) : QStringLiteral("NULL"));
    parts << (v[2].isValid() ? DateOfDayNumber(v[2].toInt()).toString(Qt::ISODate)
                             : QStringLiteral("NULL"));
    parts << (v[3].isValid() ? QString::number(v[3].toDouble(), 'g', 17) : QStringLiteral("NULL"));
    return parts.join(QLatin1Char('|'));
}

struct LineTable {
    TempFolder dir;
    QString path = dir.file(QStringLiteral("Aux_Jur1.db"));
    QString px = dir.file(QStringLiteral("Aux_Jur1.px"));
    QString xg0 = dir.file(QStringLiteral("Aux_Jur1.xg0"));
    QString yg0 = dir.file(QStringLiteral("Aux_Jur1.yg0"));
    LineTable() { TableFile::create(path, lineFields(), lineIndexes()); }
};

// The lines appended with numbers from the table: dates from 1 March 2024 on, every seventh
// without a date, every fifth without a value.
QVector<quint32> appendLines(ParadoxFile &file, int count,
                             const QString &cod = QStringLiteral("000001"))
{
    QVector<quint32> result;
    for (int i = 0; i < count; ++i) {
        RecordValues v = line(cod, {}, i % 7 == 3 ? QVariant() : day(2024, 3, 1 + i % 28),
                              i % 5 == 4 ? QVariant() : QVariant(i * 10.25 - 100));
        result.append(file.append(v));
    }
    return result;
}

} // namespace

class TestParadoxFile : public QObject
{
    Q_OBJECT

private slots:
    void headerBytesMatchTheWorkedExample();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void refusedValuesLeaveTheFileAlone_data();
    void refusedValuesLeaveTheFileAlone();
    void keyViolationIsFoundWhereverTheKeyIs_data();
    void keyViolationIsFoundWhereverTheKeyIs();
    void recordsStaySortedInFullBlocks();
    void autoIncrementNumbersNewLines();
    void indexesAreKeptInStep();
    void damagedIndexFilesAreRebuilt_data();
    void damagedIndexFilesAreRebuilt();
    void indexWithoutAnyDefinitionIsDropped();
    void namesAreFoundWithoutRegardToCase();
    void badFilesAreRefusedNamingTheFile_data();
    void badFilesAreRefusedNamingTheFile();
    void unfinishedWritesAreRepairedOnOpen();
    void pxlibReadsOurFiles();
    void weReadWhatPxlibWrites();
};

void TestParadoxFile::headerBytesMatchTheWorkedExample()
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("TESTE.DB"));
    TableFile::create(path, lineFields(), lineIndexes());
    QCOMPARE(QFileInfo(path).size(), 2048); // an empty table is its header
    ParadoxFile file;
    file.open(path);
    RecordValues v = line(QStringLiteral("000001"), {}, day(2024, 3, 5), 600.0);
    file.append(v);
    QCOMPARE(v[1], QVariant(1));
    file.close();

    QByteArray bytes = readFile(path);
    QCOMPARE(bytes.size(), 4096);
    QByteArray expected = QByteArray::fromHex("1600"
                                              "0008"
                                              "00"
                                              "02"
                                              "01000000"
                                              "0100"
                                              "0100"
                                              "0100"
                                              "0100"
                                              "0c00"
                                              "00"
                                              "00"
                                              "9c78620a"
                                              "0c77620a"
                                              "0000"
                                              "00"
                                              "0400"
                                              "0200"
                                              "00ff00ff"
                                              "62"
                                              "00"
                                              "0000"
                                              "02"
                                              "01"
                                              "00"
                                              "8079620a"
                                              "7879620a"
                                              "00"
                                              "0c"
                                              "0100"
                                              "00"
                                              "00"
                                              "1f0f"
                                              "00000000"
                                              "00000000"
                                              "00"
                                              "01000000"
                                              "0000"
                                              "00"
                                              "00"
                                              "be01"
                                              "0000"
                                              "f0"
                                              "20"
                                              "00"
                                              "0c01"
                                              "0c01"
                                              "00000000"
                                              "257f1a6b"
                                              "0500"
                                              "5501"
                                              "0000"
                                              "e404"
                                              "0101"
                                              "5d01"
                                              "0000"
                                              "000000000000"
                                              "01061604"
                                              "02040608");
    QCOMPARE(expected.size(), 0x80);
    // Run-time pointers, an uninitialised byte and the update time vary from writer to writer.
    for (auto [from, to] : {std::pair{0x16, 0x1E}, {0x30, 0x38}, {0x55, 0x56}, {0x60, 0x64}})
        expected.replace(from, to - from, bytes.mid(from, to - from));
    QCOMPARE(bytes.left(0x80).toHex(' '), expected.toHex(' '));
    QByteArray names = QByteArray("TESTE.DB").leftJustified(261, '\0');
    names.append(QByteArray("COD\0INCR\0DATA\0VALOR\0", 20));
    names.append(QByteArray::fromHex("0100020003000400"));
    names.append("ANSIINTL");
    QCOMPARE(bytes.mid(0x94, names.size()), names);
    QVERIFY(allOf(bytes.mid(0x94 + names.size(), 0x800 - 0x94 - names.size()), '\0'));
    QCOMPARE(bytes.mid(0x800, 28).toHex(' '), QByteArray::fromHex("000000000000"
                                                                  "303030303031"
                                                                  "80000001"
                                                                  "800b4686"
                                                                  "c082c00000000000")
                                                  .toHex(' '));
}

void TestParadoxFile::valuesRoundTrip_data()
{
    QTest::addColumn<RecordValues>("values");
    QTest::newRow("typical") << line(QStringLiteral("000001"), 1, day(2024, 3, 5), 600.0);
    QTest::newRow("empty values") << line(QStringLiteral("000001"), 2, {}, {});
    QTest::newRow("negative, zero, old and late")
        << line(QStringLiteral("Ação!"), 3, day(1, 1, 1), -1234.5625);
    QTest::newRow("zero is not empty") << line(QStringLiteral("z"), 0, day(1899, 12, 30), 0.0);
    QTest::newRow("extremes") << line(QStringLiteral("€€€€€€"), INT_MAX, day(9999, 12, 31),
                                      -1.7976931348623157e308);
    QTest::newRow("negative number") << line(QStringLiteral("n"), -5, day(2000, 2, 29), -0.001);
}

void TestParadoxFile::valuesRoundTrip()
{
    QFETCH(RecordValues, values);
    LineTable t;
    ParadoxFile file;
    file.open(t.path);
    RecordValues given = values;
    file.append(given);
    QCOMPARE(given, values);
    file.close();
    file.open(t.path);
    const RecordValues back = file.records().front().values;
    for (int i = 0; i < values.size(); ++i) {
        QCOMPARE(back[i].isValid(), values[i].isValid());
        if (values[i].isValid())
            QCOMPARE(back[i], values[i]);
    }
}

void TestParadoxFile::refusedValuesLeaveTheFileAlone_data()
{
    QTest::addColumn<RecordValues>("values");
    QTest::addColumn<QString>("message");
    QTest::newRow("code too long") << line(QStringLiteral("0000001"), {}, {}, {})
                                   << QStringLiteral("Text too long for field COD");
    QTest::newRow("duplicate key")
        << line(QStringLiteral("000001"), 1, {}, {}) << QStringLiteral("Key violation");
    QTest::newRow("number is infinite")
        << line(QStringLiteral("1"), {}, {}, qInf()) << QStringLiteral("does not fit field VALOR");
    QTest::newRow("date before year 1")
        << line(QStringLiteral("1"), {}, -693594, {}) << QStringLiteral("does not fit field DATA");
    QTest::newRow("number out of range")
        << line(QStringLiteral("1"), INT_MIN, {}, {}) << QStringLiteral("does not fit field INCR");
}

void TestParadoxFile::refusedValuesLeaveTheFileAlone()
{
    QFETCH(RecordValues, values);
    QFETCH(QString, message);
    LineTable t;
    ParadoxFile file;
    file.open(t.path);
    appendLines(file, 1);
    const QByteArray before = readFile(t.path);
    const QByteArray index = readFile(t.xg0);
    try {
        file.append(values);
        QFAIL("no error");
    } catch (const EngineError &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        QVERIFY(e.message().contains(t.path));
    }
    QCOMPARE(readFile(t.path), before);
    QCOMPARE(readFile(t.xg0), index);
    QCOMPARE(file.records().size(), 1);
}

void TestParadoxFile::keyViolationIsFoundWhereverTheKeyIs_data()
{
    QTest::addColumn<int>("taken");     // the number of the line whose key is used again
    QTest::addColumn<bool>("byUpdate"); // by changing another line rather than a new line
    QTest::addColumn<bool>("unsorted"); // the last two lines swapped on disk by another program
    QTest::newRow("first line") << 1 << false << false;
    QTest::newRow("inside the second block") << 130 << false << false;
    QTest::newRow("last line") << 200 << false << false;
    QTest::newRow("by an update") << 100 << true << false;
    QTest::newRow("unsorted table") << 120 << false << true;
    QTest::newRow("unsorted table, the key in front of the last") << 200 << false << true;
    QTest::newRow("unsorted table, by an update") << 1 << true << true;
}

void TestParadoxFile::keyViolationIsFoundWhereverTheKeyIs()
{
    QFETCH(int, taken);
    QFETCH(bool, byUpdate);
    QFETCH(bool, unsorted);
    LineTable t;
    {
        ParadoxFile file;
        file.open(t.path);
        appendLines(file, 200);
    }
    if (unsorted) {
        // Lines 199 and 200 are the last two of the third block.
        QByteArray bytes = readFile(t.path);
        const int at = 2048 + 2 * 2048 + 6 + 14 * 22;
        const QByteArray first = bytes.mid(at, 22);
        bytes.replace(at, 22, bytes.mid(at + 22, 22));
        bytes.replace(at + 22, 22, first);
        QVERIFY(writeFile(t.path, bytes));
    }
    ParadoxFile file;
    file.open(t.path);
    quint32 other = 0;
    for (const TableFile::Record &r : file.records())
        if (r.values[1].toInt() == (taken == 50 ? 51 : 50))
            other = r.slot;
    const QByteArray before = readFile(t.path);
    RecordValues again = line(QStringLiteral("000001"), taken, day(2025, 1, 1), 1.0);
    try {
        if (byUpdate)
            file.update(other, again);
        else
            file.append(again);
        QFAIL("no key violation");
    } catch (const EngineError &e) {
        QVERIFY2(e.message().contains(QStringLiteral("Key violation")), qPrintable(e.message()));
    }
    QCOMPARE(readFile(t.path), before);
    QCOMPARE(file.records().size(), 200);
}

void TestParadoxFile::recordsStaySortedInFullBlocks()
{
    LineTable t;
    ParadoxFile file;
    file.open(t.path);
    QVector<quint32> stored = appendLines(file, 200);
    QByteArray bytes = readFile(t.path);
    // 92 records fit a 2 KiB block: 92 + 92 + 16, as pxlib lays them out.
    QCOMPARE(bytes.size(), 2048 + 3 * 2048);
    QCOMPARE(checkLayout(bytes, 10), QString());
    QCOMPARE(qFromLittleEndian<qint16>(bytes.constData() + 2048 + 2 * 2048 + 4), 15 * 22);

    // A record whose key belongs in front: the table is written anew, still sorted.
    RecordValues first = line(QStringLiteral("000000"), {}, day(2024, 1, 1), 1.0);
    const quint32 early = file.append(first);
    QCOMPARE(first[1], QVariant(201));
    QCOMPARE(checkLayout(readFile(t.path), 10), QString());
    QCOMPARE(valuesOf(file).front()[0], QVariant(QStringLiteral("000000")));

    // Changing a value rewrites the record in place.
    const QByteArray beforeEdit = readFile(t.path);
    RecordValues edit = line(QStringLiteral("000001"), 50, day(2030, 1, 1), 5.5);
    file.update(stored[49], edit);
    const QByteArray afterEdit = readFile(t.path);
    QCOMPARE(afterEdit.size(), beforeEdit.size());
    int changed = 0;
    for (int i = 0x80; i < afterEdit.size(); ++i)
        changed += afterEdit[i] != beforeEdit[i];
    QVERIFY2(changed > 0 && changed <= 12, qPrintable(QString::number(changed)));

    // A key moved past its neighbours takes the record to its new place.
    file.update(early, line(QStringLiteral("000002"), 201, day(2024, 1, 1), 1.0));
    QCOMPARE(checkLayout(readFile(t.path), 10), QString());
    QCOMPARE(valuesOf(file).back()[0], QVariant(QStringLiteral("000002")));

    // A delete inside a block rewrites only that block; emptying a block drops it.
    file.remove(stored[10]);
    QCOMPARE(checkLayout(readFile(t.path), 10), QString());
    QCOMPARE(QFileInfo(t.path).size(), 2048 + 3 * 2048);
    for (int i = 0; i < 200; ++i)
        if (i != 10)
            file.remove(stored[i]);
    bytes = readFile(t.path);
    QCOMPARE(checkLayout(bytes, 10), QString());
    QCOMPARE(bytes.size(), 2048 + 2048);
    QCOMPARE(file.records().size(), 1);
    file.close();
    file.open(t.path);
    QCOMPARE(valuesOf(file),
             QVector<RecordValues>({line(QStringLiteral("000002"), 201, day(2024, 1, 1), 1.0)}));
    file.remove(file.records().front().slot);
    QCOMPARE(QFileInfo(t.path).size(), 2048);
    QCOMPARE(checkLayout(readFile(t.path), 10), QString());

    appendLines(file, 95);
    file.empty();
    QCOMPARE(QFileInfo(t.path).size(), 2048);
    QCOMPARE(checkLayout(readFile(t.path), 10), QString());
    QVERIFY(file.records().isEmpty());
    file.close();
    file.open(t.path);
    QVERIFY(file.records().isEmpty());
}

void TestParadoxFile::autoIncrementNumbersNewLines()
{
    LineTable t;
    ParadoxFile file;
    file.open(t.path);
    QVector<quint32> stored = appendLines(file, 3);
    QCOMPARE(valuesOf(file)[2][1], QVariant(3));
    // A number given with the record is kept; the next ones go on from the largest.
    RecordValues given = line(QStringLiteral("000001"), 10, {}, {});
    file.append(given);
    RecordValues next = line(QStringLiteral("000001"), {}, {}, {});
    const quint32 eleven = file.append(next);
    QCOMPARE(next[1], QVariant(11));
    QCOMPARE(qFromLittleEndian<quint32>(readFile(t.path).constData() + 0x49), 11u);
    // A deleted last number is not given again, not even after reopening.
    file.remove(eleven);
    file.close();
    file.open(t.path);
    next = line(QStringLiteral("000001"), {}, {}, {});
    file.append(next);
    QCOMPARE(next[1], QVariant(12));
    // An update that leaves the number empty keeps it.
    file.update(stored[0], line(QStringLiteral("000001"), {}, day(2024, 5, 5), 1.0));
    QCOMPARE(valuesOf(file)[0][1], QVariant(1));
    // A file whose counter was never kept (pxlib's raw writes) numbers after its largest line.
    file.close();
    QByteArray bytes = readFile(t.path);
    qToLittleEndian<quint32>(0, bytes.data() + 0x49);
    QVERIFY(writeFile(t.path, bytes));
    file.open(t.path);
    next = line(QStringLiteral("000001"), {}, {}, {});
    file.append(next);
    QCOMPARE(next[1], QVariant(13));
    // Emptying keeps the counter: numbers are never given twice.
    file.empty();
    next = line(QStringLiteral("000001"), {}, {}, {});
    file.append(next);
    QCOMPARE(next[1], QVariant(14));
}

void TestParadoxFile::indexesAreKeptInStep()
{
    LineTable t;
    ParadoxFile file;
    file.open(t.path);
    QCOMPARE(file.indexes().size(), 2);
    QVERIFY(file.indexes()[0].primary);
    QCOMPARE(file.indexes()[1].name, QStringLiteral("COD_DATA"));
    QVERIFY(file.indexes()[1].caseInsensitive);
    QVector<quint32> stored = appendLines(file, 150);
    RecordValues lower = line(QStringLiteral("abc"), {}, day(2024, 1, 2), 1.0);
    RecordValues upper = line(QStringLiteral("ABD"), {}, day(2024, 1, 1), 1.0);
    file.append(lower);
    file.append(upper);
    // Texts outside ASCII go through the code page, and ignore letter case all the same.
    RecordValues accented = line(QStringLiteral("ação"), {}, day(2024, 1, 2), 1.0);
    RecordValues accentedUpper = line(QStringLiteral("AÇÃO"), {}, day(2024, 1, 3), 1.0);
    file.append(accented);
    file.append(accentedUpper);
    file.update(stored[3], line(QStringLiteral("000001"), 4, day(2020, 1, 1), 2.0));
    file.remove(stored[7]);
    file.remove(stored[100]);

    auto check = [&]() {
        QVector<RecordValues> rows = valuesOf(file);
        QCOMPARE(inOrder(file, QString()), rows); // the table is in key order
        std::stable_sort(
            rows.begin(), rows.end(), [](const RecordValues &a, const RecordValues &b) {
                const QString ca = a[0].toString().toUpper(), cb = b[0].toString().toUpper();
                if (ca != cb)
                    return ca < cb;
                const int da = a[2].isValid() ? a[2].toInt() + 1000000 : 0;
                const int db = b[2].isValid() ? b[2].toInt() + 1000000 : 0;
                if (da != db)
                    return da < db;
                return a[1].toInt() < b[1].toInt();
            });
        QCOMPARE(inOrder(file, QStringLiteral("cod_data")), rows);
    };
    check();
    const QVector<RecordValues> byDate = inOrder(file, QStringLiteral("COD_DATA"));
    QCOMPARE(byDate.back()[0], QVariant(QStringLiteral("AÇÃO")));
    QCOMPARE(byDate[byDate.size() - 2][0], QVariant(QStringLiteral("ação")));
    QCOMPARE(byDate[byDate.size() - 3][0], QVariant(QStringLiteral("ABD")));
    file.close();
    const QByteArray px = readFile(t.px), xg0 = readFile(t.xg0), yg0 = readFile(t.yg0);
    file.open(t.path);
    check();
    file.close();
    // What was written change by change is what the open checks and keeps.
    QCOMPARE(readFile(t.px), px);
    QCOMPARE(readFile(t.xg0), xg0);
    QCOMPARE(readFile(t.yg0), yg0);
    QCOMPARE(px.size(), 96 + 176 + 2 * (10 + 4));
    QCOMPARE(xg0.size(), 96 + 176 + 152 * (10 + 10));
    QVERIFY_THROWS_EXCEPTION(EngineError, file.indexOrder(QString()));
    file.open(t.path);
    QVERIFY_THROWS_EXCEPTION(EngineError, file.indexOrder(QStringLiteral("NOPE")));
}

void TestParadoxFile::damagedIndexFilesAreRebuilt_data()
{
    using Damage = std::function<void(const LineTable &)>;
    QTest::addColumn<Damage>("damage");
    QTest::newRow("primary missing") << Damage([](const LineTable &t) { QFile::remove(t.px); });
    QTest::newRow("primary garbage")
        << Damage([](const LineTable &t) { writeFile(t.px, QByteArray(4096, '\x11')); });
    QTest::newRow("primary cut short")
        << Damage([](const LineTable &t) { writeFile(t.px, readFile(t.px).left(280)); });
    QTest::newRow("primary of pxlib's kind") << Damage([](const LineTable &t) {
        writeFile(t.px, QByteArray::fromHex("1000000801020100000001000100") + QByteArray(4082, 0));
    });
    // Emptying writes an index over its old self and then cuts it: a process that died in
    // between leaves the empty index's start followed by the old entries.
    QTest::newRow("primary emptied, not cut") << Damage([](const LineTable &t) {
        QByteArray b = readFile(t.px);
        const QByteArray empty = readFile(LineTable().px);
        writeFile(t.px, b.replace(0, empty.size(), empty));
    });
    QTest::newRow("entries emptied, not cut") << Damage([](const LineTable &t) {
        QByteArray b = readFile(t.xg0);
        const QByteArray empty = readFile(LineTable().xg0);
        writeFile(t.xg0, b.replace(0, empty.size(), empty));
    });
    QTest::newRow("entries missing") << Damage([](const LineTable &t) { QFile::remove(t.xg0); });
    QTest::newRow("entries garbage")
        << Damage([](const LineTable &t) { writeFile(t.xg0, QByteArray(3000, '\xff')); });
    QTest::newRow("entries zero length")
        << Damage([](const LineTable &t) { writeFile(t.xg0, QByteArray()); });
    QTest::newRow("entries of another table") << Damage([](const LineTable &t) {
        LineTable other;
        ParadoxFile f;
        f.open(other.path);
        appendLines(f, 3);
        f.close();
        writeFile(t.xg0, readFile(other.xg0));
    });
    QTest::newRow("definition missing") << Damage([](const LineTable &t) { QFile::remove(t.yg0); });
    QTest::newRow("definition garbage")
        << Damage([](const LineTable &t) { writeFile(t.yg0, QByteArray(10, 'y')); });
    QTest::newRow("data changed behind the index") << Damage([](const LineTable &t) {
        QByteArray b = readFile(t.path);
        b.replace(2048 + 6 + 22 * 5 + 10, 4, QByteArray::fromHex("800b4000"));
        writeFile(t.path, b);
    });
    // The entries of COD_DATA (20 bytes each) begin after the header and its one directory entry.
    QTest::newRow("entries out of order") << Damage([](const LineTable &t) {
        QByteArray b = readFile(t.xg0);
        const QByteArray first = b.mid(96 + 176, 20);
        b.replace(96 + 176, 20, b.mid(96 + 176 + 20 * 60, 20));
        b.replace(96 + 176 + 20 * 60, 20, first);
        writeFile(t.xg0, b);
    });
    QTest::newRow("an entry in place of its neighbour") << Damage([](const LineTable &t) {
        QByteArray b = readFile(t.xg0);
        b.replace(96 + 176 + 20 * 31, 20, b.mid(96 + 176 + 20 * 30, 20));
        writeFile(t.xg0, b);
    });
    QTest::newRow("entry count cut") << Damage([](const LineTable &t) {
        QByteArray b = readFile(t.xg0);
        qToLittleEndian<quint32>(5, b.data() + 96 + 40);
        writeFile(t.xg0, b);
    });
}

void TestParadoxFile::damagedIndexFilesAreRebuilt()
{
    using Damage = std::function<void(const LineTable &)>;
    QFETCH(Damage, damage);
    LineTable t;
    {
        ParadoxFile file;
        file.open(t.path);
        appendLines(file, 120);
    }
    const QByteArray data = readFile(t.path);
    damage(t);
    const QByteArray changedData = readFile(t.path);
    ParadoxFile file;
    file.open(t.path);
    QCOMPARE(file.records().size(), 120);
    QCOMPARE(file.indexes().size(), 2);
    const QVector<RecordValues> byDate = inOrder(file, QStringLiteral("COD_DATA"));
    QCOMPARE(byDate.size(), 120);
    for (int i = 1; i < byDate.size(); ++i)
        QVERIFY(
            !byDate[i][2].isValid() ||
            (byDate[i - 1][2].isValid() ? byDate[i - 1][2].toInt() <= byDate[i][2].toInt() : true));
    QCOMPARE(inOrder(file, QString()), valuesOf(file));
    file.close();
    QCOMPARE(readFile(t.path), changedData);
    if (changedData == data) {
        // The rebuilt files are the ones the table writes itself.
        LineTable fresh;
        ParadoxFile f;
        f.open(fresh.path);
        appendLines(f, 120);
        f.close();
        QCOMPARE(readFile(t.px), readFile(fresh.px).replace("Aux_Jur1.db", "Aux_Jur1.db"));
        QCOMPARE(readFile(t.xg0), readFile(fresh.xg0));
        QCOMPARE(readFile(t.yg0), readFile(fresh.yg0));
    }
    // Once rebuilt, an open leaves them alone.
    const QByteArray px = readFile(t.px), xg0 = readFile(t.xg0), yg0 = readFile(t.yg0);
    file.open(t.path);
    file.close();
    QCOMPARE(readFile(t.px), px);
    QCOMPARE(readFile(t.xg0), xg0);
    QCOMPARE(readFile(t.yg0), yg0);
}

void TestParadoxFile::indexWithoutAnyDefinitionIsDropped()
{
    LineTable t;
    {
        ParadoxFile file;
        file.open(t.path);
        appendLines(file, 5);
    }
    writeFile(t.xg0, QByteArray(500, 'x'));
    QFile::remove(t.yg0);
    ParadoxFile file;
    file.open(t.path);
    QCOMPARE(file.records().size(), 5);
    QCOMPARE(file.indexes().size(), 1);
    RecordValues v = line(QStringLiteral("000001"), {}, {}, {});
    file.append(v);
    QCOMPARE(readFile(t.xg0), QByteArray(500, 'x'));
}

void TestParadoxFile::namesAreFoundWithoutRegardToCase()
{
    LineTable t;
    for (const char *ext : {".px", ".xg0", ".yg0"})
        QVERIFY(QFile::rename(
            t.dir.file(QStringLiteral("Aux_Jur1") + QLatin1String(ext)),
            t.dir.file(QStringLiteral("AUX_JUR1") + QString::fromLatin1(ext).toUpper())));
    QVERIFY(QFile::rename(t.path, t.dir.file(QStringLiteral("AUX_JUR1.DB"))));
    ParadoxFile file;
    file.open(t.path);
    QCOMPARE(file.path(), t.dir.file(QStringLiteral("AUX_JUR1.DB")));
    appendLines(file, 3);
    QCOMPARE(file.indexOrder(QStringLiteral("COD_DATA")).size(), 3);
    file.close();
    QCOMPARE(QDir(t.dir.path()).entryList(QDir::Files).size(), 4);
    QVERIFY(readFile(t.dir.file(QStringLiteral("AUX_JUR1.XG0"))).size() > 96 + 176);
}

void TestParadoxFile::badFilesAreRefusedNamingTheFile_data()
{
    using Damage = std::function<void(QByteArray &)>;
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QString>("message");
    auto put8 = [](int at, int v) { return Damage([at, v](QByteArray &b) { b[at] = char(v); }); };
    auto put16 = [](int at, int v) {
        return Damage(
            [at, v](QByteArray &b) { qToLittleEndian<quint16>(quint16(v), b.data() + at); });
    };
    QTest::newRow("zero length") << Damage([](QByteArray &b) { b.clear(); })
                                 << QStringLiteral("the file is empty");
    QTest::newRow("cut in the header")
        << Damage([](QByteArray &b) { b.truncate(40); }) << QStringLiteral("header is cut short");
    QTest::newRow("cut in the field list") << Damage([](QByteArray &b) { b.truncate(300); })
                                           << QStringLiteral("header length does not fit the file");
    QTest::newRow("cut in a block") << Damage([](QByteArray &b) { b.truncate(5000); })
                                    << QStringLiteral("block count does not fit the file");
    QTest::newRow("wrong version")
        << put8(0x39, 0x20) << QStringLiteral("unknown version byte 0x20");
    QTest::newRow("primary index file")
        << put8(0x04, 1) << QStringLiteral("an index file, not a table");
    QTest::newRow("unknown file type") << put8(0x04, 9) << QStringLiteral("unknown file type 9");
    QTest::newRow("header length")
        << put16(0x02, 0x4000) << QStringLiteral("header length does not fit the file");
    QTest::newRow("record count") << put16(0x06, 500)
                                  << QStringLiteral("record count does not match the data blocks");
    QTest::newRow("block count") << put16(0x0C, 9)
                                 << QStringLiteral("block count does not fit the file");
    QTest::newRow("first block past the end")
        << put16(0x0E, 7) << QStringLiteral("block link points past the end of the file");
    QTest::newRow("chain in a circle")
        << put16(0x800 + 2048, 1) << QStringLiteral("runs in a circle");
    QTest::newRow("block count word")
        << put16(0x800 + 4, 5) << QStringLiteral("block 1 gives a record count");
    QTest::newRow("block count word too big")
        << put16(0x800 + 4, 200 * 22) << QStringLiteral("block 1 gives a record count");
    QTest::newRow("record length")
        << put16(0x00, 23) << QStringLiteral("record length does not match the fields");
    QTest::newRow("unknown field type")
        << put8(0x78, 0x33) << QStringLiteral("unknown field type 0x33 in field COD");
    QTest::newRow("memo field") << put8(0x78, 0x0C) << QStringLiteral("COD is a memo field");
    QTest::newRow("field sizes overflow the record")
        << put8(0x79, 0xFF) << QStringLiteral("record length does not match the fields");
    QTest::newRow("date of another size")
        << put8(0x7D, 8) << QStringLiteral("field DATA has size 8");
    QTest::newRow("no fields") << put16(0x21, 0) << QStringLiteral("gives 0 fields");
    QTest::newRow("too many fields") << put16(0x21, 200) << QStringLiteral("Corrupt table file");
    QTest::newRow("no block size") << put8(0x05, 0) << QStringLiteral("unknown block size");
    QTest::newRow("encrypted") << put8(0x5C, 1) << QStringLiteral("encrypted");
    QTest::newRow("bad date") << Damage([](QByteArray &b) {
        b.replace(0x800 + 6 + 10, 4, QByteArray::fromHex("ffffffff"));
    }) << QStringLiteral("bad date in field DATA of record 1");
}

void TestParadoxFile::badFilesAreRefusedNamingTheFile()
{
    using Damage = std::function<void(QByteArray &)>;
    QFETCH(Damage, damage);
    QFETCH(QString, message);
    LineTable t;
    {
        ParadoxFile file;
        file.open(t.path);
        appendLines(file, 100); // two blocks
    }
    QByteArray bytes = readFile(t.path);
    damage(bytes);
    QVERIFY(writeFile(t.path, bytes));
    ParadoxFile file;
    try {
        file.open(t.path);
        QFAIL("opened");
    } catch (const EngineError &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        QVERIFY2(e.message().contains(t.path), qPrintable(e.message()));
    }
    QVERIFY(!file.isOpen());
    QCOMPARE(readFile(t.path), bytes);
}

void TestParadoxFile::unfinishedWritesAreRepairedOnOpen()
{
    LineTable t;
    {
        ParadoxFile file;
        file.open(t.path);
        appendLines(file, 92);
    }
    const QByteArray good = readFile(t.path);
    ParadoxFile file;

    // The block took the record, the header's count did not.
    QByteArray bytes = good;
    qToLittleEndian<quint32>(91, bytes.data() + 6);
    QVERIFY(writeFile(t.path, bytes));
    file.open(t.path);
    QCOMPARE(file.records().size(), 92);
    file.close();
    QCOMPARE(readFile(t.path), good);

    // A new block was written at the end but never linked.
    bytes = good + QByteArray(2048, '\x07');
    QVERIFY(writeFile(t.path, bytes));
    file.open(t.path);
    QCOMPARE(file.records().size(), 92);
    file.close();
    QCOMPARE(readFile(t.path), good);

    // A new block was linked, the header was not told.
    {
        ParadoxFile f;
        f.open(t.path);
        appendLines(f, 1);
    }
    const QByteArray three = readFile(t.path);
    bytes = three;
    qToLittleEndian<quint32>(92, bytes.data() + 6);
    for (int at : {0x0A, 0x0C, 0x10, 0x3A})
        qToLittleEndian<quint16>(1, bytes.data() + at);
    QVERIFY(writeFile(t.path, bytes));
    file.open(t.path);
    QCOMPARE(file.records().size(), 93);
    file.close();
    QCOMPARE(checkLayout(readFile(t.path), 10), QString());
}

void TestParadoxFile::pxlibReadsOurFiles()
{
#ifndef CHEQUES_PXREADER
    QSKIP("pxlib is not installed");
#else
    LineTable t;
    ParadoxFile file;
    file.open(t.path);
    QCOMPARE(pxlibRecords(t.path), QStringList());
    QVector<quint32> stored = appendLines(file, 200);
    auto same = [&]() {
        QStringList ours;
        for (const RecordValues &v : valuesOf(file))
            ours.append(asPxlibText(v));
        QCOMPARE(pxlibRecords(t.path), ours);
        QCOMPARE(checkLayout(readFile(t.path), 10), QString());
    };
    same();
    file.update(stored[5], line(QStringLiteral("000001"), 6, {}, -0.5));
    file.remove(stored[100]);
    for (int i = 184; i < 200; ++i)
        file.remove(stored[i]);
    same();
    RecordValues front = line(QStringLiteral("000000"), {}, day(1999, 1, 1), 3.25);
    RecordValues accented = line(QStringLiteral("Ação"), {}, day(2024, 12, 31), 1e-3);
    file.append(front);
    file.append(accented);
    same();
    file.empty();
    same();
#endif
}

void TestParadoxFile::weReadWhatPxlibWrites()
{
#ifndef CHEQUES_PXWRITER
    QSKIP("pxlib is not installed");
#else
    TempFolder dir;
    const QString lines = dir.file(QStringLiteral("LINES.DB"));
    ToolRun run =
        runTool(QStringLiteral(CHEQUES_PXWRITER),
                {lines, QStringLiteral("COD:A:6,INCR:+:4,DATA:D:4,VALOR:N:8"), QStringLiteral("2")},
                "000001||2024-03-05|600\n000001|||\n000002||1899-12-30|-12.75\n");
    QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), run.err.constData());
    ParadoxFile file;
    file.open(lines);
    QCOMPARE(file.fields().size(), 4);
    QCOMPARE(file.fields()[1].type, FieldType::AutoInc);
    QCOMPARE(file.indexes().size(), 1);
    QCOMPARE(valuesOf(file),
             QVector<RecordValues>({line(QStringLiteral("000001"), 1, day(2024, 3, 5), 600.0),
                                    line(QStringLiteral("000001"), 2, {}, {}),
                                    line(QStringLiteral("000002"), 3, 0, -12.75)}));
    RecordValues more = line(QStringLiteral("000002"), {}, day(2025, 1, 1), 7.0);
    file.append(more);
    QCOMPARE(more[1], QVariant(4));
    file.close();
    QCOMPARE(pxlibRecords(lines).size(), 4);
    QCOMPARE(pxlibRecords(lines).back(), QStringLiteral("000002|4|2025-01-01|7"));

    const QString types = dir.file(QStringLiteral("TYPES.DB"));
    run = runTool(QStringLiteral(CHEQUES_PXWRITER),
                  {types,
                   QStringLiteral("NOME:A:10,QTD:S:2,TOTAL:I:4,PRECO:$:8,TAXA:N:8,OK:L:1,DIA:D:4"),
                   QStringLiteral("0")},
                  "Açúcar|-3|70000|12.5|-0.25|T|2024-02-29\n||||||\nz|0|0|0|0|F|0001-01-01\n");
    QVERIFY2(run.exitCode == 0 && run.err.isEmpty(), run.err.constData());
    file.open(types);
    QVERIFY(file.indexes().isEmpty());
    const QVector<FieldDef> f = file.fields();
    QCOMPARE(f[1].type, FieldType::Integer);
    QCOMPARE(f[3].type, FieldType::Float);
    QCOMPARE(f[5].type, FieldType::String);
    const QVector<RecordValues> rows = valuesOf(file);
    QCOMPARE(rows.size(), 3);
    QCOMPARE(rows[0], RecordValues({QStringLiteral("Açúcar"), -3, 70000, 12.5, -0.25,
                                    QStringLiteral("T"), day(2024, 2, 29)}));
    for (const QVariant &v : rows[1])
        QVERIFY(!v.isValid());
    QCOMPARE(rows[2], RecordValues({QStringLiteral("z"), 0, 0, 0.0, 0.0, QStringLiteral("F"),
                                    day(1, 1, 1)}));
#endif
}

QTEST_GUILESS_MAIN(TestParadoxFile)
#include "tst_paradoxfile.moc"
