// Loading and saving the settings over the in-memory store.
#include "app/settings.h"

#include <gtest/gtest.h>

#include <cstring>
#include <type_traits>
#include <variant>

#include "platform/fake/memory_settings_store.h"

namespace {

const TDateTime kNow = 45000.75;  // 2023-03-15 18:00, the moment of loading in these tests

RegValue Float(double value)
{
    std::uint8_t bytes[8];
    std::memcpy(bytes, &value, 8);  // the test machine is little-endian, as the stored form is
    return RegValue::Binary({bytes, bytes + 8});
}

// A key as a user who has set everything up would have it.
void PutFullKey(MemorySettingsStore& store)
{
    store.Put("Godzina alarmu", RegValue::String("06:45"));
    store.Put("Czas alarmu", RegValue::Dword(60));
    store.Put("Alarm przez kartę", RegValue::Dword(1));
    store.Put("Szerokość geograficzna", Float(50.061021));
    store.Put("Długość geograficzna", Float(19.934429));
    store.Put("Sygnalizacja pełnej godziny", RegValue::Dword(1));
    store.Put("Załączony alarm", RegValue::Dword(1));
    store.Put("Synchronizacja", RegValue::Dword(1));
    store.Put("Korekta czasu", Float(-2.5));
    store.Put("Ostatnia korekta", Float(44000.5));
    store.Put("Pozostało do korekty", Float(0.25));
    store.Put("Korekta łącznie", Float(-7.5));
    store.Put("Kalibracja start", Float(43000.25));
    store.Put("Kalibracja stop", Float(43003.25));
    store.Put("Ostatnia kalibracja", Float(-2.5));
}

void ExpectFullKeyValues(const Settings& s)
{
    EXPECT_EQ(s.AlarmText, "06:45");
    EXPECT_EQ(s.AlarmDuration, 60);
    EXPECT_TRUE(s.AlarmViaSoundCard);
    EXPECT_EQ(s.Latitude, 50.061021);
    EXPECT_EQ(s.Longitude, 19.934429);
    EXPECT_TRUE(s.HourSignalEnabled);
    EXPECT_TRUE(s.AlarmOn);
    EXPECT_TRUE(s.SyncEnabled);
    EXPECT_EQ(s.DailyCorrection, -2.5);
    EXPECT_EQ(s.LastCorrection, 44000.5);
    EXPECT_EQ(s.PendingCorrection, 0.25);
    EXPECT_EQ(s.TotalCorrection, -7.5);
    EXPECT_EQ(s.CalibrationStart, 43000.25);
    EXPECT_EQ(s.CalibrationStop, 43003.25);
    EXPECT_EQ(s.LastCalibration, -2.5);
}

void ExpectBuiltInColours(const Settings& s)
{
    EXPECT_EQ(s.ColSunday, 0x0000FFu);
    EXPECT_EQ(s.ColSaturday, 0xFF0000u);
    EXPECT_EQ(s.ColMarked, 0xFF00FFu);
    EXPECT_EQ(s.ColWeek, 0x000080u);
    EXPECT_EQ(s.ColToday, 0xFFFF00u);
    EXPECT_FALSE(s.RecallSelectsToday);
}

}  // namespace

TEST(Settings, NoKeyIsAFirstRunWithTheBuiltInPlaceAndAlarmLength)
{
    MemorySettingsStore store;
    Settings s;
    s.AlarmDuration = 5;
    s.Latitude = -33.9;
    s.Longitude = 18.4;
    LoadSettings(store, s, kNow);
    EXPECT_TRUE(s.FirstRun);
    EXPECT_EQ(s.AlarmDuration, 300);
    EXPECT_EQ(s.Latitude, 52.0);
    EXPECT_EQ(s.Longitude, 21.0);
    EXPECT_FALSE(store.Key().has_value()) << "loading must not create the key";

    // A key that exists but cannot be opened is the same as none.
    store.Put("Czas alarmu", RegValue::Dword(60));
    store.SetFailOpen(true);
    Settings t;
    LoadSettings(store, t, kNow);
    EXPECT_TRUE(t.FirstRun);
    EXPECT_EQ(t.AlarmDuration, 300);
}

