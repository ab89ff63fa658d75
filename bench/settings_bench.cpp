// The settings file at sizes a user could hand the program: a 1 MiB binary value wrapped over lines
// as a Windows export writes it, and 20,000 values or keys. Reading must stay linear, since the
// window, the printed day and the end of the program all read the whole file.
#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/linux/file_settings_store.h"
#include "platform/reg_file.h"
#include "text/utf16.h"

namespace {

constexpr std::string_view kKey = "HKEY_CURRENT_USER\\Software\\Brenvik\\dniarz";

// UTF-16LE with its byte-order mark, as the registry editor saves an export.
std::string AsWindowsExport(const std::string& utf8)
{
    return "\xFF\xFE" + Utf8ToUtf16Le(utf8);
}

std::string Header()
{
    return "Windows Registry Editor Version 5.00\r\n\r\n[" + std::string(kKey) + "]\r\n";
}

// "name"=hex:xx,xx,... with a backslash and a new indented line about every 80 columns.
std::string WrappedBinaryExport(std::size_t bytes)
{
    std::string text = Header() + "\"Szerokość geograficzna\"=hex:00,00,00,00,00,00,4a,40\r\n\"Duży\"=hex:";
    std::size_t column = text.size() - text.rfind('\n');
    for (std::size_t i = 0; i < bytes; ++i) {
        static constexpr char kDigits[] = "0123456789abcdef";
        text += kDigits[(i * 7) >> 4 & 15];
        text += kDigits[(i * 7) & 15];
        column += 2;
        if (i + 1 == bytes)
            break;
        text += ',';
        if (++column >= 77) {
            text += "\\\r\n  ";
            column = 2;
        }
    }
    return AsWindowsExport(text + "\r\n");
}

std::string ManyValuesExport(int values)
{
    std::string text = Header();
    for (int i = 0; i < values; ++i)
        text += "\"Wartość " + std::to_string(i) + "\"=dword:0000002a\r\n";
    return AsWindowsExport(text);
}

std::string ManyKeysExport(int keys)
{
    std::string text = "Windows Registry Editor Version 5.00\r\n\r\n";
    for (int i = 0; i < keys; ++i)
        text += "[" + std::string(kKey) + "\\Klucz " + std::to_string(i) + "]\r\n\"A\"=dword:00000001\r\n\r\n";
    text += "[" + std::string(kKey) + "]\r\n\"Czas alarmu\"=dword:0000012c\r\n";
    return AsWindowsExport(text);
}

void BM_ReadWrappedMiBValue(benchmark::State& state)
{
    const std::string file = WrappedBinaryExport(1 << 20);
    for (auto _ : state) {
        const auto parsed = ParseRegFile(file);
        if (!parsed || parsed->keys.size() != 1 || parsed->keys[0].values.size() != 2
            || parsed->keys[0].values[1].second.bytes.size() != (1u << 20))
            state.SkipWithError("the wrapped value was not read whole");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.size()));
}
BENCHMARK(BM_ReadWrappedMiBValue)->Unit(benchmark::kMillisecond);

void BM_Read20000Values(benchmark::State& state)
{
    const std::string file = ManyValuesExport(20'000);
    for (auto _ : state) {
        const auto parsed = ParseRegFile(file);
        if (!parsed || parsed->keys.size() != 1 || parsed->keys[0].values.size() != 20'000)
            state.SkipWithError("values lost");
    }
}
BENCHMARK(BM_Read20000Values)->Unit(benchmark::kMillisecond);

void BM_Read20000Keys(benchmark::State& state)
{
    const std::string file = ManyKeysExport(20'000);
    for (auto _ : state) {
        const auto parsed = ParseRegFile(file);
        if (!parsed || parsed->keys.size() != 20'001)
            state.SkipWithError("keys lost");
    }
}
BENCHMARK(BM_Read20000Keys)->Unit(benchmark::kMillisecond);

// What the end of the program does: open the key, write the alarm's two values, which reads the
// file again and replaces it.
void BM_SaveAlarmInto20000Keys(benchmark::State& state)
{
    std::string pattern = (std::filesystem::temp_directory_path() / "dniarz-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        state.SkipWithError("no temporary folder");
        return;
    }
    const std::filesystem::path dir = pattern;
    const std::filesystem::path path = dir / "dniarz.reg";
    std::ofstream(path, std::ios::binary) << ManyKeysExport(20'000);
    FileSettingsStore store(path);
    const std::pair<std::string, RegValue> alarm[] = {{"Godzina alarmu", RegValue::String("07:30")},
                                                      {"Załączony alarm", RegValue::Dword(1)}};
    for (auto _ : state) {
        const auto key = store.OpenKey(true);
        if (!key || !key->WriteValues(alarm))
            state.SkipWithError("the save failed");
    }
    std::filesystem::remove_all(dir);
}
BENCHMARK(BM_SaveAlarmInto20000Keys)->Unit(benchmark::kMillisecond);

}  // namespace
