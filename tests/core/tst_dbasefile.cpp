// SPDX-License-Identifier: MIT
#include "core/clock.h"
#include "core/dbasefile.h"
#include "core/errors.h"
#include "support/tempfolder.h"
#include "tablefixtures.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QtEndian>
#include <QtTest>
#include <functional>

using namespace fixtures;

namespace
{

// A 32-byte field descriptor as dBase writers lay it out, the field's offset in the record at
// bytes 12..15 as python-dbf writes it.
QByteArray descriptor(const char *name, char type, int offset, int length, int decimals)
{
    QByteArray d(32, '\0');
    std::memcpy(d.data(), name, std::strlen(name));
    d[11] = type;
    qToLittleEndian<quint32>(quint32(offset), d.data() + 12);
    d[16] = char(length);
    d[17] = char(decimals);
    return d;
}

RecordValues headerRecord(const QVariant &cod, const QVariant &lembrete, const QVariant &data,
                          const QVariant &database, const QVariant &juros, const QVariant &valor)
{
    return {cod, lembrete, data, database, juros, valor};
}

QVector<RecordValues> valuesOf(const TableFile &file)
{
    QVector<RecordValues> out;
    for (const TableFile::Record &r : file.records())
        out.append(r.values);
    return out;
}

QStringList codsInOrder(const DbaseFile &file, const QString &tag)
{
    QHash<quint32, QString> bySlot;
    for (const TableFile::Record &r : file.records())
        bySlot.insert(r.slot, r.values[0].toString());
    QStringList out;
    for (quint32 slot : file.indexOrder(tag))
        out.append(bySlot.value(slot));
    return out;
}

} // namespace

class TestDbaseFile : public QObject
{
    Q_OBJECT

private slots:
    void init() { setTodayForTesting(QDate(2026, 12, 10)); }
    void cleanup() { setTodayForTesting(std::nullopt); }

    void headerBytesMatchTheWorkedExample();
    void valuesRoundTrip_data();
    void valuesRoundTrip();
    void textAndNumbersThatDoNotFitAreRefused_data();
    void textAndNumbersThatDoNotFitAreRefused();
    void appendUpdateRemoveEmptyKeepTheFileExact();
    void slotsStayUniqueAcrossEmpty();
    void tagIsKeptInStepOnEveryWrite();
    void staleTagIsRebuiltFromTheData();
    void unreadableIndexFileNeverStopsTheTable_data();
    void unreadableIndexFileNeverStopsTheTable();
    void namesAreFoundWithoutRegardToCase();
    void badFilesAreRefusedNamingTheFile_data();
    void badFilesAreRefusedNamingTheFile();
    void unfinishedAppendIsCutBackOnOpen();
    void foreignFieldTypesAreRead();
    void dbfreadAndPythonDbfReadOurFiles();
    void weReadWhatPythonDbfWrites();
};

void TestDbaseFile::headerBytesMatchTheWorkedExample()
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("cal.dbf"));
    TableFile::create(path, headerFields(), headerIndexes());

    // Version 3, updated 2026-12-10, no records, header 225, record 101, code page 1252.
    QByteArray header = QByteArray::fromHex("037e0c0a"
                                            "00000000"
                                            "e100"
                                            "6500");
    header.append(QByteArray(17, '\0')).append('\x03').append(QByteArray(2, '\0'));
    header.append(descriptor("COD", 'C', 1, 6, 0));
    header.append(descriptor("LEMBRETE", 'C', 7, 40, 0));
    header.append(descriptor("DATA", 'D', 47, 8, 0));
    header.append(descriptor("DATABASE", 'D', 55, 8, 0));
    header.append(descriptor("JUROS", 'N', 63, 19, 4));
    header.append(descriptor("VALOR", 'N', 82, 19, 4));
    header.append('\x0d');
    QCOMPARE(header.size(), 225);
    QCOMPARE(readFile(path), header + '\x1a'); // empty table: 226 bytes

    DbaseFile file;
    file.open(path);
    RecordValues values = headerRecord(QStringLiteral("000001"), QStringLiteral("Simulação março"),
                                       {}, day(2024, 3, 5), 3.0, 0.0);
    file.append(values);
    file.close();

    QByteArray record(" 000001");
    record.append(QByteArray("Simula\xe7\xe3o mar\xe7o").leftJustified(40, ' '));
    record.append(QByteArray(8, ' '));
    record.append("20240305");
    record.append(QByteArray("3.0000").rightJustified(19, ' '));
    record.append(QByteArray("0.0000").rightJustified(19, ' '));
    header[4] = 1;
    QCOMPARE(readFile(path), header + record + '\x1a'); // 327 bytes, as python-dbf writes it
}

