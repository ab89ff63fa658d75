// The single-instance mutex, the clock's zone offsets, the links given to the shell, and the
// program's own folders.
#include <windows.h>

#include <gtest/gtest.h>

#include "platform/program_dir.h"
#include "platform/windows/shell_url_launcher.h"
#include "platform/windows/windows_instance_lock.h"
#include "platform/windows/windows_system_clock.h"
#include "win_temp_dir.h"

TEST(WindowsInstanceLock, ASecondHolderIsRefusedUntilTheFirstLetsGo)
{
    const std::string name = "ZWDNIARZ-test-" + std::to_string(GetCurrentProcessId());
    WindowsInstanceLock first(name);
    WindowsInstanceLock second(name);
    ASSERT_EQ(first.TryAcquire(), LockResult::Acquired);
    EXPECT_EQ(first.TryAcquire(), LockResult::Acquired);
    EXPECT_EQ(second.TryAcquire(), LockResult::HeldByAnother);
    first.Release();
    EXPECT_EQ(second.TryAcquire(), LockResult::Acquired);
    EXPECT_EQ(first.TryAcquire(), LockResult::HeldByAnother);
}

TEST(WindowsSystemClock, OffsetsFollowTheZonesRulesForEachDate)
{
    using namespace std::chrono;
    // The tests run with the zone of Central Europe: winter, summer, and the hour after the change.
    const auto at = [](int y, int m, int d, int h) {
        return sys_days(year_month_day(year(y), month(static_cast<unsigned>(m)), day(static_cast<unsigned>(d))))
               + hours(h);
    };
    EXPECT_EQ(LocalOffsetAt(at(2024, 1, 15, 12)), hours(1));
    EXPECT_EQ(LocalOffsetAt(at(2024, 7, 15, 12)), hours(2));
    EXPECT_EQ(LocalOffsetAt(at(2024, 3, 31, 0)), hours(1));
    EXPECT_EQ(LocalOffsetAt(at(2024, 3, 31, 1)), hours(2));
    WindowsSystemClock clock;
    EXPECT_GT(clock.Uptime().value_or(std::chrono::milliseconds(0)).count(), 0);
    // Set is never called here: it would move the machine's clock.
}

TEST(ShellUrlLauncher, OnlyWebAddressesAndMailReachTheShell)
{
    std::vector<std::wstring> opened;
    ShellUrlLauncher links([&](const std::wstring& address) {
        opened.push_back(address);
        return true;
    });
    EXPECT_TRUE(links.OpenInBrowser("www.example.org/ścieżka"));
    EXPECT_TRUE(links.OpenInBrowser("HTTPS://example.org"));
    EXPECT_TRUE(links.OpenMail("ala@example.org?subject=Cześć&attach=C:\\plik.txt"));
    EXPECT_EQ(opened, (std::vector<std::wstring>{L"http://www.example.org/ścieżka", L"HTTPS://example.org",
                                                 L"mailto:ala@example.org?subject=Cześć"}));
    // The shell would run a program or open a file as readily as it opens an address.
    opened.clear();
    for (const char* address : {"C:\\Windows\\System32\\calc.exe", "c:calc.exe", "\\\\serwer\\udział\\x.exe",
                                "file:///C:/x.exe", "javascript:alert(1)", "shell:startup", "-x", "", "a\nb"}) {
        SCOPED_TRACE(address);
        EXPECT_FALSE(links.OpenInBrowser(address));
    }
    EXPECT_FALSE(links.OpenMail("ala@example.org\r\nBcc: x"));
    EXPECT_TRUE(opened.empty());
}

TEST(ProgramDirWindows, TheExecutablesFolderAndPrivateFoldersInAnyLetters)
{
    EXPECT_TRUE(std::filesystem::is_directory(ExecutableDir()));
    EXPECT_EQ(ProgramFile().parent_path(), ExecutableDir());
    EXPECT_EQ(ProgramFile().extension(), ".exe");
    WinTempDir dir;
    const auto deep = dir.Path() / L"Dane aplikacji" / L"Dniarz żółć";
    EXPECT_TRUE(EnsurePrivateDirectory(deep));
    EXPECT_TRUE(std::filesystem::is_directory(deep));
    EXPECT_TRUE(EnsurePrivateDirectory(deep));
    EXPECT_FALSE(EnsurePrivateDirectory({}));
    // Installed means the layout of an installation: share\dniarz beside the bin folder.
    std::filesystem::create_directories(dir.Path() / L"share" / L"dniarz");
    std::filesystem::create_directories(dir.Path() / L"bin");
    const ProgramFiles files = ResolveProgramFiles(std::nullopt, nullptr, dir.Path() / L"bin",
                                                   L"C:\\Users\\Ala\\Local");
    EXPECT_TRUE(files.OwnsUserDir());
    EXPECT_EQ(files.userDir, std::filesystem::path(L"C:\\Users\\Ala\\Local\\Dniarz"));
    const ProgramFiles portable = ResolveProgramFiles(std::nullopt, nullptr, deep, L"C:\\Users\\Ala\\Local");
    EXPECT_EQ(portable.userDir, deep);
    // --dir and DNIARZ_DIR arrive as UTF-8 and name the folder letter for letter.
    EXPECT_EQ(ResolveProgramFiles("D:\\Mój program", nullptr, deep, {}).userDir,
              std::filesystem::path(L"D:\\Mój program"));
    EXPECT_EQ(ResolveProgramFiles(std::nullopt, "D:\\Дняр", deep, {}).userDir, std::filesystem::path(L"D:\\Дняр"));
}
