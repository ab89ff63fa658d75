// Loading and saving the settings, row by row of the table.
#include "app/settings.h"

#include <bit>
#include <cmath>
#include <type_traits>
#include <vector>

#include "calendar/date_format.h"

namespace {

template <typename T>
T& Field(Settings& settings, const SettingRow& row)
{
    return settings.*std::get<T Settings::*>(row.field);
}

template <typename T>
const T& Field(const Settings& settings, const SettingRow& row)
{
    return settings.*std::get<T Settings::*>(row.field);
}

// False when the value is missing, of another type or outside the row's range; `settings` is then
// unchanged.
bool ReadRow(const SettingsKey& key, const SettingRow& row, Settings& settings)
{
    switch (row.type) {
    case SettingType::String:
        if (auto text = key.ReadString(row.name); text && row.accepts.HoldsText(*text)) {
            Field<std::string>(settings, row) = std::move(*text);
            return true;
        }
        return false;
    case SettingType::Integer:
        if (const auto value = key.ReadInteger(row.name); value && row.accepts.Holds(*value)) {
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
            if (!std::isfinite(value) || !row.accepts.Holds(value))
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

void ApplyDefault(const SettingRow& row, Settings& settings, TDateTime now)
{
    if (row.onMissing == OnMissing::UseNow)
        Field<double>(settings, row) = now;
    else
        std::visit([&settings](auto member) { settings.*member = DefaultSettings().*member; }, row.field);
}

RegValue StoredForm(const SettingRow& row, const Settings& settings)
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

}  // namespace

const Settings& DefaultSettings()
{
    static const Settings defaults;
    return defaults;
}

SettingValue GetSetting(const Settings& settings, SettingId id)
{
    return std::visit([&settings](auto member) { return SettingValue(settings.*member); }, RowOf(id).field);
}

bool SetSetting(Settings& settings, SettingId id, const SettingValue& value)
{
    return std::visit(
        [&settings, &value](auto member) {
            using T = std::remove_reference_t<decltype(settings.*member)>;
            const T* typed = std::get_if<T>(&value);
            if (!typed)
                return false;
            settings.*member = *typed;
            return true;
        },
        RowOf(id).field);
}

void LoadSettings(SettingsStore& store, Settings& settings, TDateTime now)
{
    const Settings& defaults = DefaultSettings();
    settings.AlarmDuration = defaults.AlarmDuration;
    settings.Latitude = defaults.Latitude;
    settings.Longitude = defaults.Longitude;
    settings.FirstRun = false;
    const auto key = store.OpenKey(false);
    if (!key) {
        settings.FirstRun = true;
        return;
    }
    // A gap among the colours leaves them and the recall as memory holds them, as a key from
    // before them always has been read; the values after them are read all the same, as
    // --print-day reads them, so that a hand-made key without colours still has its chosen names.
    bool stopped = false;
    for (const SettingRow& row : kSettingRows) {
        if (row.onMissing == OnMissing::NotLoaded || (stopped && row.onMissing == OnMissing::StopLoad)
            || ReadRow(*key, row, settings))
            continue;
        if (row.onMissing == OnMissing::StopLoad)
            stopped = true;
        else
            ApplyDefault(row, settings, now);
    }
}

bool SaveValues(SettingsStore& store, const Settings& settings, std::span<const SettingId> ids)
{
    const auto key = store.OpenKey(true);
    if (!key)
        return false;
    std::vector<std::pair<std::string, RegValue>> values;
    for (SettingId id : ids)
        values.emplace_back(std::string(RowOf(id).name), StoredForm(RowOf(id), settings));
    return key->WriteValues(values);
}

bool SaveSettings(SettingsStore& store, const Settings& settings)
{
    std::vector<SettingId> ids;
    for (const SettingRow& row : kSettingRows)
        if (row.savedBy == SavedBy::Dialog)
            ids.push_back(row.id);
    return SaveValues(store, settings, ids);
}

bool SaveCorrectionState(SettingsStore& store, Settings& settings, bool reset, TDateTime now)
{
    if (reset) {
        settings.LastCorrection = now;
        settings.PendingCorrection = 0;
        settings.TotalCorrection = 0;
    }
    return SaveValues(store, settings,
                      {SettingId::LastCorrection, SettingId::PendingCorrection, SettingId::TotalCorrection});
}

bool SaveSyncTime(SettingsStore& store, Settings& settings, TDateTime now)
{
    settings.SyncTime = FormatDateTime("yyyy.mm.dd   hh:nn:ss", now);
    return SaveValues(store, settings, {SettingId::SyncTime});
}

std::string ReadSyncTime(SettingsStore& store)
{
    const auto key = store.OpenKey(true);
    if (!key)
        return {};
    return key->ReadString(RowOf(SettingId::SyncTime).name).value_or(std::string());
}

bool SaveAlarm(SettingsStore& store, const std::string& alarmText, bool alarmOn)
{
    Settings values;
    values.AlarmText = alarmText;
    values.AlarmOn = alarmOn;
    return SaveValues(store, values, {SettingId::AlarmText, SettingId::AlarmOn});
}

bool DeleteSettings(SettingsStore& store)
{
    return store.DeleteKey();
}

Settings ReadStoredValues(SettingsStore& store, std::initializer_list<SettingId> ids)
{
    Settings values;
    if (const auto key = store.OpenKey(false))
        for (SettingId id : ids)
            (void)ReadRow(*key, RowOf(id), values);  // a value that does not read keeps its default
    return values;
}

CalibrationValues CalibrationValuesOf(Settings& settings)
{
    return {settings.CalibrationStart, settings.CalibrationStop, settings.TotalCorrection, settings.LastCalibration};
}

StoreCalibration CalibrationWriter(SettingsStore& store, const Settings& settings)
{
    return [&store, &settings](std::initializer_list<CalibrationValue> values) {
        static constexpr SettingId kIds[] = {SettingId::CalibrationStart, SettingId::CalibrationStop,
                                             SettingId::TotalCorrection, SettingId::LastCalibration};
        std::vector<SettingId> ids;
        for (CalibrationValue value : values)
            ids.push_back(kIds[static_cast<std::size_t>(value)]);
        // A failed write keeps the values in memory for this run of the program.
        (void)SaveValues(store, settings, ids);
    };
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