void TestDbaseFile::valuesRoundTrip_data()
{
    QTest::addColumn<RecordValues>("values");
    QTest::newRow("all empty") << headerRecord({}, {}, {}, {}, {}, {});
    QTest::newRow("typical") << headerRecord(QStringLiteral("000001"),
                                             QStringLiteral("Cheques de março, açúcar €"),
                                             day(1999, 12, 31), day(2024, 2, 29), 2.35, 0.0);
    QTest::newRow("rates with two decimals")
        << headerRecord(QStringLiteral("A"), QStringLiteral("x"), {}, day(1, 1, 1), 12.99, 0.01);
    QTest::newRow("negative and wide")
        << headerRecord(QStringLiteral("ABCDEF"), QString(40, QLatin1Char('z')), day(9999, 12, 31),
                        {}, -1234.5678, 99999999999999.0);
    QTest::newRow("zero is not empty") << headerRecord({}, {}, {}, {}, 0.0, -0.0);
}

void TestDbaseFile::valuesRoundTrip()
{
    QFETCH(RecordValues, values);
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("Cal_jur1.dbf"));
    TableFile::create(path, headerFields(), headerIndexes());
    DbaseFile file;
    file.open(path);
    RecordValues given = values;
    file.append(given);
    QCOMPARE(given, values);
    file.close();
    file.open(path);
    QCOMPARE(file.records().size(), 1);
    const RecordValues back = file.records().front().values;
    for (int i = 0; i < values.size(); ++i) {
        QCOMPARE(back[i].isValid(), values[i].isValid());
        if (values[i].isValid())
            QCOMPARE(back[i], values[i]);
    }
}

void TestDbaseFile::textAndNumbersThatDoNotFitAreRefused_data()
{
    QTest::addColumn<RecordValues>("values");
    QTest::addColumn<QString>("message");
    QTest::newRow("code too long") << headerRecord(QStringLiteral("0000001"), {}, {}, {}, {}, {})
                                   << QStringLiteral("Text too long for field COD");
    QTest::newRow("number too wide")
        << headerRecord({}, {}, {}, {}, 1e15, {}) << QStringLiteral("does not fit field JUROS");
    QTest::newRow("not a number") << headerRecord({}, {}, {}, {}, qQNaN(), {})
                                  << QStringLiteral("does not fit field JUROS");
    QTest::newRow("year 10000") << headerRecord({}, {}, day(9999, 12, 31).toInt() + 1, {}, {}, {})
                                << QStringLiteral("does not fit field DATA");
    QTest::newRow("wrong count") << RecordValues{QStringLiteral("1")}
                                 << QStringLiteral("1 values for 6 fields");
}

void TestDbaseFile::textAndNumbersThatDoNotFitAreRefused()
{
    QFETCH(RecordValues, values);
    QFETCH(QString, message);
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("t.dbf"));
    TableFile::create(path, headerFields(), headerIndexes());
    const QByteArray before = readFile(path);
    DbaseFile file;
    file.open(path);
    try {
        file.append(values);
        QFAIL("no error");
    } catch (const EngineError &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        QVERIFY(e.message().contains(path));
    }
    QCOMPARE(readFile(path), before);
    QVERIFY(file.records().isEmpty());
}

