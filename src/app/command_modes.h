// The command-line modes that do their work and end without the window: help, version, the
// printed day, search, contacts, time servers, iCalendar export and import. None of them needs Qt.
#pragma once

#include "app/command_line.h"
#include "platform/platform.h"
#include "platform/program_dir.h"

// Runs the mode options.mode names and returns its exit code. The modes NeedsWindowPart names are
// not run here: they end with exit code 2.
int RunCommandMode(const CommandLine& options, const ProgramFiles& files, Platform& platform);
