// Writing the contacts document as rich text (RTF).
#pragma once

#include "contacts/rich_text.h"

#include <string>

// The document as RTF in Windows-1250: Polish letters and every other character of that code
// page as \'hh, so that older readers show them; all other characters as \uN with a '?' for
// readers that know no Unicode. Font 0 is `defaultFont`, the editor's own; runs without a font
// of their own use it.
std::string WriteRtf(const RichDocument& document, const std::string& defaultFont = "Arial");
