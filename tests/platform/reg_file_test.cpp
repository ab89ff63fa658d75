// Reading and writing registry export files, from hand-made files in each encoding.
#include "platform/reg_file.h"

#include <gtest/gtest.h>

#include <map>

#include "temp_dir.h"

void PrintTo(const RegValue& value, std::ostream* out)
{
    *out << "type " << value.type << " text \"" << value.text << "\" dword " << value.dword << " bytes";
    for (std::uint8_t b : value.bytes)
        *out << ' ' << int(b);
}

namespace {

const std::string kKey = "HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz";

RegKey OnlyKey(const std::optional<RegFile>& file)
{
    if (!file || file->keys.size() != 1) {
        ADD_FAILURE() << "expected one key";
        return {};
    }
    return file->keys.front();
}

// The values of kExport, worked out by hand from the format (doubles from their IEEE-754 bytes).
const std::map<std::string, RegValue>& ExportValues()
{
    static const std::map<std::string, RegValue> values = {
        {"Godzina alarmu", RegValue::String("06:45")},
        {"Ścieżka", RegValue::String("C:\\Program Files\\\"Dniarz\"")},
        {"Czas alarmu", RegValue::Dword(300)},
        {"ColToday", RegValue::Dword(0xFFFFFFFF)},
        {"Szerokość geograficzna", RegValue::Binary({0x2e, 0xca, 0x6c, 0x90, 0x49, 0x1e, 0x4a, 0x40})},
        {"", RegValue::String("domyślna")},
        {"Pusta", RegValue::Binary({})},
        {"Rozwinięta", RegValue::Binary({0x25, 0, 0x41, 0, 0, 0}, 2)},
        {"Wiele", RegValue::String("A\nB")},
        {"Długa", RegValue::Binary({0, 1, 2, 3, 4})},
    };
    return values;
}

const std::string kExport = "Windows Registry Editor Version 5.00\r\n"
                            "\r\n"
                            "[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\r\n"
                            "\"Godzina alarmu\"=\"06:45\"\r\n"
                            "\"Ścieżka\"=\"C:\\\\Program Files\\\\\\\"Dniarz\\\"\"\r\n"
                            "\"Czas alarmu\"=dword:0000012c\r\n"
                            "\"ColToday\"=dword:FFFFFFFF\r\n"
                            "\"Szerokość geograficzna\"=hex:2e,ca,6c,90,49,1e,4a,40\r\n"
                            "@=\"domyślna\"\r\n"
                            "\"Pusta\"=hex:\r\n"
                            "\"Rozwinięta\"=hex(2):25,00,41,00,00,00\r\n"
                            "\"Wiele\"=hex(1):41,00,0a,00,42,00,00,00\r\n"
                            "\"Długa\"=hex:00,01,02,\\\r\n"
                            "  03,04\r\n"
                            "\r\n";

void ExpectEveryValueWholeOrMissing(const std::optional<RegFile>& file, bool complete)
{
    const RegKey* key = file ? file->FindKey(kKey) : nullptr;
    if (complete) {
        ASSERT_NE(key, nullptr);
    }
    if (!key)
        return;
    for (const auto& [name, value] : key->values) {
        const auto it = ExportValues().find(name);
        ASSERT_NE(it, ExportValues().end()) << "unexpected name " << name;
        EXPECT_EQ(value, it->second) << name;
    }
    if (complete) {
        EXPECT_EQ(key->values.size(), ExportValues().size());
    }
}

}  // namespace

TEST(RegFile, ReadsEveryValueForm)
{
    ExpectEveryValueWholeOrMissing(ParseRegFile(kExport), true);
    // Line ends may be bare LF after editing on Linux.
    std::string lf = kExport;
    std::erase(lf, '\r');
    ExpectEveryValueWholeOrMissing(ParseRegFile(lf), true);
}

