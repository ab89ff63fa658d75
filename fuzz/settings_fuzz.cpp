// The settings-file reader on arbitrary bytes: it must never crash, and whatever it accepts must
// survive being written and read again unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/reg_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto parsed = ParseRegFile(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!parsed)
        return 0;
    std::string first;
    if (!FormatRegFile(*parsed, first))
        return 0;  // a name or key with a line break cannot be written; the store then refuses
    // One pass may normalise (escapes, hex(1) strings, encodings); after it the text is fixed.
    const auto again = ParseRegFile(first);
    std::string second;
    if (!again || !FormatRegFile(*again, second) || second != first)
        std::abort();
    return 0;
}
