// The main window's notes: the file, the editor's saves, multi-day ranges, and the tools over the
// whole journal.
#include "app/ui/notes_controller.h"

#include "app/ui/notes_search_window.h"
#include "app/ui/show_error.h"
#include "calendar/notes_search.h"
#include "calendar/ui/multi_day_dialog.h"
#include "clock/local_time.h"
#include "ui_support/message_box.h"
#include "ui_support/qt_text.h"
#ifdef DNIARZ_HAVE_ICAL
#include "ics/ui/ics_dialogs.h"
#endif

#include <QAction>
#include <QGuiApplication>
#include <QWidget>

#include <iostream>

NotesController::NotesController(SystemClock& clock, JournalFile& notesFile, const NameDayTable& names, Options options,
                                 WindowHooks hooks, QWidget* window)
    : m_clock(clock), m_names(names), m_options(std::move(options)), m_hooks(std::move(hooks)), m_window(window),
      m_journal(notesFile)
{
}

NotesController::~NotesController()
{
    // The callback points back into the window, which is going.
    m_journal.SetOnChanged({});
}

void NotesController::OpenNotesFile()
{
    if (const auto message = m_journal.OpenNotes(m_options.programDir / "dnz.dat")) {
        // A picture has nobody to close a box, so it reports the failure on stderr instead.
        if (m_options.persist)
            AppMessageBox::Show(m_window, QMessageBox::Warning, QStringLiteral("Komunikat"), FromText(*message));
        else
            std::cerr << "dniarz: " << FromText(*message).toStdString() << '\n';
    }
    m_journal.SetOnChanged([this](NotesChange change) {
        if (change == NotesChange::Saved)
            m_hooks.notesSaved();
        else
            m_hooks.notesChanged();
    });
}

void NotesController::CloseNotesFile()
{
    if (const auto message = m_journal.Close())
        ShowError(m_window, FromText(*message));
}

void NotesController::ShowDay(TDateTime selected, bool leftClick)
{
    // The edit goes under the day it was typed for, before anything else moves.
    SaveNote();
    // A Shift-click makes a range from the last clicked day; a key move never does.
    m_anchor.DateChanged(selected, leftClick, leftClick && ShiftHeld(),
                         [this](TDateTime anchor, TDateTime clicked) { RunRange(anchor, clicked); });
    // The editor remembers the day it shows; a later save goes there.
    m_editor.ShowNotes(selected);
}

void NotesController::SaveNote()
{
    Guarded(m_window, [this] { m_editor.SaveNote(LocalNow(m_clock)); });
}

bool NotesController::ShiftHeld() const
{
    if (m_options.shiftHeld)
        return m_options.shiftHeld();
    // The modifiers of the input event being handled, the click itself: asking the keyboard now
    // could see a later state, and some desktops do not answer that question at all.
    return QGuiApplication::keyboardModifiers().testFlag(Qt::ShiftModifier);
}

void NotesController::RunRange(TDateTime anchor, TDateTime clicked)
{
    const RangeNoteDialog dialog = m_options.rangeDialog ? m_options.rangeDialog
                                                         : RangeNoteDialog([this, anchor, clicked](const std::string&) {
                                                               return Twiele::Run(anchor, clicked, m_window);
                                                           });
    Guarded(m_window, [&] { AssignNoteToRange(m_journal, anchor, clicked, dialog, LocalNow(m_clock)); });
}

void NotesController::CreateTools()
{
    const auto add = [this](const QString& text, auto slot) {
        auto* action = new QAction(text, m_window);
        connect(action, &QAction::triggered, this, slot);
        m_tools.append(action);
        return action;
    };
    QAction* search = add(QStringLiteral("Szukaj w notatkach…"), &NotesController::OpenNotesSearch);
    // The window holds the action for its shortcut; the menus only show it.
    search->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    m_window->addAction(search);
#ifdef DNIARZ_HAVE_ICAL
    // The files go through the same store as the contacts book: a picture of the window has none.
    if (m_options.files) {
        add(QStringLiteral("Eksport do iCalendar…"), &NotesController::ExportNotesClick);
        add(QStringLiteral("Import z iCalendar…"), &NotesController::ImportNotesClick);
    }
#endif
}

void NotesController::OpenNotesSearch()
{
    if (!m_searchWindow) {
        m_searchWindow = new NotesSearchWindow(m_journal.Records(), m_window);
        m_searchWindow->setObjectName(QStringLiteral("NotesSearchWindow"));
        connect(m_searchWindow, &NotesSearchWindow::KeyChosen, this, &NotesController::ShowSearchHit);
    }
    // Chosen from the tray: the grid the hits select in must be in view.
    if (!m_window->isVisible())
        m_hooks.bringUp();
    m_searchWindow->Open();
}

void NotesController::ShowSearchHit(const QString& key)
{
    // A yearly note is shown in the year on view, where the user is looking.
    const std::optional<TDateTime> date = DateOfHit(key.toStdString(), DecodeDate(m_hooks.selectedDate()).year);
    if (date)
        m_hooks.selectDate(*date);
}

#ifdef DNIARZ_HAVE_ICAL
void NotesController::ExportNotesClick()
{
    // What is being typed belongs in the export too.
    SaveNote();
    ExportNotesToIcs(m_window, m_journal.Records(), m_names, *m_options.files, m_clock.Now(),
                     DecodeDate(LocalNow(m_clock)).year, m_options.runIcsExportDialog);
}

void NotesController::ImportNotesClick()
{
    const QString file = m_options.chooseIcsImportFile ? m_options.chooseIcsImportFile(m_window)
                                                       : ChooseIcsFileToImport(m_window);
    if (file.isEmpty())
        return;
    // Saved first, or the editor would later write its older text over the day's imported note.
    SaveNote();
    ImportNotesFromIcs(
        m_window, m_journal, *m_options.files, std::filesystem::path(file.toStdU16String()),
        [this](std::chrono::system_clock::time_point at) { return m_clock.UtcOffset(at); }, LocalNow(m_clock));
    m_hooks.notesChanged();
}
#else
void NotesController::ExportNotesClick()
{
}
void NotesController::ImportNotesClick()
{
}
#endif
