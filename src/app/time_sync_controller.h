// The window's network time and drift correction: when runs start, what a finished run does to
// the clock and the settings, the synchronisation button, and the correction at start-up.
#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "app/settings.h"
#include "clock/drift.h"
#include "clock/time_sync.h"
#include "platform/settings_store.h"
#include "platform/system_clock.h"
#include "platform/udp_transport.h"

// What a run's worker works with. The worker keeps its own share of both, because it is never
// waited for: the program may end while it still waits for a server.
struct NetworkTime
{
    std::shared_ptr<UdpTransport> transport;
    std::shared_ptr<const SystemClock> clock;
    std::chrono::milliseconds timeout = kSntpReceiveTimeout;
};

// The refusal of the synchronisation button while a drift calibration is being measured.
class ECalibrationRunning : public std::runtime_error
{
public:
    ECalibrationRunning();
};

// The server list as a run uses it: the text of `file` ("TIMESRV.INI" as the program files locate
// it), or the built-in list when it cannot be read.
std::string ReadServerList(const std::filesystem::path& file);

// The end of a run, as the poll saw it.
struct SyncOutcome
{
    bool byUser = false;  // the button started or joined the run
    bool found = false;   // a server answered usably
    double offsetMs = 0;  // the chosen server's offset
    // The offset is a large step: the clock was left alone, for the user to decide (ApplyLargeStep).
    bool largeStep = false;
    // The clock was within half a second of the server: nothing was set.
    bool accurate = false;
    ClockChange change;  // how setting the clock went (Ok when nothing was to be set)
};

// The message for a clock that could not be set after the user asked for it; Polish, one line.
std::string ClockNotSetMessage(double offsetMs, const ClockChange& change);
// The message for a clock that needed no setting when the user asked: "Zegar jest dokładny…".
std::string ClockAccurateMessage(double offsetMs);
// The size of a clock difference in Polish words: "16 min 40 s", "3 godz. 5 min", "812 dni".
std::string ClockDifferenceText(double offsetMs);
// The question before a large step is made ("... Ustawić?"), and the notice of one left unmade
// when nobody was there to ask.
std::string LargeStepQuestion(double offsetMs);
std::string LargeStepNotice(double offsetMs);

struct DriftApplied
{
    DriftStep step;
    ClockChange change;
};

class TimeSyncController
{
public:
    // `programDir` and `sharedDir` are where "TIMESRV.INI" is looked for (LocateProgramFile), at
    // each run. `persist` false: nothing is written to the settings (pictures of the window).
    TimeSyncController(Settings& settings, SettingsStore& store, SystemClock& clock, std::filesystem::path programDir,
                       std::filesystem::path sharedDir, NetworkTime network, bool persist = true);

    // After the settings are loaded: a network run when "Synchronizacja" is on, otherwise the
    // drift correction when one is set. Never both.
    void StartUp();
    // Starts a run unless one is running.
    void StartTimeSync();
    // `ended` is called, on the worker's thread, when a run has finished: the moment to poll.
    void OnRunEnded(std::function<void()> ended) { m_runEnded = std::move(ended); }
    // After the clock tick and when a run has ended: once the worker is done, sets the clock from a usable answer,
    // stores "Czas synchronizacji" and returns what happened. nullopt while nothing has finished.
    // A large step is never made here: the outcome says so, and the caller asks the user.
    std::optional<SyncOutcome> PollTimeSync();
    // The user agreed to a large step of `offsetMs` that a finished run reported.
    ClockChange ApplyLargeStep(double offsetMs);
    // Every 5 minutes: a run while synchronisation is on and none has completed since the start.
    void Timer3Timer();
    // The top bar's button: throws ECalibrationRunning during a calibration; otherwise starts a
    // run (whatever "Synchronizacja" says) and resets the correction bookkeeping at once.
    void SpeedButton7Click();
    // Once at start-up; nullopt when no step was due (or the settings say no correction).
    std::optional<DriftApplied> ApplyDriftCorrection();

    bool SyncRunning() const { return m_state != nullptr; }
    bool SyncDoneSinceStart() const { return m_doneSinceStart; }

private:
    Settings& m_settings;
    SettingsStore& m_store;
    SystemClock& m_clock;
    std::filesystem::path m_programDir;
    std::filesystem::path m_sharedDir;
    NetworkTime m_network;
    bool m_persist;
    std::shared_ptr<SyncState> m_state;  // the running run; null when idle
    std::function<void()> m_runEnded;
    bool m_runByUser = false;
    bool m_doneSinceStart = false;
    // The clock is being set: the time service may be asking the user for authorisation while
    // the window's timers go on ticking.
    bool m_settingClock = false;
};
