// How long the main window takes from nothing to its first full picture.
#include "app/ui/main_window.h"
#include "platform/fake/fake_system_clock.h"

#include <QApplication>

#include <chrono>
#include <cstdlib>

#include <benchmark/benchmark.h>

namespace {

void BM_CreateAndPaintMainWindow(benchmark::State& state)
{
    using namespace std::chrono;
    FakeSystemClock clock(sys_days{year{2024} / June / 21} + hours{10}, hours{2});
    MainWindowOptions options;
    options.startTimers = false;
    options.withTray = state.range(0) != 0;
    for (auto _ : state) {
        TForm1 form(clock, options);
        benchmark::DoNotOptimize(form.grab());
    }
}
BENCHMARK(BM_CreateAndPaintMainWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
