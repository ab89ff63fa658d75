// NotesController: the main window's notes. It owns the journal and the editor, opens and closes
// the notes file, saves the edited note, makes a Shift-click range into a multi-day note, and
// offers the tools over the whole journal: "Szukaj w notatkach" (Ctrl+F) and, in a program built
// with libical, the export to and import from iCalendar files. The window lays out the editor's
// panel and says what a changed journal does to its grids.
#pragma once

#include "calendar/datetime.h"
#include "calendar/multi_day_notes.h"
#include "calendar/note_editor.h"
#include "calendar/notes_journal.h"

#include <QList>
#include <QObject>
#include <QString>

#include <filesystem>
#include <functional>

class FileStore;
class IcsExportDialog;
class JournalFile;
class NameDayTable;
class NotesSearchWindow;
class QAction;
class QWidget;
class SystemClock;

class NotesController : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        std::filesystem::path programDir;  // where "dnz.dat" lives
        bool persist = true;               // false: a failure to open is told on stderr, not in a box
        RangeNoteDialog rangeDialog;       // empty shows Twiele
        std::function<bool()> shiftHeld;   // empty asks the keyboard
        // The iCalendar files go through this store; without it there is no export or import.
        FileStore* files = nullptr;
        std::function<bool(IcsExportDialog&)> runIcsExportDialog;  // empty asks the user
        std::function<QString(QWidget*)> chooseIcsImportFile;      // empty asks the user
    };
    // What the window does for the notes.
    struct WindowHooks
    {
        std::function<void()> notesSaved;           // the grids' marked days
        std::function<void()> notesChanged;         // a full refresh of the day
        std::function<TDateTime()> selectedDate;    // the main grid's date
        std::function<void(TDateTime)> selectDate;  // selects a date in the main grid
        std::function<void()> bringUp;              // the window back from the tray
    };

    // `window` is the parent of the tools, the search window and every box.
    NotesController(SystemClock& clock, JournalFile& notesFile, const NameDayTable& names, Options options,
                    WindowHooks hooks, QWidget* window);
    ~NotesController() override;

    // The actions of Tools(), Ctrl+F held by the window; before the menus that show them are made.
    void CreateTools();
    // Opens "dnz.dat" (a failure is told, and the notes stay off) and starts telling the window
    // of changes.
    void OpenNotesFile();
    // When the program really ends; a failure is shown.
    void CloseNotesFile();

    // The day refresh's part: the edit goes under the day it was typed for, a Shift-click makes a
    // range from the last clicked day, and the editor shows `selected`.
    void ShowDay(TDateTime selected, bool leftClick);
    // Before every close, also when the window only goes to the tray; a failure is shown.
    void SaveNote();

    // "Szukaj w notatkach" (Ctrl+F): the search window, the main window brought up with it.
    void OpenNotesSearch();
    NotesSearchWindow* SearchWindow() const { return m_searchWindow; }  // null until first opened
    // "Szukaj w notatkach…" and, where built in, "Eksport do iCalendar…" and "Import z iCalendar…".
    const QList<QAction*>& Tools() const { return m_tools; }

    NotesJournal& Journal() { return m_journal; }
    const NoteEditor& Editor() const { return m_editor; }
    NoteEditor& Editor() { return m_editor; }

private:
    void ShowSearchHit(const QString& key);
    void RunRange(TDateTime anchor, TDateTime clicked);
    bool ShiftHeld() const;
    void ExportNotesClick();
    void ImportNotesClick();

    SystemClock& m_clock;
    const NameDayTable& m_names;
    Options m_options;
    WindowHooks m_hooks;
    QWidget* m_window;
    NotesJournal m_journal;
    NoteEditor m_editor{m_journal};
    NoteRangeAnchor m_anchor;
    NotesSearchWindow* m_searchWindow = nullptr;
    QList<QAction*> m_tools;
};
