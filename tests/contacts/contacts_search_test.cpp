// Search rules, the address token under a double-click, new entries and the window's file.
#include "contacts/contacts_book.h"
#include "contacts/contacts_search.h"
#include "platform/fake/memory_file_store.h"

#include <gtest/gtest.h>

namespace {

std::optional<std::size_t> Down(std::u16string_view text, std::u16string_view needle, std::size_t from,
                                bool whole = false)
{
    return FindDown(text, {needle, whole}, from);
}

std::optional<std::size_t> Up(std::u16string_view text, std::u16string_view needle, std::size_t to, bool whole = false)
{
    return FindUp(text, {needle, whole}, to);
}

}  // namespace

TEST(ContactsSearch, CaseIsIgnoredForPolishLetters)
{
    const std::u16string text = u"Jan Kowalski\u2029ŁÓDŹ, ul. Żółta\u2029źdźbło";
    EXPECT_EQ(Down(text, u"łódź", 0), 13u);
    EXPECT_EQ(Down(text, u"ŻÓŁTA", 0), 23u);
    EXPECT_EQ(Down(text, u"ŹDŹBŁO", 0), 29u);
    EXPECT_EQ(Down(text, u"kowalski", 5), std::nullopt);
    EXPECT_EQ(Down(text, u"", 0), std::nullopt);
}

// Without the marks the letters are one: both ways, in either case, at the positions of the text;
// letters that have no plain form (ß) and other scripts stay as they are.
TEST(ContactsSearch, PolishMarksMayBeIgnored)
{
    const std::u16string text = u"Jan Śliwa\u2029ŁÓDŹ, ul. Żółta 5\u2029sliwka, Straße, Ёлка";
    struct Row
    {
        const char16_t* needle;
        std::optional<std::size_t> plain, ignoring;
    };
    const Row rows[] = {
        {u"sliwa", std::nullopt, 4u},
        {u"lodz", std::nullopt, 10u},
        {u"ZOLTA", std::nullopt, 20u},
        {u"śliwk", std::nullopt, 28u},
        {u"Śliwa", 4u, 4u},
        {u"strasse", std::nullopt, std::nullopt},
        {u"ёлка", 44u, 44u},
        {u"елка", std::nullopt, std::nullopt},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << std::u16string_view(r.needle).size());
        EXPECT_EQ(FindDown(text, {r.needle, false, false}, 0), r.plain);
        EXPECT_EQ(FindDown(text, {r.needle, false, true}, 0), r.ignoring);
        EXPECT_EQ(FindUp(text, {r.needle, false, true}, text.size()), r.ignoring);
    }
    EXPECT_EQ(FindDown(text, {u"sliw", true, true}, 0), std::nullopt);  // whole words still count
    EXPECT_EQ(FindDown(text, {u"sliwa", true, true}, 0), 4u);
}

TEST(ContactsSearch, NoWrapAroundInEitherDirection)
{
    const std::u16string text = u"tel. 1, tel. 2, tel. 3";
    // Down from the last hit, up from the first: nothing.
    EXPECT_EQ(Down(text, u"tel", NextSearchStart(16, 3)), std::nullopt);
    EXPECT_EQ(Up(text, u"tel", 0), std::nullopt);
    // Up finds the nearest occurrence that ends at or before the start.
    EXPECT_EQ(Up(text, u"tel", 16), 8u);
    EXPECT_EQ(Up(text, u"tel", 11), 8u);
    EXPECT_EQ(Up(text, u"tel", 10), 0u);
    EXPECT_EQ(Down(text, u"tel", NextSearchStart(8, 3)), 16u);
}

