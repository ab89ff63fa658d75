// Cost of the astronomy behind one refresh of the day view.
#include <benchmark/benchmark.h>

#include "astro/rise_set.h"
#include "astro/sun_moon_line.h"
#include "astro/vsop.h"

namespace {

const TDateTime kDay = EncodeDate(2024, 6, 21);

void BM_EarthCoordinates(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(EarthCoordinates(kDay));
}
BENCHMARK(BM_EarthCoordinates)->Unit(benchmark::kMicrosecond);

void BM_SunRise(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(SunRise(-21.027916L, 52.236620L, kDay));
}
BENCHMARK(BM_SunRise)->Unit(benchmark::kMicrosecond);

void BM_MoonRise(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(MoonRise(-21.027916L, 52.236620L, kDay));
}
BENCHMARK(BM_MoonRise)->Unit(benchmark::kMicrosecond);

// Everything the day panel's sun and moon line computes for one day.
void BM_SunMoonLine(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(BuildSunMoonLine(kDay, 52.236620, 21.027916));
}
BENCHMARK(BM_SunMoonLine)->Unit(benchmark::kMicrosecond);

// A year's almanac for Warsaw: the four events and the phase of 366 consecutive days, once day by
// day as the window computes one day and once as --print-day --days computes a run. The time per
// day is the figure to set beside bench/almanac_pyephem.py, which does the same work.
constexpr int kYear = 366;
const TDateTime kNewYear = EncodeDate(2024, 1, 1);

void BM_Year_DayByDay(benchmark::State& state)
{
    for (auto _ : state)
        for (int i = 0; i < kYear; ++i)
            benchmark::DoNotOptimize(BuildSunMoonLine(kNewYear + i, 52.236620, 21.027916));
    state.counters["days"] = kYear;
}
BENCHMARK(BM_Year_DayByDay)->Unit(benchmark::kMillisecond);

void BM_Year_Almanac(benchmark::State& state)
{
    for (auto _ : state) {
        SunMoonAlmanac almanac(52.236620, 21.027916);
        for (int i = 0; i < kYear; ++i)
            benchmark::DoNotOptimize(almanac.Line(kNewYear + i));
    }
    state.counters["days"] = kYear;
}
BENCHMARK(BM_Year_Almanac)->Unit(benchmark::kMillisecond);

}  // namespace
