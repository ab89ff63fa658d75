// The iCalendar items of the main window: the export dialog, and the export and import they run.
#pragma once

#include "ics/ics_export.h"
#include "ics/ics_import.h"

#include <QDialog>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>

class FileStore;
class QCheckBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

// "Eksport do iCalendar": the file, the years of the notes, and the name days and holidays.
class IcsExportDialog : public QDialog
{
    Q_OBJECT
public:
    explicit IcsExportDialog(int currentYear, QWidget* parent = nullptr);

    IcsExportOptions Options() const;
    std::filesystem::path File() const;

    // "Wybierz…": the file to write, empty when none was chosen; by default the desktop's dialog.
    std::function<QString(QWidget* parent)> chooseFile;

    QLineEdit* plik = nullptr;
    QPushButton* wybierz = nullptr;
    QRadioButton* wszystkie = nullptr;  // every note
    QRadioButton* zLat = nullptr;       // the notes of the years from odRoku to doRoku
    QSpinBox* odRoku = nullptr;
    QSpinBox* doRoku = nullptr;
    QCheckBox* imieniny = nullptr;
    QCheckBox* swieta = nullptr;
    QPushButton* zapisz = nullptr;
    QPushButton* anuluj = nullptr;

private:
    QGroupBox* CreateNotesGroup(int currentYear);  // "Notatki": all, or the years from .. to
    void Update();
};

// Asks for the export's settings with the dialog (`runDialog` shows it; empty runs it modally),
// writes the file and tells the user how it went.
void ExportNotesToIcs(QWidget* parent, const JournalRecords& notes, const NameDayTable& table, FileStore& files,
                      std::chrono::system_clock::time_point now, int currentYear,
                      const std::function<bool(IcsExportDialog&)>& runDialog = {});

// Reads a calendar on a thread of its own while the window's loop goes on, behind a progress bar
// with "Anuluj" (QProgressDialog "ImportProgress"); nullopt when the user cancelled. `utcOffset`
// is called from that thread.
std::optional<IcsImport> ReadIcsWhileWindowRuns(QWidget* parent, const std::string& bytes,
                                                const UtcOffsetAt& utcOffset);

// Adds the events of `file` to the notes, asking first when they are many, and tells the user what
// was imported; nothing is written when the file cannot be read or the reading is cancelled. The
// caller saves the note being edited before and shows the day's notes again after.
void ImportNotesFromIcs(QWidget* parent, NotesJournal& journal, FileStore& files, const std::filesystem::path& file,
                        const UtcOffsetAt& utcOffset, TDateTime now);

// The file an import reads: the desktop's open dialog; empty when none was chosen.
QString ChooseIcsFileToImport(QWidget* parent);
