// Polish alphabetical order.
#include "text/polish_collation.h"

#include <gtest/gtest.h>

TEST(PolishCollation, LettersWithMarksFollowTheirBaseLetterAndCaseIsIgnored)
{
    struct Row
    {
        const char* before;
        const char* after;
    };
    const Row rows[] = {
        {"Lublin", "Łódź"},          {"lz", "ła"},       {"Zu", "Źa"}, {"Źz", "Ża"},
        {"Zamość", "zielona"},       {"ab", "AC"},       {"Ab", "ąa"}, {"Oz", "óa"},
        {"Zielona", "Zielona Góra"}, {"Szczecin", "Śa"}, {"Aa", "Ab"}, {"a b", "ab"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(testing::Message() << r.before << " < " << r.after);
        EXPECT_TRUE(PolishLess(r.before, r.after));
        EXPECT_FALSE(PolishLess(r.after, r.before));
    }
}
