// The Linux settings store over real files in a temporary configuration folder.
#include "platform/linux/file_settings_store.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>

#include "app/settings.h"
#include "platform/linux/xdg_dirs.h"
#include "hostile_files.h"
#include "platform/read_file.h"
#include "temp_dir.h"

namespace {

const TDateTime kNow = 45000.75;

std::filesystem::path FileIn(const TempDir& dir)
{
    return ProgramSettingsFile(XdgConfigHome(dir.Path().c_str(), "/nonexistent-home"));
}

}  // namespace

TEST(XdgDirs, ConfigHomeFollowsTheBaseDirectoryRules)
{
    struct Row
    {
        const char* xdg;
        const char* home;
        const char* expected;
    };
    const Row rows[] = {
        {"/tmp/cfg", "/home/ala", "/tmp/cfg"},
        {nullptr, "/home/ala", "/home/ala/.config"},
        {"", "/home/ala", "/home/ala/.config"},
        {"cfg", "/home/ala", "/home/ala/.config"},  // relative: ignored
        {nullptr, nullptr, ""},
        {nullptr, "", ""},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << (r.xdg ? r.xdg : "(unset)") << ' ' << (r.home ? r.home : "(unset)"));
        EXPECT_EQ(XdgConfigHome(r.xdg, r.home), std::filesystem::path(r.expected));
    }
    EXPECT_EQ(ProgramSettingsFile("/home/ala/.config"), std::filesystem::path("/home/ala/.config/Brenvik/dniarz.reg"));
    EXPECT_TRUE(ProgramSettingsFile({}).empty());
}

TEST(FileSettingsStore, AMissingFileIsAMissingKeyUntilAWriterCreatesIt)
{
    TempDir dir;
    FileSettingsStore store(FileIn(dir));
    EXPECT_EQ(store.OpenKey(false), nullptr);
    EXPECT_FALSE(std::filesystem::exists(store.File()));

    EXPECT_EQ(ReadSyncTime(store), "");
    EXPECT_EQ(ReadWholeFile(store.File()), "Windows Registry Editor Version 5.00\r\n\r\n"
                                           "[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\r\n\r\n");
    Settings s;
    LoadSettings(store, s, kNow);
    EXPECT_FALSE(s.FirstRun);
}

TEST(FileSettingsStore, WritesOneLinePerValueInTheExportSyntax)
{
    TempDir dir;
    FileSettingsStore store(FileIn(dir));
    Settings s;
    s.ColSunday = RgbColour(255, 0, 0);
    s.Longitude = -0.5;
    ASSERT_TRUE(SaveSettings(store, s));
    ASSERT_TRUE(SaveAlarm(store, "06:45", true));
    EXPECT_EQ(ReadWholeFile(store.File()), "Windows Registry Editor Version 5.00\r\n\r\n"
                                           "[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\r\n"
                                           "\"Czas alarmu\"=dword:0000012c\r\n"
                                           "\"Alarm przez kartę\"=dword:00000000\r\n"
                                           "\"Szerokość geograficzna\"=hex:00,00,00,00,00,00,4a,40\r\n"
                                           "\"Długość geograficzna\"=hex:00,00,00,00,00,00,e0,bf\r\n"
                                           "\"Sygnalizacja pełnej godziny\"=dword:00000000\r\n"
                                           "\"Synchronizacja\"=dword:00000000\r\n"
                                           "\"Korekta czasu\"=hex:00,00,00,00,00,00,00,00\r\n"
                                           "\"ColSunday\"=dword:000000ff\r\n"
                                           "\"ColSaturday\"=dword:00ff0000\r\n"
                                           "\"ColMarked\"=dword:00ff00ff\r\n"
                                           "\"ColWeek\"=dword:00000080\r\n"
                                           "\"ColToday\"=dword:00ffff00\r\n"
                                           "\"Przywołanie\"=dword:00000000\r\n"
                                           "\"ColHoliday\"=dword:000000ff\r\n"
                                           "\"Czas drzemki\"=dword:00000005\r\n"
                                           "\"Imieniny bliskich\"=\"\"\r\n"
                                           "\"Przypomnienia z notatek\"=dword:00000001\r\n"
                                           "\"Wyprzedzenie przypomnień\"=dword:0000000f\r\n"
                                           "\"Dźwięk przypomnień\"=dword:00000001\r\n"
                                           "\"Województwo\"=\"\"\r\n"
                                           "\"Godzina alarmu\"=\"06:45\"\r\n"
                                           "\"Załączony alarm\"=dword:00000001\r\n"
                                           "\r\n");
    // Nothing is left beside it.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(store.File().parent_path()))
        ++files;
    EXPECT_EQ(files, 1);
}

