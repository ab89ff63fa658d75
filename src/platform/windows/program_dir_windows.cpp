// The executable's folder through GetModuleFileNameW, and folders made with CreateDirectoryW.
#include "platform/program_dir.h"

#include <windows.h>

#include <system_error>

namespace {

std::filesystem::path ModuleFile()
{
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0)
            return {};
        if (length < name.size()) {
            name.resize(length);
            return std::filesystem::path(name);
        }
        name.resize(name.size() * 2);  // cut short: a longer path than MAX_PATH
    }
}

}  // namespace

std::filesystem::path ExecutableDir()
{
    const auto file = ModuleFile();
    return file.empty() ? file : file.parent_path();
}

bool EnsurePrivateDirectory(const std::filesystem::path& dir)
{
    // The folders a user's files go into (under %LOCALAPPDATA%) inherit the user's own access
    // rights, which keep other users out.
    return EnsureDirectoryChain(dir, [](const std::filesystem::path& one) {
        return CreateDirectoryW(one.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    });
}

std::filesystem::path ProgramFile()
{
    return ModuleFile();
}
