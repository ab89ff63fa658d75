// Paths and the program's UTF-8 text: the crossing must keep every letter on every system.
#include "platform/path_text.h"

#include <gtest/gtest.h>

TEST(PathText, PolishAndCyrillicFolderNamesCrossWhole)
{
    for (const char* name : {"Mój program", "Дняр", "zażółć gęślą jaźń", "plain", ""}) {
        SCOPED_TRACE(name);
        const std::filesystem::path path = PathFromUtf8(name);
        EXPECT_EQ(PathToUtf8(path), name);
        EXPECT_TRUE(path.u8string() == std::u8string(reinterpret_cast<const char8_t*>(name)));
    }
    EXPECT_EQ(PathToUtf8(PathFromUtf8("katalog") / PathFromUtf8("plik żółw.txt")).substr(8), "plik żółw.txt");
}
