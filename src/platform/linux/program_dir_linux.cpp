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
    // Each made 0700 from the start: a folder created open and narrowed later would let another
    // user slip into it in between.
    return EnsureDirectoryChain(dir, [](const std::filesystem::path& one) {
        std::error_code ec;
        return ::mkdir(one.c_str(), 0700) == 0 || (errno == EEXIST && std::filesystem::is_directory(one, ec));
    });
}

std::filesystem::path ProgramFile()
{
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ProgramFileFrom(ec ? std::string() : exe.string(), std::getenv("APPIMAGE"));
}
