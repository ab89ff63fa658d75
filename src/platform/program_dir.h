// Where the program's own files live. Run from a build folder or an unpacked archive, the notes,
// the contacts, the optional sound and server list all sit beside the executable, never in the
// working directory. Installed (the executable's folder has ../share/dniarz beside it), they
// move to the user's data folder. Either way the files shipped with the program are read from
// where the program lies unless the user's folder has a copy of its own.
#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

struct ProgramFiles
{
    enum class Source
    {
        Option,
        Environment,
        Executable,
        UserData
    };

    std::filesystem::path userDir;  // where the program's files are read and written
    // Where the files shipped with the program lie: <prefix>/share/dniarz when installed, else
    // the executable's directory (which is userDir unless --dir or DNIARZ_DIR names another).
    std::filesystem::path sharedDir;
    Source source = Source::Executable;

    // The file `name` to read: the user's own copy when there is one, else the copy shipped with
    // the program, else the user's path, where a new file of that name would be written.
    std::filesystem::path Locate(std::string_view name) const;
    // True when the user's folder is the per-user data folder, which the program creates itself.
    bool OwnsUserDir() const { return source == Source::UserData; }
};

// The program's documentation as installed (README.md under share/doc/dniarz beside the shared
// files) or beside the executable (a portable copy, a build); empty when there is none.
std::filesystem::path HelpDocument(const ProgramFiles& files);

// ProgramFiles::Locate for code that keeps the two folders apart (MainWindowOptions).
std::filesystem::path LocateProgramFile(const std::filesystem::path& userDir, const std::filesystem::path& sharedDir,
                                        std::string_view name);

// The directory of the running executable; empty when the system cannot tell.
std::filesystem::path ExecutableDir();

// <executableDir>/../share/dniarz when that folder exists: the program is installed.
std::filesystem::path InstalledDataDir(const std::filesystem::path& executableDir);

// The program's folders: the --dir option first, then DNIARZ_DIR, then, for an installed
// program, dataHome/dniarz (XDG_DATA_HOME or ~/.local/share; %LOCALAPPDATA%\\Dniarz on Windows), else the
// executable's directory. Empty values count as not given. userDir comes out empty only when the
// program is installed and no data home is known.
ProgramFiles ResolveProgramFiles(const std::optional<std::string>& dirOption, const char* environmentValue,
                                 const std::filesystem::path& executableDir, const std::filesystem::path& dataHome);

// The lines of --help that say which folders are in use.
std::string DescribeProgramFiles(const ProgramFiles& files);

// Creates `dir` and any missing parents readable by the owner alone, as a folder of a user's
// private files should be; an existing folder keeps its mode. False when it cannot be made.
bool EnsurePrivateDirectory(const std::filesystem::path& dir);
// What both systems' EnsurePrivateDirectory do: `dir` and its missing parents, parents first,
// each made by `makeOne` with the system's own rights. True when `dir` is a folder at the end.
bool EnsureDirectoryChain(const std::filesystem::path& dir,
                          const std::function<bool(const std::filesystem::path&)>& makeOne);

// The program file to name where the program must be found again later, as in a start-at-logon
// entry: the AppImage it runs from when `appImage` is set (its contents are mounted afresh at
// each start), otherwise `runningFile`, the file the system says is running, without the
// " (deleted)" mark a replaced file gets (an upgrade puts the new program at the same path).
// Empty when neither is given.
std::filesystem::path ProgramFileFrom(std::string runningFile, const char* appImage);
// The same for this process; every place that records the program's own path asks this.
std::filesystem::path ProgramFile();
