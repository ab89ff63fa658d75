// Network time runs and the drift correction as the main window drives them.
#include "app/time_sync_controller.h"

#include <cmath>
#include <cstdio>

#include "clock/calibration.h"
#include "clock/local_time.h"
#include "clock/server_list.h"
#include "platform/program_dir.h"
#include "platform/read_file.h"

ECalibrationRunning::ECalibrationRunning()
    : std::runtime_error("Program jest w trybie obliczania korekty dobowej. Aktualizacja czasu nie jest możliwa.")
{
}

std::string ReadServerList(const std::filesystem::path& file)
{
    std::string text;
    if (ReadFileSafely(file, kSmallFileLimit, text))
        return LoadServerList(std::optional<std::string>());
    return LoadServerList(std::optional<std::string>(std::move(text)));
}

namespace {

// "+3.0", seconds with a sign and one decimal.
std::string SignedSeconds(double offsetMs)
{
    char offset[64];
    std::snprintf(offset, sizeof offset, "%+.1f", offsetMs / 1000);
    return offset;
}

}  // namespace

std::string ClockNotSetMessage(double offsetMs, const ClockChange& change)
{
    return "Nie udało się ustawić zegara. Różnica względem serwera czasu: " + SignedSeconds(offsetMs)
           + " s. Przyczyna: " + ClockChangeReason(change) + ".";
}

std::string ClockAccurateMessage(double offsetMs)
{
    return "Zegar jest dokładny. Różnica względem serwera czasu: " + SignedSeconds(offsetMs) + " s.";
}

std::string ClockDifferenceText(double offsetMs)
{
    const long long s = std::llround(std::fabs(offsetMs) / 1000);
    const long long days = s / 86400, hours = s / 3600, minutes = s / 60;
    if (days >= 2)
        return std::to_string(days) + " dni";
    if (hours >= 1)
        return std::to_string(hours) + " godz. " + std::to_string(minutes % 60) + " min";
    return std::to_string(minutes) + " min " + std::to_string(s % 60) + " s";
}

namespace {

std::string Direction(double offsetMs)
{
    return offsetMs > 0 ? "zegar się spóźnia" : "zegar się spieszy";
}

}  // namespace

std::string LargeStepQuestion(double offsetMs)
{
    return "Zegar różni się od czasu serwera o " + ClockDifferenceText(offsetMs) + " (" + Direction(offsetMs)
           + "). Ustawić?";
}

std::string LargeStepNotice(double offsetMs)
{
    return "Zegar różni się od czasu serwera o " + ClockDifferenceText(offsetMs) + " (" + Direction(offsetMs)
           + ") i nie został ustawiony. Przycisk synchronizacji ustawi go po potwierdzeniu.";
}

TimeSyncController::TimeSyncController(Settings& settings, SettingsStore& store, SystemClock& clock,
                                       std::filesystem::path programDir, std::filesystem::path sharedDir,
                                       NetworkTime network, bool persist)
    : m_settings(settings), m_store(store), m_clock(clock), m_programDir(std::move(programDir)),
      m_sharedDir(std::move(sharedDir)), m_network(std::move(network)), m_persist(persist)
{
}

void TimeSyncController::StartUp()
{
    if (m_settings.SyncEnabled)
        StartTimeSync();
    else if (m_settings.DailyCorrection != 0)
        // A step that cannot be made now is owed on to a later start; nothing to tell.
        (void)ApplyDriftCorrection();
}

void TimeSyncController::StartTimeSync()
{
    if (SyncRunning())
        return;
    m_state = std::make_shared<SyncState>();
    m_state->Finished = m_runEnded;
    m_runByUser = false;
    TRetrieverThread::Start(ReadServerList(LocateProgramFile(m_programDir, m_sharedDir, kServerListFileName)), m_state,
                            m_network.transport, m_network.clock, m_network.timeout);
}

std::optional<SyncOutcome> TimeSyncController::PollTimeSync()
{
    if (m_settingClock || !m_state || !m_state->Done.load(std::memory_order_acquire))
        return std::nullopt;
    SyncOutcome outcome;
    outcome.byUser = m_runByUser;
    outcome.found = !m_state->Failed.load();
    if (outcome.found) {
        outcome.offsetMs = m_state->Offset * kMsPerDay;
        // The offset, not the time the worker estimated: the worker finished up to a tick ago.
        // The run stays running meanwhile, so that no tick or press sets the clock a second time
        // and no new run measures a clock about to move.
        outcome.largeStep = IsLargeStep(m_state->Offset);
        outcome.accurate = IsAccurateEnough(m_state->Offset);
        if (!outcome.largeStep && !outcome.accurate) {
            m_settingClock = true;
            outcome.change = m_clock.Shift(std::chrono::microseconds(std::llround(outcome.offsetMs * 1000)));
            m_settingClock = false;
        }
    }
    m_state.reset();
    m_doneSinceStart = true;
    // A failed run counts as done too: the time stored is that of the last completed run.
    if (m_persist)
        (void)SaveSyncTime(m_store, m_settings, LocalNow(m_clock));  // a lost write only loses the date shown
    return outcome;
}

ClockChange TimeSyncController::ApplyLargeStep(double offsetMs)
{
    // A relative step: the minutes the question stood open do not make it stale.
    return m_clock.Shift(std::chrono::microseconds(std::llround(offsetMs * 1000)));
}

void TimeSyncController::Timer3Timer()
{
    if (m_settings.SyncEnabled && !m_doneSinceStart)
        StartTimeSync();
}

void TimeSyncController::SpeedButton7Click()
{
    if (CalibrationInProgress(m_settings.CalibrationStart, m_settings.CalibrationStop))
        throw ECalibrationRunning();
    StartTimeSync();
    // The user asked for this run, even when it had started on its own.
    m_runByUser = true;
    // Network time makes the drift owed so far moot, finished or not.
    if (m_persist)
        (void)SaveCorrectionState(m_store, m_settings, true, LocalNow(m_clock));  // a lost write: in memory only
}

std::optional<DriftApplied> TimeSyncController::ApplyDriftCorrection()
{
    // Without a boot time the computer may have run for days; better no step than a wrong one.
    const auto uptime = m_clock.Uptime().value_or(std::chrono::milliseconds::max());
    const auto step = DriftCorrectionDue(m_settings.DailyCorrection, LocalNow(m_clock), m_settings.LastCorrection,
                                         m_settings.PendingCorrection, uptime);
    if (!step)
        return std::nullopt;
    const auto change = ShiftLocalTime(m_clock, step->shift);
    // Across midnight or refused: nothing is stored, so the amount owed keeps growing.
    if (!change)
        return DriftApplied{*step, {ClockChangeError::Failed, "midnight"}};
    if (!change->Ok())
        return DriftApplied{*step, *change};
    m_settings.LastCorrection = LocalNow(m_clock);
    m_settings.PendingCorrection = step->owed - step->shift;
    m_settings.TotalCorrection += step->shift;
    if (m_persist)
        (void)SaveCorrectionState(m_store, m_settings, false, m_settings.LastCorrection);
    return DriftApplied{*step, *change};
}