void TestDbaseFile::appendUpdateRemoveEmptyKeepTheFileExact()
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("t.dbf"));
    TableFile::create(path, headerFields(), headerIndexes());
    DbaseFile file;
    file.open(path);
    QVector<quint32> stored;
    for (int i = 0; i < 3; ++i) {
        RecordValues v =
            headerRecord(QStringLiteral("00000%1").arg(i + 1), QStringLiteral("n%1").arg(i), {},
                         day(2024, 1, i + 1), double(i), 0.0);
        stored.append(file.append(v));
    }
    QCOMPARE(QFileInfo(path).size(), 225 + 3 * 101 + 1);
    file.update(stored[1], headerRecord(QStringLiteral("000009"), QStringLiteral("changed"), {}, {},
                                        7.5, 1.0));
    file.remove(stored[0]);
    // A deleted record stays on disk, marked and counted, as dBase does.
    const QByteArray bytes = readFile(path);
    QCOMPARE(bytes.size(), 225 + 3 * 101 + 1);
    QCOMPARE(qFromLittleEndian<quint32>(bytes.constData() + 4), 3u);
    QCOMPARE(bytes.at(225), '*');
    QCOMPARE(bytes.at(225 + 101), ' ');
    QCOMPARE(bytes.back(), '\x1a');
    QCOMPARE(file.records().size(), 2);
    QVERIFY_THROWS_EXCEPTION(EngineError, file.update(stored[0], file.records().front().values));

    file.close();
    file.open(path);
    const QVector<RecordValues> back = valuesOf(file);
    QCOMPARE(back.size(), 2);
    QCOMPARE(back[0][0].toString(), QStringLiteral("000009"));
    QCOMPARE(back[0][1].toString(), QStringLiteral("changed"));
    QVERIFY(!back[0][2].isValid());
    QVERIFY(!back[0][3].isValid());
    QCOMPARE(back[0][4].toDouble(), 7.5);
    QCOMPARE(back[1][0].toString(), QStringLiteral("000003"));

    file.empty();
    QCOMPARE(QFileInfo(path).size(), 226);
    QVERIFY(file.records().isEmpty());
    QVERIFY(file.indexOrder(QStringLiteral("COD")).isEmpty());
    file.close();
    file.open(path);
    QVERIFY(file.records().isEmpty());
    QCOMPARE(file.fields().size(), 6);
    QCOMPARE(file.indexes().size(), 1);
}

void TestDbaseFile::slotsStayUniqueAcrossEmpty()
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("t.dbf"));
    TableFile::create(path, headerFields(), headerIndexes());
    DbaseFile file;
    file.open(path);
    RecordValues v = headerRecord(QStringLiteral("000001"), {}, {}, {}, {}, {});
    const quint32 before = file.append(v);
    QVERIFY(before > 0);
    file.empty();
    const quint32 after = file.append(v);
    QVERIFY(after != before);
    QVERIFY_THROWS_EXCEPTION(EngineError, file.remove(before));
    QCOMPARE(file.records().front().slot, after);
}

void TestDbaseFile::tagIsKeptInStepOnEveryWrite()
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("Cal_jur1.dbf"));
    const QString mdx = dir.file(QStringLiteral("Cal_jur1.mdx"));
    TableFile::create(path, headerFields(), headerIndexes());
    DbaseFile file;
    file.open(path);
    QHash<QString, quint32> slot;
    for (const char *cod : {"000005", "000002", "000009", "000001", "000002"}) {
        RecordValues v = headerRecord(QString::fromLatin1(cod), {}, {}, {}, {}, {});
        slot.insert(QString::fromLatin1(cod), file.append(v));
    }
    QCOMPARE(codsInOrder(file, QStringLiteral("cod")),
             QStringList({"000001", "000002", "000002", "000005", "000009"}));
    file.update(slot.value(QStringLiteral("000009")),
                headerRecord(QStringLiteral("000000"), {}, {}, {}, {}, {}));
    file.remove(slot.value(QStringLiteral("000005")));
    const QStringList expected{"000000", "000001", "000002", "000002"};
    QCOMPARE(codsInOrder(file, QStringLiteral("COD")), expected);
    file.close();

    // The file written change by change is exactly what the next open checks and keeps.
    const QByteArray written = readFile(mdx);
    file.open(path);
    QCOMPARE(codsInOrder(file, QStringLiteral("COD")), expected);
    file.close();
    QCOMPARE(readFile(mdx), written);
    QCOMPARE(written.size(), 96 + 176 + 4 * (6 + 4));
    QVERIFY_THROWS_EXCEPTION(EngineError, file.indexOrder(QStringLiteral("COD")));
}

