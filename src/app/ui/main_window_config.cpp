// The main window's configuration dialog: what it opens, and what its OK and "Usuń wpisy" do.
#include "app/ui/main_window.h"

#include "app/config_model.h"
#include "app/name_reminders.h"
#include "app/ui/notes_controller.h"
#include "app/ui/show_error.h"
#include "clock/local_time.h"
#include "clock/ui/calibration_dialog.h"
#include "platform/startup_entry.h"
#include "ui_support/message_box.h"
#include "platform/path_text.h"

namespace {

// Where the options name no start-at-logon entries (pictures, tests): there are none, and none
// can be made.
class NoStartupEntry final : public StartupEntry
{
public:
    std::optional<std::string> Read(TRegLocation, std::string_view) const override { return std::nullopt; }
    bool Remove(TRegLocation, std::string_view) override { return false; }
    bool Write(TRegLocation, std::string_view, const std::string&, const std::vector<std::string>&) override
    {
        return false;
    }
};

}  // namespace

void TForm1::CreateConfiguration()
{
    StartupEntry* entries = m_options.startupEntry;
    if (!entries) {
        m_noStartupEntry = std::make_unique<NoStartupEntry>();
        entries = m_noStartupEntry.get();
    }
    m_autoRunner = std::make_unique<TAutoRunner>(
        MainWindowAutoRunner(*entries, PathToUtf8(m_options.programFile), m_options.programArguments));

    // The calibration stores its own results at once; only "Przypisz korektę" hands one back.
    m_configHooks.calibrate = [this](QWidget* parent) -> std::optional<double> {
        Tfkor calibration(CalibrationValuesOf(m_settings), m_clock, CalibrationWriter(m_store, m_settings), parent);
        if (calibration.exec() != QDialog::Accepted)
            return std::nullopt;
        return m_settings.LastCalibration;
    };
    m_configHooks.showInfo = [this](QWidget* parent) { m_contactsHost->ShowInfo(parent); };
}

void TForm1::SpeedButton5Click()
{
    ConfigActions actions;
    actions.purgeAndPackNotes = [this](TDateTime cutoff) {
        NotesJournal& journal = m_notes->Journal();
        if (!journal.NotesEnabled())
            return;
        // Notes go for good only when the user says so, knowing where the copy will be; a pack
        // that drops nothing only tidies the file and asks nothing.
        if (const std::size_t count = journal.CountPurged(cutoff);
            count > 0
            && AppMessageBox::Show(
                   this, QMessageBox::Question, QStringLiteral("Potwierdzenie"),
                   QString::fromStdString(PurgeQuestion(count, cutoff, PathToUtf8(journal.PackBackupPath()))),
                   QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                   != QMessageBox::Yes)
            return;
        // A failed pack leaves the notes as they were; its message is shown and the rest applies.
        Guarded(this, [&journal, cutoff] { journal.PurgeAndPackNotes(cutoff); });
    };
    actions.applyGridColours = [this] {
        ShowGridColours();
        CopyGridColours();
    };
    actions.setRecallSelectsToday = [this](bool on) { m_recallSelectsToday = on; };
    actions.setAutoRun = [this](bool on) {
        // The box reads unticked at the next opening; the user learns why now.
        if (!m_autoRunner->SetAutoRun(on))
            AppMessageBox::Show(this, QMessageBox::Warning, QStringLiteral("Komunikat"),
                                QString::fromStdString(on ? AutoRunNotWrittenMessage(PathToUtf8(m_options.programFile))
                                                          : AutoRunNotRemovedMessage()));
    };
    actions.applyVoivodeship = [this] {
        if (ApplyVoivodeship())
            RefreshDay(true);
    };
    actions.refreshSunMoon = [this] { RefreshSunMoon(); };
    actions.refreshDayNames = [this] { ShowDayNames(m_dayView.Refresh(m_mainGrid->SelectedDate(), false).panel); };

    const ConfigSources sources{m_settings, m_autoRunner->AutoRun(), ReadSyncTime(m_store), m_cities,
                                AllNameForms(m_names)};
    const ConfigOutcome outcome = RunConfigDialog(this, sources, m_configHooks, m_settings, m_store, LocalNow(m_clock),
                                                  actions);
    if (outcome != ConfigOutcome::RemoveEntries)
        return;
    // Everything the program wrote outside its own folder goes, and the program ends without
    // writing the alarm back.
    m_settingsDeleted = true;
    m_autoRunner->SetAutoRun(false);
    (void)DeleteSettings(m_store);  // nothing more can be done when it fails; the program ends anyway
    Quit();
}
