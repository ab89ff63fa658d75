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

std::filesystem::path ProgramFileFrom(std::string runningFile, const char* appImage)
{
    if (appImage && *appImage == '/')
        return std::filesystem::path(appImage);
    static constexpr std::string_view kDeleted = " (deleted)";
    if (runningFile.ends_with(kDeleted))
        runningFile.resize(runningFile.size() - kDeleted.size());
    return std::filesystem::path(runningFile);
}
