// The registry as the settings store and as the start-at-logon list, on keys of the tests' own
// (the Wine prefix is a temporary one besides): every value type round-trips, an export file
// imported by the system's own regedit reads back, and the Run entry is quoted yet an older
// unquoted one still counts.
#include <windows.h>
#include <shellapi.h>

#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "app/auto_runner.h"
#include "app/settings.h"
#include "platform/windows/registry_settings_store.h"
#include "platform/windows/registry_startup_entry.h"
#include "win_temp_dir.h"

namespace {

const std::wstring kTestKey = L"Software\\Brenvik\\dniarz-test-" + std::to_wstring(GetCurrentProcessId());

class RegistryTest : public ::testing::Test
{
protected:
    void TearDown() override { RegistrySettingsStore(kTestKey).DeleteKey(); }
};

std::wstring ReadRaw(const std::wstring& subKey, const wchar_t* name, DWORD& type)
{
    wchar_t text[512] = {};
    DWORD size = sizeof text;
    if (RegGetValueW(HKEY_CURRENT_USER, subKey.c_str(), name, RRF_RT_ANY, &type, text, &size) != ERROR_SUCCESS)
        return L"<missing>";
    return text;
}

}  // namespace

TEST_F(RegistryTest, EveryValueTypeRoundTripsAndAWrongTypeCountsAsMissing)
{
    RegistrySettingsStore store(kTestKey);
    EXPECT_EQ(store.OpenKey(false), nullptr);
    {
        auto key = store.OpenKey(true);
        ASSERT_NE(key, nullptr);
        EXPECT_TRUE(key->WriteString("Miasto", "Łódź — Дняр"));
        EXPECT_TRUE(key->WriteString("Pusty", ""));
        EXPECT_TRUE(key->WriteInteger("Ujemna", -5));
        EXPECT_TRUE(key->WriteBinary("Szer", DoubleToBytes(51.7592)));
    }
    auto key = store.OpenKey(false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("Miasto"), "Łódź — Дняр");
    EXPECT_EQ(key->ReadString("Pusty"), "");
    EXPECT_EQ(key->ReadInteger("Ujemna"), -5);
    const auto bytes = key->ReadBinary("Szer", 8);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(BytesToDouble(std::span<const std::uint8_t, 8>(bytes->data(), 8)), 51.7592);
    // The registry holds them as its own types, which regedit and other programs read.
    DWORD type = 0;
    EXPECT_EQ(ReadRaw(kTestKey, L"Miasto", type), L"Łódź — Дняр");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    ReadRaw(kTestKey, L"Ujemna", type);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    // Another type, or a binary of another length, is no value of the kind asked for.
    EXPECT_EQ(key->ReadInteger("Miasto"), std::nullopt);
    EXPECT_EQ(key->ReadString("Ujemna"), std::nullopt);
    EXPECT_EQ(key->ReadBinary("Szer", 4), std::nullopt);
    EXPECT_EQ(key->ReadString("Brak"), std::nullopt);
    EXPECT_TRUE(key->DeleteValue("Miasto"));
    EXPECT_TRUE(key->DeleteValue("Miasto"));  // already gone: no failure
    EXPECT_EQ(key->ReadString("Miasto"), std::nullopt);
    key.reset();
    EXPECT_TRUE(store.DeleteKey());
    EXPECT_EQ(store.OpenKey(false), nullptr);
    EXPECT_TRUE(store.DeleteKey());
}

TEST_F(RegistryTest, TheProgramsSettingsSurviveASaveAndALoad)
{
    RegistrySettingsStore store(kTestKey);
    Settings first;
    LoadSettings(store, first, 45000.75);
    EXPECT_TRUE(first.FirstRun);
    Settings settings;
    settings.AlarmDuration = 45;
    settings.Latitude = -33.8688;
    settings.Longitude = 151.2093;
    settings.HourSignalEnabled = !settings.HourSignalEnabled;
    settings.ColSunday = 0x00112233;
    ASSERT_TRUE(SaveSettings(store, settings));
    Settings loaded;
    LoadSettings(store, loaded, 45000.75);
    EXPECT_FALSE(loaded.FirstRun);
    EXPECT_EQ(loaded.AlarmDuration, 45);
    EXPECT_EQ(loaded.Latitude, settings.Latitude);
    EXPECT_EQ(loaded.Longitude, settings.Longitude);
    EXPECT_EQ(loaded.HourSignalEnabled, settings.HourSignalEnabled);
    EXPECT_EQ(loaded.ColSunday, 0x00112233u);
}

TEST_F(RegistryTest, AnExportImportedByRegeditReadsBack)
{
    WinTempDir dir;
    const auto file = dir.Path() / L"ustawienia.reg";
    // As Windows writes an export: UTF-16LE with a byte order mark, CR LF.
    const std::wstring text = L"\uFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\" + kTestKey
                              + L"]\r\n\"Miasto\"=\"Zażółć gęślą jaźń\"\r\n\"Liczba\"=dword:0000002a\r\n"
                                L"\"Bajty\"=hex:01,02,ff\r\n\r\n";
    {
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(text.data()), static_cast<std::streamsize>(text.size() * 2));
    }
    std::wstring command = L"regedit.exe /S \"" + file.wstring() + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    WaitForSingleObject(process.hProcess, 60000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);

    auto key = RegistrySettingsStore(kTestKey).OpenKey(false);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->ReadString("Miasto"), "Zażółć gęślą jaźń");
    EXPECT_EQ(key->ReadInteger("Liczba"), 42);
    EXPECT_EQ(key->ReadBinary("Bajty", 3), (std::vector<std::uint8_t>{1, 2, 0xFF}));
}

