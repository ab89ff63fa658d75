// The configuration dialog's logic: filling, the coupled controls and the confirmation.
#include "app/config_model.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "platform/fake/memory_settings_store.h"

namespace {

const TDateTime kNow = 45000.75;  // 2023-03-15 18:00

// The names the dialog saves, as the settings table marks them.
std::vector<std::string> DialogRowNames()
{
    std::vector<std::string> names;
    for (const SettingRow& row : kSettingRows)
        if (row.savedBy == SavedBy::Dialog)
            names.emplace_back(row.name);
    return names;
}

class ConfigModelTest : public ::testing::Test
{
protected:
    ConfigModelTest() { m_cities.Load(); }

    TconfigModel Open(bool autoRun = false, std::string syncTime = {})
    {
        return TconfigModel(ConfigSources{m_settings, autoRun, std::move(syncTime), m_cities});
    }

    // Records what confirming asked of the window, in order.
    ConfigActions Recorder()
    {
        ConfigActions actions;
        actions.purgeAndPackNotes = [this](TDateTime cutoff) {
            m_calls.push_back("pack " + std::to_string(static_cast<int>(cutoff)));
        };
        actions.applyGridColours = [this] { m_calls.push_back("colours"); };
        actions.setRecallSelectsToday = [this](bool on) { m_calls.push_back(on ? "recall on" : "recall off"); };
        actions.setAutoRun = [this](bool on) { m_calls.push_back(on ? "autorun on" : "autorun off"); };
        actions.applyVoivodeship = [this] { m_calls.push_back("voivodeship " + m_settings.Voivodeship); };
        actions.refreshSunMoon = [this] { m_calls.push_back("sun"); };
        return actions;
    }

    bool Confirm(const TconfigModel& model) { return model.Apply(m_settings, m_store, kNow, Recorder()); }

    int CityIndex(const TconfigModel& model, const std::string& name) const
    {
        const auto& items = model.Form().cityItems;
        return static_cast<int>(std::find(items.begin(), items.end(), name) - items.begin());
    }