void TestDbaseFile::staleTagIsRebuiltFromTheData()
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("t.dbf"));
    const QString mdx = dir.file(QStringLiteral("t.mdx"));
    TableFile::create(path, headerFields(), headerIndexes());
    {
        DbaseFile file;
        file.open(path);
        for (const char *cod : {"000003", "000001"}) {
            RecordValues v = headerRecord(QString::fromLatin1(cod), {}, {}, {}, {}, {});
            file.append(v);
        }
    }
    const QByteArray fresh = readFile(mdx);
    // Another program changes a key behind the index's back.
    QByteArray data = readFile(path);
    data.replace(225 + 1, 6, "000007");
    QVERIFY(writeFile(path, data));
    DbaseFile file;
    file.open(path);
    QCOMPARE(codsInOrder(file, QStringLiteral("COD")), QStringList({"000001", "000007"}));
    QVERIFY(readFile(mdx) != fresh);
    file.close();
    const QByteArray rebuilt = readFile(mdx);
    file.open(path);
    file.close();
    QCOMPARE(readFile(mdx), rebuilt);

    // An index cut short (a change that did not finish) keeps its tags and gets its entries back.
    QVERIFY(writeFile(mdx, rebuilt.left(rebuilt.size() - 3)));
    file.open(path);
    QCOMPARE(codsInOrder(file, QStringLiteral("COD")), QStringList({"000001", "000007"}));
    file.close();
    QCOMPARE(readFile(mdx), rebuilt);
}

void TestDbaseFile::unreadableIndexFileNeverStopsTheTable_data()
{
    QTest::addColumn<QByteArray>("index");
    QTest::addColumn<bool>("present");
    QTest::newRow("missing") << QByteArray() << false;
    QTest::newRow("zero length") << QByteArray() << true;
    QTest::newRow("garbage") << QByteArray(700, '\x5a') << true;
    QTest::newRow("a dBase index")
        << QByteArray::fromHex("0206071a") + QByteArray(1020, '\0') << true;
}

void TestDbaseFile::unreadableIndexFileNeverStopsTheTable()
{
    QFETCH(QByteArray, index);
    QFETCH(bool, present);
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("t.dbf"));
    const QString mdx = dir.file(QStringLiteral("t.mdx"));
    TableFile::create(path, headerFields(), headerIndexes());
    {
        DbaseFile file;
        file.open(path);
        RecordValues v =
            headerRecord(QStringLiteral("000001"), QStringLiteral("x"), {}, {}, {}, {});
        file.append(v);
    }
    QFile::remove(mdx);
    if (present)
        QVERIFY(writeFile(mdx, index));
    DbaseFile file;
    file.open(path);
    QCOMPARE(file.records().size(), 1);
    // Without a readable index file the tags are unknown; the file is not touched.
    QVERIFY(file.indexes().isEmpty());
    QVERIFY_THROWS_EXCEPTION(EngineError, file.indexOrder(QStringLiteral("COD")));
    RecordValues v = headerRecord(QStringLiteral("000002"), {}, {}, {}, {}, {});
    file.append(v);
    QCOMPARE(QFileInfo::exists(mdx), present);
    if (present)
        QCOMPARE(readFile(mdx), index);
}

void TestDbaseFile::namesAreFoundWithoutRegardToCase()
{
    TempFolder dir;
    TableFile::create(dir.file(QStringLiteral("Cal_jur1.DBF")), headerFields(), headerIndexes());
    QVERIFY(QFile::rename(dir.file(QStringLiteral("Cal_jur1.mdx")),
                          dir.file(QStringLiteral("CAL_JUR1.MDX"))));
    DbaseFile file;
    file.open(dir.file(QStringLiteral("Cal_jur1.dbf")));
    QCOMPARE(file.path(), dir.file(QStringLiteral("Cal_jur1.DBF")));
    QCOMPARE(file.indexes().size(), 1);
    RecordValues v = headerRecord(QStringLiteral("000001"), {}, {}, {}, {}, {});
    file.append(v);
    QCOMPARE(file.indexOrder(QStringLiteral("COD")).size(), 1);
    file.close();
    // Creating again under another spelling replaces the same files.
    TableFile::create(dir.file(QStringLiteral("cal_jur1.dbf")), headerFields(), headerIndexes());
    QStringList names = QDir(dir.path()).entryList(QDir::Files);
    names.sort();
    QCOMPARE(names, QStringList({"CAL_JUR1.MDX", "Cal_jur1.DBF"}));
    file.open(dir.file(QStringLiteral("CAL_JUR1.dbf")));
    QVERIFY(file.records().isEmpty());
}