TEST_F(RegistryTest, TheRunEntryIsQuotedWrittenAndRemoved)
{
    RunKeys keys;
    keys.userKey = kTestKey + L"\\Run";
    keys.machineRoot = HKEY_CURRENT_USER;
    keys.machineKey = kTestKey + L"\\MachineRun";
    keys.userApprovedKey = kTestKey + L"\\Approved";
    RegistryStartupEntry entries(keys);
    const std::string program = "C:\\Program Files\\Dniarz\\bin\\dniarz.exe";
    EXPECT_EQ(entries.Read(TRegLocation::CurrentUser, "ZWDniarz"), std::nullopt);
    EXPECT_FALSE(entries.Remove(TRegLocation::CurrentUser, "ZWDniarz"));

    ASSERT_TRUE(
        entries.Write(TRegLocation::CurrentUser, "ZWDniarz", program, {"-hide", "--dir", "D:\\Moje notatki\\"}));
    // Quoted, so that Windows cannot take "C:\Program.exe" for it; the folder's trailing backslash
    // is doubled, or it would escape the closing quotation mark.
    const std::string expected = "\"C:\\Program Files\\Dniarz\\bin\\dniarz.exe\" -hide --dir \"D:\\Moje notatki\\\\\"";
    EXPECT_EQ(entries.Read(TRegLocation::CurrentUser, "ZWDniarz"), expected);
    EXPECT_EQ(entries.Read(TRegLocation::LocalMachine, "ZWDniarz"), std::nullopt);
    // What the system's own parser makes of it is what was written.
    int count = 0;
    DWORD type = 0;
    const std::wstring stored = L"x " + ReadRaw(keys.userKey, L"ZWDniarz", type);
    wchar_t** argv = CommandLineToArgvW(stored.c_str(), &count);
    ASSERT_EQ(count, 5);
    EXPECT_STREQ(argv[1], L"C:\\Program Files\\Dniarz\\bin\\dniarz.exe");
    EXPECT_STREQ(argv[4], L"D:\\Moje notatki\\");
    LocalFree(argv);

    // Switched off in the desktop's start-up list: present, but not started, so it reads as none;
    // writing it again switches it back on.
    HKEY approved = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, keys.userApprovedKey.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &approved, nullptr),
              ERROR_SUCCESS);
    const BYTE off[12] = {3};
    RegSetValueExW(approved, L"ZWDniarz", 0, REG_BINARY, off, sizeof off);
    RegCloseKey(approved);
    EXPECT_EQ(entries.Read(TRegLocation::CurrentUser, "ZWDniarz"), std::nullopt);
    ASSERT_TRUE(entries.Write(TRegLocation::CurrentUser, "ZWDniarz", program, {"-hide"}));
    EXPECT_EQ(entries.Read(TRegLocation::CurrentUser, "ZWDniarz"), "\"" + program + "\" -hide");

    EXPECT_TRUE(entries.Remove(TRegLocation::CurrentUser, "ZWDniarz"));
    EXPECT_EQ(entries.Read(TRegLocation::CurrentUser, "ZWDniarz"), std::nullopt);

    // An entry an older version wrote without quotation marks is still the program's entry.
    HKEY run = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, keys.userKey.c_str(), 0, KEY_SET_VALUE, &run), ERROR_SUCCESS);
    const std::wstring old = L"C:\\Program Files\\Dniarz\\dniarz.exe -hide";
    RegSetValueExW(run, L"ZWDniarz", 0, REG_SZ, reinterpret_cast<const BYTE*>(old.c_str()),
                   static_cast<DWORD>((old.size() + 1) * 2));
    RegCloseKey(run);
    EXPECT_EQ(entries.Read(TRegLocation::CurrentUser, "ZWDniarz"), "C:\\Program Files\\Dniarz\\dniarz.exe -hide");

    // A name that cannot be quoted is refused, never written half-quoted.
    EXPECT_FALSE(entries.Write(TRegLocation::LocalMachine, "ZWDniarz", "C:\\a\"b.exe", {}));
    EXPECT_FALSE(entries.Write(TRegLocation::LocalMachine, "ZWDniarz", program, {"a\nb"}));
    EXPECT_EQ(entries.Read(TRegLocation::LocalMachine, "ZWDniarz"), std::nullopt);
}

TEST(RunKeys, TheSwitchNamesTheSystemsKeyOfEachKind)
{
    RegistryStartupEntry entries;
    TAutoRunner runner(entries, "C:\\d.exe");
    EXPECT_EQ(runner.RunKeyPath(), "\\Software\\Microsoft\\Windows\\CurrentVersion\\Run");
    runner.SetRegLocation(TRegLocation::LocalMachine);
    runner.SetAutoRunWhere(TAutoRunWhere::RunServicesOnce);
    EXPECT_EQ(runner.RunKeyPath(), "\\Software\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce");
    EXPECT_EQ(RunKeys{}.userKey, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run");
}

TEST(RunCommandLine, QuotesWhatTheParserWouldSplit)
{
    EXPECT_EQ(RunCommandLine("C:\\d.exe", {}), "\"C:\\d.exe\"");
    EXPECT_EQ(RunCommandLine("C:\\d.exe", {"", "a b", "say \"hi\"", "x\\y"}),
              "\"C:\\d.exe\" \"\" \"a b\" \"say \\\"hi\\\"\" x\\y");
    EXPECT_EQ(RunCommandLine("", {}), std::nullopt);
}
