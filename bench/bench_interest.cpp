// SPDX-License-Identifier: MIT
// RecomputeTotals and the mode switch over 100,000 lines, against a plain loop of the same
// formulas over an in-memory array (the floor); and the cost of one line's calculation.
#include "core/calculationstore.h"
#include "core/dates.h"
#include "core/interest.h"
#include "ratioreporter.h"
#include "support/linetables.h"
#include "support/tempfolder.h"

#include <QCoreApplication>
#include <memory>

namespace
{

constexpr int kLines = 100000;
const int kBase = DayNumber(QDate(2024, 3, 4));

struct Fixture {
    TempFolder work, data;
    FakeHost host;
    std::unique_ptr<CalculationStore> store;
    std::vector<std::pair<int, double>> lines; // the same lines, as a plain array

    Fixture()
    {
        WriteEmptyTables(work.path());
        store = std::make_unique<CalculationStore>(host);
        store->setWorkingFolder(work.path());
        store->PrepareDataFolder(data.path());
        store->StartNewCalculation();
        Table &h = store->Table1;
        h.fieldByName(QStringLiteral("DATABASE")).setAsDate(kBase);
        h.fieldByName(QStringLiteral("JUROS")).setAsFloat(3);
        h.post();
        host.setSaveEnabled(false);
        Table &t = store->Table2;
        for (int i = 0; i < kLines; ++i) {
            const int day = kBase + 1 + i % 360;
            const double value = 100 + (i % 977);
            t.append();
            t.fieldByName(QStringLiteral("VALOR")).setAsFloat(value);
            t.fieldByName(QStringLiteral("DATA")).setAsDate(day);
            t.post();
            lines.emplace_back(t.fieldByName(QStringLiteral("DATA")).asDate(), value);
        }
    }
};

Fixture &fixture()
{
    static Fixture f;
    return f;
}

void BM_RecomputeTotals(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state)
        f.store->RecomputeTotals();
}

void BM_ModeSwitch(benchmark::State &state)
{
    Fixture &f = fixture();
    for (auto _ : state) {
        f.host.simple = !f.host.simple;
        f.store->ModeSwitch();
    }
}

// The floor: the same formulas and sums over the plain array, compound and simple in turn.
void BM_Floor(benchmark::State &state)
{
    Fixture &f = fixture();
    bool simple = true;
    for (auto _ : state) {
        double value = 0, interest = 0, net = 0;
        for (const auto &[day, v] : f.lines) {
            const LineFigures figures = ComputeLine(true, day, v, kBase, 3, simple);
            value += v;
            interest += figures.interest;
            net += figures.net;
        }
        benchmark::DoNotOptimize(value + interest + net);
        simple = !simple;
    }
}

void BM_CalcFieldsPerLine(benchmark::State &state)
{
    Fixture &f = fixture();
    Table &t = f.store->Table2;
    t.first();
    t.edit(); // the routine writes the calculated fields of the record being edited
    const LineFields fields(t, f.store->Table1);
    for (auto _ : state)
        CalculateLineFields(fields, true);
    t.cancel();
}

} // namespace

BENCHMARK(BM_RecomputeTotals)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_ModeSwitch)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_Floor)->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_CalcFieldsPerLine)->Unit(benchmark::kNanosecond);

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    return RunWithRatios(
        argc, argv,
        {{"recompute_vs_floor", {"BM_RecomputeTotals/iterations:10", "BM_Floor/iterations:10"}},
         {"modeswitch_vs_floor", {"BM_ModeSwitch/iterations:10", "BM_Floor/iterations:10"}}});
}
