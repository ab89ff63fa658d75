// The window's part as the command line's program reaches it: a library beside the program or,
// installed on Linux, in ../libexec/dniarz, loaded only when a mode needs Qt (NeedsWindowPart).
#pragma once

#include <filesystem>
#include <ostream>
#include <vector>

// Where the library `fileName` is looked for, in order: the executable's own folder (a build, an
// unpacked archive, Windows), then ../libexec/dniarz beside it (installed on Linux).
std::vector<std::filesystem::path> WindowPartPlaces(const std::filesystem::path& executableDir,
                                                    const std::filesystem::path& fileName);

// Loads the window's part and runs it with this process's arguments; its exit code. Exit code 1,
// after saying why on `err`, when the part is missing or cannot be loaded.
int RunWindowPart(int argc, char** argv, std::ostream& err);
