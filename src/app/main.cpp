// Entry point: parses the command line, builds the platform and hands over to a command-line mode
// or the window.
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/command_modes.h"
#include "app/ui/run_gui.h"
#include "platform/platform.h"
#include "platform/program_dir.h"
#include "platform/time_service.h"
#include "platform/path_text.h"
#include "platform/process_environment.h"

int main(int argc, char** argv)
{
    PrepareConsoleOutput();
    const std::vector<std::string> args = CommandLineArguments(argc, argv);
    const CommandLineResult parsed = ParseCommandLine(args);
    if (!parsed.error.empty()) {
        std::cerr << parsed.error << '\n';
        return 2;
    }
    const CommandLine& options = parsed.options;
    // Without the privilege to set the clock, the system's time service is asked instead.
    Platform platform = MakePlatform("ZWDNIARZ", ShiftThroughTimeService);
    platform.makeNotifier = [] { return MakeDesktopNotifier(); };
    const std::optional<std::string> dirVariable = EnvironmentValue("DNIARZ_DIR");
    const ProgramFiles files = ResolveProgramFiles(options.dir, dirVariable ? dirVariable->c_str() : nullptr,
                                                   ExecutableDir(), platform.dataHome);
    const auto& programDir = files.userDir;
    if (programDir.empty() && options.mode != CommandLine::Mode::Help && options.mode != CommandLine::Mode::Version) {
        // Never the working directory: the notes would follow wherever the program was started.
        std::cerr << "dniarz: brak folderu na notatki: ustaw HOME lub XDG_DATA_HOME albo podaj folder po --dir\n";
        return 1;
    }
    if (const std::optional<int> exitCode = RunCommandMode(argc, argv, options, files, platform))
        return *exitCode;

    // Only the window is single: printing and pictures may run beside it. A lock that cannot be
    // made at all (no writable runtime or temporary folder) must not keep the calendar from
    // starting, so only a lock held by another copy ends this one, quietly.
    if (platform.instanceLock->TryAcquire() == LockResult::HeldByAnother)
        return 0;
    // The user's data folder is made on first use; a failure shows when the notes cannot be opened.
    if (files.OwnsUserDir() && !EnsurePrivateDirectory(programDir))
        std::cerr << "dniarz: nie można utworzyć folderu " << PathToUtf8(programDir) << '\n';
    return RunWindow(argc, argv, options, files, platform);
}