TEST(ContactsSearch, WholeWordsSkipMatchesInsideLongerWords)
{
    const std::u16string text = u"Annamaria, Anna_x, anna.";
    EXPECT_EQ(Down(text, u"anna", 0, true), 19u);
    EXPECT_EQ(Up(text, u"anna", text.size(), true), 19u);
    EXPECT_EQ(Down(u"Zażółć", u"za", 0, true), std::nullopt);
    EXPECT_EQ(Down(u"Zażółć", u"za", 0, false), 0u);
    EXPECT_EQ(Down(u"x ząb", u"zą", 0, true), std::nullopt);
}

// A match at the very beginning: the first search finds it, a further downward search with it
// selected steps past it instead of finding it again.
TEST(ContactsSearch, SelectionAtTheStartIsSteppedOver)
{
    const std::u16string text = u"abc abc";
    EXPECT_EQ(NextSearchStart(0, 0), 0u);
    EXPECT_EQ(Down(text, u"abc", NextSearchStart(0, 0)), 0u);
    EXPECT_EQ(Down(text, u"abc", NextSearchStart(0, 3)), 4u);
    EXPECT_EQ(Down(text, u"abc", NextSearchStart(4, 3)), std::nullopt);
}

TEST(ContactsSearch, IncrementalToneOnlyOnTheFirstFailingKeystroke)
{
    ContactsSearch search;
    const std::u16string text = u"Kowalski Jan, Nowak Ewa";
    auto feedback = search.Incremental(text, {u"Nowak"});
    EXPECT_EQ(feedback.hit, 14u);
    EXPECT_FALSE(feedback.tone);
    EXPECT_FALSE(feedback.notFoundColour);
    feedback = search.Incremental(text, {u"Nowakx"});
    EXPECT_FALSE(feedback.hit);
    EXPECT_TRUE(feedback.tone);
    EXPECT_TRUE(feedback.collapseSelection);
    EXPECT_TRUE(feedback.notFoundColour);
    feedback = search.Incremental(text, {u"Nowakxy"});
    EXPECT_FALSE(feedback.tone);
    EXPECT_TRUE(feedback.notFoundColour);
    feedback = search.Incremental(text, {u"nowak"});
    EXPECT_EQ(feedback.hit, 14u);
    EXPECT_FALSE(feedback.notFoundColour);
    search.Incremental(text, {u"zzz"});
    feedback = search.Incremental(text, {u""});
    EXPECT_TRUE(feedback.collapseSelection);
    EXPECT_FALSE(feedback.notFoundColour);
    EXPECT_FALSE(feedback.tone);
}

TEST(ContactsSearch, StepMissesSoundButChangeNothing)
{
    ContactsSearch search;
    const std::u16string text = u"a b a";
    auto feedback = search.Step(text, {u"a"}, 4, 1, true);
    EXPECT_FALSE(feedback.hit);
    EXPECT_TRUE(feedback.tone);
    EXPECT_FALSE(feedback.collapseSelection);
    EXPECT_FALSE(feedback.notFoundColour);
    feedback = search.Step(text, {u"a"}, 4, 1, false);
    EXPECT_EQ(feedback.hit, 0u);
    EXPECT_FALSE(feedback.tone);
}

TEST(LinkToken, BlankDelimitedTokenAroundTheClick)
{
    const std::u16string text = u"tel. 123\u2029www: WWW.Example.PL/a?b=1 i\tjan@poczta.pl\u2029x";
    struct Row
    {
        std::size_t at;
        std::u16string token;
    };
    const Row rows[] = {{0, u"tel."},
                        {3, u"tel."},
                        {5, u"123"},
                        {14, u"WWW.Example.PL/a?b=1"},
                        {20, u"WWW.Example.PL/a?b=1"},
                        {38, u"jan@poczta.pl"},
                        {51, u"x"},
                        {50, u"jan@poczta.pl"},
                        {4, u"tel."}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.at);
        const TextSpan span = LinkTokenAt(text, r.at);
        EXPECT_EQ(text.substr(span.start, span.length), r.token);
    }
}

