// Choosing the program's folders.
#include "platform/program_dir.h"

#include <system_error>

#include "platform/path_text.h"

namespace {

// The user's folder under the data home, named as each system's own programs name theirs.
#ifdef _WIN32
constexpr const char* kUserFolderName = "Dniarz";
#else
constexpr const char* kUserFolderName = "dniarz";
#endif

}  // namespace

std::filesystem::path ProgramFiles::Locate(std::string_view name) const
{
    return LocateProgramFile(userDir, sharedDir, name);
}

std::filesystem::path LocateProgramFile(const std::filesystem::path& userDir, const std::filesystem::path& sharedDir,
                                        std::string_view name)
{
    const std::filesystem::path own = userDir / name;
    std::error_code ec;
    if (sharedDir.empty() || std::filesystem::exists(own, ec))
        return own;
    const std::filesystem::path shipped = sharedDir / name;
    return std::filesystem::exists(shipped, ec) ? shipped : own;
}

std::filesystem::path InstalledDataDir(const std::filesystem::path& executableDir)
{
    if (executableDir.empty())
        return {};
    // Decided by the layout alone: a build folder may be read-only and /usr/bin is writable by
    // root, so neither says whether the program was installed.
    const std::filesystem::path shared = (executableDir / ".." / "share" / "dniarz").lexically_normal();
    std::error_code ec;
    return std::filesystem::is_directory(shared, ec) ? shared : std::filesystem::path();
}

ProgramFiles ResolveProgramFiles(const std::optional<std::string>& dirOption, const char* environmentValue,
                                 const std::filesystem::path& executableDir, const std::filesystem::path& dataHome)
{
    ProgramFiles files;
    // Shipped files (info.rtf) lie in share/dniarz when installed, else beside the executable;
    // a folder named by --dir or DNIARZ_DIR holds the user's files but seldom a copy of those.
    const std::filesystem::path installed = InstalledDataDir(executableDir);
    files.sharedDir = installed.empty() ? executableDir : installed;
    if (dirOption && !dirOption->empty()) {
        files.userDir = PathFromUtf8(*dirOption);
        files.source = ProgramFiles::Source::Option;
    } else if (environmentValue && *environmentValue) {
        files.userDir = PathFromUtf8(environmentValue);
        files.source = ProgramFiles::Source::Environment;
    } else if (!installed.empty()) {
        files.userDir = dataHome.empty() ? std::filesystem::path() : dataHome / kUserFolderName;
        files.source = ProgramFiles::Source::UserData;
    } else {
        files.userDir = executableDir;
        files.source = ProgramFiles::Source::Executable;
    }
    return files;
}

std::filesystem::path HelpDocument(const ProgramFiles& files)
{
    if (files.sharedDir.empty())
        return {};
    for (const std::filesystem::path& candidate :
         {(files.sharedDir / ".." / "doc" / "dniarz" / "README.md").lexically_normal(),
          files.sharedDir / "README.md"}) {
        std::error_code ec;
        if (std::filesystem::is_regular_file(candidate, ec))
            return candidate;
    }
    return {};
}

std::string DescribeProgramFiles(const ProgramFiles& files)
{
    static constexpr const char* kFrom[] = {"z --dir", "z DNIARZ_DIR", "obok pliku programu",
                                            "folder danych użytkownika"};
    std::string text = "Pliki (notatki, kontakty, dźwięki): ";
    text += files.userDir.empty() ? std::string("brak: nie ustawiono ani XDG_DATA_HOME, ani HOME")
                                  : PathToUtf8(files.userDir);
    text += std::string(" (") + kFrom[static_cast<int>(files.source)] + ")\n";
    if (!files.sharedDir.empty() && files.sharedDir != files.userDir)
        text += "Pliki dostarczone z programem: " + PathToUtf8(files.sharedDir) + "\n";
    return text;
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

bool EnsureDirectoryChain(const std::filesystem::path& dir,
                          const std::function<bool(const std::filesystem::path&)>& makeOne)
{
    if (dir.empty())
        return false;
    std::error_code ec;
    if (std::filesystem::is_directory(dir, ec))
        return true;
    const auto parent = dir.parent_path();
    if (!parent.empty() && parent != dir && !EnsureDirectoryChain(parent, makeOne))
        return false;
    return makeOne(dir);
}
