// The settings table and the operations over it.
#include "app/settings.h"

#include <bit>
#include <cmath>
#include <vector>

#include "calendar/date_format.h"
#include "clock/alarm_clock.h"

namespace {

using S = Settings;

// Rows in load order; a missing or mistyped value reads as its default, except where noted.
const SettingSpec kSettings[] = {
    {"Godzina alarmu", SettingType::String, &S::AlarmText, 0, OnMissing::UseDefault},
    {"Czas alarmu", SettingType::Integer, &S::AlarmDuration, 300, OnMissing::UseDefault},
    {"Alarm przez kartę", SettingType::Bool, &S::AlarmViaSoundCard, 0, OnMissing::UseDefault},
    {"Szerokość geograficzna", SettingType::Float, &S::Latitude, 52.0, OnMissing::UseDefault},
    {"Długość geograficzna", SettingType::Float, &S::Longitude, 21.0, OnMissing::UseDefault},
    {"Sygnalizacja pełnej godziny", SettingType::Bool, &S::HourSignalEnabled, 0, OnMissing::UseDefault},
    {"Załączony alarm", SettingType::Bool, &S::AlarmOn, 0, OnMissing::UseDefault},
    {"Synchronizacja", SettingType::Bool, &S::SyncEnabled, 0, OnMissing::UseDefault},
    {"Korekta czasu", SettingType::Float, &S::DailyCorrection, 0, OnMissing::UseDefault},
    // Without a record of the last correction, the bookkeeping starts now rather than owing a
    // correction for every day since 1899.
    {"Ostatnia korekta", SettingType::Float, &S::LastCorrection, 0, OnMissing::UseNow},
    {"Pozostało do korekty", SettingType::Float, &S::PendingCorrection, 0, OnMissing::UseDefault},
    {"Korekta łącznie", SettingType::Float, &S::TotalCorrection, 0, OnMissing::UseDefault},
    {"Kalibracja start", SettingType::Float, &S::CalibrationStart, 0, OnMissing::UseDefault},
    {"Kalibracja stop", SettingType::Float, &S::CalibrationStop, 0, OnMissing::UseDefault},
    {"Ostatnia kalibracja", SettingType::Float, &S::LastCalibration, 0, OnMissing::UseDefault},
    // The colours and the recall flag have no defaults of their own: a key written before they
    // existed keeps the grid's built-in look, and the first gap ends the load.
    {"ColSunday", SettingType::Colour, &S::ColSunday, 0, OnMissing::StopLoad},
    {"ColSaturday", SettingType::Colour, &S::ColSaturday, 0, OnMissing::StopLoad},
    {"ColMarked", SettingType::Colour, &S::ColMarked, 0, OnMissing::StopLoad},
    {"ColWeek", SettingType::Colour, &S::ColWeek, 0, OnMissing::StopLoad},
    {"ColToday", SettingType::Colour, &S::ColToday, 0, OnMissing::StopLoad},
    {"Przywołanie", SettingType::Bool, &S::RecallSelectsToday, 0, OnMissing::StopLoad},
    {"Czas synchronizacji", SettingType::String, &S::SyncTime, 0, OnMissing::NotLoaded},
};

template <typename T>
T& Field(Settings& settings, const SettingSpec& row)
{
    return settings.*std::get<T Settings::*>(row.field);
}

template <typename T>
const T& Field(const Settings& settings, const SettingSpec& row)
{
    return settings.*std::get<T Settings::*>(row.field);
}

// False when the value is missing or of another type; `settings` is then unchanged.
bool ReadRow(const SettingsKey& key, const SettingSpec& row, Settings& settings)
{
    switch (row.type) {
    case SettingType::String:
        if (auto text = key.ReadString(row.name)) {
            Field<std::string>(settings, row) = std::move(*text);
            return true;
        }
        return false;
    case SettingType::Integer:
        if (const auto value = key.ReadInteger(row.name)) {
            Field<std::int32_t>(settings, row) = *value;
            return true;
        }
        return false;
    case SettingType::Bool:
        if (const auto value = key.ReadInteger(row.name)) {
            Field<bool>(settings, row) = *value != 0;
            return true;
        }
        return false;
    case SettingType::Float:
        if (const auto bytes = key.ReadBinary(row.name, 8)) {
            // NaN or infinity can only come from a damaged or hand-made key; taken as it is, it
            // would reach the astronomy and the clock correction, which could set the clock to nonsense.
            const double value = BytesToDouble(std::span<const std::uint8_t, 8>(bytes->data(), 8));
            if (!std::isfinite(value))
                return false;
            Field<double>(settings, row) = value;
            return true;
        }
        return false;
    case SettingType::Colour:
        if (const auto value = key.ReadInteger(row.name)) {
            Field<std::uint32_t>(settings, row) = static_cast<std::uint32_t>(*value);
            return true;
        }
        return false;
    }
    return false;
}

void ApplyDefault(const SettingSpec& row, Settings& settings, TDateTime now)
{
    switch (row.type) {
    case SettingType::String:
        Field<std::string>(settings, row).clear();
        break;
    case SettingType::Integer:
        Field<std::int32_t>(settings, row) = static_cast<std::int32_t>(row.defaultValue);
        break;
    case SettingType::Bool:
        Field<bool>(settings, row) = row.defaultValue != 0;
        break;
    case SettingType::Float:
        Field<double>(settings, row) = row.onMissing == OnMissing::UseNow ? now : row.defaultValue;
        break;
    case SettingType::Colour:
        Field<std::uint32_t>(settings, row) = static_cast<std::uint32_t>(row.defaultValue);
        break;
    }
}

RegValue StoredForm(const SettingSpec& row, const Settings& settings)
{
    switch (row.type) {
    case SettingType::String:
        return RegValue::String(Field<std::string>(settings, row));
    case SettingType::Integer:
        return RegValue::Dword(static_cast<std::uint32_t>(Field<std::int32_t>(settings, row)));
    case SettingType::Bool:
        return RegValue::Dword(Field<bool>(settings, row) ? 1 : 0);
    case SettingType::Float: {
        const auto bytes = DoubleToBytes(Field<double>(settings, row));
        return RegValue::Binary({bytes.begin(), bytes.end()});
    }
    case SettingType::Colour:
        return RegValue::Dword(Field<std::uint32_t>(settings, row));
    }
    return {};
}

} // namespace

