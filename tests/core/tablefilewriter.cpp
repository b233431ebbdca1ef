// SPDX-License-Identifier: MIT
// The writer that the crash test kills. It opens the line table and the header table of a folder
// the way the program does and then, until it is killed, posts, edits and deletes lines and
// header records at random. Each operation is told on standard output before it starts
// ("begin ...") and after it returned ("done"), every line flushed at once, so whoever kills the
// writer knows which changes were stored and which one was under way.
//
//   tablefilewriter <folder> <seed> <value base> [<die at write>]
//
// Line values are <value base> + n, so that every line posted by every run has its own value.
// With the fourth argument the writer kills itself just before its n-th change to a file on disk
// (a write, a cut or a rename), which stops it between any two steps of an operation.
//
// Operations told, their words separated by single spaces:
//   line-add <cod> <day> <value>               a new line
//   line-edit <old value> <cod> <day> <value>  the line with <old value> changed
//   line-delete <value>                        the line with <value> deleted
//   line-empty                                 every line deleted
//   head-add <cod> <reminder> <day> <rate>     a new header record
//   head-edit <cod> <reminder> <day> <rate>    the header record <cod> changed
//   head-delete <cod>                          the header record <cod> deleted
#include "core/calculationstore.h"
#include "core/dates.h"
#include "core/errors.h"
#include "core/table.h"

#include <QCoreApplication>
#include <QDate>
#include <csignal>
#include <cstdio>
#include <random>
#include <sys/syscall.h>
#include <unistd.h>