TEST(LinkToken, ReachesAtMostAHundredUnitsEachWay)
{
    const std::u16string text = std::u16string(150, u'a') + u" " + std::u16string(150, u'b');
    EXPECT_EQ(LinkTokenAt(text, 120), (TextSpan{20, 130}));
    EXPECT_EQ(LinkTokenAt(text, 151), (TextSpan{151, 100}));
}

TEST(LinkToken, BrowserForHttpAndWwwMailForAt)
{
    struct Row
    {
        std::u16string token;
        bool browser, mail;
    };
    const Row rows[] = {{u"www.example.pl", true, false},
                        {u"wWw.Example.pl", true, false},
                        {u"HTTP://example.pl", true, false},
                        {u"https://example.pl", true, false},
                        {u"jan@example.pl", false, true},
                        {u"http://jan@example.pl", true, true},
                        {u"example.pl", false, false},
                        {u"ftp://x", false, false},
                        {u"ww", false, false},
                        {u"", false, false}};
    for (const Row& r : rows) {
        const LinkTargets targets = ClassifyLinkToken(r.token);
        EXPECT_EQ(targets.browser, r.browser) << std::string(r.token.begin(), r.token.end());
        EXPECT_EQ(targets.mail, r.mail);
    }
}

// Only web and mail links open: a file's link to a program or a local file does nothing.
TEST(ContactsSearch, LinksOpenOnlyWebAndMailAddresses)
{
    EXPECT_EQ(OpeningOfLink("https://example.pl/a"), (LinkOpening{true, false, "https://example.pl/a"}));
    EXPECT_EQ(OpeningOfLink("HTTP://EXAMPLE.PL"), (LinkOpening{true, false, "HTTP://EXAMPLE.PL"}));
    EXPECT_EQ(OpeningOfLink("MailTo:ewa@example.pl"), (LinkOpening{false, true, "ewa@example.pl"}));
    for (const char* other :
         {"", "mailto:", "file:///etc/passwd", "C:\\program.exe", "javascript:x", "http:/x", "www.example.pl"})
        EXPECT_EQ(OpeningOfLink(other), LinkOpening{}) << other;
}

TEST(ContactsBook, NewEntryLinesEndWithTheSeparatorAndAnEmptyLine)
{
    const std::string separator(32, '_');
    EXPECT_EQ(NewEntryLines(""), (std::vector<std::string>{separator, ""}));
    EXPECT_EQ(NewEntryLines("Jan\nul. Długa 1\n"), (std::vector<std::string>{"Jan", "ul. Długa 1", separator, ""}));
    EXPECT_EQ(NewEntryLines("a\r\n\r\nb\xE2\x80\xA8"
                            "c"),
              (std::vector<std::string>{"a", "", "b", "c", separator, ""}));
}

TEST(ContactsBook, ScrollThreeLinesNearTheEdges)
{
    EXPECT_EQ(ScrollLinesForHit(450, 500), 3);
    EXPECT_EQ(ScrollLinesForHit(400, 500), 0);
    EXPECT_EQ(ScrollLinesForHit(250, 500), 0);
    EXPECT_EQ(ScrollLinesForHit(100, 500), 0);
    EXPECT_EQ(ScrollLinesForHit(99, 500), -3);
}

namespace {

// A run as it reads back from the file, where every run has its size.
TextFormat SavedFormat()
{
    TextFormat format;
    format.halfPoints = kEditorHalfPoints;
    return format;
}

}  // namespace