TEST(RegFile, ReadsAWindowsExportInUtf16)
{
    const std::string bytes = "\xFF\xFE"
                              + Utf16LeBytes(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                             u"[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\r\n"
                                             u"\"Długość geograficzna\"=hex:ff,08,c3,80,25,07,35,40\r\n"
                                             u"\"Godzina alarmu\"=\"07:30\"\r\n"
                                             u"\"Przywołanie\"=dword:00000001\r\n"
                                             u"\"Uwagi\"=hex(1):41,01,f3,00,64,00,7a,01,00,00\r\n\r\n");
    const RegKey key = OnlyKey(ParseRegFile(bytes));
    EXPECT_EQ(key.path, kKey);
    EXPECT_EQ(*key.Find("Długość geograficzna"), RegValue::Binary({0xff, 0x08, 0xc3, 0x80, 0x25, 0x07, 0x35, 0x40}));
    EXPECT_EQ(*key.Find("Godzina alarmu"), RegValue::String("07:30"));
    EXPECT_EQ(*key.Find("Przywołanie"), RegValue::Dword(1));
    EXPECT_EQ(*key.Find("Uwagi"), RegValue::String("Łódź"));
}

TEST(RegFile, ReadsARegedit4ExportInWindows1250)
{
    const std::string bytes = "REGEDIT4\r\n\r\n"
                              "[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\r\n"
                              "\"Szeroko\x9c\xe6 geograficzna\"=hex:00,00,00,00,00,00,4a,40\r\n"
                              "\"Przywo\xb3\x61nie\"=dword:00000001\r\n"
                              "\"Miasto\"=\"Zielona G\xf3ra\"\r\n"
                              "\"Uwagi\"=hex(1):b3,f3,00\r\n";
    const RegKey key = OnlyKey(ParseRegFile(bytes));
    EXPECT_EQ(*key.Find("Szerokość geograficzna"), RegValue::Binary({0, 0, 0, 0, 0, 0, 0x4a, 0x40}));
    EXPECT_EQ(*key.Find("Przywołanie"), RegValue::Dword(1));
    EXPECT_EQ(*key.Find("Miasto"), RegValue::String("Zielona Góra"));
    EXPECT_EQ(*key.Find("Uwagi"), RegValue::String("łó"));
}

TEST(RegFile, AFileWithoutAnExportHeaderIsNoExport)
{
    const std::string inputs[] = {
        "",
        "\r\n",
        "[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\r\n\"A\"=dword:00000001\r\n",
        "Windows Registry Editor Version 5.0\r\n\r\n",
        "REGEDIT5\r\n",
        Utf16LeBytes(u"Windows Registry Editor Version 5.00\r\n"),  // no byte-order mark
        std::string("\xFF\xFE", 2),
    };
    for (const std::string& input : inputs) {
        SCOPED_TRACE(testing::PrintToString(input));
        EXPECT_FALSE(ParseRegFile(input));
    }
}

TEST(RegFile, ADamagedLineLosesOnlyItsOwnValue)
{
    const char* damaged[] = {
        "\"A\"=dword:0000012",
        "\"A\"=dword:0000012c5",
        "\"A\"=dword:-0000012",
        "\"A\"=hex:00,00,4",
        "\"A\"=hex:00,00,",
        "\"A\"=hex:00,,00",
        "\"A\"=hex:0g",
        "\"A\"=\"unclosed",
        "\"A\"=\"bad\\escape\"",
        "\"A\"=\"x\" trailing",
        "\"A",
        "\"A\"",
        "\"A\"=",
        "\"A\"=qword:1",
        "\"A\"=hex(4):01,00,00",
        "\"A\"=hex(zz):00",
        "A=dword:00000001",
        "\"A\" = dword:00000001",
        "\"A\"=\"\\\"",
    };
    for (const char* line : damaged) {
        SCOPED_TRACE(line);
        const std::string text = "Windows Registry Editor Version 5.00\n\n[" + kKey + "]\n\"Przed\"=dword:00000001\n"
                                 + line + "\n\"Po\"=dword:00000002\n";
        const RegKey key = OnlyKey(ParseRegFile(text));
        EXPECT_EQ(key.Find("A"), nullptr);
        EXPECT_EQ(key.values.size(), 2u);
    }
}

TEST(RegFile, ValuesUnderADamagedKeyLineStayOutOfTheKeyBefore)
{
    const std::string text = "Windows Registry Editor Version 5.00\n\n"
                             "[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\n\"A\"=dword:00000001\n"
                             "[HKEY_CURRENT_USER\\Software\\Inny\n\"B\"=dword:00000002\n"
                             "[HKEY_CURRENT_USER\\SOFTWARE\\brenvik\\DNIARZ]\n\"C\"=dword:00000003\n";
    const RegKey key = OnlyKey(ParseRegFile(text));
    EXPECT_NE(key.Find("A"), nullptr);
    EXPECT_EQ(key.Find("B"), nullptr);
    EXPECT_NE(key.Find("C"), nullptr);
}

