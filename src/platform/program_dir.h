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
