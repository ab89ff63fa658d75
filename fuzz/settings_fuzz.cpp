// The settings-file reader on arbitrary bytes: it must never crash, and whatever it accepts must
// be writable and survive being written and read again unchanged.
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
    // Whatever was read must be writable, or one odd line would keep the store from ever saving.
    std::string first;
    if (!FormatRegFile(*parsed, first))
        std::abort();
    // One pass may normalise (escapes, hex(1) strings, encodings); after it the text is fixed.
    const auto again = ParseRegFile(first);
    std::string second;
    if (!again || !FormatRegFile(*again, second) || second != first)
        std::abort();
    return 0;
}
