// What every run of the program does before its mode: the command line read and the program's
// folders found. The command line's program and the window's part both start this way, so a
// mistake is reported the same whichever of them meets it.
#pragma once

#include <optional>
#include <ostream>

#include "app/command_line.h"
#include "platform/platform.h"
#include "platform/program_dir.h"

// The command line of this process; nullopt after the mistake has been written to `err`, which
// ends the run with exit code 2.
std::optional<CommandLine> ReadCommandLine(int argc, char** argv, std::ostream& err);

// The folders of this run (--dir, DNIARZ_DIR, the executable's folder, the user's data folder);
// nullopt after saying why on `err` when a mode that needs notes has no folder for them, which
// ends the run with exit code 1.
std::optional<ProgramFiles> FindProgramFiles(const CommandLine& options, const Platform& platform, std::ostream& err);

// The modes that need Qt: the window, and the picture of it. They live in the window's part, a
// library the command line's program loads only for them (RunWindowPart); a new mode that needs
// Qt (even without a window) is listed here and dispatched in DniarzWindowMain
// (app/ui/window_main.cpp).
bool NeedsWindowPart(CommandLine::Mode mode);