TEST(Settings, KeyWithoutColSundayLoadsEverythingElseButNoColoursAndNoRecall)
{
    MemorySettingsStore store;
    PutFullKey(store);
    store.Put("ColSaturday", RegValue::Dword(0x00FF00));
    store.Put("Przywołanie", RegValue::Dword(1));
    // A key made by hand may hold this version's values without the colours: they still count,
    // as they do for --print-day.
    store.Put("Imieniny bliskich", RegValue::String("Mścisława;Ewy"));
    store.Put("Czas drzemki", RegValue::Dword(12));
    store.Put("ColHoliday", RegValue::Dword(0x008000));
    Settings s;
    LoadSettings(store, s, kNow);
    EXPECT_FALSE(s.FirstRun);
    ExpectFullKeyValues(s);
    ExpectBuiltInColours(s);
    EXPECT_EQ(s.ChosenNames, "Mścisława;Ewy");
    EXPECT_EQ(s.ChosenNames, ReadStoredValues(store, {SettingId::ChosenNames}).ChosenNames);
    EXPECT_EQ(s.SnoozeMinutes, 12);
    EXPECT_EQ(s.ColHoliday, 0x008000u);
}

TEST(Settings, TheFirstMissingOrMistypedColourEndsTheLoad)
{
    MemorySettingsStore store;
    PutFullKey(store);
    store.Put("ColSunday", RegValue::Dword(0x102030));
    store.Put("ColSaturday", RegValue::Dword(0x405060));
    store.Put("ColMarked", RegValue::String("fuchsia"));
    store.Put("ColWeek", RegValue::Dword(0x708090));
    store.Put("ColToday", RegValue::Dword(0x0A0B0C));
    store.Put("Przywołanie", RegValue::Dword(1));
    Settings s;
    LoadSettings(store, s, kNow);
    EXPECT_EQ(s.ColSunday, 0x102030u);
    EXPECT_EQ(s.ColSaturday, 0x405060u);
    EXPECT_EQ(s.ColMarked, 0xFF00FFu);
    EXPECT_EQ(s.ColWeek, 0x000080u);
    EXPECT_EQ(s.ColToday, 0xFFFF00u);
    EXPECT_FALSE(s.RecallSelectsToday);

    store.Put("ColMarked", RegValue::Dword(0x112233));
    LoadSettings(store, s, kNow);
    EXPECT_EQ(s.ColMarked, 0x112233u);
    EXPECT_EQ(s.ColToday, 0x0A0B0Cu);
    EXPECT_TRUE(s.RecallSelectsToday);
}

TEST(Settings, MissingOrMistypedValuesReadAsTheirDefaults)
{
    struct Row
    {
        const char* name;
        RegValue stored;
    };
    const Row rows[] = {
        {"Szerokość geograficzna", RegValue::Binary({0, 0, 80, 66})},  // 52.0 as a 4-byte float
        {"Szerokość geograficzna", RegValue::Binary({0, 0, 0, 0, 0, 0, 0x4a, 0x40, 0})},
        {"Szerokość geograficzna", RegValue::Dword(50)},
        {"Szerokość geograficzna", RegValue::String("50.0")},
        {"Długość geograficzna", RegValue::Binary({}, 11)},  // an 8-byte qword, not a binary value
        {"Czas alarmu", RegValue::String("60")},
        {"Czas alarmu", RegValue::Binary({60, 0, 0, 0})},
        {"Godzina alarmu", RegValue::Dword(645)},
        {"Alarm przez kartę", RegValue::String("1")},
        {"Korekta czasu", RegValue::Dword(3)},
        {"Korekta czasu", RegValue::Binary({0, 0, 0, 0, 0, 0, 0xf8, 0x7f})},  // NaN
        {"Ostatnia korekta", RegValue::Dword(44000)},
        {"Ostatnia korekta", RegValue::Binary({0, 0, 0, 0, 0, 0, 0xf0, 0x7f})},  // +infinity
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        MemorySettingsStore store;
        PutFullKey(store);
        store.Put(r.name, r.stored);
        Settings s;
        LoadSettings(store, s, kNow);
        const std::string_view name = r.name;
        if (name == "Szerokość geograficzna") {
            EXPECT_EQ(s.Latitude, 52.0);
        } else if (name == "Długość geograficzna") {
            EXPECT_EQ(s.Longitude, 21.0);
        } else if (name == "Czas alarmu") {
            EXPECT_EQ(s.AlarmDuration, 300);
        } else if (name == "Godzina alarmu") {
            EXPECT_EQ(s.AlarmText, "");
        } else if (name == "Alarm przez kartę") {
            EXPECT_FALSE(s.AlarmViaSoundCard);
        } else if (name == "Korekta czasu") {
            EXPECT_EQ(s.DailyCorrection, 0.0);
        } else {
            EXPECT_EQ(s.LastCorrection, kNow);
        }
        // The rest of the key still loads.
        EXPECT_TRUE(s.AlarmOn);
        EXPECT_EQ(s.LastCalibration, -2.5);
    }
}

