// The contacts window with a book of about 1 MB of RTF: opening it (read, parse, fill the
// editor) and saving it after a change (editor to document, write), offscreen.
#include "contacts/rtf_writer.h"
#include "contacts/ui/contacts_window.h"
#include "platform/fake/fake_sound.h"
#include "platform/fake/fake_url_launcher.h"
#include "platform/fake/memory_file_store.h"

#include <QApplication>
#include <QTextDocument>

#include <benchmark/benchmark.h>

namespace {

std::string BookRtf()
{
    RichDocument book;
    TextFormat bold;
    bold.bold = true;
    for (int i = 0; WriteRtf(book).size() < (1 << 20); ++i)
        for (int j = 0; j < 200; ++j, ++i) {
            book.paragraphs.push_back(Paragraph{{TextRun{"Wójcik Małgorzata " + std::to_string(i), bold}}});
            book.paragraphs.push_back(Paragraph{{TextRun{"ul. Świętokrzyska 5, Łódź\ttel. 42 630 11 22", {}}}});
            book.paragraphs.push_back(Paragraph{{TextRun{"________________________________", {}}}});
            book.paragraphs.emplace_back();
        }
    return WriteRtf(book);
}

struct Fixture
{
    MemoryFileStore files;
    FakeSound sound;
    FakeUrlLauncher links;
    ContactsWindowServices Services()
    {
        return {files, sound, links, [](QWidget*, const QString&) {},
                [](QWidget*, const QString&, const QString&) { return false; }};
    }
};

void BM_OpenContactsWindow1MB(benchmark::State& state)
{
    Fixture f;
    f.files.files["/program/tel.rtf"] = BookRtf();
    for (auto _ : state) {
        Ttelform form(f.Services(), "/program");
        benchmark::DoNotOptimize(form.re1->document()->characterCount());
    }
}
BENCHMARK(BM_OpenContactsWindow1MB)->Unit(benchmark::kMillisecond);

void BM_SaveContactsWindow1MB(benchmark::State& state)
{
    Fixture f;
    f.files.files["/program/tel.rtf"] = BookRtf();
    Ttelform form(f.Services(), "/program");
    for (auto _ : state) {
        form.re1->document()->setModified(true);
        benchmark::DoNotOptimize(form.SaveContacts());
    }
}
BENCHMARK(BM_SaveContactsWindow1MB)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
