// The child of the journal crash test: saves and packs notes until it is killed, writing the
// number of every save that returned to its standard output.
//   journal_saver FILE RUN
#include <windows.h>

#include <string>

#include "calendar/date_format.h"
#include "calendar/notes_journal.h"
#include "journal_saves.h"
#include "platform/path_text.h"
#include "platform/process_environment.h"
#include "platform/windows/windows_journal_file.h"

int main(int argc, char** argv)
{
    const std::vector<std::string> args = CommandLineArguments(argc, argv);
    if (args.size() != 2)
        return 2;
    const int run = std::stoi(args[1]);
    WindowsJournalFile file;
    NotesJournal journal(file);
    if (journal.OpenNotes(PathFromUtf8(args[0])))
        return 3;
    const HANDLE confirm = GetStdHandle(STD_OUTPUT_HANDLE);
    for (int save = 0; save < kMaxSavesPerRun; ++save) {
        journal.AppendRecord(DateKey(DateOfSave(run, save)), TextOfSave(run, save), EncodeDate(2024, 3, 10));
        journal.Flush();
        DWORD written = 0;
        if (!WriteFile(confirm, &save, sizeof save, &written, nullptr) || written != sizeof save)
            return 4;
        if (save % kPackEvery == kPackEvery - 1)
            journal.PurgeAndPackNotes(0);
    }
    return 0;
}
