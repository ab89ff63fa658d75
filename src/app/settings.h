// The program's settings: the values in memory, one member per row of the settings table
// (app/settings_table.h), and the operations that load and save them through the settings store.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <variant>

#include "app/settings_table.h"
#include "calendar/datetime.h"
#include "clock/calibration.h"
#include "platform/settings_store.h"

// Each row's id, in table order; the numbers index the table.
enum class SettingId : std::size_t
{
#define DNIARZ_SETTING_ID(member, ...) member,
    DNIARZ_SETTINGS(DNIARZ_SETTING_ID)
#undef DNIARZ_SETTING_ID
};

// The values in memory, each starting at its row's default.
struct Settings
{
#define DNIARZ_SETTING_MEMBER(member, type, name, byDefault, ...) type member = byDefault;
    DNIARZ_SETTINGS(DNIARZ_SETTING_MEMBER)
#undef DNIARZ_SETTING_MEMBER

    bool FirstRun = false;  // set by LoadSettings when the key is missing
};

// The values before anything is loaded: every row's default.
const Settings& DefaultSettings();

// How a value is stored, from the type of its member: String text; Integer a signed 32-bit
// number; Bool a flag stored as 0 or 1; Float a double stored as 8 bytes; Colour RgbColour's form
// stored as a 32-bit number.
enum class SettingType
{
    String,
    Integer,
    Bool,
    Float,
    Colour
};

template <typename T>
constexpr SettingType SettingTypeOf()
{
    if constexpr (std::is_same_v<T, std::string>)
        return SettingType::String;
    else if constexpr (std::is_same_v<T, std::int32_t>)
        return SettingType::Integer;
    else if constexpr (std::is_same_v<T, bool>)
        return SettingType::Bool;
    else if constexpr (std::is_same_v<T, double>)
        return SettingType::Float;
    else if constexpr (std::is_same_v<T, std::uint32_t>)
        return SettingType::Colour;
    else
        static_assert(sizeof(T) == 0, "a setting is a std::string, std::int32_t, bool, double or std::uint32_t");
}

// Where a row's value lives in memory.
using SettingField = std::variant<std::string Settings::*, std::int32_t Settings::*, bool Settings::*,
                                  double Settings::*, std::uint32_t Settings::*>;

struct SettingRow
{
    SettingId id;
    std::string_view name;  // the stored value's name, UTF-8
    SettingType type;
    OnMissing onMissing;
    SavedBy savedBy;
    ValueRange accepts;  // stored numbers outside read as missing
    SettingField field;
};

// The table in load order.
inline constexpr auto kSettingRows = std::to_array<SettingRow>({
#define DNIARZ_SETTING_ROW(member, type, name, byDefault, onMissing, savedBy, accepts)                                 \
    {SettingId::member, name,    SettingTypeOf<type>(), OnMissing::onMissing,                                          \
     SavedBy::savedBy,  accepts, &Settings::member},
    DNIARZ_SETTINGS(DNIARZ_SETTING_ROW)
#undef DNIARZ_SETTING_ROW
});
inline constexpr std::size_t kSettingCount = kSettingRows.size();

constexpr const SettingRow& RowOf(SettingId id)
{
    return kSettingRows[static_cast<std::size_t>(id)];
}

consteval bool OnlyFloatsTakeTheMoment()
{
    for (const SettingRow& row : kSettingRows)
        if (row.onMissing == OnMissing::UseNow && row.type != SettingType::Float)
            return false;
    return true;
}
static_assert(OnlyFloatsTakeTheMoment(), "only a Float row can take the moment of loading");

// One value of any row, in the type of its member.
using SettingValue = std::variant<std::string, std::int32_t, bool, double, std::uint32_t>;

// The value in memory of the row `id`.
SettingValue GetSetting(const Settings& settings, SettingId id);
// Sets the value in memory of the row `id`; false, and nothing changed, when `value` holds another
// type than the row's.
bool SetSetting(Settings& settings, SettingId id, const SettingValue& value);

// Reads every row but the NotLoaded ones into `settings`, each missing or mistyped one as its row
// says. `now` (local time) is the moment for UseNow. A missing key sets FirstRun and leaves
// everything else as it was after the first step (alarm length 300 s, place 52, 21).
void LoadSettings(SettingsStore& store, Settings& settings, TDateTime now);

// Writes the given values from memory, in the given order, into the key (created when missing).
// False when the key could not be opened or any write failed; callers that need not care say so.
bool SaveValues(SettingsStore& store, const Settings& settings, std::span<const SettingId> ids);
inline bool SaveValues(SettingsStore& store, const Settings& settings, std::initializer_list<SettingId> ids)
{
    return SaveValues(store, settings, std::span<const SettingId>(ids.begin(), ids.size()));
}

// The values the configuration dialog changes: the Dialog rows, in table order.
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
