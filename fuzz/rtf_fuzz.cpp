// Fuzz target: the RTF reader never crashes or hangs on any input, and what it reads is written
// and read back to the same document.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "contacts/rtf_reader.h"
#include "contacts/rtf_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const auto document = ReadRtf(input);
    if (!document)
        return 0;
    const auto again = ReadRtf(WriteRtf(*document));
    if (!again || !(*again == *document))
        std::abort();  // NOLINT
    return 0;
}