TEST(Settings, AStoredValueOutsideItsRangeReadsAsTheDefault)
{
    // The ends come from what each value means: the alarm dialog's 5 s to an hour and 1 to 60
    // minutes, a place on the globe, a drift of at most a day per day, a moment from 1899-12-30 to
    // the end of year 9999.
    struct Row
    {
        const char* name;
        RegValue outside;
        RegValue edge;  // the last value still taken
        SettingValue edgeLoaded;
    };
    const Row rows[] = {
        {"Czas alarmu", RegValue::Dword(static_cast<std::uint32_t>(-5)), RegValue::Dword(5), std::int32_t{5}},
        {"Czas alarmu", RegValue::Dword(3601), RegValue::Dword(3600), std::int32_t{3600}},
        {"Czas alarmu", RegValue::Dword(0), RegValue::Dword(3600), std::int32_t{3600}},
        {"Czas drzemki", RegValue::Dword(0), RegValue::Dword(1), std::int32_t{1}},
        {"Czas drzemki", RegValue::Dword(61), RegValue::Dword(60), std::int32_t{60}},
        {"Szerokość geograficzna", Float(200), Float(90), 90.0},
        {"Szerokość geograficzna", Float(-90.5), Float(-90), -90.0},
        {"Długość geograficzna", Float(180.25), Float(-180), -180.0},
        {"Korekta czasu", Float(-86401), Float(86400), 86400.0},
        {"Ostatnia kalibracja", Float(1e300), Float(-86400), -86400.0},
        {"Pozostało do korekty", Float(90000), Float(-3.5), -3.5},
        {"Ostatnia korekta", Float(-1), Float(0), 0.0},
        {"Kalibracja start", Float(3e6), Float(2958465.5), 2958465.5},
        {"Kalibracja stop", Float(-0.5), Float(45000.5), 45000.5},
        // A voivodeship by its official name only: capitals, a blank, an old or a foreign name
        // mean none chosen.
        {"Województwo", RegValue::String("Mazowieckie"), RegValue::String("zachodniopomorskie"),
         std::string("zachodniopomorskie")},
        {"Województwo", RegValue::String("mazowieckie "), RegValue::String("łódzkie"), std::string("łódzkie")},
        {"Województwo", RegValue::String("bielskie"), RegValue::String("śląskie"), std::string("śląskie")},
        {"Województwo", RegValue::String(std::string("maz\0owieckie", 12)), RegValue::String("opolskie"),
         std::string("opolskie")},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const SettingRow* row = nullptr;
        for (const SettingRow& candidate : kSettingRows)
            if (candidate.name == r.name)
                row = &candidate;
        ASSERT_NE(row, nullptr);
        MemorySettingsStore store;
        PutFullKey(store);
        store.Put(r.name, r.outside);
        Settings s;
        LoadSettings(store, s, kNow);
        const SettingValue byDefault = row->onMissing == OnMissing::UseNow ? SettingValue(kNow)
                                                                           : GetSetting(DefaultSettings(), row->id);
        EXPECT_EQ(GetSetting(s, row->id), byDefault);
        EXPECT_EQ(GetSetting(ReadStoredValues(store, {row->id}), row->id), GetSetting(DefaultSettings(), row->id));
        EXPECT_TRUE(s.AlarmOn) << "the rest of the key still loads";

        store.Put(r.name, r.edge);
        LoadSettings(store, s, kNow);
        EXPECT_EQ(GetSetting(s, row->id), r.edgeLoaded);
    }
}

