// What every run of the program does before its mode.
#include "app/program_start.h"

#include "platform/process_environment.h"

std::optional<CommandLine> ReadCommandLine(int argc, char** argv, std::ostream& err)
{
    CommandLineResult parsed = ParseCommandLine(CommandLineArguments(argc, argv));
    if (!parsed.error.empty()) {
        err << parsed.error << '\n';
        return std::nullopt;
    }
    return std::move(parsed.options);
}

std::optional<ProgramFiles> FindProgramFiles(const CommandLine& options, const Platform& platform, std::ostream& err)
{
    const std::optional<std::string> dirVariable = EnvironmentValue("DNIARZ_DIR");
    ProgramFiles files = ResolveProgramFiles(options.dir, dirVariable ? dirVariable->c_str() : nullptr, ExecutableDir(),
                                             platform.dataHome);
    if (files.userDir.empty() && options.mode != CommandLine::Mode::Help
        && options.mode != CommandLine::Mode::Version) {
        // Never the working directory: the notes would follow wherever the program was started.
        err << "dniarz: brak folderu na notatki: ustaw HOME lub XDG_DATA_HOME albo podaj folder po --dir\n";
        return std::nullopt;
    }
    return files;
}

bool NeedsWindowPart(CommandLine::Mode mode)
{
    switch (mode) {
    case CommandLine::Mode::Window:
    case CommandLine::Mode::Screenshot:
    case CommandLine::Mode::Sync:  // Qt Network and the keyring
        return true;
    case CommandLine::Mode::PrintDay:
    case CommandLine::Mode::Help:
    case CommandLine::Mode::Version:
    case CommandLine::Mode::Contacts:
    case CommandLine::Mode::Sntp:
    case CommandLine::Mode::Search:
    case CommandLine::Mode::ExportIcs:
    case CommandLine::Mode::ImportIcs:
    case CommandLine::Mode::Reminders:
        return false;
    }
    return false;
}
