// Where the program's own files live: the notes, the contacts, the optional sound and server
// list all sit beside the executable, never in the working directory.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

// The directory of the running executable; empty when the system cannot tell.
std::filesystem::path ExecutableDir();

// The program directory: the --dir option first, then DNIARZ_DIR, then the executable's
// directory. Empty values count as not given.
std::filesystem::path ResolveProgramDir(const std::optional<std::string>& dirOption,
                                        const char* environmentValue,
                                        const std::filesystem::path& executableDir);

// The program file to name where the program must be found again later, as in a start-at-logon
// entry: the AppImage it runs from when `appImage` is set (its contents are mounted afresh at
// each start), otherwise `runningFile`, the file the system says is running, without the
// " (deleted)" mark a replaced file gets (an upgrade puts the new program at the same path).
// Empty when neither is given.
std::filesystem::path ProgramFileFrom(std::string runningFile, const char* appImage);
// The same for this process; every place that records the program's own path asks this.
std::filesystem::path ProgramFile();