TEST(Settings, AnyNonZeroFlagReadsAsTrue)
{
    for (std::uint32_t stored : {1u, 2u, 0xFFFFFFFFu, 0x80000000u}) {
        SCOPED_TRACE(stored);
        MemorySettingsStore store;
        store.Put("Synchronizacja", RegValue::Dword(stored));
        Settings s;
        LoadSettings(store, s, kNow);
        EXPECT_TRUE(s.SyncEnabled);
    }
}

TEST(Settings, SaveSettingsWritesTheDialogRowsInTableOrderAndNotTheAlarm)
{
    MemorySettingsStore store;
    Settings s;
    s.AlarmText = "07:00";
    s.AlarmOn = true;
    EXPECT_TRUE(SaveSettings(store, s));
    std::vector<std::string> dialogRows;
    for (const SettingRow& row : kSettingRows)
        if (row.savedBy == SavedBy::Dialog)
            dialogRows.emplace_back(row.name);
    EXPECT_EQ(store.WrittenNames(), dialogRows);
    EXPECT_EQ(store.Key()->Find("Godzina alarmu"), nullptr);
    EXPECT_EQ(store.Key()->Find("Załączony alarm"), nullptr);
}

TEST(Settings, StoredFormsMatchTheRegistryLayout)
{
    MemorySettingsStore store;
    Settings s;
    s.Latitude = 52.0;
    s.Longitude = -0.5;
    s.ColWeek = RgbColour(128, 0, 0);
    s.RecallSelectsToday = true;
    s.AlarmDuration = 300;
    ASSERT_TRUE(SaveSettings(store, s));
    const RegKey& key = *store.Key();
    EXPECT_EQ(*key.Find("Szerokość geograficzna"), RegValue::Binary({0, 0, 0, 0, 0, 0, 0x4a, 0x40}));
    EXPECT_EQ(*key.Find("Długość geograficzna"), RegValue::Binary({0, 0, 0, 0, 0, 0, 0xe0, 0xbf}));
    EXPECT_EQ(*key.Find("ColWeek"), RegValue::Dword(0x80));
    EXPECT_EQ(*key.Find("Przywołanie"), RegValue::Dword(1));
    EXPECT_EQ(*key.Find("Czas alarmu"), RegValue::Dword(300));
}

TEST(Settings, EverySavedValueLoadsBackBitForBit)
{
    MemorySettingsStore store;
    Settings out;
    out.AlarmDuration = 3600;
    out.AlarmViaSoundCard = true;
    out.Latitude = 52.236620;
    out.Longitude = -0.5;
    out.HourSignalEnabled = true;
    out.SyncEnabled = true;
    out.DailyCorrection = 1.0 / 3.0;
    out.ColSunday = RgbColour(1, 2, 3);
    out.ColSaturday = RgbColour(4, 5, 6);
    out.ColMarked = RgbColour(7, 8, 9);
    out.ColWeek = RgbColour(10, 11, 12);
    out.ColToday = RgbColour(13, 14, 15);
    out.RecallSelectsToday = true;
    ASSERT_TRUE(SaveSettings(store, out));
    ASSERT_TRUE(SaveAlarm(store, "23:59", true));
    ASSERT_TRUE(SaveCorrectionState(store, out, true, kNow));

    Settings in;
    LoadSettings(store, in, kNow + 1);
    EXPECT_EQ(in.AlarmText, "23:59");
    EXPECT_TRUE(in.AlarmOn);
    EXPECT_EQ(in.AlarmDuration, 3600);
    EXPECT_TRUE(in.AlarmViaSoundCard);
    EXPECT_EQ(in.Latitude, 52.236620);
    EXPECT_EQ(in.Longitude, -0.5);
    EXPECT_TRUE(in.HourSignalEnabled);
    EXPECT_TRUE(in.SyncEnabled);
    EXPECT_EQ(in.DailyCorrection, 1.0 / 3.0);
    EXPECT_EQ(in.LastCorrection, kNow);
    EXPECT_EQ(in.ColSunday, out.ColSunday);
    EXPECT_EQ(in.ColToday, out.ColToday);
    EXPECT_TRUE(in.RecallSelectsToday);
}

