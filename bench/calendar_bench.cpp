// Costs of the day panel's calendar lookups.
#include <benchmark/benchmark.h>

#include "calendar/feasts.h"
#include "calendar/namedays.h"

static void BM_NameDayLookupDecember31(benchmark::State& state)
{
    NameDayTable table;
    table.Load();
    for (auto _ : state)
        benchmark::DoNotOptimize(table.Lookup(12, 31));
}
BENCHMARK(BM_NameDayLookupDecember31);

static void BM_NameDayLookupJanuary1(benchmark::State& state)
{
    NameDayTable table;
    table.Load();
    for (auto _ : state)
        benchmark::DoNotOptimize(table.Lookup(1, 1));
}
BENCHMARK(BM_NameDayLookupJanuary1);

static void BM_NameDayTableLoad(benchmark::State& state)
{
    for (auto _ : state) {
        NameDayTable table;
        table.Load();
        benchmark::DoNotOptimize(table.Lines().data());
    }
}
BENCHMARK(BM_NameDayTableLoad);

static void BM_EasterSunday(benchmark::State& state)
{
    int year = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(EasterSunday(year));
        year = year % 9999 + 1;
    }
}
BENCHMARK(BM_EasterSunday);
