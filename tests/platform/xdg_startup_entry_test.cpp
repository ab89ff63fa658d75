// Autostart entries as files in temporary user and system folders.
#include "platform/linux/xdg_startup_entry.h"

#include <gtest/gtest.h>

#include "app/auto_runner.h"
#include "temp_dir.h"

namespace {

constexpr auto kUser = TRegLocation::CurrentUser;
constexpr auto kMachine = TRegLocation::LocalMachine;

struct Folders
{
    TempDir dir;
    XdgStartupEntry entries{dir.Path() / "config" / "autostart", dir.Path() / "etc" / "xdg" / "autostart"};

    void Put(TRegLocation where, const std::string& text)
    {
        WriteWholeFile(entries.EntryFile(where, "ZWDniarz"), text);
    }
};

}  // namespace

TEST(XdgStartupEntry, ExecLinesQuoteThePathAsDesktopEntriesRequire)
{
    struct Row
    {
        const char* program;
        std::vector<std::string> arguments;
        const char* expected;
    };
    // Worked out from the quoting rules: inside double quotes ", `, $ and \ take a backslash, and
    // the value's own string escapes then double every backslash; % starts a field code.
    const Row rows[] = {
        {"/usr/bin/dniarz", {"-hide"}, R"("/usr/bin/dniarz" -hide)"},
        {"/opt/moje programy/dniarz", {"-hide"}, R"("/opt/moje programy/dniarz" -hide)"},
        {"/tmp/a\"b$c\\d`e", {"-hide"}, R"("/tmp/a\\"b\\$c\\\\d\\`e" -hide)"},
        {"/home/ala/100%/dniarz", {"-hide"}, R"("/home/ala/100%%/dniarz" -hide)"},
        {"/home/żółw/dniarz", {}, R"("/home/żółw/dniarz")"},
        {"/usr/bin/dniarz", {"-a b"}, R"("/usr/bin/dniarz" "-a b")"},
        {"/usr/bin/dniarz",
         {"-hide", "--dir", "/home/ala/moje notatki"},
         R"("/usr/bin/dniarz" -hide --dir "/home/ala/moje notatki")"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.program);
        EXPECT_EQ(ExecLine(r.program, r.arguments), r.expected);
    }
    EXPECT_FALSE(ExecLine("/tmp/a\nb", {"-hide"}));
    EXPECT_FALSE(ExecLine("", {"-hide"}));
}

TEST(XdgStartupEntry, WritesAnEntryThatReadsBackAndRemoves)
{
    Folders f;
    ASSERT_TRUE(f.entries.Write(kUser, "ZWDniarz", "/opt/moje programy/dniarz", {"-hide"}));
    EXPECT_EQ(f.entries.EntryFile(kUser, "ZWDniarz"), f.dir.Path() / "config" / "autostart" / "ZWDniarz.desktop");
    const std::string text = ReadWholeFile(f.entries.EntryFile(kUser, "ZWDniarz"));
    EXPECT_TRUE(text.starts_with("[Desktop Entry]\n"));
    EXPECT_NE(text.find("\nType=Application\n"), std::string::npos);
    EXPECT_NE(text.find("\nExec=\"/opt/moje programy/dniarz\" -hide\n"), std::string::npos);
    EXPECT_EQ(f.entries.Read(kUser, "ZWDniarz"), "\"/opt/moje programy/dniarz\" -hide");
    EXPECT_FALSE(f.entries.Read(kMachine, "ZWDniarz"));

    EXPECT_TRUE(f.entries.Remove(kUser, "ZWDniarz"));
    EXPECT_FALSE(f.entries.Read(kUser, "ZWDniarz"));
    EXPECT_FALSE(f.entries.Remove(kUser, "ZWDniarz"));
}

