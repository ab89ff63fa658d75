// Every stored setting as one row: its id, its stored name, its type and its default. The values
// in memory, loading, saving and a configuration dialog all go through these rows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

// A colour as the store keeps it: red in the lowest byte, then green, then blue, top byte 0.
constexpr std::uint32_t RgbColour(int r, int g, int b)
{
    return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b) << 16;
}

// In load order; the numbers index the table.
enum class SettingId : std::size_t
{
    AlarmText,
    AlarmDuration,
    AlarmViaSoundCard,
    Latitude,
    Longitude,
    HourSignalEnabled,
    AlarmOn,
    SyncEnabled,
    DailyCorrection,
    LastCorrection,
    PendingCorrection,
    TotalCorrection,
    CalibrationStart,
    CalibrationStop,
    LastCalibration,
    ColSunday,
    ColSaturday,
    ColMarked,
    ColWeek,
    ColToday,
    RecallSelectsToday,
    SyncTime,
    ColHoliday,
    SnoozeMinutes,
    ChosenNames,
    NameReminderDay,
};
inline constexpr std::size_t kSettingCount = 26;

// String: text; Integer: a signed 32-bit number; Bool: a flag stored as 0 or 1; Float: a double
// stored as 8 bytes; Colour: RgbColour's form stored as a 32-bit number.
enum class SettingType
{
    String,
    Integer,
    Bool,
    Float,
    Colour
};

// What loading does when a value is missing or of the wrong type.
enum class OnMissing
{
    UseDefault,  // takes the row's default
    UseNow,      // takes the moment of loading
    StopLoad,    // keeps the value in memory and ends the load: this and every later row stay as they are
    NotLoaded,   // never read by LoadSettings
};

struct SettingRow
{
    SettingId id;
    std::string_view name;  // the stored value's name, UTF-8
    SettingType type;
    double defaultValue;  // for numbers, flags (0 or 1) and colours; strings default to empty
    OnMissing onMissing;
};

// The values before anything is loaded are the defaults: all flags false, all numbers 0 but the
// alarm length and the place (near Warszawa), and the main grid's built-in colours.
inline constexpr std::array<SettingRow, kSettingCount> kSettingRows = {{
    {SettingId::AlarmText, "Godzina alarmu", SettingType::String, 0, OnMissing::UseDefault},      // "hh:nn"
    {SettingId::AlarmDuration, "Czas alarmu", SettingType::Integer, 300, OnMissing::UseDefault},  // seconds
    {SettingId::AlarmViaSoundCard, "Alarm przez kartę", SettingType::Bool, 0, OnMissing::UseDefault},
    {SettingId::Latitude, "Szerokość geograficzna", SettingType::Float, 52.0,
     OnMissing::UseDefault},  // degrees, north positive
    {SettingId::Longitude, "Długość geograficzna", SettingType::Float, 21.0,
     OnMissing::UseDefault},  // degrees, east positive
    {SettingId::HourSignalEnabled, "Sygnalizacja pełnej godziny", SettingType::Bool, 0, OnMissing::UseDefault},
    // Whether the alarm button was down at the last end.
    {SettingId::AlarmOn, "Załączony alarm", SettingType::Bool, 0, OnMissing::UseDefault},
    {SettingId::SyncEnabled, "Synchronizacja", SettingType::Bool, 0, OnMissing::UseDefault},
    {SettingId::DailyCorrection, "Korekta czasu", SettingType::Float, 0,
     OnMissing::UseDefault},  // seconds per 24 hours
    // Without a record of the last correction, the bookkeeping starts now rather than owing a
    // correction for every day since 1899.
    {SettingId::LastCorrection, "Ostatnia korekta", SettingType::Float, 0, OnMissing::UseNow},             // TDateTime
    {SettingId::PendingCorrection, "Pozostało do korekty", SettingType::Float, 0, OnMissing::UseDefault},  // seconds
    {SettingId::TotalCorrection, "Korekta łącznie", SettingType::Float, 0, OnMissing::UseDefault},         // seconds
    {SettingId::CalibrationStart, "Kalibracja start", SettingType::Float, 0,
     OnMissing::UseDefault},  // TDateTime, 0 = none
    {SettingId::CalibrationStop, "Kalibracja stop", SettingType::Float, 0,
     OnMissing::UseDefault},  // TDateTime, 0 = not ended
    {SettingId::LastCalibration, "Ostatnia kalibracja", SettingType::Float, 0,
     OnMissing::UseDefault},  // seconds per 24 hours
    // The colours and the recall flag are never replaced by defaults when loading: a key written
    // before they existed keeps the grid's look in memory, and the first gap ends the load.
    {SettingId::ColSunday, "ColSunday", SettingType::Colour, RgbColour(255, 0, 0), OnMissing::StopLoad},
    {SettingId::ColSaturday, "ColSaturday", SettingType::Colour, RgbColour(0, 0, 255), OnMissing::StopLoad},
    {SettingId::ColMarked, "ColMarked", SettingType::Colour, RgbColour(255, 0, 255), OnMissing::StopLoad},
    {SettingId::ColWeek, "ColWeek", SettingType::Colour, RgbColour(128, 0, 0), OnMissing::StopLoad},
    {SettingId::ColToday, "ColToday", SettingType::Colour, RgbColour(0, 255, 255), OnMissing::StopLoad},
    {SettingId::RecallSelectsToday, "Przywołanie", SettingType::Bool, 0, OnMissing::StopLoad},
    // "yyyy.mm.dd   hh:nn:ss", local time of the last synchronisation.
    {SettingId::SyncTime, "Czas synchronizacji", SettingType::String, 0, OnMissing::NotLoaded},
    // Values of this version on: the previous one leaves them alone. Written with the colours
    // above, so a key without ColSunday has none of them either and keeps their defaults.
    // Holidays in the colour the dialog offers for Sundays and holidays; a key from before keeps
    // them red.
    {SettingId::ColHoliday, "ColHoliday", SettingType::Colour, RgbColour(255, 0, 0), OnMissing::UseDefault},
    {SettingId::SnoozeMinutes, "Czas drzemki", SettingType::Integer, 5, OnMissing::UseDefault},  // 1..60
    // "Imieniny bliskich": the table's name forms, separated by ";".
    {SettingId::ChosenNames, "Imieniny bliskich", SettingType::String, 0, OnMissing::UseDefault},
    // "yyyy.mm.dd": the day the name-day reminder was last shown, so that a restart does not repeat it.
    {SettingId::NameReminderDay, "Przypomniane imieniny", SettingType::String, 0, OnMissing::UseDefault},
}};

constexpr const SettingRow& RowOf(SettingId id)
{
    return kSettingRows[static_cast<std::size_t>(id)];
}

consteval bool RowsFollowTheIds()
{
    for (std::size_t i = 0; i < kSettingCount; ++i)
        if (static_cast<std::size_t>(kSettingRows[i].id) != i)
            return false;
    return true;
}
static_assert(RowsFollowTheIds(), "each row of kSettingRows must sit at the index of its id");

// The defaults in their types, for initialising the values in memory.
constexpr std::int32_t IntegerDefault(SettingId id)
{
    return static_cast<std::int32_t>(RowOf(id).defaultValue);
}
constexpr bool BoolDefault(SettingId id)
{
    return RowOf(id).defaultValue != 0;
}
constexpr double FloatDefault(SettingId id)
{
    return RowOf(id).defaultValue;
}
constexpr std::uint32_t ColourDefault(SettingId id)
{
    return static_cast<std::uint32_t>(RowOf(id).defaultValue);
}
