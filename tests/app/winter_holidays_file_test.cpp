// The winter holidays file as the program reads it, and --print-day with a voivodeship chosen.
#include "../platform/temp_dir.h"
#include "app/print_day.h"
#include "app/winter_holidays_file.h"
#include "platform/fake/fake_journal_file.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/memory_settings_store.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string Lines(int count, const std::string& line)
{
    std::string text;
    for (int i = 0; i < count; ++i)
        text += line + "\n";
    return text;
}

}  // namespace

// Missing is no fault; unreadable or refused lines are, each named with the file.
TEST(WinterHolidaysFile, MissingUnreadableAndRefusedLines)
{
    TempDir dir;
    const std::filesystem::path file = dir.Path() / std::string(kWinterHolidaysFileName);
    WinterHolidaysFile read = ReadWinterHolidays(file);
    EXPECT_EQ(read.problem, "");
    EXPECT_TRUE(read.holidays.Empty());

    std::filesystem::create_directory(file);
    read = ReadWinterHolidays(file);
    EXPECT_EQ(read.problem.rfind("Nie można odczytać pliku ferii zimowych " + file.string() + ": ", 0), 0u)
        << read.problem;
    std::filesystem::remove(file);

    WriteWholeFile(file, "2026-02-02 2026-02-15 opolskie\n2026-02-16 2026-03-01 opolskie\n");
    read = ReadWinterHolidays(file);
    EXPECT_EQ(read.problem, "Błędne wiersze w pliku ferii zimowych " + file.string()
                                + " (pominięte):\nwiersz 2: województwo „opolskie” ma już ferie zimowe w 2026 r. "
                                  "(wiersz 1)");
    EXPECT_TRUE(read.holidays.Contains("opolskie", EncodeDate(2026, 2, 2)));

    // A box of a hundred lines would not fit the screen: five, and how many more.
    WriteWholeFile(file, "# nagłówek\n" + Lines(8, "2026-02-02 2026-02-15 opole"));
    read = ReadWinterHolidays(file);
    EXPECT_NE(read.problem.find("\nwiersz 2: nieznane województwo „opole”"), std::string::npos);
    EXPECT_NE(read.problem.find("\nwiersz 6: "), std::string::npos);
    EXPECT_EQ(read.problem.find("\nwiersz 7: "), std::string::npos);
    EXPECT_EQ(read.problem.substr(read.problem.rfind('\n')), "\n…i jeszcze 3");

    WriteWholeFile(file, "");
    read = ReadWinterHolidays(file);
    EXPECT_EQ(read.problem, "");
    EXPECT_TRUE(read.holidays.Empty());
}

// The stored voivodeship picks the holidays; the other lines keep their text, and a faulty file
// is named on stderr while the days still print.
TEST(WinterHolidaysFile, PrintDayNamesTheWinterHolidaysOfTheStoredVoivodeship)
{
    TempDir dir;
    const std::filesystem::path file = dir.Path() / std::string(kWinterHolidaysFileName);
    FakeJournalFile notes;
    MemorySettingsStore store;
    const FakeSystemClock clock(std::chrono::sys_days{std::chrono::year{2026} / 2 / 10} + std::chrono::hours{11});
    const auto print = [&](std::string& err) {
        std::ostringstream out, errors;
        const int status = RunPrintDay({dir.Path(), notes, store, clock, file}, CommandLine(), out, errors);
        EXPECT_EQ(status, 0);
        err = errors.str();
        const std::string text = out.str();
        const std::size_t at = text.find("school: ");
        return at == std::string::npos ? std::string("<none>") : text.substr(at, text.find('\n', at) - at);
    };
    std::string err;
    WriteWholeFile(file, "2026-02-02 2026-02-15 dolnośląskie\n");
    EXPECT_EQ(print(err), "school: ") << "no voivodeship chosen";
    EXPECT_EQ(err, "");

    store.Put("Województwo", RegValue::String("dolnośląskie"));
    EXPECT_EQ(print(err), "school: ferie zimowe");
    EXPECT_EQ(err, "");

    store.Put("Województwo", RegValue::String("mazowieckie"));
    EXPECT_EQ(print(err), "school: ");

    store.Put("Województwo", RegValue::String("dolnoslaskie"));
    WriteWholeFile(file, "x\n");
    EXPECT_EQ(print(err), "school: ");
    EXPECT_EQ(err, "") << "an unknown name is none chosen, and then the file does not matter";

    store.Put("Województwo", RegValue::String("dolnośląskie"));
    WriteWholeFile(file, "2026-02-02 2026-02-15 dolnośląskie\n2026-02-02 2026-02-15 dolny śląsk\n");
    EXPECT_EQ(print(err), "school: ferie zimowe");
    EXPECT_EQ(err, "dniarz: Błędne wiersze w pliku ferii zimowych " + file.string()
                       + " (pominięte):\nwiersz 2: nieznane województwo „dolny śląsk” (nazwy małymi literami, jak w "
                         "urzędowym wykazie, np. „mazowieckie”)\n");

    std::filesystem::remove(file);
    EXPECT_EQ(print(err), "school: ");
    EXPECT_EQ(err, "") << "a missing file is no fault";
}