void TestDbaseFile::badFilesAreRefusedNamingTheFile_data()
{
    using Damage = std::function<void(QByteArray &)>;
    QTest::addColumn<Damage>("damage");
    QTest::addColumn<QString>("message");
    auto put16 = [](int at, int v) {
        return Damage(
            [at, v](QByteArray &b) { qToLittleEndian<quint16>(quint16(v), b.data() + at); });
    };
    QTest::newRow("zero length") << Damage([](QByteArray &b) { b.clear(); })
                                 << QStringLiteral("the file is empty");
    QTest::newRow("cut in the header")
        << Damage([](QByteArray &b) { b.truncate(20); }) << QStringLiteral("header is cut short");
    QTest::newRow("cut in the fields") << Damage([](QByteArray &b) { b.truncate(100); })
                                       << QStringLiteral("header length does not fit the file");
    QTest::newRow("wrong version") << Damage([](QByteArray &b) { b[0] = char(0x99); })
                                   << QStringLiteral("unknown version byte 0x99");
    QTest::newRow("count too big") << Damage([](QByteArray &b) { b[4] = 3; })
                                   << QStringLiteral("record count does not fit the file");
    QTest::newRow("count far too big")
        << Damage([](QByteArray &b) { qToLittleEndian<quint32>(0xFFFFFFFF, b.data() + 4); })
        << QStringLiteral("record count does not fit the file");
    QTest::newRow("header length past the end")
        << put16(8, 0xFFFF) << QStringLiteral("header length does not fit the file");
    QTest::newRow("header length too small")
        << put16(8, 40) << QStringLiteral("header length does not fit the file");
    QTest::newRow("header length inside the fields")
        << put16(8, 200) << QStringLiteral("header length does not fit the field list");
    QTest::newRow("record length")
        << put16(10, 100) << QStringLiteral("record length does not match the fields");
    QTest::newRow("unknown field type")
        << Damage([](QByteArray &b) { b[32 + 32 + 11] = 'X'; })
        << QStringLiteral("unknown field type 0x58 in field LEMBRETE");
    QTest::newRow("memo field") << Damage([](QByteArray &b) { b[32 + 32 + 11] = 'M'; })
                                << QStringLiteral("LEMBRETE is a memo");
    QTest::newRow("field sizes overflow the record")
        << Damage([](QByteArray &b) { b[32 + 32 + 16] = char(250); })
        << QStringLiteral("record length does not match the fields");
    QTest::newRow("date of another length") << Damage([](QByteArray &b) { b[32 + 64 + 16] = 9; })
                                            << QStringLiteral("date field DATA has length 9");
    QTest::newRow("no end of the field list")
        << Damage([](QByteArray &b) { b[224] = 'Q'; })
        << QStringLiteral("header length does not fit the field list");
    QTest::newRow("bad date") << Damage([](QByteArray &b) { b.replace(225 + 47, 8, "20241341"); })
                              << QStringLiteral("bad date '20241341' in field DATA of record 1");
    QTest::newRow("bad number") << Damage([](QByteArray &b) {
        b.replace(225 + 63 + 15, 4, "1x00");
    }) << QStringLiteral("bad number");
}

void TestDbaseFile::badFilesAreRefusedNamingTheFile()
{
    using Damage = std::function<void(QByteArray &)>;
    QFETCH(Damage, damage);
    QFETCH(QString, message);
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("Cal_jur1.dbf"));
    TableFile::create(path, headerFields(), headerIndexes());
    {
        DbaseFile file;
        file.open(path);
        RecordValues v = headerRecord(QStringLiteral("000001"), QStringLiteral("x"),
                                      day(2024, 1, 1), {}, 1.0, 2.0);
        file.append(v);
    }
    QByteArray bytes = readFile(path);
    damage(bytes);
    QVERIFY(writeFile(path, bytes));
    DbaseFile file;
    try {
        file.open(path);
        QFAIL("opened");
    } catch (const EngineError &e) {
        QVERIFY2(e.message().contains(message), qPrintable(e.message()));
        QVERIFY2(e.message().contains(path), qPrintable(e.message()));
    }
    QVERIFY(!file.isOpen());
    QCOMPARE(readFile(path), bytes);
}

