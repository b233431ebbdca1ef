// SPDX-License-Identifier: MIT
// A writer process that is killed at any moment while it posts or deletes leaves table files
// that open again with every change whose post had returned: the writer (tablefilewriter) tells
// each operation before it starts and after it returned; the test kills it, opens the files with
// the engine and holds them against its own account of what was stored. The one operation under
// way may be there or not. The indexes must give the same order as the data, and a second open
// must find nothing left to repair. The next writer carries on with the same files.
//
// The random choices come from one seed, printed at the start; CHEQUES_CRASH_SEED repeats it.
#include "core/calculationstore.h"
#include "core/diskfile.h"
#include "core/errors.h"
#include "core/table.h"
#include "core/tablefile.h"
#include "support/linetables.h"
#include "support/tempfolder.h"
#include "tablefixtures.h"

#include <QDir>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QtTest>
#include <algorithm>
#include <optional>
#include <random>

namespace
{

// Kills from outside land anywhere in time; kills by the writer itself land between two given
// writes, so more of them, each after fewer writes, reach every gap between two writes.
constexpr int kKilledRounds = 30;
constexpr int kSelfKilledRounds = 120;
constexpr int kMostWritesBeforeDying = 400;

struct Line {
    QString cod;
    int day = 0;
    qint64 value = 0;
    int incr = 0; // the number the table gave it; 0 while it has not been seen in the files
};

struct Head {
    QString reminder;
    int day = 0;
    double rate = 0;
    bool operator==(const Head &) const = default;
};

// What the tables hold: the lines in the order they were posted, the header records by code.
struct State {
    QVector<Line> lines;
    QMap<QString, Head> heads;
};

int findLine(const State &s, qint64 value)
{
    for (int i = 0; i < s.lines.size(); ++i)
        if (s.lines[i].value == value)
            return i;
    return -1;
}

// The state after one operation as the writer tells it; nothing when it does not apply.
std::optional<State> applied(State s, const QStringList &op)
{
    const QString &what = op.value(0);
    if (what == QLatin1String("line-add") && op.size() == 4) {
        s.lines.append(Line{op[1], op[2].toInt(), op[3].toLongLong(), 0});
    } else if (what == QLatin1String("line-edit") && op.size() == 5) {
        const int i = findLine(s, op[1].toLongLong());
        if (i < 0)
            return std::nullopt;
        s.lines[i] = Line{op[2], op[3].toInt(), op[4].toLongLong(), s.lines[i].incr};
    } else if (what == QLatin1String("line-delete") && op.size() == 2) {
        const int i = findLine(s, op[1].toLongLong());
        if (i < 0)
            return std::nullopt;
        s.lines.remove(i);
    } else if (what == QLatin1String("line-empty") && op.size() == 1) {
        s.lines.clear();
    } else if ((what == QLatin1String("head-add") || what == QLatin1String("head-edit")) &&
               op.size() == 5) {
        if (s.heads.contains(op[1]) != (what == QLatin1String("head-edit")))
            return std::nullopt;
        s.heads[op[1]] = Head{op[2], op[3].toInt(), op[4].toDouble()};
    } else if (what == QLatin1String("head-delete") && op.size() == 2) {
        if (!s.heads.remove(op[1]))
            return std::nullopt;
    } else {
        return std::nullopt;
    }
    return s;
}

// The lines as the table orders them: by code, then in the order they were posted.
QVector<Line> inTableOrder(QVector<Line> lines)
{
    std::stable_sort(lines.begin(), lines.end(),
                     [](const Line &a, const Line &b) { return a.cod < b.cod; });
    return lines;
}

QString describe(const State &s)
{
    QStringList parts;
    for (const Line &l : inTableOrder(s.lines))
        parts << QStringLiteral("%1/%2/%3").arg(l.cod).arg(l.day).arg(l.value);
    QStringList heads;
    for (auto it = s.heads.cbegin(); it != s.heads.cend(); ++it)
        heads
            << QStringLiteral("%1:%2/%3/%4").arg(it.key(), it->reminder).arg(it->day).arg(it->rate);
    return QStringLiteral("%1 lines [%2] heads [%3]")
        .arg(s.lines.size())
        .arg(parts.join(QLatin1Char(' ')), heads.join(QLatin1Char(' ')));
}

bool sameContent(const State &a, const State &b)
{
    const QVector<Line> x = inTableOrder(a.lines), y = inTableOrder(b.lines);
    if (x.size() != y.size() || a.heads != b.heads)
        return false;
    for (int i = 0; i < x.size(); ++i)
        if (x[i].cod != y[i].cod || x[i].day != y[i].day || x[i].value != y[i].value)
            return false;
    return true;
}

int columnOf(const TableFile &file, const char *name)
{
    const QVector<FieldDef> fields = file.fields();
    for (int i = 0; i < fields.size(); ++i)
        if (fields[i].name == QLatin1String(name))
            return i;
    return -1;
}

// Reads both tables with the file layer and checks that their indexes give the data's order.
// Returns the state, or the fault in `fault`.
State readFiles(const QString &folder, QString *fault)
{
    State s;
    {
        std::unique_ptr<TableFile> file =
            TableFile::forPath(ResolveFileName(folder, kLineTableName));
        file->open(ResolveFileName(folder, kLineTableName));
        const int cod = columnOf(*file, "COD"), incr = columnOf(*file, "INCR"),
                  data = columnOf(*file, "DATA"), valor = columnOf(*file, "VALOR");
        struct Row {
            quint32 slot;
            Line line;
        };
        QVector<Row> rows;
        for (const TableFile::Record &r : file->records())
            rows.append(
                Row{r.slot, Line{r.values[cod].toString(), r.values[data].toInt(),
                                 qint64(r.values[valor].toDouble()), r.values[incr].toInt()}});
        auto byKey = [](const Row &a, const Row &b) {
            return std::pair(a.line.cod, a.line.incr) < std::pair(b.line.cod, b.line.incr);
        };
        std::sort(rows.begin(), rows.end(), byKey);
        QVector<quint32> primary;
        for (int i = 0; i < rows.size(); ++i) {
            primary.append(rows[i].slot);
            if (rows[i].line.incr <= 0 || (i > 0 && rows[i].line.incr == rows[i - 1].line.incr &&
                                           rows[i].line.cod == rows[i - 1].line.cod))
                *fault = QStringLiteral("line numbers are not unique");
        }
        if (file->indexOrder(QString()) != primary)
            *fault = QStringLiteral("the primary index disagrees with the data");
        QVector<Row> byDate = rows;
        std::stable_sort(byDate.begin(), byDate.end(), [](const Row &a, const Row &b) {
            return std::pair(a.line.cod.toUpper(), a.line.day) <
                   std::pair(b.line.cod.toUpper(), b.line.day);
        });
        QVector<quint32> secondary;
        for (const Row &r : byDate)
            secondary.append(r.slot);
        if (file->indexOrder(QStringLiteral("COD_DATA")) != secondary)
            *fault = QStringLiteral("the COD_DATA index disagrees with the data");
        std::sort(rows.begin(), rows.end(),
                  [](const Row &a, const Row &b) { return a.line.incr < b.line.incr; });
        for (const Row &r : rows)
            s.lines.append(r.line);
    }
    {
        std::unique_ptr<TableFile> file =
            TableFile::forPath(ResolveFileName(folder, kHeaderTableName));
        file->open(ResolveFileName(folder, kHeaderTableName));
        const int cod = columnOf(*file, "COD"), lembrete = columnOf(*file, "LEMBRETE"),
                  database = columnOf(*file, "DATABASE"), juros = columnOf(*file, "JUROS");
        QVector<std::pair<QString, quint32>> keyed;
        for (const TableFile::Record &r : file->records()) {
            const QString code = r.values[cod].toString();
            if (s.heads.contains(code))
                *fault = QStringLiteral("header record %1 is there twice").arg(code);
            s.heads[code] = Head{r.values[lembrete].toString(), r.values[database].toInt(),
                                 r.values[juros].toDouble()};
            keyed.append({code, r.slot});
        }
        std::sort(keyed.begin(), keyed.end());
        QVector<quint32> order;
        for (const auto &k : keyed)
            order.append(k.second);
        if (file->indexOrder(QStringLiteral("COD")) != order)
            *fault = QStringLiteral("the COD tag disagrees with the data");
    }
    return s;
}

// Opens both tables as the program declares them and returns the line values and header codes
// in the tables' orders.
QString readTables(const QString &folder)
{
    Table lines, heads;
    lines.setDatabaseName(folder);
    lines.setTableName(kLineTableName);
    DeclareLineFields(lines);
    lines.setIndexFieldNames(QStringLiteral("COD;INCR"));
    heads.setDatabaseName(folder);
    heads.setTableName(kHeaderTableName);
    DeclareHeaderFields(heads);
    heads.setIndexName(QStringLiteral("COD"));
    lines.open();
    heads.open();
    QStringList out;
    for (lines.first(); !lines.eof(); lines.next())
        out << QString::number(qint64(lines.fieldByName(QStringLiteral("VALOR")).asFloat()));
    out << QStringLiteral("|");
    for (heads.first(); !heads.eof(); heads.next())
        out << heads.fieldByName(QStringLiteral("COD")).asString();
    return out.join(QLatin1Char(' '));
}

QString expectedTables(const State &s)
{
    QStringList out;
    for (const Line &l : inTableOrder(s.lines))
        out << QString::number(l.value);
    out << QStringLiteral("|");
    for (auto it = s.heads.cbegin(); it != s.heads.cend(); ++it)
        out << it.key();
    return out.join(QLatin1Char(' '));
}

QMap<QString, QByteArray> snapshot(const QString &folder)
{
    QMap<QString, QByteArray> files;
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files, QDir::Name)) {
        QFile f(info.filePath());
        if (f.open(QIODevice::ReadOnly))
            files.insert(info.fileName(), f.readAll());
    }
    return files;
}

