// The Windows-1250 codec against the C library's own converter and the shipped table.
#include "text/cp1250.h"

#include <algorithm>
#include <fstream>
#include <iconv.h>
#include <iterator>

#include <gtest/gtest.h>

namespace {

// The C library's conversion, an independent source for the code page.
std::string IconvToUtf8(const std::string& in)
{
    iconv_t cd = iconv_open("UTF-8", "CP1250");
    if (cd == reinterpret_cast<iconv_t>(-1))
        return {};
    std::string out(in.size() * 4 + 4, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t srcLeft = in.size();
    char* dst = out.data();
    std::size_t dstLeft = out.size();
    const std::size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (r == static_cast<std::size_t>(-1))
        return {};
    out.resize(out.size() - dstLeft);
    return out;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST(Cp1250, EveryByteRoundTrips)
{
    for (int b = 0; b < 256; ++b) {
        SCOPED_TRACE(b);
        const std::string byte(1, static_cast<char>(b));
        bool lossy = true;
        EXPECT_EQ(Utf8ToCp1250(Cp1250ToUtf8(byte), &lossy), byte);
        EXPECT_FALSE(lossy);
    }
}

TEST(Cp1250, DefinedBytesAgreeWithTheCLibrary)
{
    const int undefined[] = {0x81, 0x83, 0x88, 0x90, 0x98};
    for (int b = 0; b < 256; ++b) {
        if (std::find(std::begin(undefined), std::end(undefined), b) != std::end(undefined))
            continue;
        SCOPED_TRACE(b);
        const std::string byte(1, static_cast<char>(b));
        const std::string expected = IconvToUtf8(byte);
        if (expected.empty() && b != 0)
            GTEST_SKIP() << "the C library has no CP1250 converter here";
        EXPECT_EQ(Cp1250ToUtf8(byte), expected);
    }
}

TEST(Cp1250, PolishLettersAndUnencodableCharacters)
{
    EXPECT_EQ(Utf8ToCp1250("zażółć gęślą jaźń ZAŻÓŁĆ"),
              "za\xBF\xF3\xB3\xE6 g\xEA\x9Cl\xB9 ja\x9F\xF1 ZA\xAF\xD3\xA3\xC6");
    bool lossy = false;
    EXPECT_EQ(Utf8ToCp1250("€ 5 → ☺ 😀", &lossy), "\x80 5 ? ? ?");
    EXPECT_TRUE(lossy);
    bool changed = false;
    EXPECT_EQ(MakeCp1250Safe("Zoë Ørsted ą", &changed), "Zoë ?rsted ą");
    EXPECT_TRUE(changed);
}

// What a note editor names as lost: each character once, in the order met, and exactly those
// that become "?" (Polish letters, the euro and typographic quotes are kept).
TEST(Cp1250, UnstorableCharactersAreNamedOnceEach)
{
    using List = std::vector<std::string>;
    EXPECT_EQ(UnstorableCharacters("zażółć „cytat” € – ok"), List{});
    EXPECT_EQ(UnstorableCharacters("☺ a 😀 b ☺ Ø → 😀"), (List{"☺", "😀", "Ø", "→"}));
    EXPECT_EQ(UnstorableCharacters("x\xFFy\xC5"), List{"\uFFFD"}) << "malformed bytes are one replacement mark";
    EXPECT_EQ(UnstorableCharacters(""), List{});
}

TEST(Cp1250, MalformedUtf8BecomesQuestionMarksWithoutOverrunning)
{
    const std::string cases[] = {"\xC5", "\xE2\x82", "\xF0\x9F\x98", "\xC0\xAF", "\xED\xA0\x80", "\xFF", "a\x80z"};
    for (const std::string& text : cases) {
        SCOPED_TRACE(text.size());
        bool lossy = false;
        const std::string out = Utf8ToCp1250(text, &lossy);
        EXPECT_TRUE(lossy);
        EXPECT_LE(out.size(), text.size());
    }
}

TEST(Cp1250, BuiltInTableMatchesItsUtf8Twin)
{
    const std::string dir = DNIARZ_TEST_DATA_DIR;
    const std::string cp = ReadFile(dir + "/../../data/imieniny.cp1250.txt");
    const std::string utf8 = ReadFile(dir + "/../calendar/imieniny.utf8.txt");
    ASSERT_FALSE(cp.empty());
    EXPECT_EQ(Cp1250ToUtf8(cp), utf8);
    EXPECT_EQ(Utf8ToCp1250(utf8), cp);
}

// Well-formed UTF-8 only: what decides whether a file is read as UTF-8 or as Windows-1250.
TEST(Utf8, WellFormedOnly)
{
    for (const char* text : {"", "ferie", "łódzkie", "\xEF\xBB\xBF", "\xF0\x9F\x8E\x84", "\xF4\x8F\xBF\xBF"})
        EXPECT_TRUE(IsUtf8(text)) << text;
    // A Windows-1250 "ł", a lone continuation byte, a cut sequence, overlong forms, a surrogate,
    // beyond U+10FFFF.
    for (const char* text :
         {"\xB3\xF3"
          "dzkie",
          "\x80", "\xC5", "\xC0\xAF", "\xE0\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xF8\x88\x80\x80\x80"})
        EXPECT_FALSE(IsUtf8(text)) << text;
}
