// Polish alphabetical order that needs no locale of the machine.
#include "text/polish_collation.h"

#include "text/cp1250.h"

namespace {

// Rank of a letter in the Polish alphabet (1 for a, 2 for ą ... 35 for ż), either case; 0 for a
// character that is not a Polish letter.
int PolishLetterRank(char32_t c)
{
    static constexpr char32_t kLower[] = U"aąbcćdeęfghijklłmnńoópqrsśtuvwxyzźż";
    static constexpr char32_t kUpper[] = U"AĄBCĆDEĘFGHIJKLŁMNŃOÓPQRSŚTUVWXYZŹŻ";
    for (int i = 0; kLower[i]; ++i)
        if (kLower[i] == c || kUpper[i] == c)
            return i + 1;
    return 0;
}

// The primary weight: letters by their Polish rank after every other character, and those by code
// point, so spaces and digits come first.
long long PrimaryWeight(char32_t c)
{
    const int rank = PolishLetterRank(c);
    return rank ? 0x110000LL + rank : static_cast<long long>(c);
}

}  // namespace

bool PolishLess(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const long long wa = PrimaryWeight(NextCodePoint(a, i));
        const long long wb = PrimaryWeight(NextCodePoint(b, j));
        if (wa != wb)
            return wa < wb;
    }
    if ((i < a.size()) != (j < b.size()))
        return j < b.size();
    // Equal but for letter case: a fixed tie-break keeps the order independent of the input's.
    return a < b;
}
