// The graphical side of the program: everything that needs a QApplication.
#pragma once

#include <filesystem>

#include "app/command_line.h"

// Runs the window until the user ends the program; returns the process exit code.
int RunWindow(int argc, char** argv, const CommandLine& options, const std::filesystem::path& programDir);
