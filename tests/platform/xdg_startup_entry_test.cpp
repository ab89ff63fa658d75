// Autostart entries as files in temporary user and system folders.
#include "platform/linux/xdg_startup_entry.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <thread>

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
        // GLib looks for the program as the line names it, "%%" and all: env stands first instead.
        {"/home/ala/100%/dniarz", {"-hide"}, R"(/usr/bin/env "/home/ala/100%%/dniarz" -hide)"},
        {"/usr/bin/dniarz", {"--dir", "/home/ala/50%"}, R"("/usr/bin/dniarz" --dir /home/ala/50%%)"},
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
    EXPECT_FALSE(ExecLine("/tmp/a\tb", {"-hide"}));
    // Not UTF-8 (Latin-2 "ż", an overlong "/", a surrogate): no desktop entry can hold it.
    for (const char* bad : {"/home/\xbf\xf3\xb3w/dniarz", "/tmp/\xc0\xaf", "/tmp/\xed\xa0\x80"}) {
        EXPECT_FALSE(ExecLine(bad, {"-hide"})) << bad;
        EXPECT_FALSE(ExecLine("/usr/bin/dniarz", {"--dir", bad})) << bad;
    }
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
    EXPECT_FALSE(empty.SetAutoRun(true));
    EXPECT_FALSE(empty.AutoRun()) << "a refused write leaves the box unticked";
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

TEST(XdgStartupEntry, AnEntryForAProgramUnderAPercentSignStartsThroughGLib)
{
    if (!std::filesystem::exists("/usr/bin/gio"))
        GTEST_SKIP() << "GLib's gio is not installed";
    TempDir dir;
    const auto program = dir.Path() / "100% moje" / "dniarz";
    const auto marker = dir.Path() / "started";
    WriteWholeFile(program, "#!/bin/sh\necho \"$@\" > '" + marker.string() + "'\n");
    std::filesystem::permissions(program, std::filesystem::perms::owner_all);
    XdgStartupEntry entries(dir.Path() / "autostart", dir.Path() / "system");
    ASSERT_TRUE(entries.Write(kUser, "ZWDniarz", program.string(), {"-hide", "--dir", "/home/ala/50%"}));
    // GLib's local file system only: no session services of the machine are asked.
    const std::string command = "GIO_USE_VFS=local gio launch '" + entries.EntryFile(kUser, "ZWDniarz").string()
                                + "' 2>&1";
    EXPECT_EQ(std::system(command.c_str()), 0);
    for (int i = 0; i < 500 && ReadWholeFile(marker).empty(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(ReadWholeFile(marker), "-hide --dir /home/ala/50%\n");

    // A name that no entry can hold is refused.
    EXPECT_FALSE(entries.Write(kUser, "ZWDniarz", "/home/\xbf\xf3\xb3w/dniarz", {"-hide"}));
    EXPECT_FALSE(entries.Write(kUser, "ZWDniarz", "/home/ala\nnowy/dniarz", {"-hide"}));
}
