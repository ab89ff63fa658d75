// The executable's directory through /proc.
#include "platform/program_dir.h"

#include <cstdlib>
#include <system_error>

std::filesystem::path ExecutableDir()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec)
        return {};
    return exe.parent_path();
}

std::filesystem::path ProgramFile()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ProgramFileFrom(ec ? std::string() : exe.string(), std::getenv("APPIMAGE"));
}