TEST(FileSettingsStore, EveryTypeRoundTripsThroughTheFile)
{
    TempDir dir;
    FileSettingsStore writer(FileIn(dir));
    {
        const auto key = writer.OpenKey(true);
        ASSERT_NE(key, nullptr);
        EXPECT_TRUE(key->WriteString("Ścieżka \"ulubiona\"", "C:\\Program Files\\\"Dniarz\"\\"));
        EXPECT_TRUE(key->WriteString("Wiersze", "pierwszy\ndrugi\r\n"));
        EXPECT_TRUE(key->WriteString("Pusty", ""));
        EXPECT_TRUE(key->WriteInteger("Ujemna", -2));
        EXPECT_TRUE(key->WriteInteger("Największa", 2147483647));
        const std::uint8_t bytes[] = {0, 0xff, 0x0a, 0x0d, '"', '\\'};
        EXPECT_TRUE(key->WriteBinary("Bajty", bytes));
        EXPECT_TRUE(key->WriteBinary("Szerokość", DoubleToBytes(52.236620)));
    }
    FileSettingsStore reader(writer.File());
    const auto key = reader.OpenKey(false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("Ścieżka \"ulubiona\""), "C:\\Program Files\\\"Dniarz\"\\");
    EXPECT_EQ(key->ReadString("Wiersze"), "pierwszy\ndrugi\r\n");
    EXPECT_EQ(key->ReadString("Pusty"), "");
    EXPECT_EQ(key->ReadInteger("Ujemna"), -2);
    EXPECT_EQ(key->ReadInteger("Największa"), 2147483647);
    EXPECT_EQ(key->ReadBinary("Bajty", 6), (std::vector<std::uint8_t>{0, 0xff, 0x0a, 0x0d, '"', '\\'}));
    const auto latitude = key->ReadBinary("Szerokość", 8);
    ASSERT_TRUE(latitude);
    EXPECT_EQ(BytesToDouble(std::span<const std::uint8_t, 8>(latitude->data(), 8)), 52.236620);
    // Types and lengths are checked.
    EXPECT_FALSE(key->ReadInteger("Pusty"));
    EXPECT_FALSE(key->ReadString("Ujemna"));
    EXPECT_FALSE(key->ReadBinary("Bajty", 8));
    EXPECT_FALSE(key->ReadString("Brak"));
}

TEST(FileSettingsStore, ASecondHandleDoesNotUndoTheFirstOnesValues)
{
    TempDir dir;
    FileSettingsStore store(FileIn(dir));
    const auto first = store.OpenKey(true);
    const auto second = store.OpenKey(true);
    ASSERT_TRUE(first && second);
    EXPECT_TRUE(first->WriteInteger("A", 1));
    EXPECT_TRUE(second->WriteInteger("B", 2));
    const auto check = store.OpenKey(false);
    EXPECT_EQ(check->ReadInteger("A"), 1);
    EXPECT_EQ(check->ReadInteger("B"), 2);
}

TEST(FileSettingsStore, LoadsSettingsBroughtOverFromWindows)
{
    TempDir dir;
    const std::filesystem::path file = FileIn(dir);
    WriteWholeFile(file, "\xFF\xFE"
                             + Utf16LeBytes(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                            u"[HKEY_CURRENT_USER\\Software\\Brenvik]\r\n\r\n"
                                            u"[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\r\n"
                                            u"\"Godzina alarmu\"=\"06:45\"\r\n"
                                            u"\"Czas alarmu\"=dword:0000003c\r\n"
                                            u"\"Szerokość geograficzna\"=hex:2e,ca,6c,90,49,1e,4a,40\r\n"
                                            u"\"Długość geograficzna\"=hex:ff,08,c3,80,25,07,35,40\r\n"
                                            u"\"ColSunday\"=dword:00000080\r\n\r\n"));
    FileSettingsStore store(file);
    Settings s;
    LoadSettings(store, s, kNow);
    EXPECT_FALSE(s.FirstRun);
    EXPECT_EQ(s.AlarmText, "06:45");
    EXPECT_EQ(s.AlarmDuration, 60);
    EXPECT_EQ(s.Latitude, 52.236620);
    EXPECT_EQ(s.Longitude, 21.027916);
    EXPECT_EQ(s.ColSunday, 0x80u);
    EXPECT_EQ(s.ColSaturday, 0xFF0000u);

    // Writing keeps the other key of the export and switches the file to UTF-8.
    ASSERT_TRUE(SaveAlarm(store, "07:00", false));
    const std::string text = ReadWholeFile(file);
    EXPECT_TRUE(
        text.starts_with("Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brenvik]\r\n"));
    EXPECT_NE(text.find("\"Długość geograficzna\"=hex:ff,08,c3,80,25,07,35,40\r\n"), std::string::npos);
    EXPECT_EQ(ReadStoredValues(store, {SettingId::Latitude, SettingId::Longitude}).Longitude, 21.027916);

    // Deleting the settings takes only this program's key.
    ASSERT_TRUE(DeleteSettings(store));
    EXPECT_EQ(ReadWholeFile(file), "Windows Registry Editor Version 5.00\r\n\r\n"
                                   "[HKEY_CURRENT_USER\\Software\\Brenvik]\r\n\r\n");
}