TEST(Settings, CorrectionStateWithAndWithoutReset)
{
    MemorySettingsStore store;
    Settings s;
    s.LastCorrection = 44000.0;
    s.PendingCorrection = 0.4;
    s.TotalCorrection = 12.0;
    ASSERT_TRUE(SaveCorrectionState(store, s, false, kNow));
    EXPECT_EQ(store.WrittenNames(),
              (std::vector<std::string>{"Ostatnia korekta", "Pozostało do korekty", "Korekta łącznie"}));
    Settings kept;
    LoadSettings(store, kept, kNow);
    EXPECT_EQ(kept.LastCorrection, 44000.0);
    EXPECT_EQ(kept.PendingCorrection, 0.4);
    EXPECT_EQ(kept.TotalCorrection, 12.0);

    ASSERT_TRUE(SaveCorrectionState(store, s, true, kNow));
    EXPECT_EQ(s.LastCorrection, kNow);
    EXPECT_EQ(s.PendingCorrection, 0.0);
    EXPECT_EQ(s.TotalCorrection, 0.0);
    Settings reset;
    LoadSettings(store, reset, kNow + 3);
    EXPECT_EQ(reset.LastCorrection, kNow);
    EXPECT_EQ(reset.TotalCorrection, 0.0);
}

TEST(Settings, SyncTimeIsWrittenWithThreeBlanksAndReadingItCreatesTheKey)
{
    MemorySettingsStore store;
    EXPECT_EQ(ReadSyncTime(store), "");
    EXPECT_TRUE(store.Key().has_value());

    // The next start is no first run: every value takes its default and the colours stay built in.
    Settings s;
    s.AlarmViaSoundCard = true;
    LoadSettings(store, s, kNow);
    EXPECT_FALSE(s.FirstRun);
    EXPECT_EQ(s.AlarmDuration, 300);
    EXPECT_FALSE(s.AlarmViaSoundCard);
    EXPECT_EQ(s.LastCorrection, kNow);
    ExpectBuiltInColours(s);

    const TDateTime moment = EncodeDate(2024, 3, 5) + EncodeTime(7, 8, 9);
    ASSERT_TRUE(SaveSyncTime(store, s, moment));
    EXPECT_EQ(ReadSyncTime(store), "2024.03.05   07:08:09");
}

TEST(Settings, DeletingTheKeyMakesTheNextStartAFirstRun)
{
    MemorySettingsStore store;
    PutFullKey(store);
    ASSERT_TRUE(DeleteSettings(store));
    Settings s;
    LoadSettings(store, s, kNow);
    EXPECT_TRUE(s.FirstRun);
    EXPECT_TRUE(DeleteSettings(store)) << "deleting a missing key is no failure";
}

TEST(Settings, RefusedWritesLeaveMemoryInForce)
{
    MemorySettingsStore store;
    store.SetFailWrites(true);
    Settings s;
    s.Latitude = 12.5;
    EXPECT_FALSE(SaveSettings(store, s));
    EXPECT_FALSE(SaveCorrectionState(store, s, true, kNow));
    EXPECT_EQ(s.LastCorrection, kNow);
    EXPECT_EQ(s.Latitude, 12.5);
    EXPECT_EQ(ReadSyncTime(store), "");
    EXPECT_FALSE(store.Key().has_value());
}

TEST(Settings, StoredPlaceFallsBackPerValue)
{
    MemorySettingsStore store;
    Settings place = ReadStoredValues(store, {SettingId::Latitude, SettingId::Longitude});
    EXPECT_EQ(place.Latitude, 52.0);
    EXPECT_EQ(place.Longitude, 21.0);
    EXPECT_FALSE(store.Key().has_value());

    store.Put("Szerokość geograficzna", RegValue::Binary({0, 0, 80, 66}));
    store.Put("Długość geograficzna", Float(-75.0));
    place = ReadStoredValues(store, {SettingId::Latitude, SettingId::Longitude});
    EXPECT_EQ(place.Latitude, 52.0);
    EXPECT_EQ(place.Longitude, -75.0);

    store.Put("Szerokość geograficzna", RegValue::Binary({0, 0, 0, 0, 0, 0, 0xf0, 0xff}));  // -infinity
    store.Put("Długość geograficzna", RegValue::Dword(18));
    place = ReadStoredValues(store, {SettingId::Latitude, SettingId::Longitude});
    EXPECT_EQ(place.Latitude, 52.0);
    EXPECT_EQ(place.Longitude, 21.0);
}

