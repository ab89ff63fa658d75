// Entry point: parses the command line and hands over to the printed view or the window.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/print_contacts.h"
#include "app/print_day.h"
#include "app/sntp_command.h"
#include "app/time_sync_controller.h"
#include "app/ui/run_gui.h"
#include "clock/server_list.h"
#include "platform/platform.h"
#include "platform/program_dir.h"
#include "platform/time_service.h"

#ifndef DNIARZ_VERSION
#define DNIARZ_VERSION "0.1.0"
#endif

int main(int argc, char** argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLineResult parsed = ParseCommandLine(args);
    if (!parsed.error.empty()) {
        std::cerr << parsed.error << '\n';
        return 2;
    }
    const CommandLine& options = parsed.options;
    // Without the privilege to set the clock, the system's time service is asked instead.
    Platform platform = MakePlatform("ZWDNIARZ", ShiftThroughTimeService);
    const ProgramFiles files = ResolveProgramFiles(options.dir, std::getenv("DNIARZ_DIR"), ExecutableDir(),
                                                   platform.dataHome);
    const auto& programDir = files.userDir;
    if (programDir.empty() && options.mode != CommandLine::Mode::Help && options.mode != CommandLine::Mode::Version) {
        // Never the working directory: the notes would follow wherever the program was started.
        std::cerr << "dniarz: no folder for the notes: set HOME or XDG_DATA_HOME, or name one with --dir\n";
        return 1;
    }

    switch (options.mode) {
    case CommandLine::Mode::Help:
        std::cout << UsageText() << '\n' << DescribeProgramFiles(files);
        return 0;
    case CommandLine::Mode::Version:
        std::cout << "dniarz " DNIARZ_VERSION "\n";
        return 0;
    case CommandLine::Mode::PrintDay:
        return RunPrintDay({programDir, *platform.notesFile, *platform.settings, *platform.clock}, options.date,
                           options.latitude, options.longitude, std::cout, std::cerr);
    case CommandLine::Mode::Contacts:
        return PrintContacts(programDir, std::cout, std::cerr);
    case CommandLine::Mode::Sntp: {
        // Only looks: RunSntpCommand never sets the clock.
        std::vector<std::string> servers = options.sntpServers;
        if (servers.empty())
            servers = SplitServerList(ReadServerList(files.Locate(kServerListFileName)));
        return RunSntpCommand(servers, *platform.udp, *platform.clock, std::cout);
    }
    case CommandLine::Mode::Screenshot:
        return RunScreenshot(argc, argv, options, files, platform);
    case CommandLine::Mode::Window:
        break;
    }
    // Only the window is single: printing and pictures may run beside it. A lock that cannot be
    // made at all (no writable runtime or temporary folder) must not keep the calendar from
    // starting, so only a lock held by another copy ends this one, quietly.
    if (platform.instanceLock->TryAcquire() == LockResult::HeldByAnother)
        return 0;
    // The user's data folder is made on first use; a failure shows when the notes cannot be opened.
    if (files.OwnsUserDir() && !EnsurePrivateDirectory(programDir))
        std::cerr << "dniarz: cannot create " << programDir.string() << '\n';
    return RunWindow(argc, argv, options, files, platform);
}