TEST(FileSettingsStore, DeletingTheOnlyKeyRemovesTheFileAndTheNextStartIsAFirstRun)
{
    TempDir dir;
    FileSettingsStore store(FileIn(dir));
    ASSERT_TRUE(SaveSettings(store, Settings()));
    ASSERT_TRUE(DeleteSettings(store));
    EXPECT_FALSE(std::filesystem::exists(store.File().parent_path()));
    Settings s;
    LoadSettings(store, s, kNow);
    EXPECT_TRUE(s.FirstRun);
    EXPECT_TRUE(DeleteSettings(store));
}

TEST(FileSettingsStore, AnUnreadableFileIsAMissingKeyAndIsKeptAsideWhenWritingAfresh)
{
    TempDir dir;
    const std::filesystem::path file = FileIn(dir);
    WriteWholeFile(file, "to nie jest eksport\n\"Czas alarmu\"=dword:0000003c\n");
    FileSettingsStore store(file);
    Settings s;
    LoadSettings(store, s, kNow);
    EXPECT_TRUE(s.FirstRun);
    EXPECT_EQ(ReadStoredValues(store, {SettingId::Latitude, SettingId::Longitude}).Latitude, 52.0);

    ASSERT_TRUE(SaveAlarm(store, "06:45", true));
    EXPECT_EQ(ReadWholeFile(std::filesystem::path(file) += ".unreadable"),
              "to nie jest eksport\n\"Czas alarmu\"=dword:0000003c\n");
    LoadSettings(store, s, kNow);
    EXPECT_FALSE(s.FirstRun);
    EXPECT_EQ(s.AlarmText, "06:45");
}

// Deleting the settings must not destroy a file the store could not read, which may hold more
// than our key; and a second such file must not replace the first one kept aside.
TEST(FileSettingsStore, DeletingNeverDestroysAnUnreadableFile)
{
    TempDir dir;
    const std::filesystem::path file = FileIn(dir);
    WriteWholeFile(file, "pierwszy\n");
    FileSettingsStore store(file);
    EXPECT_TRUE(DeleteSettings(store));
    EXPECT_FALSE(std::filesystem::exists(file));
    WriteWholeFile(file, "drugi\n");
    EXPECT_TRUE(DeleteSettings(store));
    EXPECT_EQ(ReadWholeFile(std::filesystem::path(file) += ".unreadable"), "pierwszy\n");
    EXPECT_EQ(ReadWholeFile(std::filesystem::path(file) += ".unreadable.1"), "drugi\n");
}

TEST(FileSettingsStore, AFileCutAtAnyByteLoadsWholeValuesOrDefaults)
{
    TempDir dir;
    FileSettingsStore store(FileIn(dir));
    Settings full;
    full.AlarmText = "06:45";
    full.AlarmOn = true;
    full.AlarmDuration = 60;
    full.Latitude = 52.236620;
    full.Longitude = -0.5;
    full.SyncEnabled = true;
    full.ColSunday = RgbColour(1, 2, 3);
    full.RecallSelectsToday = true;
    ASSERT_TRUE(SaveSettings(store, full));
    ASSERT_TRUE(SaveAlarm(store, full.AlarmText, full.AlarmOn));
    const std::string whole = ReadWholeFile(store.File());

    for (std::size_t n = 0; n <= whole.size(); ++n) {
        SCOPED_TRACE(n);
        WriteWholeFile(store.File(), whole.substr(0, n));
        Settings s;
        LoadSettings(store, s, kNow);
        const Settings defaults;
        EXPECT_TRUE(s.AlarmText == full.AlarmText || s.AlarmText == defaults.AlarmText);
        EXPECT_TRUE(s.AlarmDuration == full.AlarmDuration || s.AlarmDuration == defaults.AlarmDuration);
        EXPECT_TRUE(s.Latitude == full.Latitude || s.Latitude == defaults.Latitude);
        EXPECT_TRUE(s.Longitude == full.Longitude || s.Longitude == defaults.Longitude);
        EXPECT_TRUE(s.ColSunday == full.ColSunday || s.ColSunday == defaults.ColSunday);
        if (n == whole.size()) {
            EXPECT_EQ(s.AlarmText, "06:45");
            EXPECT_EQ(s.Longitude, -0.5);
            EXPECT_TRUE(s.RecallSelectsToday);
        }
    }
}

