// The executable's directory through /proc, and private folders made with mkdir.
#include "platform/program_dir.h"

#include <sys/stat.h>

#include <cerrno>
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

bool EnsurePrivateDirectory(const std::filesystem::path& dir)
{
    if (dir.empty())
        return false;
    std::error_code ec;
    if (std::filesystem::is_directory(dir, ec))
        return true;
    // Parents first, each made 0700 from the start: a folder created open and narrowed later
    // would let another user slip into it in between.
    const auto parent = dir.parent_path();
    if (!parent.empty() && parent != dir && !EnsurePrivateDirectory(parent))
        return false;
    return ::mkdir(dir.c_str(), 0700) == 0 || (errno == EEXIST && std::filesystem::is_directory(dir, ec));
}

std::filesystem::path ProgramFile()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ProgramFileFrom(ec ? std::string() : exe.string(), std::getenv("APPIMAGE"));
}
