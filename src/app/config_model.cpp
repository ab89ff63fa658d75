// The configuration dialog's decisions and the confirmation of its values.
#include "app/config_model.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::int32_t kDefaultAlarmLength = 300;
constexpr std::int32_t kShortestAlarm = 5;
constexpr std::int32_t kLongestAlarm = 3600;

// The only two places that know how the dialog's values are kept among the settings.
void ShowSettings(const Settings& settings, ConfigForm& form)
{
    form.niedziele = settings.ColSunday;
    form.soboty = settings.ColSaturday;
    form.notatki = settings.ColMarked;
    form.tygodnie = settings.ColWeek;
    form.dzisiaj = settings.ColToday;
    form.przywolanie = settings.RecallSelectsToday;
    form.eczas = std::to_string(settings.AlarmDuration);
    form.ckarta = settings.AlarmViaSoundCard;
    form.eszer = FormatCoordinate(settings.Latitude);
    form.edl = FormatCoordinate(settings.Longitude);
    form.ekorekta = FormatCorrection(settings.DailyCorrection);
    form.pelna = settings.HourSignalEnabled;
    form.synchronizacja = settings.SyncEnabled;
}

void TakeForm(const ConfigForm& form, Settings& settings)
{
    // The holiday colour is not stored: the grid gives holidays the Sunday colour.
    settings.ColSunday = form.niedziele;
    settings.ColSaturday = form.soboty;
    settings.ColMarked = form.notatki;
    settings.ColWeek = form.tygodnie;
    settings.ColToday = form.dzisiaj;
    settings.HourSignalEnabled = form.pelna;
    settings.RecallSelectsToday = form.przywolanie;
    settings.SyncEnabled = form.synchronizacja;
    settings.AlarmDuration = AlarmLengthFromText(form.eczas);
    settings.AlarmViaSoundCard = form.ckarta;
    settings.Latitude = ParseCoordinate(form.eszer, kDefaultLatitude);
    settings.Longitude = ParseCoordinate(form.edl, kDefaultLongitude);
}

std::string_view TrimLeadingBlanks(std::string_view text)
{
    while (!text.empty() && text.front() == ' ')
        text.remove_prefix(1);
    return text;
}

} // namespace

std::int32_t AlarmLengthFromText(std::string_view text)
{
    text = TrimLeadingBlanks(text);
    if (!text.empty() && text.front() == '+')
        text.remove_prefix(1);
    std::int32_t value = kDefaultAlarmLength;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || error != std::errc() || end != text.data() + text.size())
        value = kDefaultAlarmLength;
    return std::clamp(value, kShortestAlarm, kLongestAlarm);
}

std::string FormatCorrection(double secondsPerDay)
{
    return FormatFixed(secondsPerDay, 8);
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
    m_form.tsynch = sources.syncTime;
    m_form.cmiastoItems = m_cities.Names();
    m_shownCorrection = m_form.ekorekta;
}

void TconfigModel::cmiastoChange(int index)
{
    if (index < 0 || index >= static_cast<int>(m_form.cmiastoItems.size())) {
        m_form.cmiasto = -1;
        return;
    }
    m_form.cmiasto = index;
    const auto coordinates = m_cities.Coordinates(m_form.cmiastoItems[static_cast<std::size_t>(index)]);
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
    m_form.eszer = std::move(text);
    eszerChange();
}

void TconfigModel::SetLongitudeText(std::string text)
{
    m_form.edl = std::move(text);
    eszerChange();
}

void TconfigModel::eszerChange()
{
    if (!m_fillingFromCity)
        m_form.cmiasto = -1;
}

void TconfigModel::upakowanieClick(bool ticked)
{
    m_form.upakowanie = ticked;
    if (!ticked)
        m_form.datyod = 0;
}

void TconfigModel::datyodChange(TDateTime date)
{
    m_form.datyod = date;
    if (date != 0)
        m_form.upakowanie = true;
}

void TconfigModel::CalibrationAssigned(double secondsPerDay)
{
    m_form.ekorekta = FormatCorrection(secondsPerDay);
}

bool TconfigModel::NeedsAutostartQuestion() const
{
    return !m_form.autorun && ParseCoordinate(m_form.ekorekta, 0) != 0;
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

void TconfigModel::Apply(Settings& settings, SettingsStore& store, TDateTime now, const ConfigActions& actions) const
{
    const auto call = [](const auto& action, auto... arguments) {
        if (action)
            action(arguments...);
    };
    if (m_form.datyod > 0 || m_form.upakowanie)
        call(actions.purgeAndPackNotes, std::max(m_form.datyod, 0.0));
    TakeForm(m_form, settings);
    call(actions.applyGridColours);
    call(actions.setRecallSelectsToday, m_form.przywolanie);
    call(actions.setAutoRun, m_form.autorun);

    // The text as it was shown always reads back as the stored value, even where six decimals do
    // not hold it exactly, so confirming without touching it never restarts the bookkeeping.
    const double correction = ParseCoordinate(m_form.ekorekta, 0);
    if (m_form.ekorekta != m_shownCorrection && correction != settings.DailyCorrection) {
        settings.DailyCorrection = correction;
        // A failed write keeps the values in memory for this run; nothing more can be done.
        (void)SaveCorrectionState(store, settings, true, now);
    }
    (void)SaveSettings(store, settings);
    call(actions.refreshSunMoon);
}