TEST(ContactsBook, FileLoadsSavesAndNamesItselfInTheFailureMessage)
{
    MemoryFileStore store;
    ContactsFile file(store, "/program");
    EXPECT_EQ(file.Path(), std::filesystem::path("/program/tel.rtf"));
    EXPECT_FALSE(file.Load());
    store.files[file.Path()] = "not rich text";
    EXPECT_FALSE(file.Load());
    const RichDocument document{{Paragraph{{TextRun{"Ewa Żak", SavedFormat()}}}}};
    ASSERT_TRUE(file.Save(document));
    EXPECT_EQ(file.Load(), document);
    store.failWrites = true;
    EXPECT_FALSE(file.Save(RichDocument{}));
    EXPECT_EQ(file.Load(), document);
    // The path as the system writes it ("/program\tel.rtf" on Windows), and why.
    EXPECT_EQ(file.SaveFailureMessage(),
              "Zapis do pliku: " + file.Path().string() + "  nie powiódł się (brak miejsca na dysku).");
    store.writeProblem = FileProblem::ReadOnly;
    EXPECT_FALSE(file.Save(RichDocument{}));
    EXPECT_EQ(file.SaveFailureMessage(),
              "Zapis do pliku: " + file.Path().string() + "  nie powiódł się (system plików jest tylko do odczytu).");
}

TEST(ContactsBook, AFileThatIsNoRichTextIsKeptAsideBeforeTheFirstSave)
{
    MemoryFileStore store;
    ContactsFile file(store, "/program");
    const RichDocument document{{Paragraph{{TextRun{"Ewa Żak", SavedFormat()}}}}};
    const std::filesystem::path aside = "/program/tel.rtf.unreadable";

    store.files[file.Path()] = "Jan Nowak 600 700 800";
    store.files[aside] = "from an earlier start";
    EXPECT_FALSE(file.Load());
    store.failWrites = true;
    EXPECT_FALSE(file.Save(document));  // without its copy, the old text stays where it was
    EXPECT_EQ(store.files[file.Path()], "Jan Nowak 600 700 800");
    store.failWrites = false;
    ASSERT_TRUE(file.Save(document));
    EXPECT_EQ(store.files[aside], "from an earlier start");
    EXPECT_EQ(store.files["/program/tel.rtf.unreadable.1"], "Jan Nowak 600 700 800");
    EXPECT_EQ(file.Load(), document);

    // A book that reads is replaced as usual, and so is an empty file.
    ASSERT_TRUE(file.Save(RichDocument{}));
    store.files[file.Path()] = "";
    EXPECT_FALSE(file.Load());
    ASSERT_TRUE(file.Save(document));
    EXPECT_EQ(store.files.size(), 3U);
}

TEST(ContactsBook, ABookThatCouldNotBeReadIsMovedAsideOrNeverSavedOver)
{
    // Someone else's file, or one with an I/O error: an empty book is shown, and saving it must
    // not be the end of what is there.
    MemoryFileStore store;
    ContactsFile file(store, "/program");
    const RichDocument document{{Paragraph{{TextRun{"Ewa Żak", SavedFormat()}}}}};
    store.files[file.Path()] = "{\\rtf1 Jan Nowak}";
    store.unreadable.insert(file.Path());
    store.files["/program/tel.rtf.unreadable"] = "from an earlier start";
    EXPECT_FALSE(file.Load());

    // It cannot be moved: the save is refused, and the message says why.
    store.failRenames = true;
    EXPECT_FALSE(file.Save(document));
    EXPECT_EQ(store.writes, 0);
    EXPECT_EQ(file.SaveFailureMessage(),
              "Nie udało się odczytać pliku: " + file.Path().string()
                  + " (brak uprawnień)  Zapis nie zastąpi go, by nie utracić jego zawartości.");

    // It can: it keeps its bytes under the first free name, and the book is saved.
    store.failRenames = false;
    ASSERT_TRUE(file.Save(document));
    EXPECT_EQ(store.files["/program/tel.rtf.unreadable.1"], "{\\rtf1 Jan Nowak}");
    EXPECT_TRUE(store.unreadable.count("/program/tel.rtf.unreadable.1"));
    EXPECT_EQ(file.Load(), document);
    EXPECT_EQ(file.SaveFailureMessage(), "Zapis do pliku: " + file.Path().string() + "  nie powiódł się.");
}
