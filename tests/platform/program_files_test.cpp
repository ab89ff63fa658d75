// Where the program's files live, portable and installed, over real folders in a temporary tree.
#include "platform/program_dir.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/linux/xdg_dirs.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

// A prefix as `cmake --install` leaves it: bin/ beside share/dniarz.
struct InstalledTree
{
    TempDir root;
    fs::path bin = root.Path() / "prefix" / "bin";
    fs::path shared = root.Path() / "prefix" / "share" / "dniarz";
    fs::path dataHome = root.Path() / "home" / ".local" / "share";
    InstalledTree()
    {
        fs::create_directories(bin);
        fs::create_directories(shared);
    }
};

unsigned Mode(const fs::path& p)
{
    struct stat st
    {
    };
    return ::stat(p.c_str(), &st) == 0 ? (st.st_mode & 07777u) : 0u;
}

}  // namespace

TEST(ProgramFiles, FolderPrecedencePortableAndInstalled)
{
    InstalledTree tree;
    const fs::path buildDir = tree.root.Path() / "build";
    fs::create_directories(buildDir);
    struct Row
    {
        const char* what;
        std::optional<std::string> option;
        const char* environment;
        fs::path exeDir;
        fs::path user;
        fs::path shared;
        ProgramFiles::Source source;
    };
    const Row rows[] = {
        // Not installed, the shipped files lie beside the executable, wherever the notes go.
        {"build folder", std::nullopt, nullptr, buildDir, buildDir, buildDir, ProgramFiles::Source::Executable},
        {"build folder, empty values", std::string(), "", buildDir, buildDir, buildDir,
         ProgramFiles::Source::Executable},
        {"--dir wins", std::string("/a"), "/b", buildDir, "/a", buildDir, ProgramFiles::Source::Option},
        {"DNIARZ_DIR", std::nullopt, "/b", buildDir, "/b", buildDir, ProgramFiles::Source::Environment},
        {"installed", std::nullopt, nullptr, tree.bin, tree.dataHome / "dniarz", tree.shared,
         ProgramFiles::Source::UserData},
        {"installed, empty values", std::string(), "", tree.bin, tree.dataHome / "dniarz", tree.shared,
         ProgramFiles::Source::UserData},
        // A folder named on the command line is used as it is, but the shipped files still serve.
        {"installed with --dir", std::string("/a"), nullptr, tree.bin, "/a", tree.shared, ProgramFiles::Source::Option},
        {"installed with DNIARZ_DIR", std::nullopt, "/b", tree.bin, "/b", tree.shared,
         ProgramFiles::Source::Environment},
        {"installed, path with dots", std::nullopt, nullptr, tree.bin / ".." / "bin", tree.dataHome / "dniarz",
         tree.shared, ProgramFiles::Source::UserData},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        const ProgramFiles files = ResolveProgramFiles(r.option, r.environment, r.exeDir, tree.dataHome);
        EXPECT_EQ(files.userDir, r.user);
        EXPECT_EQ(files.sharedDir, r.shared);
        EXPECT_EQ(files.source, r.source);
        EXPECT_EQ(files.OwnsUserDir(), r.source == ProgramFiles::Source::UserData);
    }
    // Installed without any home: no folder rather than the working directory.
    EXPECT_TRUE(ResolveProgramFiles(std::nullopt, nullptr, tree.bin, {}).userDir.empty());
    EXPECT_EQ(ResolveProgramFiles(std::nullopt, nullptr, {}, tree.dataHome).userDir, fs::path());
}

TEST(ProgramFiles, LayoutAloneDecidesNotWhetherTheFolderIsWritable)
{
    InstalledTree tree;
    // A plain file where the shared folder would be is no installation.
    const fs::path fakeBin = tree.root.Path() / "other" / "bin";
    fs::create_directories(fakeBin);
    WriteWholeFile(tree.root.Path() / "other" / "share" / "dniarz", "x");
    EXPECT_TRUE(InstalledDataDir(fakeBin).empty());
    fs::permissions(tree.bin, fs::perms::owner_read | fs::perms::owner_exec);
    EXPECT_EQ(InstalledDataDir(tree.bin), tree.shared);
    fs::permissions(tree.bin, fs::perms::owner_all);
}

TEST(ProgramFiles, LocatePrefersTheUsersCopyThenTheShippedOne)
{
    InstalledTree tree;
    ProgramFiles files = ResolveProgramFiles(std::nullopt, nullptr, tree.bin, tree.dataHome);
    const fs::path own = files.userDir / "info.rtf";
    EXPECT_EQ(files.Locate("info.rtf"), own) << "nothing anywhere: where a new file goes";
    WriteWholeFile(tree.shared / "info.rtf", "shipped");
    WriteWholeFile(tree.shared / "ALARM.WAV", "shipped");
    EXPECT_EQ(files.Locate("info.rtf"), tree.shared / "info.rtf");
    WriteWholeFile(own, "own");
    EXPECT_EQ(files.Locate("info.rtf"), own);
    EXPECT_EQ(files.Locate("ALARM.WAV"), tree.shared / "ALARM.WAV");
    EXPECT_EQ(files.Locate("tel.rtf"), files.userDir / "tel.rtf");
    EXPECT_EQ(LocateProgramFile(files.userDir, files.sharedDir, "ALARM.WAV"), tree.shared / "ALARM.WAV");

    // Portable: only the program directory, even when a share folder exists elsewhere.
    const ProgramFiles portable = ResolveProgramFiles(std::nullopt, nullptr, tree.root.Path(), tree.dataHome);
    EXPECT_EQ(portable.Locate("ALARM.WAV"), tree.root.Path() / "ALARM.WAV");
}

