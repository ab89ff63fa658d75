// Fuzz target: the text codec and the date argument parser never crash, and a decoded file
// always encodes back to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/command_line.h"
#include "text/cp1250.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    if (Utf8ToCp1250(Cp1250ToUtf8(input)) != input)
        std::abort();
    (void)MakeCp1250Safe(input);
    (void)ParseDateArgument(input);
    return 0;
}
