// The command-line modes that do their work and end without the window: help, version, the
// printed day, search, contacts, time servers, iCalendar export and import, and the picture.
#pragma once

#include <optional>

#include "app/command_line.h"
#include "platform/platform.h"
#include "platform/program_dir.h"

// Runs the mode options.mode names and returns its exit code; nullopt for the window.
std::optional<int> RunCommandMode(int argc, char** argv, const CommandLine& options, const ProgramFiles& files,
                                  Platform& platform);
