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

#include "app/settings_table.h"
#include "calendar/datetime.h"
#include "clock/calibration.h"
#include "platform/settings_store.h"

// The values in memory, one member per row of kSettingRows, each starting at its row's default.
struct Settings
{
    std::string AlarmText;
    std::int32_t AlarmDuration = IntegerDefault(SettingId::AlarmDuration);
    bool AlarmViaSoundCard = BoolDefault(SettingId::AlarmViaSoundCard);
    double Latitude = FloatDefault(SettingId::Latitude);
    double Longitude = FloatDefault(SettingId::Longitude);
    bool HourSignalEnabled = BoolDefault(SettingId::HourSignalEnabled);
    bool AlarmOn = BoolDefault(SettingId::AlarmOn);
    bool SyncEnabled = BoolDefault(SettingId::SyncEnabled);
    double DailyCorrection = FloatDefault(SettingId::DailyCorrection);
    TDateTime LastCorrection = FloatDefault(SettingId::LastCorrection);
    double PendingCorrection = FloatDefault(SettingId::PendingCorrection);
    double TotalCorrection = FloatDefault(SettingId::TotalCorrection);
    TDateTime CalibrationStart = FloatDefault(SettingId::CalibrationStart);
    TDateTime CalibrationStop = FloatDefault(SettingId::CalibrationStop);
    double LastCalibration = FloatDefault(SettingId::LastCalibration);
    std::uint32_t ColSunday = ColourDefault(SettingId::ColSunday);
    std::uint32_t ColSaturday = ColourDefault(SettingId::ColSaturday);
    std::uint32_t ColMarked = ColourDefault(SettingId::ColMarked);
    std::uint32_t ColWeek = ColourDefault(SettingId::ColWeek);
    std::uint32_t ColToday = ColourDefault(SettingId::ColToday);
    bool RecallSelectsToday = BoolDefault(SettingId::RecallSelectsToday);
    std::string SyncTime;

    bool FirstRun = false;  // set by LoadSettings when the key is missing
};

// One value of any row, in the type its row names: std::string for String, std::int32_t for
// Integer, bool for Bool, double for Float, std::uint32_t for Colour.
using SettingValue = std::variant<std::string, std::int32_t, bool, double, std::uint32_t>;

// The value in memory of the row `id`.
SettingValue GetSetting(const Settings& settings, SettingId id);
// Sets the value in memory of the row `id`; false, and nothing changed, when `value` holds another
// type than the row's.
bool SetSetting(Settings& settings, SettingId id, const SettingValue& value);

// Reads every value but "Czas synchronizacji" into `settings`. `now` (local time) stands in for a
// missing "Ostatnia korekta". A missing key sets FirstRun and leaves everything else as it was
// after the first step (alarm length 300 s, place 52, 21).
void LoadSettings(SettingsStore& store, Settings& settings, TDateTime now);

// Writes the given values from memory, in the given order, into the key (created when missing).
// False when the key could not be opened or any write failed; callers that need not care say so.
// The calibration dialog writes its values through this.
bool SaveValues(SettingsStore& store, const Settings& settings, std::span<const SettingId> ids);
inline bool SaveValues(SettingsStore& store, const Settings& settings, std::initializer_list<SettingId> ids)
{
    return SaveValues(store, settings, std::span<const SettingId>(ids.begin(), ids.size()));
}

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

// The given values as stored, without loading anything else and without creating the key; every
// other value, and each given one that is missing or mistyped, is its row's default.
Settings ReadStoredValues(SettingsStore& store, std::initializer_list<SettingId> ids);

// The calibration's values in `settings`, and how it writes them: through SaveValues into `store`.
CalibrationValues CalibrationValuesOf(Settings& settings);
StoreCalibration CalibrationWriter(SettingsStore& store, const Settings& settings);

// The float form of the store: 8 bytes, an IEEE-754 double, little-endian.
std::array<std::uint8_t, 8> DoubleToBytes(double value);
double BytesToDouble(std::span<const std::uint8_t, 8> bytes);
