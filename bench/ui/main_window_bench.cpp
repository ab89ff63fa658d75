// How long the main window takes from nothing to its first full picture, what one day refresh
// costs with a large notes journal, and what one clock tick costs.
#include "app/ui/main_window.h"
#include "app/ui/clock_bar.h"
#include "calendar/date_format.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/memory_settings_store.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>

#include <chrono>
#include <cstdlib>
#include <random>

#include <benchmark/benchmark.h>

namespace {

using namespace std::chrono;

const std::filesystem::path kDir = "/bench";

// A journal of `records` notes spread over the years 2000..2030, a tenth of them yearly.
std::string MakeJournal(int records)
{
    std::mt19937 rng(7);
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(records) * 48);
    for (int i = 0; i < records; ++i) {
        const int month = static_cast<int>(rng() % 12) + 1;
        const int day = static_cast<int>(rng() % 28) + 1;
        bytes += i % 10 == 0 ? YearlyKey(month, day) : DateKey(2000 + static_cast<int>(rng() % 31), month, day);
        bytes += "\r\n2024.01.01  12:00\r\nNotatka numer " + std::to_string(i) + "\r\n****\r\n";
    }
    return bytes;
}

struct Fixture
{
    FakeSystemClock clock{sys_days{year{2024} / June / 21} + hours{10}, hours{2}};
    MemorySettingsStore store;
    FakeJournalFile notesFile;

    MainWindowOptions Options(bool withTray) const
    {
        MainWindowOptions options;
        options.programDir = kDir;
        options.startTimers = false;
        options.withTray = withTray;
        return options;
    }
};

void BM_CreateAndPaintMainWindow(benchmark::State& state)
{
    Fixture f;
    for (auto _ : state) {
        TForm1 form({f.clock, f.store, f.notesFile}, f.Options(state.range(0) != 0));
        benchmark::DoNotOptimize(form.grab());
    }
}
BENCHMARK(BM_CreateAndPaintMainWindow)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One RefreshDay through the grid's date change: within a month (day panel only) or across a
// month (neighbour grids, holidays and the marks of four months too).
void BM_RefreshDay(benchmark::State& state)
{
    Fixture f;
    f.notesFile.SetFile(kDir / "dnz.dat", MakeJournal(static_cast<int>(state.range(1))));
    TForm1 form({f.clock, f.store, f.notesFile}, f.Options(false));
    const bool acrossMonths = state.range(0) != 0;
    const TDateTime a = EncodeDate(2024, 6, 10);
    const TDateTime b = acrossMonths ? EncodeDate(2024, 9, 10) : EncodeDate(2024, 6, 20);
    auto* cal = form.findChild<TCalenPnl*>(QStringLiteral("cal"));
    bool flip = false;
    for (auto _ : state) {
        cal->SetSelectedDate(flip ? a : b);
        flip = !flip;
    }
    state.SetLabel(acrossMonths ? "across months" : "within a month");
}
BENCHMARK(BM_RefreshDay)->Args({0, 1000000})->Args({1, 1000000})->Unit(benchmark::kMicrosecond);

// One clock tick, ten times a second on the user-interface thread: with the alarm off and with
// its countdown running, with the window hidden in the tray and shown (then with the repaints
// the changed texts cause).
void BM_ClockTick(benchmark::State& state)
{
    const bool alarmOn = state.range(0) != 0;
    const bool shown = state.range(1) != 0;
    FakeSystemClock clock{sys_days{year{2024} / June / 21} + hours{4}, hours{2}};
    MemorySettingsStore store;
    FakeJournalFile notesFile;
    MainWindowOptions options;
    options.programDir = "/bench";
    options.startTimers = false;
    options.persist = false;
    TForm1 form({clock, store, notesFile}, options);
    if (alarmOn) {
        form.findChild<QLineEdit*>(QStringLiteral("alarm"))->setText(QStringLiteral("07:00"));
        form.findChild<QPushButton*>(QStringLiteral("azalwyl"))->click();
    }
    if (shown)
        form.show();
    QApplication::processEvents();
    for (auto _ : state) {
        clock.Advance(milliseconds(100));
        form.Clock()->ClockTick();
        if (shown)
            QApplication::processEvents();
    }
    state.SetLabel(std::string(alarmOn ? "alarm on" : "alarm off") + (shown ? ", shown" : ", in the tray"));
}
BENCHMARK(BM_ClockTick)->Args({0, 0})->Args({1, 0})->Args({0, 1})->Args({1, 1})->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv)
{
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