// Collects what the writer prints until `done` says so or `timeoutMs` passes.
template <typename Done> bool drain(QProcess &writer, QByteArray &out, int timeoutMs, Done done)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0)
            return false;
        if (writer.state() == QProcess::NotRunning) {
            out += writer.readAllStandardOutput();
            return done();
        }
        writer.waitForReadyRead(int(std::min<qint64>(left, 50)));
        out += writer.readAllStandardOutput();
    }
    return true;
}

} // namespace

class TestTableFileCrash : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void killedAtRandomMomentsKeepsEveryReturnedPost();
    void killedBetweenAnyTwoWritesKeepsEveryReturnedPost();
    void unfinishedReplacementIsRemovedOnOpen();

private:
    void runRounds(bool selfKill);

    quint64 m_seed = 0;
};

void TestTableFileCrash::initTestCase()
{
    QVERIFY(QFileInfo::exists(QStringLiteral(CHEQUES_TABLE_WRITER)));
    const QByteArray given = qgetenv("CHEQUES_CRASH_SEED");
    m_seed = given.isEmpty() ? std::random_device()() : given.toULongLong();
    qInfo("crash test seed %llu (CHEQUES_CRASH_SEED=%llu repeats it)",
          static_cast<unsigned long long>(m_seed), static_cast<unsigned long long>(m_seed));
}

