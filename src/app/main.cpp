// Entry point: reads the command line and runs a command-line mode, or hands over to the window's
// part. This program links the core and the system's facilities only: a run of the command line
// (a status bar's every minute, a nightly export) never loads Qt's libraries.
#include <iostream>
#include <optional>

#include "app/command_line.h"
#include "app/command_modes.h"
#include "app/program_start.h"
#include "app/window_part.h"
#include "platform/platform.h"
#include "platform/process_environment.h"

int main(int argc, char** argv)
{
    PrepareConsoleOutput();
    const std::optional<CommandLine> options = ReadCommandLine(argc, argv, std::cerr);
    if (!options)
        return 2;
    // The part reads the command line again and does the rest itself (the single-instance lock
    // among it): it needs nothing of this process but its arguments.
    if (NeedsWindowPart(options->mode))
        return RunWindowPart(argc, argv, std::cerr);
    // Command-line modes never set the clock, so the system's time service is left out.
    Platform platform = MakePlatform("ZWDNIARZ");
    const std::optional<ProgramFiles> files = FindProgramFiles(*options, platform, std::cerr);
    if (!files)
        return 1;
    return RunCommandMode(*options, *files, platform);
}