TEST(Settings, EveryRowReadsAndWritesByIdInItsOwnType)
{
    Settings s;
    for (const SettingRow& row : kSettingRows) {
        SCOPED_TRACE(std::string(row.name));
        const SettingValue before = GetSetting(s, row.id);
        SettingValue changed;
        switch (row.type) {
        case SettingType::String:
            changed = std::string("12:34");
            break;
        case SettingType::Integer:
            changed = std::int32_t{-7};
            break;
        case SettingType::Bool:
            changed = !std::get<bool>(before);
            break;
        case SettingType::Float:
            changed = 1.5;
            break;
        case SettingType::Colour:
            changed = std::uint32_t{0x123456};
            break;
        }
        // A value of the wrong type is refused and changes nothing.
        const SettingValue wrong = std::holds_alternative<std::string>(changed) ? SettingValue(1.0)
                                                                                : SettingValue(std::string("x"));
        EXPECT_FALSE(SetSetting(s, row.id, wrong));
        EXPECT_EQ(GetSetting(s, row.id), before);
        ASSERT_TRUE(SetSetting(s, row.id, changed));
        EXPECT_EQ(GetSetting(s, row.id), changed);
    }
}

TEST(Settings, ValuesSetByIdAreSavedUnderTheirStoredNames)
{
    MemorySettingsStore store;
    Settings s;
    ASSERT_TRUE(SetSetting(s, SettingId::AlarmDuration, std::int32_t{45}));
    ASSERT_TRUE(SetSetting(s, SettingId::ColToday, RgbColour(1, 2, 3)));
    ASSERT_TRUE(SaveValues(store, s, {SettingId::AlarmDuration, SettingId::ColToday}));
    Settings loaded;
    loaded = ReadStoredValues(store, {SettingId::AlarmDuration, SettingId::ColToday});
    EXPECT_EQ(loaded.AlarmDuration, 45);
    EXPECT_EQ(loaded.ColToday, 0x030201u);
    EXPECT_EQ(loaded.Latitude, 52.0);  // not asked for: the default
}

// Values of this version: a key written before them keeps holidays red and the snooze at five
// minutes; the chosen names with Polish letters come back as written; a snooze out of range is
// brought back in.
TEST(Settings, NewValuesAndAKeyFromBeforeThem)
{
    MemorySettingsStore old;
    PutFullKey(old);
    old.Put("ColSunday", RegValue::Dword(0xFF0000));
    Settings before;
    LoadSettings(old, before, kNow);
    EXPECT_EQ(before.ColSunday, 0xFF0000u);
    EXPECT_EQ(before.ColHoliday, RgbColour(255, 0, 0));
    EXPECT_EQ(before.SnoozeMinutes, 5);
    EXPECT_EQ(before.ChosenNames, "");

    MemorySettingsStore store;
    Settings out;
    out.ColSunday = out.ColHoliday = RgbColour(0, 0, 200);
    out.SnoozeMinutes = 12;
    out.ChosenNames = "Mścisława;Żanety;Marii Magdaleny";
    ASSERT_TRUE(SaveSettings(store, out));
    Settings in;
    LoadSettings(store, in, kNow);
    EXPECT_EQ(in.ColHoliday, RgbColour(0, 0, 200));
    EXPECT_EQ(in.SnoozeMinutes, 12);
    EXPECT_EQ(in.ChosenNames, out.ChosenNames);
    for (const std::int32_t minutes : {0, -3, 61}) {
        store.Put("Czas drzemki", RegValue::Dword(static_cast<std::uint32_t>(minutes)));
        LoadSettings(store, in, kNow);
        EXPECT_EQ(in.SnoozeMinutes, 5) << "outside 1 to 60 minutes the default holds";
    }
}