void TestTableFileCrash::killedAtRandomMomentsKeepsEveryReturnedPost()
{
    runRounds(false);
}

void TestTableFileCrash::killedBetweenAnyTwoWritesKeepsEveryReturnedPost()
{
    runRounds(true);
}

// A process that died while it wrote a whole table or index file anew leaves the unfinished copy
// beside the old file, which is still whole: the next open goes on with the old file and removes
// the copy.
void TestTableFileCrash::unfinishedReplacementIsRemovedOnOpen()
{
    TempFolder dir;
    WriteEmptyTables(dir.path());
    {
        Table lines;
        lines.setDatabaseName(dir.path());
        lines.setTableName(kLineTableName);
        DeclareLineFields(lines);
        lines.open();
        lines.append();
        lines.fieldByName(QStringLiteral("COD")).setAsString(QStringLiteral("000001"));
        lines.fieldByName(QStringLiteral("DATA")).setAsDate(45000);
        lines.fieldByName(QStringLiteral("VALOR")).setAsFloat(600);
        lines.post();
    }
    const QMap<QString, QByteArray> before = snapshot(dir.path());
    for (const QString &name : kSeedFiles)
        QVERIFY(fixtures::writeFile(DiskFile::partPath(ResolveFileName(dir.path(), name)), "half"));
    QCOMPARE(readTables(dir.path()), QStringLiteral("600 |"));
    QCOMPARE(snapshot(dir.path()), before);
}