TEST(XdgStartupEntry, ReadsEntriesAsTheAutostartRulesMeanThem)
{
    struct Row
    {
        const char* text;
        std::optional<std::string> expected;
    };
    const Row rows[] = {
        {"[Desktop Entry]\nType=Application\nExec=/usr/bin/dniarz -hide\n", "/usr/bin/dniarz -hide"},
        {"[Desktop Entry]\r\nExec = /usr/bin/dniarz\\s-hide\r\n", "/usr/bin/dniarz -hide"},
        {"[Desktop Entry]\nExec=\n", ""},
        {"[Desktop Entry]\nName=Dniarz\n", ""},
        {"[Desktop Entry]\nExec=/usr/bin/dniarz\nHidden=true\n", std::nullopt},
        {"[Desktop Entry]\nExec=/usr/bin/dniarz\nX-GNOME-Autostart-enabled=false\n", std::nullopt},
        {"[Desktop Action x]\nExec=/usr/bin/inny\n[Desktop Entry]\nExec=/usr/bin/dniarz\n", "/usr/bin/dniarz"},
        {"[Desktop Entry]\n# Exec=/usr/bin/inny\nExec[pl]=/usr/bin/inny\n", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        Folders f;
        f.Put(kMachine, r.text);
        EXPECT_EQ(f.entries.Read(kMachine, "ZWDniarz"), r.expected);
    }
}

TEST(XdgStartupEntry, AUserEntryOfTheSameNameReplacesTheSystemOne)
{
    Folders f;
    f.Put(kMachine, "[Desktop Entry]\nExec=/usr/bin/dniarz -hide\n");
    f.Put(kUser, "[Desktop Entry]\nHidden=true\n");
    EXPECT_FALSE(f.entries.Read(kUser, "ZWDniarz"));
    EXPECT_FALSE(f.entries.Read(kMachine, "ZWDniarz"));
}

TEST(XdgStartupEntry, NamesThatLeaveTheFolderAreRefused)
{
    Folders f;
    for (const char* name : {"", "..", "../ZWDniarz", "a/b"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(f.entries.Write(kUser, name, "/usr/bin/dniarz", {"-hide"}));
        EXPECT_FALSE(f.entries.Read(kUser, name));
    }
    EXPECT_FALSE(std::filesystem::exists(f.dir.Path() / "config"));
}

TEST(XdgStartupEntry, TheSwitchOverRealFoldersWithAnEntryOnlyInTheSystemFolder)
{
    Folders f;
    // The system folder refuses new files, as /etc/xdg/autostart does for an ordinary user.
    WriteWholeFile(f.dir.Path() / "etc" / "xdg" / "autostart", "not a folder");
    XdgStartupEntry readOnlySystem(f.dir.Path() / "config" / "autostart", f.dir.Path() / "etc" / "xdg" / "autostart");
    TAutoRunner empty = MainWindowAutoRunner(readOnlySystem, "/usr/bin/dniarz");
    EXPECT_FALSE(empty.AutoRun());
    empty.SetRegLocation(kMachine);
    empty.SetAutoRun(true);
    EXPECT_TRUE(empty.AutoRun()) << "a refused write keeps the requested value";
    EXPECT_FALSE(readOnlySystem.Read(kMachine, "ZWDniarz"));
    EXPECT_FALSE(readOnlySystem.Read(kUser, "ZWDniarz"));

    Folders g;
    g.Put(kMachine, "[Desktop Entry]\nExec=/usr/bin/dniarz -hide\n");
    TAutoRunner runner = MainWindowAutoRunner(g.entries, "/usr/local/bin/dniarz");
    EXPECT_TRUE(runner.AutoRun());
    EXPECT_EQ(runner.RegLocation(), kMachine);
    runner.SetAutoRun(false);
    EXPECT_FALSE(g.entries.Read(kMachine, "ZWDniarz"));
    runner.SetAutoRun(true);
    EXPECT_EQ(g.entries.Read(kMachine, "ZWDniarz"), "\"/usr/local/bin/dniarz\" -hide");
    EXPECT_FALSE(g.entries.Read(kUser, "ZWDniarz"));
}