void TestDbaseFile::unfinishedAppendIsCutBackOnOpen()
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("t.dbf"));
    TableFile::create(path, headerFields(), headerIndexes());
    DbaseFile file;
    file.open(path);
    RecordValues v = headerRecord(QStringLiteral("000001"), {}, {}, {}, {}, {});
    file.append(v);
    file.close();
    // The record bytes of a second append made it to the file, the count did not.
    QByteArray bytes = readFile(path);
    bytes.chop(1);
    bytes.append(bytes.mid(225, 101)).append('\x1a');
    QVERIFY(writeFile(path, bytes));
    file.open(path);
    QCOMPARE(file.records().size(), 1);
    QCOMPARE(QFileInfo(path).size(), 225 + 101 + 1);
    QCOMPARE(readFile(path).back(), '\x1a');
}

void TestDbaseFile::foreignFieldTypesAreRead()
{
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("f.dbf"));
    QByteArray bytes = QByteArray::fromHex("03790101"
                                           "02000000"
                                           "a100"
                                           "1700");
    bytes.append(QByteArray(20, '\0'));
    bytes.append(descriptor("OK", 'L', 1, 1, 0));
    bytes.append(descriptor("QTD", 'N', 2, 5, 0));
    bytes.append(descriptor("PRECO", 'F', 7, 10, 2));
    bytes.append(descriptor("NOME", 'C', 17, 6, 0));
    bytes.append('\x0d');
    bytes.append(" T   12     -1.50ab\0\0  ", 23);
    bytes.append(" ?*****                ", 23);
    bytes.append('\x1a');
    QVERIFY(writeFile(path, bytes));
    DbaseFile file;
    file.open(path);
    const QVector<FieldDef> fields = file.fields();
    QCOMPARE(fields[0].type, FieldType::String);
    QCOMPARE(fields[0].size, 1);
    QCOMPARE(fields[1].type, FieldType::Float);
    QCOMPARE(fields[2].decimals, 2);
    const QVector<RecordValues> rows = valuesOf(file);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0], RecordValues({QStringLiteral("T"), 12.0, -1.5, QStringLiteral("ab")}));
    for (const QVariant &v : rows[1])
        QVERIFY(!v.isValid());
    RecordValues change{QStringLiteral("F"), 3, 2.25, {}};
    file.update(file.records()[1].slot, change);
    file.close();
    QCOMPARE(readFile(path).mid(161 + 23, 23), QByteArray(" F    3      2.25      ", 23));
}

void TestDbaseFile::dbfreadAndPythonDbfReadOurFiles()
{
    if (!pythonHas(QStringLiteral("dbfread")) || !pythonHas(QStringLiteral("dbf")))
        QSKIP("python3-dbfread and python3-dbf are needed");
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("Cal_jur1.dbf"));
    TableFile::create(path, headerFields(), headerIndexes());
    DbaseFile file;
    file.open(path);
    const QVector<RecordValues> rows{
        headerRecord(QStringLiteral("000001"), QStringLiteral("Simulação março"), {},
                     day(2024, 3, 5), 3.0, 0.0),
        headerRecord({}, {}, {}, {}, {}, {}),
        headerRecord(QStringLiteral("000003"), QStringLiteral("apagado"), {}, {}, 1.0, 1.0),
        headerRecord(QStringLiteral("000004"), QStringLiteral("Ação € ü"), day(1900, 1, 1),
                     day(2099, 12, 31), -12.25, 1234567.89)};
    QVector<quint32> stored;
    for (RecordValues v : rows)
        stored.append(file.append(v));
    file.remove(stored[2]);
    file.close();
    const QVector<RecordValues> live{rows[0], rows[1], rows[3]};

    // Each reader prints the live records as JSON: texts, dates as ISO text, numbers, null.
    const QString dbfread = QStringLiteral(R"(
import sys, json, datetime, dbfread
t = dbfread.DBF(sys.argv[1])
conv = lambda v: v.isoformat() if isinstance(v, datetime.date) else v
print(json.dumps([[conv(v) for v in r.values()] for r in t]))
)");
    const QString pythonDbf = QStringLiteral(R"(
import sys, json, datetime, dbf
t = dbf.Table(sys.argv[1])
t.open()
def conv(v):
    if v is None: return None
    if isinstance(v, (datetime.date, dbf.Date)): return v.isoformat() if v else None
    if isinstance(v, str): return v.rstrip() or None
    return float(v)
print(json.dumps([[conv(v) for v in r] for r in t if not dbf.is_deleted(r)]))
)");
    for (const QString &script : {dbfread, pythonDbf}) {
        const ToolRun run = runTool(python, {QStringLiteral("-c"), script, path});
        QVERIFY2(run.exitCode == 0, run.err.constData());
        const QJsonArray records = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(records.size(), live.size());
        for (int r = 0; r < live.size(); ++r) {
            const QJsonArray got = records[r].toArray();
            QCOMPARE(got.size(), 6);
            for (int f = 0; f < 6; ++f) {
                const QVariant &want = live[r][f];
                const QJsonValue value = got[f];
                if (!want.isValid()) {
                    QVERIFY2(value.isNull() || value.toString().isEmpty(),
                             qPrintable(QStringLiteral("record %1 field %2").arg(r).arg(f)));
                } else if (f == 2 || f == 3) {
                    QCOMPARE(value.toString(), DateOfDayNumber(want.toInt()).toString(Qt::ISODate));
                } else if (f >= 4) {
                    QCOMPARE(value.toDouble(), want.toDouble());
                } else {
                    QCOMPARE(value.toString(), want.toString());
                }
            }
        }
    }
}

