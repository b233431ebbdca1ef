// SPDX-License-Identifier: MIT
// Posting, editing and opening 10,000 lines of the line table, against SQLite doing the same
// rows one statement per transaction (WAL, synchronous NORMAL).
#include "core/calculationstore.h"
#include "core/dates.h"
#include "core/table.h"
#include "ratioreporter.h"
#include "support/linetables.h"
#include "support/tempfolder.h"

#include <QCoreApplication>
#include <QDir>
#include <sqlite3.h>

namespace
{

constexpr int kLines = 10000;
const int kFirstDay = DayNumber(QDate(2024, 3, 5));

void openLines(Table &t, const QString &folder)
{
    t.setDatabaseName(folder);
    t.setTableName(kLineTableName);
    DeclareLineFields(t);
    t.setIndexFieldNames(QStringLiteral("COD;INCR"));
    t.open();
}

void postLines(Table &t, int count)
{
    Field &cod = t.fieldByName(QStringLiteral("COD"));
    Field &value = t.fieldByName(QStringLiteral("VALOR"));
    Field &date = t.fieldByName(QStringLiteral("DATA"));
    for (int i = 0; i < count; ++i) {
        t.append();
        cod.setAsString(QStringLiteral("000001"));
        value.setAsFloat(100 + i);
        date.setAsDate(kFirstDay + i % 400);
        t.post();
    }
}

sqlite3 *openSqlite(const QString &folder, bool create)
{
    sqlite3 *db = nullptr;
    sqlite3_open(QDir(folder).filePath(QStringLiteral("lines.sqlite")).toUtf8().constData(), &db);
    sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;", nullptr, nullptr,
                 nullptr);
    if (create)
        sqlite3_exec(db,
                     "CREATE TABLE lines (cod TEXT, incr INTEGER PRIMARY KEY AUTOINCREMENT, "
                     "data INTEGER, valor REAL); CREATE INDEX cod_data ON lines(cod, data);",
                     nullptr, nullptr, nullptr);
    return db;
}

void sqlitePost(sqlite3 *db, int count)
{
    sqlite3_stmt *insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO lines (cod, data, valor) VALUES (?, ?, ?)", -1, &insert,
                       nullptr);
    for (int i = 0; i < count; ++i) {
        sqlite3_bind_text(insert, 1, "000001", 6, SQLITE_STATIC);
        sqlite3_bind_int(insert, 2, kFirstDay + i % 400);
        sqlite3_bind_double(insert, 3, 100 + i);
        sqlite3_step(insert);
        sqlite3_reset(insert);
    }
    sqlite3_finalize(insert);
}

void BM_OursPost(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        TempFolder dir;
        WriteEmptyTables(dir.path());
        Table t;
        openLines(t, dir.path());
        state.ResumeTiming();
        postLines(t, kLines);
    }
}

void BM_SqlitePost(benchmark::State &state)
{
    for (auto _ : state) {
        state.PauseTiming();
        TempFolder dir;
        sqlite3 *db = openSqlite(dir.path(), true);
        state.ResumeTiming();
        sqlitePost(db, kLines);
        state.PauseTiming();
        sqlite3_close(db);
        state.ResumeTiming();
    }
}

void BM_OursEdit(benchmark::State &state)
{
    TempFolder dir;
    WriteEmptyTables(dir.path());
    Table t;
    openLines(t, dir.path());
    postLines(t, kLines);
    Field &value = t.fieldByName(QStringLiteral("VALOR"));
    for (auto _ : state) {
        for (t.first(); !t.eof(); t.next()) {
            t.edit();
            value.setAsFloat(value.asFloat() + 1);
            t.post();
        }
    }
}

void BM_SqliteEdit(benchmark::State &state)
{
    TempFolder dir;
    sqlite3 *db = openSqlite(dir.path(), true);
    sqlitePost(db, kLines);
    sqlite3_stmt *update = nullptr;
    sqlite3_prepare_v2(db, "UPDATE lines SET valor = valor + 1 WHERE incr = ?", -1, &update,
                       nullptr);
    for (auto _ : state) {
        for (int i = 1; i <= kLines; ++i) {
            sqlite3_bind_int(update, 1, i);
            sqlite3_step(update);
            sqlite3_reset(update);
        }
    }
    sqlite3_finalize(update);
    sqlite3_close(db);
}

void BM_OursOpen(benchmark::State &state)
{
    TempFolder dir;
    WriteEmptyTables(dir.path());
    {
        Table t;
        openLines(t, dir.path());
        postLines(t, kLines);
    }
    for (auto _ : state) {
        Table t;
        openLines(t, dir.path());
        // The field found once, as SQLite's column is given by number.
        const Field &value = t.fieldByName(QStringLiteral("VALOR"));
        double sum = 0;
        for (t.first(); !t.eof(); t.next())
            sum += value.asFloat();
        benchmark::DoNotOptimize(sum);
    }
}

void BM_SqliteOpen(benchmark::State &state)
{
    TempFolder dir;
    {
        sqlite3 *db = openSqlite(dir.path(), true);
        sqlitePost(db, kLines);
        sqlite3_close(db);
    }
    for (auto _ : state) {
        sqlite3 *db = openSqlite(dir.path(), false);
        sqlite3_stmt *select = nullptr;
        sqlite3_prepare_v2(db, "SELECT cod, incr, data, valor FROM lines ORDER BY cod, incr", -1,
                           &select, nullptr);
        double sum = 0;
        while (sqlite3_step(select) == SQLITE_ROW) {
            benchmark::DoNotOptimize(sqlite3_column_text(select, 0));
            sum += sqlite3_column_double(select, 3);
        }
        benchmark::DoNotOptimize(sum);
        sqlite3_finalize(select);
        sqlite3_close(db);
    }
}

} // namespace

BENCHMARK(BM_OursPost)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SqlitePost)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OursEdit)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_SqliteEdit)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_OursOpen)->Unit(benchmark::kMillisecond)->Iterations(50);
BENCHMARK(BM_SqliteOpen)->Unit(benchmark::kMillisecond)->Iterations(50);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return RunWithRatios(
        argc, argv,
        {{"post_10000_lines", {"BM_OursPost/iterations:3", "BM_SqlitePost/iterations:3"}},
         {"edit_10000_lines", {"BM_OursEdit/iterations:3", "BM_SqliteEdit/iterations:3"}},
         {"open_10000_lines", {"BM_OursOpen/iterations:50", "BM_SqliteOpen/iterations:50"}}});
}
