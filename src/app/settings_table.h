// Every stored setting, declared once: its member of Settings and its SettingId, its type, its
// stored name, its default, what loading does when it is missing, whether the configuration
// dialog saves it, and which stored values it accepts. The values in memory, loading, saving and
// the configuration dialog all go through these rows.
#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

#include "calendar/winter_holidays.h"
#include "clock/alarm_clock.h"

// A colour as the store keeps it: red in the lowest byte, then green, then blue, top byte 0.
constexpr std::uint32_t RgbColour(int r, int g, int b)
{
    return static_cast<std::uint32_t>(r) | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(b) << 16;
}

// What loading does when a value is missing or of the wrong type.
enum class OnMissing
{
    UseDefault,  // takes the row's default
    UseNow,      // takes the moment of loading (a Float row)
    StopLoad,    // keeps the value in memory, and so do the StopLoad rows after it; other rows still load
    NotLoaded,   // never read by LoadSettings
};

// The numbers a row accepts from the store, both ends included; a value outside reads as missing,
// so a damaged or hand-made key cannot put the sun at latitude 200 or make an alarm of no time.
// A text row may name the texts it accepts in the same way: any other reads as missing.
struct ValueRange
{
    double lo;
    double hi;
    bool (*texts)(std::string_view) = nullptr;  // null: any text
    constexpr bool Holds(double value) const { return lo <= value && value <= hi; }
    bool HoldsText(std::string_view text) const { return texts == nullptr || texts(text); }
};
constexpr ValueRange In(double lo, double hi)
{
    return {lo, hi};
}
// Texts, flags and colours, and sums of any size.
inline constexpr ValueRange Any{-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
// A moment as days since 1899-12-30, up to the end of year 9999; 0 also stands for "none".
inline constexpr ValueRange kDays = In(0, 2958466);
// A voivodeship's official name; a mistyped or outdated one reads as none chosen.
inline constexpr ValueRange kVoivodeshipName{Any.lo, Any.hi, &IsVoivodeship};
// What the alarm's own controls allow.
inline constexpr ValueRange kAlarmSeconds = In(kMinAlarmDuration, kMaxAlarmDuration);
inline constexpr ValueRange kSnoozeMinutes = In(kMinSnoozeMinutes, kMaxSnoozeMinutes);
// A clock's drift or correction: more than a day per day means nothing.
inline constexpr ValueRange kSecondsPerDay = In(-86400, 86400);

// Who saves a value besides the operation that changes it: the configuration dialog's OK saves
// every Dialog row, in table order.
enum class SavedBy
{
    Own,     // only its own operation (the alarm at the end, the correction, the calibration...)
    Dialog,  // also the configuration dialog's OK
};

// The table. To add a stored value, add one SETTING line: the member and id name, its C++ type,
// the stored name (UTF-8), the default, what a load does when it is missing, and SavedBy. The
// type decides the stored form: std::string a string, std::int32_t a 32-bit number, bool a 0/1
// number, double an 8-byte float (TDateTime too), std::uint32_t a colour in RgbColour's form.
// Rows load in this order, and a missing StopLoad row ends the load of the StopLoad rows: those
// after it are not read from a key that lacks it, while rows of the other kinds still are. Then
// give the value its expected default and rule in the table test (tests/app/settings_test.cpp);
// a Dialog value also needs its control, its ConfigForm field and its line in ShowSettings and
// TakeForm (app/config_model.cpp).
// clang-format off
#define DNIARZ_SETTINGS(SETTING) \
    SETTING(AlarmText,          std::string,   "Godzina alarmu",              "",                   UseDefault, Own,    Any           ) /* "hh:nn" */ \
    SETTING(AlarmDuration,      std::int32_t,  "Czas alarmu",                 300,                  UseDefault, Dialog, kAlarmSeconds ) /* seconds */ \
    SETTING(AlarmViaSoundCard,  bool,          "Alarm przez kartę",           false,                UseDefault, Dialog, Any           ) \
    SETTING(Latitude,           double,        "Szerokość geograficzna",      52.0,                 UseDefault, Dialog, In(-90, 90)   ) /* degrees, north positive */ \
    SETTING(Longitude,          double,        "Długość geograficzna",        21.0,                 UseDefault, Dialog, In(-180, 180) ) /* degrees, east positive */ \
    SETTING(HourSignalEnabled,  bool,          "Sygnalizacja pełnej godziny", false,                UseDefault, Dialog, Any           ) \
    SETTING(AlarmOn,            bool,          "Załączony alarm",             false,                UseDefault, Own,    Any           ) /* the alarm button at the last end */ \
    SETTING(SyncEnabled,        bool,          "Synchronizacja",              false,                UseDefault, Dialog, Any           ) \
    SETTING(DailyCorrection,    double,        "Korekta czasu",               0.0,                  UseDefault, Dialog, kSecondsPerDay) /* seconds per 24 hours */ \
    /* Without a record of the last correction, the bookkeeping starts now rather than owing a */ \
    /* correction for every day since 1899. */ \
    SETTING(LastCorrection,     TDateTime,     "Ostatnia korekta",            0.0,                  UseNow,     Own, kDays         )    \
    SETTING(PendingCorrection,  double,        "Pozostało do korekty",        0.0,                  UseDefault, Own,    kSecondsPerDay) /* seconds */ \
    SETTING(TotalCorrection,    double,        "Korekta łącznie",             0.0,                  UseDefault, Own,    Any           ) /* seconds */ \
    SETTING(CalibrationStart,   TDateTime,     "Kalibracja start",            0.0,                  UseDefault, Own,    kDays         ) /* 0 = none */ \
    SETTING(CalibrationStop,    TDateTime,     "Kalibracja stop",             0.0,                  UseDefault, Own,    kDays         ) /* 0 = not ended */ \
    SETTING(LastCalibration,    double,        "Ostatnia kalibracja",         0.0,                  UseDefault, Own,    kSecondsPerDay) /* seconds per 24 hours */ \
    /* The colours and the recall flag are never replaced by defaults when loading: a key written */ \
    /* before they existed keeps the grid's look in memory, and the first gap ends their load. */ \
    SETTING(ColSunday,          std::uint32_t, "ColSunday",                   RgbColour(255, 0, 0), StopLoad,   Dialog, Any           ) \
    SETTING(ColSaturday,        std::uint32_t, "ColSaturday",                 RgbColour(0, 0, 255), StopLoad,   Dialog, Any           ) \
    SETTING(ColMarked,          std::uint32_t, "ColMarked",                   RgbColour(255, 0, 255), StopLoad, Dialog, Any           ) \
    SETTING(ColWeek,            std::uint32_t, "ColWeek",                     RgbColour(128, 0, 0), StopLoad,   Dialog, Any           ) \
    SETTING(ColToday,           std::uint32_t, "ColToday",                    RgbColour(0, 255, 255), StopLoad, Dialog, Any           ) \
    SETTING(RecallSelectsToday, bool,          "Przywołanie",                 false,                StopLoad,   Dialog, Any           ) \
    SETTING(SyncTime,           std::string,   "Czas synchronizacji",         "",                   NotLoaded,  Own, Any           )    /* "yyyy.mm.dd   hh:nn:ss", local */ \
    /* Values of this version on: the previous one leaves them alone. The dialog writes them with */ \
    /* the colours above; a key made by hand may hold them without, and they load all the same. */ \
    /* Holidays in the colour the dialog offers for Sundays and holidays; a key from before keeps them red. */ \
    SETTING(ColHoliday,         std::uint32_t, "ColHoliday",                  RgbColour(255, 0, 0), UseDefault, Dialog, Any           ) \
    SETTING(SnoozeMinutes,      std::int32_t,  "Czas drzemki",                5,                    UseDefault, Dialog, kSnoozeMinutes) \
    SETTING(ChosenNames,        std::string,   "Imieniny bliskich",           "",                   UseDefault, Dialog, Any           ) /* the table's name forms, ";" between */ \
    /* The day the name-day reminder was last shown, so that a restart does not repeat it. */ \
    SETTING(NameReminderDay,    std::string,   "Przypomniane imieniny",       "",                   UseDefault, Own,    Any           ) /* "yyyy.mm.dd" */ \
    /* Lines of notes that begin with a time remind: whether, how many minutes ahead, with a sound. */ \
    SETTING(NoteReminders,      bool,          "Przypomnienia z notatek",     true,                 UseDefault, Dialog, Any           ) \
    SETTING(ReminderAdvance,    std::int32_t,  "Wyprzedzenie przypomnień",    15,                   UseDefault, Dialog, In(0, 1440)   ) /* minutes */ \
    SETTING(ReminderSound,      bool,          "Dźwięk przypomnień",          true,                 UseDefault, Dialog, Any           ) \
    /* What the reminders have shown, so that neither a restart nor a clock gone back repeats it. */ \
    SETTING(ShownReminders,     std::string,   "Pokazane przypomnienia",      "",                   UseDefault, Own,    Any           ) /* ReminderMemory's stored form */ \
    /* The voivodeship whose winter holidays the calendar shows; empty: none, and no school breaks shown. */ \
    SETTING(Voivodeship,        std::string,   "Województwo",                 "",                   UseDefault, Dialog, kVoivodeshipName) /* kVoivodeships' form */
// clang-format on