namespace
{

long long g_dieAtWrite = 0;
long long g_writes = 0;

void countWrite()
{
    if (g_dieAtWrite > 0 && ++g_writes == g_dieAtWrite)
        raise(SIGKILL);
}

void say(const QString &text)
{
    std::fputs(text.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

const int kFirstDay = DayNumber(QDate(2024, 1, 1));
const QStringList kHeaderCodes = {QStringLiteral("000001"), QStringLiteral("000002"),
                                  QStringLiteral("000003"), QStringLiteral("000004")};

class Writer
{
public:
    Writer(const QString &folder, quint64 seed, qint64 valueBase)
        : m_random(seed), m_nextValue(valueBase)
    {
        m_lines.setDatabaseName(folder);
        m_lines.setTableName(kLineTableName);
        DeclareLineFields(m_lines);
        m_lines.setIndexFieldNames(QStringLiteral("COD;INCR"));
        m_heads.setDatabaseName(folder);
        m_heads.setTableName(kHeaderTableName);
        DeclareHeaderFields(m_heads);
        m_heads.setIndexName(QStringLiteral("COD"));
        m_lines.open();
        m_heads.open();
    }

    void step()
    {
        if (chance(12))
            headerStep();
        else
            lineStep();
    }

private:
    bool chance(int percent) { return int(m_random() % 1000) < percent * 10; }
    int below(int n) { return int(m_random() % quint64(n)); }
    int anyDay() { return kFirstDay + below(400); }
    QString lineCode()
    {
        // Mostly the program's one code; now and then one that sorts before or after it, so
        // that lines also land in the middle of the table.
        const int r = below(20);
        return r == 0   ? QStringLiteral("000000")
               : r == 1 ? QStringLiteral("000002")
                        : QStringLiteral("000001");
    }
    Field &line(const char *name) { return m_lines.fieldByName(QLatin1String(name)); }
    Field &head(const char *name) { return m_heads.fieldByName(QLatin1String(name)); }

    void lineStep()
    {
        const int count = m_lines.recordCount();
        const int addShare = count < 150 ? 55 : 35;
        if (count == 0 || chance(addShare)) {
            const QString cod = lineCode();
            const int day = anyDay();
            const qint64 value = m_nextValue++;
            say(QStringLiteral("begin line-add %1 %2 %3").arg(cod).arg(day).arg(value));
            m_lines.append();
            line("COD").setAsString(cod);
            line("DATA").setAsDate(day);
            line("VALOR").setAsFloat(double(value));
            m_lines.post();
        } else if (chance(1)) {
            say(QStringLiteral("begin line-empty"));
            m_lines.emptyTable();
        } else if (chance(50)) {
            m_lines.moveTo(below(count));
            const qint64 old = qint64(line("VALOR").asFloat());
            const QString cod = chance(10) ? lineCode() : line("COD").asString();
            const int day = anyDay();
            const qint64 value = m_nextValue++;
            say(QStringLiteral("begin line-edit %1 %2 %3 %4")
                    .arg(old)
                    .arg(cod)
                    .arg(day)
                    .arg(value));
            m_lines.edit();
            line("COD").setAsString(cod);
            line("DATA").setAsDate(day);
            line("VALOR").setAsFloat(double(value));
            m_lines.post();
        } else {
            m_lines.moveTo(below(count));
            say(QStringLiteral("begin line-delete %1").arg(qint64(line("VALOR").asFloat())));
            m_lines.deleteRecord();
        }
        say(QStringLiteral("done"));
    }

    void headerStep()
    {
        QStringList free = kHeaderCodes;
        for (m_heads.first(); !m_heads.eof(); m_heads.next())
            free.removeAll(head("COD").asString());
        const int count = m_heads.recordCount();
        const QString reminder = QStringLiteral("Simulação-%1").arg(m_nextValue++);
        const int day = anyDay();
        const QString rate = QString::number(below(1000) / 100.0, 'f', 2);
        const QString told = QStringLiteral("%1 %2 %3").arg(reminder).arg(day).arg(rate);
        if (count == 0 || (!free.isEmpty() && chance(35))) {
            const QString cod = free[below(int(free.size()))];
            say(QStringLiteral("begin head-add %1 %2").arg(cod, told));
            m_heads.append();
            head("COD").setAsString(cod);
            setHeader(reminder, day, rate);
            m_heads.post();
        } else if (chance(70)) {
            m_heads.moveTo(below(count));
            say(QStringLiteral("begin head-edit %1 %2").arg(head("COD").asString(), told));
            m_heads.edit();
            setHeader(reminder, day, rate);
            m_heads.post();
        } else {
            m_heads.moveTo(below(count));
            say(QStringLiteral("begin head-delete %1").arg(head("COD").asString()));
            m_heads.deleteRecord();
        }
        say(QStringLiteral("done"));
    }

    void setHeader(const QString &reminder, int day, const QString &rate)
    {
        head("LEMBRETE").setAsString(reminder);
        head("DATABASE").setAsDate(day);
        head("JUROS").setAsFloat(rate.toDouble());
        head("VALOR").setAsFloat(0);
    }

    std::mt19937_64 m_random;
    qint64 m_nextValue;
    Table m_lines{QStringLiteral("Table2")};
    Table m_heads{QStringLiteral("Table1")};
};

} // namespace

// The file layer changes files in place with pwrite, writes whole new files with write (through
// QFile), cuts files with ftruncate and puts new files in place with rename; each of these comes
// through here first, so that the writer can stop itself between any two of them.
extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    if (fd > 2) // not the standard output the test reads
        countWrite();
    return ssize_t(syscall(SYS_write, fd, data, size));
}

extern "C" ssize_t pwrite(int fd, const void *data, size_t size, off_t offset)
{
    countWrite();
    return ssize_t(syscall(SYS_pwrite64, fd, data, size, offset));
}

extern "C" ssize_t pwrite64(int fd, const void *data, size_t size, off_t offset)
{
    countWrite();
    return ssize_t(syscall(SYS_pwrite64, fd, data, size, offset));
}

extern "C" int ftruncate(int fd, off_t size) noexcept
{
    countWrite();
    return int(syscall(SYS_ftruncate, fd, size));
}

extern "C" int ftruncate64(int fd, off64_t size) noexcept
{
    countWrite();
    return int(syscall(SYS_ftruncate, fd, size));
}

extern "C" int rename(const char *from, const char *to) noexcept
{
    countWrite();
    return int(syscall(SYS_rename, from, to));
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s <folder> <seed> <value base> [<die at write>]\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const quint64 seed = QByteArray(argv[2]).toULongLong();
    const qint64 valueBase = QByteArray(argv[3]).toLongLong();
    if (argc > 4)
        g_dieAtWrite = QByteArray(argv[4]).toLongLong();
    try {
        Writer writer(folder, seed, valueBase);
        say(QStringLiteral("ready"));
        for (;;)
            writer.step();
    } catch (const Error &e) {
        std::fprintf(stderr, "error: %s\n", e.what());
        return 3;
    }
}