    Settings m_settings;
    CityTable m_cities;
    MemorySettingsStore m_store;
    std::vector<std::string> m_calls;
};

TEST_F(ConfigModelTest, OpensWithTheSettingsInTheirTextForms)
{
    m_settings.AlarmDuration = 45;
    m_settings.Latitude = 50.061021;
    m_settings.Longitude = -5.5;
    m_settings.DailyCorrection = 1.5;
    m_settings.ColToday = RgbColour(1, 2, 3);
    m_settings.SyncEnabled = true;
    m_settings.RecallSelectsToday = true;
    const TconfigModel model = Open(false, "2024.06.21   10:00:00");
    const ConfigForm& form = model.Form();
    EXPECT_EQ(form.alarmLengthText, "45");
    EXPECT_EQ(form.latitudeText, "50.061021");
    EXPECT_EQ(form.longitudeText, "-5.500000");
    EXPECT_EQ(form.correctionText, "1.500000");
    EXPECT_EQ(form.dzisiaj, RgbColour(1, 2, 3));
    EXPECT_EQ(form.syncTimeText, "2024.06.21   10:00:00");
    EXPECT_TRUE(form.przywolanie);
    EXPECT_FALSE(form.autorun);
    EXPECT_FALSE(model.CorrectionEnabled());
    EXPECT_EQ(form.cityIndex, -1);
    // The cities in the table's own order.
    ASSERT_EQ(form.cityItems.size(), 15u);
    EXPECT_EQ(form.cityItems.front(), "Białystok");
    EXPECT_EQ(form.cityItems.back(), "Zielona Góra");
}

TEST_F(ConfigModelTest, FirstRunTicksAutostartAndRecallWhateverIsStored)
{
    m_settings.FirstRun = true;
    m_settings.RecallSelectsToday = false;
    const TconfigModel model = Open(false);
    EXPECT_TRUE(model.Form().autorun);
    EXPECT_TRUE(model.Form().przywolanie);

    m_settings.FirstRun = false;
    EXPECT_TRUE(Open(true).Form().autorun);
    EXPECT_FALSE(Open(false).Form().przywolanie);
}

TEST_F(ConfigModelTest, AlarmLengthFallsBackAndStaysInItsRange)
{
    const struct
    {
        const char* text;
        int seconds;
    } rows[] = {{"abc", 300},   {"2", 5},       {"99999", 3600}, {"", 300},           {"60", 60},
                {"  120", 120}, {"-20", 5},     {"12a", 300},    {"1.5", 300},        {"5", 5},
                {"3600", 3600}, {"3601", 3600}, {"+90", 90},     {"99999999999", 300}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(AlarmLengthFromText(row.text), row.seconds);
    }
}

TEST_F(ConfigModelTest, ConfirmingTakesTheTypedValuesWithTheirDefaults)
{
    TconfigModel model = Open();
    model.SetAlarmLengthText("abc");
    model.SetLatitudeText("50,5");
    model.SetLongitudeText(" 19.5");
    model.SetSoundCard(true);
    model.SetHourSignal(true);
    model.synchronizacjaClick(true);
    model.SetColour(&ConfigForm::niedziele, RgbColour(0, 128, 0));
    Confirm(model);
    EXPECT_EQ(m_settings.AlarmDuration, 300);
    EXPECT_EQ(m_settings.Latitude, 52.0) << "a comma makes the whole text invalid";
    EXPECT_EQ(m_settings.Longitude, 19.5);
    EXPECT_TRUE(m_settings.AlarmViaSoundCard);
    EXPECT_TRUE(m_settings.HourSignalEnabled);
    EXPECT_TRUE(m_settings.SyncEnabled);
    EXPECT_EQ(m_settings.ColSunday, RgbColour(0, 128, 0));
    EXPECT_EQ(m_settings.ColHoliday, RgbColour(0, 128, 0));

    m_store.ClearLog();
    model.SetAlarmLengthText("2");
    Confirm(model);
    EXPECT_EQ(m_settings.AlarmDuration, 5);
    // The values of the dialog, and nothing of the correction bookkeeping.
    EXPECT_EQ(m_store.WrittenNames(), DialogRowNames());
}

TEST_F(ConfigModelTest, ReminderSettingsRoundTripAndTheAdvanceStaysWithinADay)
{
    m_settings.ReminderAdvance = 30;
    m_settings.ReminderSound = false;
    TconfigModel model = Open();
    EXPECT_TRUE(model.Form().noteReminders);
    EXPECT_EQ(model.Form().reminderAdvanceText, "30");
    EXPECT_FALSE(model.Form().reminderSound);

    const struct
    {
        const char* text;
        int minutes;
    } rows[] = {{"0", 0}, {"1440", 1440}, {"1441", 1440}, {"-5", 0}, {"", 15}, {"kwadrans", 15}, {" 60", 60}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        model.SetReminderAdvanceText(row.text);
        model.SetNoteReminders(false);
        model.SetReminderSound(true);
        Confirm(model);
        EXPECT_EQ(m_settings.ReminderAdvance, row.minutes);
        EXPECT_FALSE(m_settings.NoteReminders);
        EXPECT_TRUE(m_settings.ReminderSound);
    }
}

TEST_F(ConfigModelTest, ConfirmingRunsTheWindowsStepsInOrder)
{
    TconfigModel model = Open(false);
    model.SetRecall(true);
    model.SetAutorun(true);
    Confirm(model);
    EXPECT_EQ(m_calls, (std::vector<std::string>{"colours", "recall on", "autorun on", "voivodeship ", "sun"}));

    m_calls.clear();
    model.datyodChange(45000);
    Confirm(model);
    EXPECT_EQ(m_calls.front(), "pack 45000");

    m_calls.clear();
    model.datyodChange(0);
    ASSERT_TRUE(model.Form().packNotes);
    Confirm(model);
    EXPECT_EQ(m_calls.front(), "pack 0") << "a pack without a date keeps every date";
}

TEST_F(ConfigModelTest, ACityFillsBothEditsAndTypingLetsItGo)
{
    TconfigModel model = Open();
    const int krakow = CityIndex(model, "Kraków");
    model.cmiastoChange(krakow);
    EXPECT_EQ(model.Form().latitudeText, "50.061021");
    EXPECT_EQ(model.Form().longitudeText, "19.934429");
    EXPECT_EQ(model.Form().cityIndex, krakow) << "filling the edits must not clear the city";

    model.SetLongitudeText("19.9344291");
    EXPECT_EQ(model.Form().cityIndex, -1);
    model.cmiastoChange(CityIndex(model, "Gdańsk"));
    model.SetLatitudeText("54.3853661");
    EXPECT_EQ(model.Form().cityIndex, -1);
    EXPECT_EQ(model.Form().longitudeText, "18.605816");

    Confirm(model);
    EXPECT_DOUBLE_EQ(m_settings.Latitude, 54.3853661);
    EXPECT_DOUBLE_EQ(m_settings.Longitude, 18.605816);
}

TEST_F(ConfigModelTest, PackDateAndPackBoxAreCoupledBothWays)
{
    TconfigModel model = Open();
    model.datyodChange(45000);
    EXPECT_TRUE(model.Form().packNotes);
    EXPECT_EQ(model.Form().purgeBefore, 45000);
    model.upakowanieClick(false);
    EXPECT_EQ(model.Form().purgeBefore, 0);
    model.upakowanieClick(true);
    EXPECT_EQ(model.Form().purgeBefore, 0) << "ticking alone chooses no date";
    model.upakowanieClick(false);
    Confirm(model);
    EXPECT_TRUE(
        std::none_of(m_calls.begin(), m_calls.end(), [](const std::string& c) { return c.starts_with("pack"); }));
}

TEST_F(ConfigModelTest, EnablingRuleFollowsTheSyncBox)
{
    TconfigModel model = Open();
    EXPECT_TRUE(model.CorrectionEnabled());
    model.synchronizacjaClick(true);
    EXPECT_FALSE(model.CorrectionEnabled());
    model.synchronizacjaClick(false);
    EXPECT_TRUE(model.CorrectionEnabled());
}

TEST_F(ConfigModelTest, AnUnchangedCorrectionLeavesTheBookkeepingAlone)
{
    m_settings.DailyCorrection = 1.23456789;  // more decimals than the dialog shows
    m_settings.LastCorrection = 44000;
    m_settings.PendingCorrection = 3.25;
    m_settings.TotalCorrection = 12.5;
    Confirm(Open());
    EXPECT_EQ(m_settings.DailyCorrection, 1.23456789);
    EXPECT_EQ(m_settings.LastCorrection, 44000);
    EXPECT_EQ(m_settings.PendingCorrection, 3.25);
    EXPECT_EQ(m_settings.TotalCorrection, 12.5);

    // Typed again with the same value: still no change.
    m_settings.DailyCorrection = 0;
    TconfigModel same = Open();
    same.SetCorrectionText("0");
    Confirm(same);
    EXPECT_EQ(m_settings.LastCorrection, 44000);
}

TEST_F(ConfigModelTest, ANewCorrectionRestartsTheBookkeepingFromNow)
{
    m_settings.LastCorrection = 44000;
    m_settings.PendingCorrection = 3.25;
    m_settings.TotalCorrection = 12.5;
    TconfigModel model = Open();
    ASSERT_EQ(model.Form().correctionText, "0.000000");
    model.SetCorrectionText("1.5");
    Confirm(model);
    EXPECT_EQ(m_settings.DailyCorrection, 1.5);
    EXPECT_EQ(m_settings.LastCorrection, kNow);
    EXPECT_EQ(m_settings.PendingCorrection, 0);
    EXPECT_EQ(m_settings.TotalCorrection, 0);
    const auto& written = m_store.WrittenNames();
    ASSERT_GE(written.size(), 3u);
    EXPECT_EQ(written[0], "Ostatnia korekta");
    EXPECT_EQ(written[2], "Korekta łącznie");
    EXPECT_EQ(written.back(), DialogRowNames().back());
}

TEST_F(ConfigModelTest, ConfirmingSaysWhetherEverythingWasWritten)
{
    TconfigModel model = Open();
    model.SetHourSignal(true);
    EXPECT_TRUE(Confirm(model));
    m_store.SetFailWrites(true);
    model.SetCorrectionText("2.5");
    EXPECT_FALSE(Confirm(model));
    EXPECT_TRUE(m_settings.HourSignalEnabled);  // held in memory for this run
    EXPECT_EQ(m_settings.DailyCorrection, 2.5);
}

TEST_F(ConfigModelTest, AutostartQuestionOnlyForACorrectionWithoutAutostart)
{
    TconfigModel model = Open(false);
    EXPECT_FALSE(model.NeedsAutostartQuestion());
    model.SetCorrectionText("1.5");
    EXPECT_TRUE(model.NeedsAutostartQuestion());
    model.SetAutorun(true);
    EXPECT_FALSE(model.NeedsAutostartQuestion());
    model.SetAutorun(false);
    model.SetCorrectionText("1,5");
    EXPECT_FALSE(model.NeedsAutostartQuestion()) << "an unreadable correction counts as none";
}

TEST_F(ConfigModelTest, CalibrationResultBecomesTheCorrectionText)
{
    TconfigModel model = Open();
    model.CalibrationAssigned(2.25);
    EXPECT_EQ(model.Form().correctionText, "2.250000");
    model.CalibrationAssigned(-12.5);
    EXPECT_EQ(model.Form().correctionText, "-12.500000");
    EXPECT_EQ(FormatCorrection(0.5), "0.500000");
    EXPECT_EQ(FormatCorrection(-0.5), "-0.500000");
}

}  // namespace

