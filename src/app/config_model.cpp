// The configuration dialog's decisions and the confirmation of its values.
#include "app/config_model.h"

#include "app/name_reminders.h"
#include "app/reminder_schedule.h"
#include "calendar/date_format.h"
#include "calendar/winter_holidays.h"
#include "clock/alarm_clock.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::int32_t kDefaultAlarmLength = 300;
constexpr std::int32_t kShortestAlarm = 5;
constexpr std::int32_t kLongestAlarm = 3600;

template <typename T>
T Get(const Settings& settings, SettingId id)
{
    return std::get<T>(GetSetting(settings, id));
}

// The only two places that know which settings the dialog shows and takes.
void ShowSettings(const Settings& settings, ConfigForm& form)
{
    using enum SettingId;
    form.niedziele = Get<std::uint32_t>(settings, ColSunday);
    form.soboty = Get<std::uint32_t>(settings, ColSaturday);
    form.notatki = Get<std::uint32_t>(settings, ColMarked);
    form.tygodnie = Get<std::uint32_t>(settings, ColWeek);
    form.dzisiaj = Get<std::uint32_t>(settings, ColToday);
    form.przywolanie = Get<bool>(settings, RecallSelectsToday);
    form.alarmLengthText = std::to_string(Get<std::int32_t>(settings, AlarmDuration));
    form.snoozeText = std::to_string(Get<std::int32_t>(settings, SnoozeMinutes));
    form.alarmViaSoundCard = Get<bool>(settings, AlarmViaSoundCard);
    form.latitudeText = FormatCoordinate(Get<double>(settings, Latitude));
    form.longitudeText = FormatCoordinate(Get<double>(settings, Longitude));
    form.correctionText = FormatCorrection(Get<double>(settings, DailyCorrection));
    form.hourSignal = Get<bool>(settings, HourSignalEnabled);
    form.synchronizacja = Get<bool>(settings, SyncEnabled);
    form.imieniny = ParseChosenNames(Get<std::string>(settings, ChosenNames));
    form.noteReminders = Get<bool>(settings, NoteReminders);
    form.reminderAdvanceText = std::to_string(Get<std::int32_t>(settings, ReminderAdvance));
    form.reminderSound = Get<bool>(settings, ReminderSound);
    // A name the list does not hold could not be shown in it, nor chosen again.
    form.voivodeship = Get<std::string>(settings, Voivodeship);
    if (!IsVoivodeship(form.voivodeship))
        form.voivodeship.clear();
}

void TakeForm(const ConfigForm& form, Settings& settings)
{
    using enum SettingId;
    // One colour offered for Sundays and holidays: both take it.
    const std::pair<SettingId, SettingValue> values[] = {
        {ColSunday, form.niedziele},
        {ColHoliday, form.niedziele},
        {ColSaturday, form.soboty},
        {ColMarked, form.notatki},
        {ColWeek, form.tygodnie},
        {ColToday, form.dzisiaj},
        {HourSignalEnabled, form.hourSignal},
        {RecallSelectsToday, form.przywolanie},
        {SyncEnabled, form.synchronizacja},
        {AlarmDuration, AlarmLengthFromText(form.alarmLengthText)},
        {SnoozeMinutes, SnoozeMinutesFromText(form.snoozeText)},
        {ChosenNames, JoinChosenNames(form.imieniny)},
        {NoteReminders, form.noteReminders},
        {ReminderAdvance, ReminderAdvanceFromText(form.reminderAdvanceText)},
        {ReminderSound, form.reminderSound},
        {Voivodeship, form.voivodeship},
        {AlarmViaSoundCard, form.alarmViaSoundCard},
        {Latitude, ParseCoordinate(form.latitudeText, DefaultSettings().Latitude)},
        {Longitude, ParseCoordinate(form.longitudeText, DefaultSettings().Longitude)},
    };
    for (const auto& [id, value] : values)
        SetSetting(settings, id, value);
}

std::string_view TrimLeadingBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return text;
}

// A decimal integer (leading blanks and a sign allowed), else `fallback`; then within lo … hi.
std::int32_t WholeNumberFromText(std::string_view text, std::int32_t fallback, std::int32_t lo, std::int32_t hi)
{
    text = TrimLeadingBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::int32_t value = fallback;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        value = fallback;
    return std::clamp(value, lo, hi);
}

}  // namespace

std::string PurgeQuestion(std::size_t count, TDateTime cutoff, const std::string& backupPath)
{
    // Polish counts: 1 notatkę, 2–4 notatki (but 12–14 notatek), 5 and more notatek.
    const std::size_t ones = count % 10;
    const std::size_t tens = count % 100;
    const char* noun = count == 1                                           ? "notatkę"
                       : ones >= 2 && ones <= 4 && (tens < 12 || tens > 14) ? "notatki"
                                                                            : "notatek";
    return "Usunąć na zawsze " + std::to_string(count) + " " + noun + " sprzed " + FormatDateTime("yyyy.mm.dd", cutoff)
           + "?\n\nPlik notatek sprzed zmiany zostanie zachowany jako:\n" + backupPath;
}

std::int32_t AlarmLengthFromText(std::string_view text)
{
    return WholeNumberFromText(text, kDefaultAlarmLength, kShortestAlarm, kLongestAlarm);
}

std::int32_t SnoozeMinutesFromText(std::string_view text)
{
    return WholeNumberFromText(text, kDefaultSnoozeMinutes, kMinSnoozeMinutes, kMaxSnoozeMinutes);
}

