// Reading rich text (RTF) into the contacts document.
#pragma once

#include "contacts/rich_text.h"

#include <optional>
#include <string_view>

// Reads an RTF file's bytes. Returns nothing when the bytes do not begin with an RTF header
// ("{\rtf", after a byte order mark, blanks and line ends). Otherwise returns as much as could be read: text after
// the final closing brace is ignored, a cut or unbalanced file gives its text so far, and
// destinations the reader does not know (pictures, document information, style sheets, field
// instructions, anything marked \*) are skipped while the visible result of a field is kept; the
// result of a HYPERLINK field links to its address.
// Linear in the input's size for every input.
std::optional<RichDocument> ReadRtf(std::string_view bytes);