std::span<const SettingSpec> SettingsTable()
{
    return kSettings;
}

const SettingSpec* FindSetting(std::string_view name)
{
    for (const SettingSpec& row : kSettings)
        if (row.name == name)
            return &row;
    return nullptr;
}

void LoadSettings(SettingsStore& store, Settings& settings, TDateTime now)
{
    settings.AlarmDuration = 300;
    settings.Latitude = 52.0;
    settings.Longitude = 21.0;
    settings.FirstRun = false;
    const auto key = store.OpenKey(false);
    if (!key) {
        settings.FirstRun = true;
        return;
    }
    for (const SettingSpec& row : kSettings) {
        if (row.onMissing == OnMissing::NotLoaded || ReadRow(*key, row, settings))
            continue;
        if (row.onMissing == OnMissing::StopLoad)
            break;
        ApplyDefault(row, settings, now);
    }
    // A hand-edited or damaged length would give an alarm of no time or of days.
    settings.AlarmDuration = ClampAlarmDuration(settings.AlarmDuration);
}

bool SaveValues(SettingsStore& store, const Settings& settings, std::initializer_list<std::string_view> names)
{
    const auto key = store.OpenKey(true);
    if (!key)
        return false;
    std::vector<std::pair<std::string, RegValue>> values;
    for (std::string_view name : names) {
        const SettingSpec* row = FindSetting(name);
        if (!row)
            return false;
        values.emplace_back(std::string(name), StoredForm(*row, settings));
    }
    return key->WriteValues(values);
}

bool SaveSettings(SettingsStore& store, const Settings& settings)
{
    return SaveValues(store, settings,
                      {"ColSunday", "ColSaturday", "ColMarked", "ColWeek", "ColToday", "Przywołanie", "Synchronizacja",
                       "Korekta czasu", "Czas alarmu", "Alarm przez kartę", "Szerokość geograficzna",
                       "Długość geograficzna", "Sygnalizacja pełnej godziny"});
}

bool SaveCorrectionState(SettingsStore& store, Settings& settings, bool reset, TDateTime now)
{
    if (reset) {
        settings.LastCorrection = now;
        settings.PendingCorrection = 0;
        settings.TotalCorrection = 0;
    }
    return SaveValues(store, settings, {"Ostatnia korekta", "Pozostało do korekty", "Korekta łącznie"});
}

bool SaveSyncTime(SettingsStore& store, Settings& settings, TDateTime now)
{
    settings.SyncTime = FormatDateTime("yyyy.mm.dd   hh:nn:ss", now);
    return SaveValues(store, settings, {"Czas synchronizacji"});
}

std::string ReadSyncTime(SettingsStore& store)
{
    const auto key = store.OpenKey(true);
    if (!key)
        return {};
    return key->ReadString("Czas synchronizacji").value_or(std::string());
}

bool SaveAlarm(SettingsStore& store, const std::string& alarmText, bool alarmOn)
{
    Settings values;
    values.AlarmText = alarmText;
    values.AlarmOn = alarmOn;
    return SaveValues(store, values, {"Godzina alarmu", "Załączony alarm"});
}

bool DeleteSettings(SettingsStore& store)
{
    return store.DeleteKey();
}

StoredPlace ReadStoredPlace(SettingsStore& store)
{
    Settings values;
    if (const auto key = store.OpenKey(false)) {
        ReadRow(*key, *FindSetting("Szerokość geograficzna"), values);
        ReadRow(*key, *FindSetting("Długość geograficzna"), values);
    }
    return {values.Latitude, values.Longitude};
}

std::array<std::uint8_t, 8> DoubleToBytes(double value)
{
    const auto bits = std::bit_cast<std::uint64_t>(value);
    std::array<std::uint8_t, 8> bytes{};
    for (int i = 0; i < 8; ++i)
        bytes[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(bits >> (8 * i));
    return bytes;
}

double BytesToDouble(std::span<const std::uint8_t, 8> bytes)
{
    std::uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = bits << 8 | bytes[static_cast<std::size_t>(i)];
    return std::bit_cast<double>(bits);
}
