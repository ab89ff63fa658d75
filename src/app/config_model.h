// Tconfig's logic without widgets: what the configuration dialog shows, how its controls depend on
// each other, and what confirming it changes, in the order the program relies on.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/settings.h"
#include "astro/places.h"
#include "calendar/datetime.h"
#include "clock/drift.h"

class SettingsStore;

// One field per control, holding what the control holds.
struct ConfigForm
{
    // Font colours of the four labels and the background of "Dnia dzisiejszego", in the store's
    // form (red in the lowest byte).
    std::uint32_t niedziele = 0;
    std::uint32_t soboty = 0;
    std::uint32_t notatki = 0;
    std::uint32_t tygodnie = 0;
    std::uint32_t dzisiaj = 0;
    bool synchronizacja = false;
    std::string syncTimeText;             // "Ostatnia synchronizacja czasu:"
    std::string correctionText = "0";     // seconds per 24 hours
    std::string alarmLengthText = "300";  // alarm length in seconds
    std::string snoozeText = "5";         // snooze in minutes
    bool alarmViaSoundCard = false;
    std::string latitudeText;   // latitude
    std::string longitudeText;  // longitude
    std::vector<std::string> cityItems;
    int cityIndex = -1;  // the chosen city, -1 for none
    bool hourSignal = false;
    bool packNotes = false;
    TDateTime purgeBefore = 0;  // notes dated before it are removed; 0 for none
    bool przywolanie = false;
    bool autorun = false;
    std::vector<std::string> imieniny;       // "Imieniny bliskich": the chosen name forms
    std::vector<std::string> nameForms;      // every form of the table, to choose from
    bool noteReminders = true;               // "Przypomnienia z notatek"
    std::string reminderAdvanceText = "15";  // "Przypominaj … minut wcześniej"
    bool reminderSound = true;               // "Dźwięk przypomnień"
    // "Województwo": one of kVoivodeships, or empty for none; the list offers none first.
    std::string voivodeship;
    std::vector<std::string> voivodeshipItems;
};

// What the dialog needs from the rest of the program when it opens.
struct ConfigSources
{
    const Settings& settings;
    bool autoRun = false;  // whether the start-with-the-system entry exists
    std::string syncTime;  // the stored "Czas synchronizacji", empty when there is none
    const CityTable& cities;
    std::vector<std::string> nameForms = {};  // AllNameForms of the name-day table
};

// The question before a pack drops notes for good: "Usunąć na zawsze 3 notatki sprzed
// 2020.01.01?", with the name of the copy kept of the journal as it was.
std::string PurgeQuestion(std::size_t count, TDateTime cutoff, const std::string& backupPath);

// What confirming the dialog asks of the window, beside the settings it changes itself. Called in
// this order, between the changes of the settings they depend on; an empty one is skipped.
struct ConfigActions
{
    // Rewrites the notes file without the notes dated before the cutoff (0: keep every date).
    // Shows its own message when that fails; the other steps still run.
    std::function<void(TDateTime cutoff)> purgeAndPackNotes;
    // The main grid takes the new colours from the settings, then the small grids copy them.
    std::function<void()> applyGridColours;
    std::function<void(bool)> setRecallSelectsToday;
    // Creates or removes the start-with-the-system entry; nothing happens when it is unchanged.
    std::function<void(bool)> setAutoRun;
    std::function<void()> refreshSunMoon;
    // The school breaks of the voivodeship now in the settings go to the grids and the day panel.
    std::function<void()> applyVoivodeship;
    // The day panel shows the chosen names of the day anew, in bold.
    std::function<void()> refreshDayNames;
};

class TconfigModel
{
public:
    // The dialog as it opens: the settings, the autostart state (both boxes ticked on a first run),
    // the last synchronisation and the cities in the table's order.
    explicit TconfigModel(const ConfigSources& sources);

    const ConfigForm& Form() const { return m_form; }

    // Handlers of the controls. The colour labels take what the colour chooser returned.
    void SetColour(std::uint32_t ConfigForm::*label, std::uint32_t colour) { m_form.*label = colour; }
    void synchronizacjaClick(bool ticked) { m_form.synchronizacja = ticked; }
    // The enabling rule of the correction edit and of "Oblicz korektę".
    bool CorrectionEnabled() const { return !m_form.synchronizacja; }
    void SetCorrectionText(std::string text) { m_form.correctionText = std::move(text); }
    void SetAlarmLengthText(std::string text) { m_form.alarmLengthText = std::move(text); }
    void SetSnoozeText(std::string text) { m_form.snoozeText = std::move(text); }
    void SetSoundCard(bool ticked) { m_form.alarmViaSoundCard = ticked; }
    // A city chosen from the list fills both coordinates and stays chosen; -1 chooses none.
    void cmiastoChange(int index);
    // The coordinates typed by hand; they no longer come from a city.
    void SetLatitudeText(std::string text);
    void SetLongitudeText(std::string text);
    void SetHourSignal(bool ticked) { m_form.hourSignal = ticked; }
    // Unticking the pack also drops its date.
    void upakowanieClick(bool ticked);
    // Choosing a date also ticks the pack.
    void datyodChange(TDateTime date);
    void SetRecall(bool ticked) { m_form.przywolanie = ticked; }
    void SetAutorun(bool ticked) { m_form.autorun = ticked; }
    void SetChosenNames(std::vector<std::string> names) { m_form.imieniny = std::move(names); }
    void SetNoteReminders(bool ticked) { m_form.noteReminders = ticked; }
    void SetReminderAdvanceText(std::string text) { m_form.reminderAdvanceText = std::move(text); }
    void SetReminderSound(bool ticked) { m_form.reminderSound = ticked; }
    // The voivodeship chosen from the list: index 0 is none, 1 … 16 kVoivodeships in order; any
    // other index chooses none.
    void SetVoivodeshipIndex(int index);
    int VoivodeshipIndex() const;
    // "Przypisz korektę" of the calibration dialog: its result becomes the correction text.
    void CalibrationAssigned(double secondsPerDay);

    // OK asks whether to start with the system when a correction is set without it: the drift
    // correction only works soon after the computer starts.
    bool NeedsAutostartQuestion() const;
    static const char* AutostartQuestion();
    // "Usuń wpisy" asks before it removes everything.
    static const char* RemoveEntriesQuestion();

    // Confirming the dialog: takes every value into `settings`, asks `actions` for the rest, and
    // saves, in the order the program relies on (a changed correction restarts the drift
    // bookkeeping from `now`, local time; an unchanged one leaves it alone). False when a value
    // could not be written: it then holds in memory until the program ends.
    [[nodiscard]] bool Apply(Settings& settings, SettingsStore& store, TDateTime now,
                             const ConfigActions& actions) const;

private:
    void eszerChange();

    ConfigForm m_form;
    const CityTable& m_cities;
    std::string m_shownCorrection;  // the correction text as the dialog opened
    bool m_fillingFromCity = false;
};

// The alarm length typed in the dialog: a decimal integer (leading blanks and a sign allowed),
// else 300; then within 5 … 3600 seconds.
std::int32_t AlarmLengthFromText(std::string_view text);
// The snooze typed in the dialog, read the same way, else 5; then within 1 … 60 minutes.
std::int32_t SnoozeMinutesFromText(std::string_view text);
// "Przypominaj … minut wcześniej": the minutes 0 … 1440; text without a number gives 15.
std::int32_t ReminderAdvanceFromText(std::string_view text);