TEST(Settings, TheCalibrationWorksOnTheSettingsAndWritesUnderTheStoredNames)
{
    MemorySettingsStore store;
    Settings s;
    const CalibrationValues values = CalibrationValuesOf(s);
    values.start = 45000.5;
    values.stop = 45007.5;
    values.totalCorrection = 3;
    values.lastCalibration = -1.25;
    CalibrationWriter(store, s)({CalibrationValue::Stop, CalibrationValue::LastCalibration,
                                 CalibrationValue::TotalCorrection, CalibrationValue::Start});
    EXPECT_EQ(store.WrittenNames(), (std::vector<std::string>{"Kalibracja stop", "Ostatnia kalibracja",
                                                              "Korekta łącznie", "Kalibracja start"}));
    const Settings loaded = ReadStoredValues(store, {SettingId::CalibrationStart, SettingId::CalibrationStop,
                                                     SettingId::TotalCorrection, SettingId::LastCalibration});
    EXPECT_EQ(loaded.CalibrationStart, 45000.5);
    EXPECT_EQ(loaded.CalibrationStop, 45007.5);
    EXPECT_EQ(loaded.TotalCorrection, 3);
    EXPECT_EQ(loaded.LastCalibration, -1.25);
}

namespace {

// Every stored value as the program has always kept it: its name, in load order, its default,
// what a load does when it is missing or mistyped, and whether the dialog saves it. A row added
// to the table needs its line here.
struct ExpectedRow
{
    const char* name;
    SettingValue byDefault;
    OnMissing onMissing;
    SavedBy savedBy;
};
using enum OnMissing;
using enum SavedBy;
const ExpectedRow kExpectedRows[] = {
    {"Godzina alarmu", std::string(), UseDefault, Own},
    {"Czas alarmu", std::int32_t{300}, UseDefault, Dialog},
    {"Alarm przez kartę", false, UseDefault, Dialog},
    {"Szerokość geograficzna", 52.0, UseDefault, Dialog},
    {"Długość geograficzna", 21.0, UseDefault, Dialog},
    {"Sygnalizacja pełnej godziny", false, UseDefault, Dialog},
    {"Załączony alarm", false, UseDefault, Own},
    {"Synchronizacja", false, UseDefault, Dialog},
    {"Korekta czasu", 0.0, UseDefault, Dialog},
    {"Ostatnia korekta", 0.0, UseNow, Own},
    {"Pozostało do korekty", 0.0, UseDefault, Own},
    {"Korekta łącznie", 0.0, UseDefault, Own},
    {"Kalibracja start", 0.0, UseDefault, Own},
    {"Kalibracja stop", 0.0, UseDefault, Own},
    {"Ostatnia kalibracja", 0.0, UseDefault, Own},
    {"ColSunday", RgbColour(255, 0, 0), StopLoad, Dialog},
    {"ColSaturday", RgbColour(0, 0, 255), StopLoad, Dialog},
    {"ColMarked", RgbColour(255, 0, 255), StopLoad, Dialog},
    {"ColWeek", RgbColour(128, 0, 0), StopLoad, Dialog},
    {"ColToday", RgbColour(0, 255, 255), StopLoad, Dialog},
    {"Przywołanie", false, StopLoad, Dialog},
    {"Czas synchronizacji", std::string(), NotLoaded, Own},
    {"ColHoliday", RgbColour(255, 0, 0), UseDefault, Dialog},
    {"Czas drzemki", std::int32_t{5}, UseDefault, Dialog},
    {"Imieniny bliskich", std::string(), UseDefault, Dialog},
    {"Przypomniane imieniny", std::string(), UseDefault, Own},
    {"Przypomnienia z notatek", true, UseDefault, Dialog},
    {"Wyprzedzenie przypomnień", std::int32_t{15}, UseDefault, Dialog},
    {"Dźwięk przypomnień", true, UseDefault, Dialog},
    {"Pokazane przypomnienia", std::string(), UseDefault, Own},
    {"Województwo", std::string(), UseDefault, Dialog},
};

// A value of the row's type unlike its default, as a user's key holds it, or another unlike both,
// in memory before the load. A flag has two values only: the key holds false, memory true.
// A text row that accepts only some texts gets one of those.
SettingValue Sample(const ExpectedRow& row, bool inMemory)
{
    if (std::string_view(row.name) == "Województwo")
        return std::string(inMemory ? "pomorskie" : "mazowieckie");
    return std::visit(
        [inMemory](const auto& value) -> SettingValue {
            using T = std::decay_t<decltype(value)>;
            if constexpr (std::is_same_v<T, std::string>)
                return std::string(inMemory ? "in memory" : "stored");
            else if constexpr (std::is_same_v<T, bool>)
                return inMemory;
            else if constexpr (std::is_same_v<T, double>)
                return inMemory ? 43.25 : 12.5;  // within every float row's range
            else if constexpr (std::is_same_v<T, std::int32_t>)
                return std::int32_t{inMemory ? 17 : 42};  // within the alarm's and the snooze's ranges
            else
                return std::uint32_t{inMemory ? 0x010203u : 0x0A0B0Cu};
        },
        row.byDefault);
}

SettingValue StoredValue(const ExpectedRow& row)
{
    return Sample(row, false);
}

SettingValue ValueInMemory(const ExpectedRow& row)
{
    return Sample(row, true);
}

// The stored form of another type than the row's.
RegValue Mistyped(SettingType type)
{
    return type == SettingType::Integer || type == SettingType::Bool || type == SettingType::Colour
               ? RegValue::String("1")
               : RegValue::Dword(1);
}

}  // namespace