TEST(ProgramFiles, BuildFolderServesItsShippedFilesToAnotherNotesFolder)
{
    TempDir root;
    const fs::path buildDir = root.Path() / "build";
    const fs::path notes = root.Path() / "notes";
    fs::create_directories(buildDir);
    fs::create_directories(notes);
    WriteWholeFile(buildDir / "info.rtf", "shipped");
    const ProgramFiles files = ResolveProgramFiles(notes.string(), nullptr, buildDir, {});
    EXPECT_EQ(files.Locate("info.rtf"), buildDir / "info.rtf");
    EXPECT_EQ(files.Locate("tel.rtf"), notes / "tel.rtf") << "the user's files stay in the named folder";
    WriteWholeFile(notes / "info.rtf", "own");
    EXPECT_EQ(files.Locate("info.rtf"), notes / "info.rtf");
}

TEST(ProgramFiles, HelpNamesTheFoldersInUse)
{
    InstalledTree tree;
    const std::string installed = DescribeProgramFiles(
        ResolveProgramFiles(std::nullopt, nullptr, tree.bin, tree.dataHome));
    EXPECT_NE(installed.find((tree.dataHome / "dniarz").string()), std::string::npos) << installed;
    EXPECT_NE(installed.find(tree.shared.string()), std::string::npos) << installed;
    const std::string portable = DescribeProgramFiles(ResolveProgramFiles(std::string("/notes"), nullptr, "/x", {}));
    EXPECT_NE(portable.find("/notes (z --dir)"), std::string::npos) << portable;
    EXPECT_NE(portable.find("dostarczone z programem: /x\n"), std::string::npos) << portable;
    const std::string beside = DescribeProgramFiles(ResolveProgramFiles(std::nullopt, nullptr, "/x", {}));
    EXPECT_EQ(beside.find("dostarczone"), std::string::npos) << "one folder is named once: " << beside;
    EXPECT_NE(DescribeProgramFiles(ResolveProgramFiles(std::nullopt, nullptr, tree.bin, {})).find("HOME"),
              std::string::npos);
}

// "Pomoc" opens the documentation where each kind of copy keeps it: an installed one under
// share/doc, a portable one or a build beside the executable; none is no link to a missing file.
TEST(ProgramFiles, HelpDocumentIsFoundWhereEachKindOfCopyKeepsIt)
{
    InstalledTree tree;
    const ProgramFiles installed = ResolveProgramFiles(std::nullopt, nullptr, tree.bin, tree.dataHome);
    EXPECT_EQ(HelpDocument(installed), fs::path());
    WriteWholeFile(tree.root.Path() / "prefix" / "share" / "doc" / "dniarz" / "README.md", "# Dniarz");
    EXPECT_EQ(HelpDocument(installed), tree.root.Path() / "prefix" / "share" / "doc" / "dniarz" / "README.md");

    TempDir portable;
    const ProgramFiles beside = ResolveProgramFiles(std::nullopt, nullptr, portable.Path(), {});
    EXPECT_EQ(HelpDocument(beside), fs::path());
    fs::create_directory(portable.Path() / "README.md");
    EXPECT_EQ(HelpDocument(beside), fs::path()) << "a folder of that name is no document";
    fs::remove(portable.Path() / "README.md");
    WriteWholeFile(portable.Path() / "README.md", "# Dniarz");
    EXPECT_EQ(HelpDocument(beside), portable.Path() / "README.md");
}

TEST(ProgramFiles, UserDataFolderAndItsMissingParentsAreMadePrivate)
{
    TempDir dir;
    const mode_t old = ::umask(022);
    const fs::path data = dir.Path() / "home" / ".local" / "share" / "dniarz";
    EXPECT_TRUE(EnsurePrivateDirectory(data));
    ::umask(old);
    EXPECT_EQ(Mode(data), 0700u);
    EXPECT_EQ(Mode(dir.Path() / "home" / ".local"), 0700u);

    // An existing folder keeps the mode its owner gave it.
    fs::permissions(data, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    EXPECT_TRUE(EnsurePrivateDirectory(data));
    EXPECT_EQ(Mode(data), 0750u);

    WriteWholeFile(dir.Path() / "file", "x");
    EXPECT_FALSE(EnsurePrivateDirectory(dir.Path() / "file" / "dniarz"));
    EXPECT_FALSE(EnsurePrivateDirectory({}));
}

TEST(XdgDirs, DataHomeFollowsTheBaseDirectoryRules)
{
    EXPECT_EQ(XdgDataHome("/data", "/home/ala"), fs::path("/data"));
    EXPECT_EQ(XdgDataHome("data", "/home/ala"), fs::path("/home/ala/.local/share"));
    EXPECT_EQ(XdgDataHome(nullptr, "/home/ala"), fs::path("/home/ala/.local/share"));
    EXPECT_TRUE(XdgDataHome("", nullptr).empty());
}
