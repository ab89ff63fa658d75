// The main window's tools over the whole journal: "Szukaj w notatkach" (Ctrl+F) and, in a program
// built with libical, the export to and import from iCalendar files.
#include "app/ui/main_window.h"

#include "clock/local_time.h"
#include "app/ui/notes_search_window.h"
#include "calendar/notes_search.h"
#ifdef DNIARZ_HAVE_ICAL
#include "ics/ui/ics_dialogs.h"
#endif

#include <QAction>

void TForm1::CreateNotesTools()
{
    const auto add = [this](const QString& text, auto slot) {
        auto* action = new QAction(text, this);
        connect(action, &QAction::triggered, this, slot);
        m_notesTools.append(action);
        return action;
    };
    QAction* search = add(QStringLiteral("Szukaj w notatkach…"), &TForm1::OpenNotesSearch);
    // The window holds the action for its shortcut; the menus only show it.
    search->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    addAction(search);
#ifdef DNIARZ_HAVE_ICAL
    // The files go through the same store as the contacts book: a picture of the window has none.
    if (m_options.contacts.files) {
        add(QStringLiteral("Eksport do iCalendar…"), &TForm1::ExportNotesClick);
        add(QStringLiteral("Import z iCalendar…"), &TForm1::ImportNotesClick);
    }
#endif
}

void TForm1::OpenNotesSearch()
{
    if (!m_searchWindow) {
        m_searchWindow = new NotesSearchWindow(m_journal.Records(), this);
        m_searchWindow->setObjectName(QStringLiteral("NotesSearchWindow"));
        connect(m_searchWindow, &NotesSearchWindow::KeyChosen, this, &TForm1::ShowSearchHit);
    }
    // Chosen from the tray: the grid the hits select in must be in view.
    if (!isVisible())
        ShowFromTray();
    m_searchWindow->Open();
}

void TForm1::ShowSearchHit(const QString& key)
{
    // A yearly note is shown in the year on view, where the user is looking.
    const std::optional<TDateTime> date = DateOfHit(key.toStdString(), DecodeDate(SelectedDate()).year);
    if (date)
        SelectDate(*date);
}

#ifdef DNIARZ_HAVE_ICAL
void TForm1::ExportNotesClick()
{
    // What is being typed belongs in the export too.
    SaveNote();
    ExportNotesToIcs(this, m_journal.Records(), m_names, *m_options.contacts.files, m_clock.Now(),
                     DecodeDate(LocalNow(m_clock)).year, m_options.runIcsExportDialog);
}

void TForm1::ImportNotesClick()
{
    const QString file = m_options.chooseIcsImportFile ? m_options.chooseIcsImportFile(this)
                                                       : ChooseIcsFileToImport(this);
    if (file.isEmpty())
        return;
    // Saved first, or the editor would later write its older text over the day's imported note.
    SaveNote();
    ImportNotesFromIcs(
        this, m_journal, *m_options.contacts.files, std::filesystem::path(file.toStdU16String()),
        [this](std::chrono::system_clock::time_point at) { return m_clock.UtcOffset(at); }, LocalNow(m_clock));
    RefreshDay(true);
}
#else
void TForm1::ExportNotesClick()
{
}
void TForm1::ImportNotesClick()
{
}
#endif