TEST(SettingsTable, EveryRowHasItsNameDefaultAndRules)
{
    ASSERT_EQ(kSettingRows.size(), std::size(kExpectedRows)) << "each row of the table needs its expected line";
    for (std::size_t i = 0; i < kSettingRows.size(); ++i) {
        const SettingRow& row = kSettingRows[i];
        const ExpectedRow& expected = kExpectedRows[i];
        SCOPED_TRACE(expected.name);
        EXPECT_EQ(row.name, expected.name);
        EXPECT_EQ(static_cast<std::size_t>(row.id), i);
        EXPECT_EQ(row.onMissing, expected.onMissing);
        EXPECT_EQ(row.savedBy, expected.savedBy);
        EXPECT_EQ(GetSetting(Settings(), row.id), expected.byDefault);
        EXPECT_EQ(GetSetting(DefaultSettings(), row.id), expected.byDefault);
    }
}

TEST(SettingsTable, AMissingOrMistypedValueLoadsAsItsRowSays)
{
    Settings stored;
    Settings before;
    for (const ExpectedRow& r : kExpectedRows) {
        const SettingId id = kSettingRows[static_cast<std::size_t>(&r - kExpectedRows)].id;
        ASSERT_TRUE(SetSetting(stored, id, StoredValue(r)));
        ASSERT_TRUE(SetSetting(before, id, ValueInMemory(r)));
    }
    for (const SettingRow& gap : kSettingRows) {
        for (const bool mistyped : {false, true}) {
            SCOPED_TRACE(std::string(gap.name) + (mistyped ? ", mistyped" : ", missing"));
            MemorySettingsStore store;
            std::vector<SettingId> others;
            for (const SettingRow& row : kSettingRows)
                if (row.id != gap.id)
                    others.push_back(row.id);
            ASSERT_TRUE(SaveValues(store, stored, others));
            if (mistyped)
                store.Put(gap.name, Mistyped(gap.type));
            Settings s = before;
            LoadSettings(store, s, kNow);

            const ExpectedRow& expected = kExpectedRows[static_cast<std::size_t>(gap.id)];
            const SettingValue value = GetSetting(s, gap.id);
            switch (expected.onMissing) {
            case UseDefault:
                EXPECT_EQ(value, expected.byDefault);
                break;
            case UseNow:
                EXPECT_EQ(value, SettingValue(kNow));
                break;
            case StopLoad:
            case NotLoaded:
                EXPECT_EQ(value, ValueInMemory(expected));
                break;
            }
            // Every other row loads, but after a StopLoad gap the later StopLoad rows keep what
            // memory held.
            bool stopped = false;
            for (std::size_t i = 0; i < kSettingRows.size(); ++i) {
                const SettingRow& row = kSettingRows[i];
                if (row.id == gap.id) {
                    stopped = expected.onMissing == StopLoad;
                    continue;
                }
                SCOPED_TRACE(std::string(row.name));
                const bool kept = (stopped && kExpectedRows[i].onMissing == StopLoad)
                                  || kExpectedRows[i].onMissing == NotLoaded;
                EXPECT_EQ(GetSetting(s, row.id),
                          kept ? ValueInMemory(kExpectedRows[i]) : StoredValue(kExpectedRows[i]));
            }
        }
    }
}
