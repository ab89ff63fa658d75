// --export-ics and --import-ics.
#include "ics/ics_commands.h"

namespace {

// The notes journal's messages are made for a message box, with CR LF between their lines.
std::string OneLine(std::string_view text)
{
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "\r\n") {
            out += ' ';
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

}  // namespace

ImportOutcome ImportRemembering(NotesJournal& journal, FileStore& files, const IcsImport& read, TDateTime now)
{
    const std::filesystem::path memoryPath = ImportMemoryPath(journal.NotesPath());
    const FileRead stored = files.Read(memoryPath, kMaxImportMemoryBytes);
    ImportMemory memory = stored.status == FileRead::Status::Read ? ParseImportMemory(stored.contents) : ImportMemory();
    ImportOutcome outcome = AppendImportedNotes(journal, read.notes, now, &memory);
    if (outcome.notes > 0) {
        if (const FileProblem problem = files.Replace(memoryPath, FormatImportMemory(memory));
            problem != FileProblem::None)
            outcome.memoryNotSaved = memoryPath.filename().string() + ": " + FileProblemText(problem);
    }
    return outcome;
}

int RunExportIcsCommand(const JournalRecords& notes, const NameDayTable& table, const IcsExportOptions& options,
                        const std::filesystem::path& file, FileStore& files, std::chrono::system_clock::time_point now,
                        int currentYear, std::ostream& out, std::ostream& err)
{
    const IcsExport result = ExportIcs(notes, table, options, now, currentYear);
    if (!result.error.empty()) {
        err << "dniarz: " << result.error << '\n';
        return 2;
    }
    if (const FileProblem problem = files.ExportContents(file, result.text); problem != FileProblem::None) {
        err << "dniarz: nie można zapisać pliku " << file.string() << ": " << FileProblemText(problem) << '\n';
        // A target refused before anything was written is a wrong argument, as a wrong option is.
        return problem == FileProblem::NotRegular || problem == FileProblem::NoFolder ? 2 : 1;
    }
    out << "Zapisano " << PolishCount(result.events, "wydarzenie", "wydarzenia", "wydarzeń") << " w pliku "
        << file.string() << '\n';
    return 0;
}

int RunImportIcsCommand(const ImportIcsCommand& command, FileStore& files, NotesJournal& journal, std::ostream& out,
                        std::ostream& err)
{
    // Read no further than a calendar may be: the rich-text limit would hold eight times as much.
    const FileRead file = files.Read(command.file, kMaxIcsBytes);
    if (file.tooLarge) {
        err << "dniarz: " << command.file.string() << ": " << IcsTooLargeText() << '\n';
        return 2;
    }
    if (file.status != FileRead::Status::Read) {
        err << "dniarz: nie można odczytać pliku " << command.file.string() << ": " << FileProblemText(file.problem)
            << '\n';
        return 2;
    }
    const IcsImport read = ReadIcs(file.contents, command.utcOffset);
    if (!read.error.empty()) {
        err << "dniarz: " << command.file.string() << ": " << read.error << '\n';
        return 2;
    }
    if (EventsRead(read) > kImportQuestionAbove && !command.assumeYes
        && !(command.confirm && command.confirm(ImportQuestion(EventsRead(read))))) {
        err << "dniarz: nic nie zaimportowano\n";
        return 1;
    }
    if (const auto error = journal.OpenNotes(command.notesPath)) {
        err << "dniarz: " << OneLine(*error) << '\n';
        return 2;
    }
    ImportOutcome outcome;
    try {
        outcome = ImportRemembering(journal, files, read, command.now);
    } catch (const EInOutError& e) {
        err << "dniarz: " << OneLine(e.what()) << '\n';
        if (const auto closeError = journal.Close())
            err << "dniarz: " << OneLine(*closeError) << '\n';
        return 1;
    }
    if (const auto closeError = journal.Close()) {
        err << "dniarz: " << OneLine(*closeError) << '\n';
        return 1;
    }
    out << ImportReport(read, outcome) << '\n';
    return 0;
}