TEST(FileSettingsStore, RefusedWritesReportFailureAndLeaveTheFile)
{
    TempDir dir;
    FileSettingsStore store(FileIn(dir));
    ASSERT_TRUE(SaveAlarm(store, "06:45", true));
    const std::string before = ReadWholeFile(store.File());
    // A limit on file sizes makes every replacement fail, even for the superuser: in a child, so
    // that the limit stays there.
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{16, 16};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        Settings s;
        s.Latitude = 10;
        ::_exit(SaveSettings(store, s) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the save reported success";
    EXPECT_EQ(ReadWholeFile(store.File()), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(store.File().parent_path()), {}), 1);
    EXPECT_EQ(ReadStoredValues(store, {SettingId::Latitude, SettingId::Longitude}).Latitude, 52.0);
}

// A user who made the file private, or keeps it in another folder behind a link, keeps it so
// after every save; and a link planted under the new file's name is never written through.
TEST(FileSettingsStore, SavesKeepPermissionsLinksAndNeverFollowAPlantedLink)
{
    TempDir dir;
    FileSettingsStore store(FileIn(dir));
    ASSERT_TRUE(SaveAlarm(store, "06:45", true));
    const auto ownerOnly = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write;
    std::filesystem::permissions(store.File(), ownerOnly);
    ASSERT_TRUE(SaveAlarm(store, "07:00", true));
    EXPECT_EQ(std::filesystem::status(store.File()).permissions() & std::filesystem::perms::all, ownerOnly);

    const auto real = dir.Path() / "synced" / "dniarz.reg";
    std::filesystem::create_directory(real.parent_path());
    std::filesystem::rename(store.File(), real);
    std::filesystem::create_symlink(real, store.File());
    const auto victim = dir.Path() / "victim";
    WriteWholeFile(victim, "do not touch");
    std::filesystem::create_symlink(victim, real.string() + ".new");
    ASSERT_TRUE(SaveAlarm(store, "07:15", false));
    EXPECT_TRUE(std::filesystem::is_symlink(store.File()));
    EXPECT_NE(ReadWholeFile(real).find("07:15"), std::string::npos);
    EXPECT_EQ(std::filesystem::status(real).permissions() & std::filesystem::perms::all, ownerOnly);
    EXPECT_EQ(ReadWholeFile(victim), "do not touch");
    // The file and the planted link, nothing of the save's own.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(real.parent_path()), {}), 2);
}

// A FIFO would stop the printed day and the window in the open, a link to a device would be read
// until memory runs out: both read as an unreadable file, at once, and the first save sets it aside.
TEST(FileSettingsStore, OnlyARegularFileIsRead)
{
    TempDir dir;
    FileSettingsStore store(FileIn(dir));
    std::filesystem::create_directories(store.File().parent_path());
    ASSERT_EQ(::mkfifo(store.File().c_str(), 0600), 0);
    Settings s;
    LoadSettings(store, s, kNow);
    EXPECT_TRUE(s.FirstRun);
    EXPECT_EQ(s.Latitude, 52.0);
    ASSERT_TRUE(SaveAlarm(store, "06:45", true));
    EXPECT_TRUE(std::filesystem::is_regular_file(store.File()));
    EXPECT_TRUE(std::filesystem::is_fifo(store.File().string() + ".unreadable"));

    std::filesystem::remove(store.File());
    std::filesystem::create_symlink("/dev/zero", store.File());
    LoadSettings(store, s, kNow);
    EXPECT_TRUE(s.FirstRun);

    // Far larger than any export of the key: not read at all, and set aside when writing afresh.
    ASSERT_TRUE(MakeHostileFile(store.File(), HostileFile::Sparse, kSettingsLimit));
    LoadSettings(store, s, kNow);
    EXPECT_TRUE(s.FirstRun);
    ASSERT_TRUE(SaveAlarm(store, "06:45", true));
    EXPECT_EQ(std::filesystem::file_size(store.File().string() + ".unreadable.1"), kSettingsLimit + 1);
}

TEST(FileSettingsStore, NoPlaceToStoreMeansNoKey)
{
    TempDir dir;
    WriteWholeFile(dir.Path() / "plik", "");
    for (const std::filesystem::path& file : {std::filesystem::path(), dir.Path() / "plik" / "dniarz.reg"}) {
        SCOPED_TRACE(file);
        FileSettingsStore store(file);
        EXPECT_EQ(store.OpenKey(true), nullptr);
        EXPECT_FALSE(SaveAlarm(store, "06:45", true));
        Settings s;
        LoadSettings(store, s, kNow);
        EXPECT_TRUE(s.FirstRun);
    }
}
