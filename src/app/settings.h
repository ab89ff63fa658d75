// The program's settings: every stored value with its name, type and default, the values in
// memory, and the operations that load and save them through the settings store.
#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "calendar/datetime.h"
#include "platform/settings_store.h"

// A colour as the store keeps it: red in the lowest byte, then green, then blue, top byte 0.
constexpr std::uint32_t RgbColour(int r, int g, int b)
{
    return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b) << 16;
}

// The values in memory. The initial values are those before anything is loaded: all flags false,
// all numbers 0 except the alarm length and the place, and the main grid's built-in colours.
struct Settings
{
    std::string AlarmText;                   // "Godzina alarmu": the alarm box's text, "hh:nn"
    std::int32_t AlarmDuration = 300;        // "Czas alarmu", seconds
    bool AlarmViaSoundCard = false;          // "Alarm przez kartę"
    double Latitude = 52.0;                  // "Szerokość geograficzna", degrees, north positive
    double Longitude = 21.0;                 // "Długość geograficzna", degrees, east positive
    bool HourSignalEnabled = false;          // "Sygnalizacja pełnej godziny"
    bool AlarmOn = false;                    // "Załączony alarm": the alarm button was down at the last end
    bool SyncEnabled = false;                // "Synchronizacja"
    double DailyCorrection = 0;              // "Korekta czasu", seconds per 24 hours
    TDateTime LastCorrection = 0;            // "Ostatnia korekta"
    double PendingCorrection = 0;            // "Pozostało do korekty", seconds
    double TotalCorrection = 0;              // "Korekta łącznie", seconds
    TDateTime CalibrationStart = 0;          // "Kalibracja start"; 0 = none
    TDateTime CalibrationStop = 0;           // "Kalibracja stop"; 0 = not ended
    double LastCalibration = 0;              // "Ostatnia kalibracja", seconds per 24 hours
    std::uint32_t ColSunday = RgbColour(255, 0, 0);
    std::uint32_t ColSaturday = RgbColour(0, 0, 255);
    std::uint32_t ColMarked = RgbColour(255, 0, 255);
    std::uint32_t ColWeek = RgbColour(128, 0, 0);
    std::uint32_t ColToday = RgbColour(0, 255, 255);
    bool RecallSelectsToday = false;         // "Przywołanie"
    std::string SyncTime;                    // "Czas synchronizacji", "yyyy.mm.dd   hh:nn:ss"

    bool FirstRun = false;                   // set by LoadSettings when the key is missing
};

enum class SettingType { String, Integer, Bool, Float, Colour };

// What loading does when a value is missing or of the wrong type.
enum class OnMissing {
    UseDefault,  // takes the row's default
    UseNow,      // takes the moment of loading
    StopLoad,    // keeps the built-in value and ends the load: this and every later row stay as built in
    NotLoaded,   // never read by LoadSettings
};

using SettingField = std::variant<std::string Settings::*, std::int32_t Settings::*, bool Settings::*,
                                  double Settings::*, std::uint32_t Settings::*>;

struct SettingSpec
{
    std::string_view name;
    SettingType type;
    SettingField field;
    double defaultValue;  // for numbers and flags; strings default to empty
    OnMissing onMissing;
};

// Every stored value, in load order.
std::span<const SettingSpec> SettingsTable();
const SettingSpec* FindSetting(std::string_view name);

// Reads every value but "Czas synchronizacji" into `settings`. `now` (local time) stands in for a
// missing "Ostatnia korekta". A missing key sets FirstRun and leaves everything else as it was
// after the first step (alarm length 300 s, place 52, 21).
void LoadSettings(SettingsStore& store, Settings& settings, TDateTime now);

// Writes the named values from memory, in the given order, into the key (created when missing).
// False when the key could not be opened or any write failed; callers that need not care say so.
// The calibration dialog writes its values through this.
bool SaveValues(SettingsStore& store, const Settings& settings, std::initializer_list<std::string_view> names);

// The thirteen values the configuration dialog changes.
bool SaveSettings(SettingsStore& store, const Settings& settings);
// With `reset`: LastCorrection := now, PendingCorrection and TotalCorrection := 0 first.
bool SaveCorrectionState(SettingsStore& store, Settings& settings, bool reset, TDateTime now);
// SyncTime := now (local time), formatted, then written.
bool SaveSyncTime(SettingsStore& store, Settings& settings, TDateTime now);
// The stored "Czas synchronizacji", empty on any failure. Creates the key, so that a first run
// whose configuration dialog is cancelled is still no first run the next time.
std::string ReadSyncTime(SettingsStore& store);
// The alarm box's text and whether the alarm button is down, at program end.
bool SaveAlarm(SettingsStore& store, const std::string& alarmText, bool alarmOn);
bool DeleteSettings(SettingsStore& store);

// The observer's place as stored, without loading anything else: degrees, latitude north positive,
// longitude east positive; 52 and 21 for a missing key or a missing or mistyped value.
struct StoredPlace
{
    double Latitude = 52.0;
    double Longitude = 21.0;
};
StoredPlace ReadStoredPlace(SettingsStore& store);

// The float form of the store: 8 bytes, an IEEE-754 double, little-endian.
std::array<std::uint8_t, 8> DoubleToBytes(double value);
double BytesToDouble(std::span<const std::uint8_t, 8> bytes);
