// The modes of the command line, each wired to the platform in a few lines.
#include "app/command_modes.h"

#include <iostream>
#include <string>
#include <vector>

#include "app/print_contacts.h"
#include "app/print_day.h"
#include "app/reminders_command.h"
#include "app/search_command.h"
#include "app/sntp_command.h"
#include "app/time_sync_controller.h"
#include "app/winter_holidays_file.h"
#include "app/version.h"
#include "calendar/namedays.h"
#include "clock/local_time.h"
#include "clock/server_list.h"
#ifdef DNIARZ_HAVE_ICAL
#include "ics/ics_commands.h"
#include "platform/path_text.h"
#endif
#ifdef DNIARZ_HAVE_SYNC
#include "sync/shown_events.h"
#endif

namespace {

int RunSearch(const CommandLine& options, const std::filesystem::path& programDir, Platform& platform)
{
    const std::optional<std::string> notes = ReadNotesBytes(*platform.notesFile, programDir, std::cerr);
    if (!notes)
        return 2;
    return RunSearchCommand(*notes, options.searchText, options.ignoreDiacritics, std::cout, std::cerr);
}

int RunReminders(const CommandLine& options, const std::filesystem::path& programDir, Platform& platform)
{
    const std::optional<JournalRecords> notes = ReadNotesReadOnly(*platform.notesFile, programDir, std::cerr);
    if (!notes)
        return 2;
    const TDateTime first = options.date.value_or(DateOf(LocalNow(*platform.clock)));
    return RunRemindersCommand(*notes, first, options.days, std::cout);
}

int RunSntp(const CommandLine& options, const ProgramFiles& files, Platform& platform)
{
    // Only looks: RunSntpCommand never sets the clock.
    std::vector<std::string> servers = options.sntpServers;
    if (servers.empty())
        servers = SplitServerList(ReadServerList(files.Locate(kServerListFileName)));
    return RunSntpCommand(servers, *platform.udp, *platform.clock, std::cout);
}

#ifdef DNIARZ_HAVE_ICAL
int RunExportIcs(const CommandLine& options, const std::filesystem::path& programDir, Platform& platform)
{
    const std::optional<JournalRecords> notes = ReadNotesReadOnly(*platform.notesFile, programDir, std::cerr);
    if (!notes)
        return 1;
    NameDayTable table;
    table.Load();
    const IcsExportOptions exportOptions{options.fromYear, options.toYear, options.withNameDays, options.withHolidays};
    return RunExportIcsCommand(*notes, table, exportOptions, options.icsFile, *platform.files, platform.clock->Now(),
                               DecodeDate(LocalNow(*platform.clock)).year, std::cout, std::cerr);
}

int RunImportIcs(const CommandLine& options, const ProgramFiles& files, Platform& platform)
{
    ImportIcsCommand command;
    command.file = options.icsFile;
    command.notesPath = files.userDir / "dnz.dat";
    command.assumeYes = options.assumeYes;
    command.confirm = [](const std::string& question) {
        std::cerr << question << " [t/N] " << std::flush;
        std::string answer;
        return std::getline(std::cin, answer) && (answer.starts_with("t") || answer.starts_with("T"));
    };
    command.utcOffset = [&](std::chrono::system_clock::time_point at) { return platform.clock->UtcOffset(at); };
    command.now = LocalNow(*platform.clock);
    if (files.OwnsUserDir() && !EnsurePrivateDirectory(files.userDir))
        std::cerr << "dniarz: nie można utworzyć folderu " << PathToUtf8(files.userDir) << '\n';
    NotesJournal journal(*platform.notesFile);
    return RunImportIcsCommand(command, *platform.files, journal, std::cout, std::cerr);
}
#endif

#ifdef DNIARZ_HAVE_SYNC
// The "events" line from the local copy of the shown calendars: never the network.
std::function<std::string(TDateTime)> ShownEventsLine(const std::filesystem::path& programDir, Platform& platform)
{
    const FileRead copy = platform.files->Read(ShownCalendarsPath(programDir / "dnz.dat"), kMaxShownCalendarsBytes);
    if (copy.status != FileRead::Status::Read)
        return {};
    auto events = std::make_shared<ShownEvents>(
        ParseShownCalendars(copy.contents),
        [&platform](std::chrono::system_clock::time_point at) { return platform.clock->UtcOffset(at); });
    return [events](TDateTime date) {
        const DateParts d = DecodeDate(date);
        return EventsLine(events->EventsOn(d.year, d.month, d.day));
    };
}

#endif

}  // namespace

int RunCommandMode(const CommandLine& options, const ProgramFiles& files, Platform& platform)
{
    const auto& programDir = files.userDir;
    switch (options.mode) {
    case CommandLine::Mode::Help:
        std::cout << UsageText() << '\n' << DescribeProgramFiles(files);
        return 0;
    case CommandLine::Mode::Version:
        std::cout << "dniarz " << kProgramVersion << "\n";
        return 0;
    case CommandLine::Mode::PrintDay: {
        PrintDaySources sources{programDir, *platform.notesFile, *platform.settings, *platform.clock,
                                files.Locate(kWinterHolidaysFileName)};
#ifdef DNIARZ_HAVE_SYNC
        sources.events = ShownEventsLine(programDir, platform);
#endif
        return RunPrintDay(sources, options, std::cout, std::cerr);
    }
    case CommandLine::Mode::Search:
        return RunSearch(options, programDir, platform);
    case CommandLine::Mode::Reminders:
        return RunReminders(options, programDir, platform);
#ifdef DNIARZ_HAVE_ICAL
    case CommandLine::Mode::ExportIcs:
        return RunExportIcs(options, programDir, platform);
    case CommandLine::Mode::ImportIcs:
        return RunImportIcs(options, files, platform);
#else
    case CommandLine::Mode::ExportIcs:
    case CommandLine::Mode::ImportIcs:
        std::cerr << "dniarz: ta wersja programu nie obsługuje plików iCalendar\n";
        return 2;
#endif
    case CommandLine::Mode::Contacts:
        return PrintContacts(programDir, std::cout, std::cerr);
    case CommandLine::Mode::Sntp:
        return RunSntp(options, files, platform);
    case CommandLine::Mode::Screenshot:
    case CommandLine::Mode::Window:
    case CommandLine::Mode::Sync:
        break;  // the window's part runs these (NeedsWindowPart)
    }
    return 2;
}