// Each round starts a writer on the folder and kills it: from outside after a random time, or
// (selfKill) by itself just before a random one of its writes.
void TestTableFileCrash::runRounds(bool selfKill)
{
    TempFolder dir;
    QVERIFY(dir.isValid());
    WriteEmptyTables(dir.path());
    std::mt19937_64 random(m_seed * 2 + (selfKill ? 1 : 0));
    State model;
    int done = 0, underWay = 0, underWayStored = 0;
    const int rounds = selfKill ? kSelfKilledRounds : kKilledRounds;
    for (int round = 0; round < rounds; ++round) {
        const QString writerSeed = QString::number(random());
        const qint64 valueBase = qint64(round + 1) * 1000000;
        QStringList args{dir.path(), writerSeed, QString::number(valueBase)};
        const int delayMs = 1 + int(random() % 200);
        const int dieAt = 1 + int(random() % kMostWritesBeforeDying);
        if (selfKill)
            args << QString::number(dieAt);
        const QString where =
            QStringLiteral("round %1, writer seed %2, %3")
                .arg(round)
                .arg(writerSeed, selfKill ? QStringLiteral("dying at write %1").arg(dieAt)
                                          : QStringLiteral("killed after %1 ms").arg(delayMs));

        QProcess writer;
        writer.start(QStringLiteral(CHEQUES_TABLE_WRITER), args);
        QVERIFY2(writer.waitForStarted(), qPrintable(where));
        QByteArray out;
        if (selfKill) {
            drain(writer, out, 60000, [&] { return writer.state() == QProcess::NotRunning; });
        } else {
            const bool ready = drain(writer, out, 30000, [&] {
                return out.startsWith("ready\n") || writer.state() == QProcess::NotRunning;
            });
            QVERIFY2(ready && out.startsWith("ready\n"),
                     qPrintable(where + QStringLiteral(": the writer did not start: ") +
                                QString::fromUtf8(writer.readAllStandardError())));
            drain(writer, out, delayMs, [] { return false; });
        }
        writer.kill();
        writer.waitForFinished(30000);
        out += writer.readAllStandardOutput();
        QVERIFY2(writer.exitStatus() == QProcess::CrashExit,
                 qPrintable(where + QStringLiteral(": the writer stopped by itself: ") +
                            QString::fromUtf8(writer.readAllStandardError())));

        // What the writer said: every "done" finishes the operation begun before it.
        std::optional<QStringList> pending;
        const QList<QByteArray> said = out.left(out.lastIndexOf('\n') + 1).split('\n');
        for (const QByteArray &raw : said) {
            const QString text = QString::fromUtf8(raw);
            if (text.startsWith(QLatin1String("begin "))) {
                QVERIFY2(!pending, qPrintable(where + QStringLiteral(": two operations at once")));
                pending = text.mid(6).split(QLatin1Char(' '));
            } else if (text == QLatin1String("done")) {
                QVERIFY2(pending, qPrintable(where + QStringLiteral(": done without begin")));
                const std::optional<State> next = applied(model, *pending);
                QVERIFY2(next, qPrintable(where + QStringLiteral(": operation does not apply: ") +
                                          pending->join(QLatin1Char(' '))));
                model = *next;
                pending.reset();
                ++done;
            }
        }

        QString fault;
        State seen;
        try {
            seen = readFiles(dir.path(), &fault);
        } catch (const Error &e) {
            QFAIL(qPrintable(where + QStringLiteral(": the tables do not open: ") + e.message()));
        }
        QVERIFY2(fault.isEmpty(), qPrintable(where + QStringLiteral(": ") + fault));
        std::optional<State> after = pending ? applied(model, *pending) : std::nullopt;
        const bool asBefore = sameContent(seen, model);
        const bool asAfter = after && sameContent(seen, *after);
        QVERIFY2(asBefore || asAfter,
                 qPrintable(where + QStringLiteral("\n under way: ") +
                            (pending ? pending->join(QLatin1Char(' ')) : QStringLiteral("none")) +
                            QStringLiteral("\n expected: ") + describe(model) +
                            QStringLiteral("\n found:    ") + describe(seen)));
        if (pending) {
            ++underWay;
            underWayStored += asAfter && !asBefore;
        }
        const State &now = asBefore ? model : *after;

        // A line keeps its number; a new line is numbered after every line already there.
        int highest = 0;
        for (const Line &l : now.lines)
            highest = std::max(highest, l.incr);
        for (const Line &l : seen.lines) {
            const int i = findLine(now, l.value);
            const int known = now.lines[i].incr;
            QVERIFY2(
                known ? l.incr == known : l.incr > highest,
                qPrintable(where +
                           QStringLiteral(": line %1 has number %2").arg(l.value).arg(l.incr)));
        }
        model = seen;

        // The files as the program opens them, and nothing left to repair on a second open.
        const QMap<QString, QByteArray> repaired = snapshot(dir.path());
        try {
            QCOMPARE(readTables(dir.path()), expectedTables(model));
        } catch (const Error &e) {
            QFAIL(qPrintable(where + QStringLiteral(": the tables do not open: ") + e.message()));
        }
        QVERIFY2(snapshot(dir.path()) == repaired,
                 qPrintable(where + QStringLiteral(": a second open changed the files")));
    }
    // Nothing but the six table files is left behind in the folder.
    QStringList names = snapshot(dir.path()).keys();
    QStringList expected = kSeedFiles;
    for (QString &n : names)
        n = n.toLower();
    for (QString &n : expected)
        n = n.toLower();
    names.sort();
    expected.sort();
    QCOMPARE(names.join(QLatin1Char(' ')), expected.join(QLatin1Char(' ')));
    qInfo("%d rounds, %d operations returned, %d killed under way (%d of them stored)", rounds,
          done, underWay, underWayStored);
}

QTEST_GUILESS_MAIN(TestTableFileCrash)
#include "tst_tablefilecrash.moc"