std::int32_t ReminderAdvanceFromText(std::string_view text)
{
    return WholeNumberFromText(text, DefaultSettings().ReminderAdvance, 0, kMaxReminderAdvance);
}

TconfigModel::TconfigModel(const ConfigSources& sources) : m_cities(sources.cities)
{
    ShowSettings(sources.settings, m_form);
    // A first run suggests both: the drift correction needs the start with the system, and
    // most users expect today's page when they call the calendar up.
    if (sources.settings.FirstRun) {
        m_form.autorun = true;
        m_form.przywolanie = true;
    } else {
        m_form.autorun = sources.autoRun;
    }
    m_form.syncTimeText = sources.syncTime;
    m_form.cityItems = m_cities.Names();
    // Coordinates that are a city's show that city, as they did when it was chosen.
    if (const auto city = m_cities.CityAt(sources.settings.Latitude, sources.settings.Longitude))
        m_form.cityIndex = static_cast<int>(*city);
    m_form.nameForms = sources.nameForms;
    m_form.voivodeshipItems.push_back("(nie wybrano)");
    for (const std::string_view name : kVoivodeships)
        m_form.voivodeshipItems.emplace_back(name);
    m_shownCorrection = m_form.correctionText;
}

void TconfigModel::SetVoivodeshipIndex(int index)
{
    const bool named = index >= 1 && index <= static_cast<int>(kVoivodeships.size());
    m_form.voivodeship = named ? std::string(kVoivodeships[static_cast<std::size_t>(index - 1)]) : std::string();
}

int TconfigModel::VoivodeshipIndex() const
{
    const auto found = std::find(kVoivodeships.begin(), kVoivodeships.end(), m_form.voivodeship);
    return found == kVoivodeships.end() ? 0 : static_cast<int>(found - kVoivodeships.begin()) + 1;
}

void TconfigModel::cmiastoChange(int index)
{
    if (index < 0 || index >= static_cast<int>(m_form.cityItems.size())) {
        m_form.cityIndex = -1;
        return;
    }
    m_form.cityIndex = index;
    const auto coordinates = m_cities.Coordinates(m_form.cityItems[static_cast<std::size_t>(index)]);
    if (!coordinates)
        return;
    // Filling the edits is not typing: the city stays chosen.
    m_fillingFromCity = true;
    SetLatitudeText(coordinates->latitude);
    SetLongitudeText(coordinates->longitude);
    m_fillingFromCity = false;
}

void TconfigModel::SetLatitudeText(std::string text)
{
    m_form.latitudeText = std::move(text);
    eszerChange();
}

void TconfigModel::SetLongitudeText(std::string text)
{
    m_form.longitudeText = std::move(text);
    eszerChange();
}

void TconfigModel::eszerChange()
{
    if (!m_fillingFromCity)
        m_form.cityIndex = -1;
}

void TconfigModel::upakowanieClick(bool ticked)
{
    m_form.packNotes = ticked;
    if (!ticked)
        m_form.purgeBefore = 0;
}

void TconfigModel::datyodChange(TDateTime date)
{
    m_form.purgeBefore = date;
    if (date != 0)
        m_form.packNotes = true;
}

void TconfigModel::CalibrationAssigned(double secondsPerDay)
{
    m_form.correctionText = FormatCorrection(secondsPerDay);
}

bool TconfigModel::NeedsAutostartQuestion() const
{
    return !m_form.autorun && ParseCoordinate(m_form.correctionText, 0) != 0;
}

const char* TconfigModel::AutostartQuestion()
{
    return "Określono korektę czasu.\n"
           "Korekta jest dokonywana tylko w przypadku, gdy od uruchomienia komputera upłynęło nie więcej niż 15 "
           "minut.\n"
           "Zaleca się załączenie opcji autostartu.\n"
           "Uaktywnić autostart ?";
}

const char* TconfigModel::RemoveEntriesQuestion()
{
    return "Opcja usuwa wszystkie wpisy w rejestrach dokonanych przez program i kończy go.\n"
           "Po tej operacji można usunąć program z dysku lub zmienić jego lokalizację i ponownie uruchomić.\n"
           "Kontynuować ?";
}

bool TconfigModel::Apply(Settings& settings, SettingsStore& store, TDateTime now, const ConfigActions& actions) const
{
    const auto call = [](const auto& action, auto... arguments) {
        if (action)
            action(arguments...);
    };
    if (m_form.purgeBefore > 0 || m_form.packNotes)
        call(actions.purgeAndPackNotes, std::max(m_form.purgeBefore, 0.0));
    TakeForm(m_form, settings);
    call(actions.applyGridColours);
    call(actions.setRecallSelectsToday, m_form.przywolanie);
    call(actions.setAutoRun, m_form.autorun);
    call(actions.applyVoivodeship);

    // The text as it was shown always reads back as the stored value, even where six decimals do
    // not hold it exactly, so confirming without touching it never restarts the bookkeeping.
    const double correction = ParseCoordinate(m_form.correctionText, 0);
    bool saved = true;
    if (m_form.correctionText != m_shownCorrection && correction != Get<double>(settings, SettingId::DailyCorrection)) {
        SetSetting(settings, SettingId::DailyCorrection, correction);
        saved = SaveCorrectionState(store, settings, true, now);
    }
    saved = SaveSettings(store, settings) && saved;
    call(actions.refreshSunMoon);
    call(actions.refreshDayNames);
    return saved;
}