TEST(RegFile, RemovalsWorkAsOnImport)
{
    const std::string text = "Windows Registry Editor Version 5.00\n\n"
                             "["
                             + kKey
                             + "]\n\"A\"=dword:00000001\n\"B\"=dword:00000002\n\"A\"=-\n"
                               "["
                             + kKey
                             + "\\Pod]\n\"C\"=dword:00000003\n"
                               "[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz2]\n\"D\"=dword:00000004\n"
                               "[-"
                             + kKey
                             + "]\n"
                               "["
                             + kKey + "]\n\"E\"=\"ostatni\"\n\"E\"=\"nowszy\"\n";
    const auto file = ParseRegFile(text);
    ASSERT_TRUE(file);
    ASSERT_EQ(file->keys.size(), 2u);
    EXPECT_EQ(file->keys[0].path, "HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz2");
    const RegKey* key = file->FindKey(kKey);
    ASSERT_NE(key, nullptr);
    ASSERT_EQ(key->values.size(), 1u);
    EXPECT_EQ(*key->Find("E"), RegValue::String("nowszy"));
}

TEST(RegFile, WritesTheExportLayout)
{
    RegFile file;
    file.keys.push_back({kKey,
                         {{"Czas alarmu", RegValue::Dword(300)},
                          {"Szerokość geograficzna", RegValue::Binary({0, 0, 0, 0, 0, 0, 0x4a, 0x40})},
                          {"Ścieżka", RegValue::String("C:\\a\"b\"")},
                          {"Wiele", RegValue::String("A\nB")},
                          {"Rozwinięta", RegValue::Binary({0x25, 0}, 2)}}});
    std::string text;
    ASSERT_TRUE(FormatRegFile(file, text));
    EXPECT_EQ(text, "Windows Registry Editor Version 5.00\r\n\r\n"
                    "[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\r\n"
                    "\"Czas alarmu\"=dword:0000012c\r\n"
                    "\"Szerokość geograficzna\"=hex:00,00,00,00,00,00,4a,40\r\n"
                    "\"Ścieżka\"=\"C:\\\\a\\\"b\\\"\"\r\n"
                    "\"Wiele\"=hex(1):41,00,0a,00,42,00,00,00\r\n"
                    "\"Rozwinięta\"=hex(2):25,00\r\n"
                    "\r\n");

    file.keys[0].values.emplace_back("Zły\nklucz", RegValue::Dword(1));
    EXPECT_FALSE(FormatRegFile(file, text));
}

TEST(RegFile, WhatIsReadCanBeWrittenAndReadsBackTheSame)
{
    const std::string odd = "Windows Registry Editor Version 5.00\n\n[HKEY_CURRENT_USER\\a]b]\n\"x\ry\"=\"z\r\"\n";
    for (const std::string* input : {&kExport, &odd}) {
        const auto original = ParseRegFile(*input);
        ASSERT_TRUE(original);
        std::string text;
        ASSERT_TRUE(FormatRegFile(*original, text));
        EXPECT_EQ(ParseRegFile(text), original);
    }
}

TEST(RegFile, AFileCutAtAnyByteGivesWholeValuesOrNone)
{
    const std::string utf16 = "\xFF\xFE"
                              + Utf16LeBytes(u"Windows Registry Editor Version 5.00\r\n\r\n"
                                             u"[HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz]\r\n"
                                             u"\"Ścieżka\"=\"C:\\\\Program Files\\\\\\\"Dniarz\\\"\"\r\n"
                                             u"\"Czas alarmu\"=dword:0000012c\r\n"
                                             u"\"Szerokość geograficzna\"=hex:2e,ca,6c,90,49,1e,4a,\\\r\n"
                                             u"  40\r\n");
    for (const std::string* whole : {&kExport, &utf16}) {
        for (std::size_t n = 0; n <= whole->size(); ++n) {
            SCOPED_TRACE(n);
            ExpectEveryValueWholeOrMissing(ParseRegFile(std::string_view(*whole).substr(0, n)), false);
        }
    }
    EXPECT_EQ(OnlyKey(ParseRegFile(utf16)).values.size(), 3u);
}
