// The browser launch: the cut rule, desktop entry Exec lines, the search for the default browser
// and the arguments it is started with, through a recording stand-in for the system.
#include "platform/linux/linux_file_store.h"
#include "hostile_files.h"
#include "platform/linux/xdg_startup_entry.h"
#include "platform/read_file.h"
#include "platform/linux/process_spawn.h"
#include "platform/linux/xdg_url_launcher.h"
#include "platform/url_launcher.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <map>
#include <set>

using Args = std::vector<std::string>;

TEST(UrlLauncher, CutRuleOnRegisteredCommandLines)
{
    struct Row
    {
        const char* line;
        const char* cut;
    };
    const Row rows[] = {
        // Quoted program, an option, the quoted placeholder: cut before its opening quote.
        {R"("C:\Program Files\Browser\browser.exe" -osint "%1")", R"("C:\Program Files\Browser\browser.exe" -osint )"},
        {"browser.exe", "browser.exe"},
        {"browser.exe %1 -new-tab", "browser.exe "},
        // The quoted placeholder wins over an earlier bare one.
        {R"(browser %1 "%1")", "browser %1 "},
        {"firefox-esr %u", "firefox-esr "},
        {"chromium %U", "chromium "},
        {R"(browser --new-window "%u" --extra)", "browser --new-window "},
        {"viewer %F", "viewer "},
        {"viewer %f", "viewer "},
        {"browser --title=100%% %u", "browser --title=100%% "},
        {"browser --no-placeholder", "browser --no-placeholder"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(CutAtPlaceholder(r.line), r.cut) << r.line;
}

TEST(UrlLauncher, ExecLinesSplitByTheDesktopQuotingRules)
{
    EXPECT_EQ(SplitExecLine(R"(  a  "b c"  d"e f"g "h\"i\\j\$k\`l" )"), (Args{"a", "b c", "de fg", R"(h"i\j$k`l)"}));
    EXPECT_EQ(SplitExecLine(R"("unfinished)"), std::nullopt);
    EXPECT_EQ(SplitExecLine(R"("" x)"), (Args{"", "x"}));
    EXPECT_EQ(UnescapeDesktopValue(R"(a\sb\\c\td\"e)"), "a b\\c\td\\\"e");
}

TEST(UrlLauncher, BrowserArgumentsKeepTheAddressWhole)
{
    const std::string address = "https://example.org/a b?c=\"d\"&e;$(f)";
    struct Row
    {
        const char* exec;
        Args args;
    };
    const Row rows[] = {
        {"firefox-esr %u", {"firefox-esr", address}},
        {"/usr/bin/chromium %U", {"/usr/bin/chromium", address}},
        {R"("/opt/My Browser/browser" --new-window "%u" --ignored)",
         {"/opt/My Browser/browser", "--new-window", address}},
        {"browser --private", {"browser", "--private", address}},
        {"browser %i --class=%c %k --percent=100%% %u", {"browser", "--class=", "--percent=100%", address}},
        {"/usr/bin/flatpak run --file-forwarding org.example.Browser @@u %u @@",
         {"/usr/bin/flatpak", "run", "--file-forwarding", "org.example.Browser", address}},
    };
    for (const Row& r : rows)
        EXPECT_EQ(BrowserArguments(r.exec, address), r.args) << r.exec;
    EXPECT_EQ(BrowserArguments(R"(sh -c "browser %u")", address), std::nullopt);
    EXPECT_EQ(BrowserArguments("%u", address), std::nullopt);
    // An address that would read as an option never reaches a program.
    EXPECT_EQ(BrowserArguments("browser %u", "--remote-debugging-port=9222"), std::nullopt);
    EXPECT_EQ(BrowserArguments("browser %u", "http://x\n--evil"), std::nullopt);
}

TEST(UrlLauncher, DesktopEntryExecIsTakenFromTheMainGroupOnly)
{
    const char* file = "[Desktop Entry]\r\nName=Browser\r\nExecutable=no\r\nExec = browser\\s--x %u\r\n"
                       "[Desktop Action new-window]\nExec=browser --new-window %u\n";
    EXPECT_EQ(DesktopEntryExec(file), "browser --x %u");
    EXPECT_EQ(DesktopEntryExec("[Desktop Action a]\nExec=x\n"), std::nullopt);
}

namespace {

struct RecordingSystem
{
    std::map<std::string, std::string> answers;  // first argument and last argument -> output
    std::vector<Args> spawned;
    bool spawnWorks = true;
    std::set<std::string> missingPrograms;

    XdgUrlLauncher::System Make(std::vector<std::filesystem::path> dirs)
    {
        return {[this](const Args& argv) -> std::optional<std::string> {
                    const auto found = answers.find(argv.front() + " " + argv.back());
                    if (found == answers.end())
                        return std::nullopt;
                    return found->second;
                },
                [this](const Args& argv) {
                    spawned.push_back(argv);
                    return spawnWorks && !missingPrograms.contains(argv.front());
                },
                std::move(dirs)};
    }
};

void WriteFile(const std::filesystem::path& file, const std::string& text)
{
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file) << text;
}

}  // namespace

TEST(XdgUrlLauncher, StartsTheDefaultBrowserFromItsDesktopEntry)
{
    TempDir home, system;
    WriteFile(system.Path() / "applications/firefox-esr.desktop",
              "[Desktop Entry]\nExec=/usr/lib/firefox-esr/firefox-esr %u\n");
    WriteFile(home.Path() / "applications/kde4/konqueror.desktop", "[Desktop Entry]\nExec=konqueror %U\n");
    RecordingSystem recorder;
    recorder.answers["xdg-settings default-web-browser"] = "firefox-esr.desktop\n";
    XdgUrlLauncher launcher(recorder.Make({home.Path(), system.Path()}));
    EXPECT_TRUE(launcher.OpenInBrowser("www.example.pl/a b"));
    EXPECT_EQ(recorder.spawned, (std::vector<Args>{{"/usr/lib/firefox-esr/firefox-esr", "www.example.pl/a b"}}));

    // The scheme handler when the desktop has no default browser setting; vendor prefixes as folders.
    recorder.answers.clear();
    recorder.spawned.clear();
    recorder.answers["xdg-mime x-scheme-handler/https"] = "kde4-konqueror.desktop";
    EXPECT_TRUE(launcher.OpenInBrowser("http://example.pl"));
    EXPECT_EQ(recorder.spawned, (std::vector<Args>{{"konqueror", "http://example.pl"}}));
}

TEST(XdgUrlLauncher, FallsBackToXdgOpenAndRefusesOptionLikeAddresses)
{
    TempDir empty;
    RecordingSystem recorder;
    recorder.answers["xdg-settings default-web-browser"] = "missing.desktop";
    XdgUrlLauncher launcher(recorder.Make({empty.Path()}));
    EXPECT_TRUE(launcher.OpenInBrowser("http://example.pl"));
    EXPECT_EQ(recorder.spawned, (std::vector<Args>{{"xdg-open", "http://example.pl"}}));

    // xdg-open reads an address without a scheme as a file name, which does not exist.
    recorder.spawned.clear();
    EXPECT_TRUE(launcher.OpenInBrowser("WWW.example.pl:8080/a"));
    EXPECT_TRUE(launcher.OpenInBrowser("HTTPS://example.pl"));
    EXPECT_EQ(recorder.spawned,
              (std::vector<Args>{{"xdg-open", "http://WWW.example.pl:8080/a"}, {"xdg-open", "HTTPS://example.pl"}}));

    recorder.spawned.clear();
    EXPECT_FALSE(launcher.OpenInBrowser("-new-instance"));
    EXPECT_TRUE(recorder.spawned.empty());

    recorder.spawnWorks = false;
    EXPECT_FALSE(launcher.OpenInBrowser("http://example.pl"));
}

TEST(XdgUrlLauncher, MailThroughXdgEmailElseXdgOpen)
{
    TempDir empty;
    RecordingSystem recorder;
    XdgUrlLauncher launcher(recorder.Make({empty.Path()}));
    EXPECT_TRUE(launcher.OpenMail("jan@example.pl"));
    EXPECT_EQ(recorder.spawned, (std::vector<Args>{{"xdg-email", "mailto:jan@example.pl"}}));
    // A double-clicked token may carry header fields; one that attaches a file of the user's to
    // the new message is dropped, the others stay.
    recorder.spawned.clear();
    EXPECT_TRUE(launcher.OpenMail("jan@example.pl?attach=/home/jan/.ssh/id_rsa&subject=Hej&ATTACHMENT=a&%61ttach=b"));
    EXPECT_EQ(recorder.spawned, (std::vector<Args>{{"xdg-email", "mailto:jan@example.pl?subject=Hej"}}));
    recorder.spawned.clear();
    recorder.missingPrograms.insert("xdg-email");
    EXPECT_TRUE(launcher.OpenMail("-x@example.pl"));
    EXPECT_EQ(recorder.spawned,
              (std::vector<Args>{{"xdg-email", "mailto:-x@example.pl"}, {"xdg-open", "mailto:-x@example.pl"}}));
}

// The real process calls: a program that exists starts, one that does not is reported.
TEST(ProcessSpawn, ReportsWhetherTheProgramStarted)
{
    EXPECT_TRUE(SpawnDetached({"true"}));
    EXPECT_FALSE(SpawnDetached({"dniarz-no-such-program-here"}));
    EXPECT_FALSE(SpawnDetached({}));
    EXPECT_EQ(CaptureOutput({"echo", "a b", "c"}, std::chrono::seconds(5)), "a b c\n");
    EXPECT_EQ(CaptureOutput({"false"}, std::chrono::seconds(5)), std::nullopt);
    EXPECT_EQ(CaptureOutput({"sleep", "5"}, std::chrono::milliseconds(100)), std::nullopt);
}

TEST(LinuxFileStore, ReadsReplacesAndFailsWithoutThrowing)
{
    TempDir dir;
    LinuxFileStore store;
    const auto file = dir.Path() / "tel.rtf";
    EXPECT_EQ(store.ReadContents(file), std::nullopt);
    ASSERT_TRUE(store.ReplaceContents(file, "old"));
    ASSERT_TRUE(store.ReplaceContents(file, std::string("new\0bytes", 9)));
    EXPECT_EQ(store.ReadContents(file), std::string("new\0bytes", 9));
    EXPECT_EQ(store.ReadContents(dir.Path()), std::nullopt);
    // A file that cannot be replaced stays as it was, and nothing is left beside it.
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    if (::geteuid() != 0) {
        EXPECT_FALSE(store.ReplaceContents(file, "lost"));
        EXPECT_EQ(store.ReadContents(file), std::string("new\0bytes", 9));
    }
    std::filesystem::permissions(dir.Path(), std::filesystem::perms::owner_all);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

// The readers of the platform layer that read files the user or the system put there.
TEST(HostileFiles, DesktopEntriesAndTheContactsStoreRefuseWhatIsNoFileAtOnce)
{
    TempDir dir;
    LinuxFileStore store;
    for (HostileFile kind : kHostileFiles) {
        SCOPED_TRACE(Name(kind));
        ASSERT_TRUE(MakeHostileFile(dir.Path() / "tel.rtf", kind, kRichTextLimit));
        EXPECT_EQ(store.Read(dir.Path() / "tel.rtf", kRichTextLimit).status, FileRead::Status::Failed);
        // Set aside under a free name only.
        WriteFile(dir.Path() / "taken", "kept");
        EXPECT_FALSE(store.RenameToFreeName(dir.Path() / "tel.rtf", dir.Path() / "taken"));
        EXPECT_EQ(ReadWholeFile(dir.Path() / "taken"), "kept");
        EXPECT_TRUE(store.RenameToFreeName(dir.Path() / "tel.rtf", dir.Path() / "aside"));
        EXPECT_FALSE(std::filesystem::exists(dir.Path() / "tel.rtf"));
        std::filesystem::remove(dir.Path() / "aside");

        // The default browser's entry: the address goes to xdg-open instead.
        ASSERT_TRUE(MakeHostileFile(dir.Path() / "applications" / "browser.desktop", kind, kSmallFileLimit));
        RecordingSystem recorder;
        recorder.answers["xdg-settings default-web-browser"] = "browser.desktop";
        XdgUrlLauncher launcher(recorder.Make({dir.Path()}));
        EXPECT_TRUE(launcher.OpenInBrowser("http://example.pl"));
        EXPECT_EQ(recorder.spawned, (std::vector<Args>{{"xdg-open", "http://example.pl"}}));

        // The start entry reads as none.
        XdgStartupEntry entries(dir.Path() / "autostart", dir.Path() / "system");
        ASSERT_TRUE(MakeHostileFile(entries.EntryFile(TRegLocation::CurrentUser, "ZWDniarz"), kind, kSmallFileLimit));
        EXPECT_EQ(entries.Read(TRegLocation::CurrentUser, "ZWDniarz"), std::nullopt);
    }
}
