// Reading and writing a contacts book of about 1 MB of RTF: the parse and the write alone, and
// the whole load and save through the file system (write, sync, rename).
#include "contacts/contacts_book.h"
#include "contacts/rtf_reader.h"
#include "contacts/rtf_writer.h"
#include "platform/linux/linux_file_store.h"
#include "../tests/platform/temp_dir.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace {

// Entries as users type them: a bold name, an address with Polish letters, phones, a link, the
// separator; every tenth entry has a coloured line and a word outside Windows-1250.
RichDocument MakeBook(std::size_t rtfBytes)
{
    RichDocument book;
    TextFormat bold;
    bold.bold = true;
    TextFormat red;
    red.colour = 0xC00000;
    red.halfPoints = 24;
    for (int i = 0; WriteRtf(book).size() < rtfBytes; ++i) {
        for (int j = 0; j < 100; ++j, ++i) {
            book.paragraphs.push_back(Paragraph{{TextRun{"Wójcik-Żółkiewska Małgorzata " + std::to_string(i), bold}}});
            book.paragraphs.push_back(
                Paragraph{{TextRun{"ul. Świętokrzyska " + std::to_string(i % 200) + ", 00-950 Łódź\ttel. 42 630 "
                                       + std::to_string(1000 + i % 9000) + "\nkom. 600 700 800",
                                   {}}}});
            book.paragraphs.push_back(Paragraph{{TextRun{"www.example.pl/~kontakt" + std::to_string(i), {}}}});
            if (i % 10 == 0)
                book.paragraphs.push_back(Paragraph{{TextRun{"pilne: ", red}, TextRun{"Ελλάδα €", {}}}});
            book.paragraphs.push_back(Paragraph{{TextRun{std::string(kSeparatorLine), {}}}});
            book.paragraphs.emplace_back();
        }
    }
    return book;
}

const std::string& BookRtf()
{
    static const std::string rtf = WriteRtf(MakeBook(1 << 20));
    return rtf;
}

void BM_ReadRtf1MB(benchmark::State& state)
{
    const std::string& rtf = BookRtf();
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadRtf(rtf));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * rtf.size()));
}
BENCHMARK(BM_ReadRtf1MB)->Unit(benchmark::kMillisecond);

void BM_WriteRtf1MB(benchmark::State& state)
{
    const RichDocument book = *ReadRtf(BookRtf());
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteRtf(book));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * BookRtf().size()));
}
BENCHMARK(BM_WriteRtf1MB)->Unit(benchmark::kMillisecond);

// A book whose every run has a font and a colour of its own, as a pasted or converted file may:
// writing must stay linear in the number of runs however large the tables grow.
void BM_WriteRtfManyFontsAndColours(benchmark::State& state)
{
    RichDocument book;
    book.paragraphs.emplace_back();
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        TextFormat format;
        format.font = "Font " + std::to_string(i);
        format.colour = static_cast<std::uint32_t>(i);
        book.paragraphs.back().runs.push_back({"x", format});
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteRtf(book));
    state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_WriteRtfManyFontsAndColours)
    ->RangeMultiplier(4)
    ->Range(1 << 10, 1 << 16)
    ->Complexity()
    ->Unit(benchmark::kMillisecond);

void BM_LoadContactsFile1MB(benchmark::State& state)
{
    TempDir folder;
    LinuxFileStore store;
    ContactsFile file(store, folder.Path());
    store.ReplaceContents(file.Path(), BookRtf());
    for (auto _ : state)
        benchmark::DoNotOptimize(file.Load());
}
BENCHMARK(BM_LoadContactsFile1MB)->Unit(benchmark::kMillisecond);

void BM_SaveContactsFile1MB(benchmark::State& state)
{
    TempDir folder;
    LinuxFileStore store;
    ContactsFile file(store, folder.Path());
    const RichDocument book = *ReadRtf(BookRtf());
    for (auto _ : state)
        benchmark::DoNotOptimize(file.Save(book));
}
BENCHMARK(BM_SaveContactsFile1MB)->Unit(benchmark::kMillisecond);

}  // namespace