void TestDbaseFile::weReadWhatPythonDbfWrites()
{
    if (!pythonHas(QStringLiteral("dbf")))
        QSKIP("python3-dbf is needed");
    TempFolder dir;
    const QString path = dir.file(QStringLiteral("made.dbf"));
    const QString script = QStringLiteral(R"(
import sys, dbf
t = dbf.Table(sys.argv[1], 'COD C(6); LEMBRETE C(40); DATA D; DATABASE D; JUROS N(19,4); '
              'VALOR N(19,4); QTD N(5,0); ATIVO L; PRECO F(12,2)', codepage='cp1252')
t.open(dbf.READ_WRITE)
t.append(('000001', 'Simulação março', None, dbf.Date(2024, 3, 5), 3.0, 0.0, 12, True, 1.5))
t.append(('000002', None, dbf.Date(1999, 12, 31), None, -2.35, 100.25, None, None, None))
t.append(('000003', 'apagado', None, None, 1.0, 1.0, 1, False, 0.0))
dbf.delete(t[2])
t.close()
)");
    const ToolRun run = runTool(python, {QStringLiteral("-c"), script, path});
    QVERIFY2(run.exitCode == 0, run.err.constData());
    DbaseFile file;
    file.open(path);
    QCOMPARE(file.fields().size(), 9);
    QCOMPARE(file.fields()[7].type, FieldType::String);
    const QVector<RecordValues> rows = valuesOf(file);
    QCOMPARE(rows.size(), 2);
    QCOMPARE(rows[0],
             RecordValues({QStringLiteral("000001"), QStringLiteral("Simulação março"), QVariant(),
                           day(2024, 3, 5), 3.0, 0.0, 12.0, QStringLiteral("T"), 1.5}));
    QCOMPARE(rows[1][0], QVariant(QStringLiteral("000002")));
    QVERIFY(!rows[1][1].isValid());
    QCOMPARE(rows[1][2], day(1999, 12, 31));
    QVERIFY(!rows[1][3].isValid());
    QCOMPARE(rows[1][4].toDouble(), -2.35);
    QCOMPARE(rows[1][5].toDouble(), 100.25);
    QVERIFY(!rows[1][6].isValid());
    QVERIFY(!rows[1][7].isValid());
    QVERIFY(!rows[1][8].isValid());
    // And we can go on writing into it.
    RecordValues more{QStringLiteral("000004"), {}, {}, {}, 1.0, {}, 7, QStringLiteral("F"), 2.5};
    file.append(more);
    file.close();
    file.open(path);
    QCOMPARE(file.records().size(), 3);
}

QTEST_GUILESS_MAIN(TestDbaseFile)
#include "tst_dbasefile.moc"
