// Fuzz target: the RTF reader never crashes or hangs on any input, and what it reads is written
// and read back to the same document, with the editor's size where a run had none.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "contacts/rtf_reader.h"
#include "contacts/rtf_writer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    auto document = ReadRtf(input);
    if (!document)
        return 0;
    const auto again = ReadRtf(WriteRtf(*document));
    for (Paragraph& paragraph : document->paragraphs)
        for (TextRun& run : paragraph.runs)
            if (run.format.halfPoints == 0)
                run.format.halfPoints = kEditorHalfPoints;
    Normalize(*document);
    if (!again || !(*again == *document))
        std::abort();  // NOLINT
    return 0;
}
