// The graphical side of the program: everything that needs a QApplication.
#pragma once

#include "app/command_line.h"
#include "platform/platform.h"
#include "platform/program_dir.h"

// Runs the window until the user ends the program ("Zakończ", or the system asks with a
// termination signal); returns the process exit code. The caller holds the instance lock.
int RunWindow(int argc, char** argv, const CommandLine& options, const ProgramFiles& files, Platform& platform);

// Renders the main window for options.date (today when not given) into options.screenshotFile as
// PNG and returns: no lock, no tray, no timers, no display needed. Exit code 1 when the picture
// cannot be written.
int RunScreenshot(int argc, char** argv, const CommandLine& options, const ProgramFiles& files, Platform& platform);