TEST_F(ConfigModelTest, TheSnoozeIsWholeMinutesFromOneToAnHour)
{
    TconfigModel model = Open();
    EXPECT_EQ(model.Form().snoozeText, "5");
    for (const auto& [text, minutes] : std::vector<std::pair<std::string, int>>{
             {"12", 12}, {" +7", 7}, {"0", 1}, {"61", 60}, {"abc", 5}, {"", 5}, {"3,5", 5}}) {
        SCOPED_TRACE(text);
        model.SetSnoozeText(text);
        Confirm(model);
        EXPECT_EQ(m_settings.SnoozeMinutes, minutes);
    }
}

TEST_F(ConfigModelTest, ChosenNamesGoThroughTheDialogAsTheTableWritesThem)
{
    m_settings.ChosenNames = "Marcina;Mścisława";
    TconfigModel model = Open();
    EXPECT_EQ(model.Form().imieniny, (std::vector<std::string>{"Marcina", "Mścisława"}));
    model.SetChosenNames({"Żanety", "Marii Magdaleny"});
    Confirm(model);
    EXPECT_EQ(m_settings.ChosenNames, "Żanety;Marii Magdaleny");
}

// "Województwo": none first, then the sixteen in their official order; a name the list does not
// hold (from a hand-made key, or set in memory) shows as none and is saved as none.
TEST_F(ConfigModelTest, TheVoivodeshipIsChosenFromTheOfficialList)
{
    TconfigModel model = Open();
    const auto& items = model.Form().voivodeshipItems;
    ASSERT_EQ(items.size(), 17u);
    EXPECT_EQ(items[0], "(nie wybrano)");
    EXPECT_EQ(items[1], "dolnośląskie");
    EXPECT_EQ(items[5], "łódzkie");
    EXPECT_EQ(items[16], "zachodniopomorskie");
    EXPECT_EQ(model.VoivodeshipIndex(), 0);

    model.SetVoivodeshipIndex(14);
    EXPECT_EQ(model.Form().voivodeship, "warmińsko-mazurskie");
    Confirm(model);
    EXPECT_EQ(m_settings.Voivodeship, "warmińsko-mazurskie");
    EXPECT_EQ(m_calls, (std::vector<std::string>{"colours", "recall off", "autorun off",
                                                 "voivodeship warmińsko-mazurskie", "sun"}))
        << "the window learns of the choice once it is in the settings";
    Settings stored;
    LoadSettings(m_store, stored, kNow);
    EXPECT_EQ(stored.Voivodeship, "warmińsko-mazurskie");
    EXPECT_EQ(Open().VoivodeshipIndex(), 14);

    for (const int index : {0, -1, 17, 1000}) {
        SCOPED_TRACE(index);
        model.SetVoivodeshipIndex(index);
        EXPECT_EQ(model.Form().voivodeship, "");
        EXPECT_EQ(model.VoivodeshipIndex(), 0);
    }
    m_settings.Voivodeship = "Mazowieckie";
    TconfigModel reopened = Open();
    EXPECT_EQ(reopened.VoivodeshipIndex(), 0);
    Confirm(reopened);
    EXPECT_EQ(m_settings.Voivodeship, "");
}

// The question names the number in its Polish form, the date and the copy.
TEST(PurgeQuestion, CountsInPolish)
{
    struct Row
    {
        std::size_t count;
        const char* words;
    };
    const Row rows[] = {{1, "1 notatkę"},   {2, "2 notatki"},     {4, "4 notatki"},    {5, "5 notatek"},
                        {11, "11 notatek"}, {12, "12 notatek"},   {14, "14 notatek"},  {21, "21 notatek"},
                        {22, "22 notatki"}, {104, "104 notatki"}, {112, "112 notatek"}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.count);
        EXPECT_EQ(PurgeQuestion(r.count, EncodeDate(2020, 1, 1), "/home/ala/.dniarz/dnz.dat.bak"),
                  std::string("Usunąć na zawsze ") + r.words
                      + " sprzed 2020.01.01?\n\nPlik notatek sprzed zmiany zostanie zachowany jako:\n"
                        "/home/ala/.dniarz/dnz.dat.bak");
    }
}
