// Choosing the program directory.
#include "platform/program_dir.h"

std::filesystem::path ResolveProgramDir(const std::optional<std::string>& dirOption, const char* environmentValue,
                                        const std::filesystem::path& executableDir)
{
    if (dirOption && !dirOption->empty())
        return std::filesystem::path(*dirOption);
    if (environmentValue && *environmentValue)
        return std::filesystem::path(environmentValue);
    return executableDir;
}
