// A part of the program kept in a library of its own and loaded only by the runs that need it:
// the window and what else needs Qt, so that a run of the command line never loads Qt's libraries.
#pragma once

#include <filesystem>
#include <string>

// What such a part offers: one function, called with the process's own arguments, that returns
// the process's exit code.
using ProgramPartEntry = int (*)(int argc, char** argv);

// Loads the library `file` and finds its function `entry`. Null when either fails; `error` then
// says why, in the system's words. A part once loaded stays until the process ends.
ProgramPartEntry LoadProgramPart(const std::filesystem::path& file, const char* entry, std::string& error);
