// Writing the contacts document as rich text (RTF).
#pragma once

#include "contacts/rich_text.h"

#include <string>

// The document as seven-bit RTF, code page Windows-1250: every character beyond ASCII as \uN
// followed by its Windows-1250 byte (or '?') for readers that know no Unicode (\uc1). Font 0 is
// `defaultFont`, the editor's own; runs without a font of their own use it, and runs without a
// size get the editor's own size. Links are HYPERLINK fields with their runs as the result.
std::string WriteRtf(const RichDocument& document, const std::string& defaultFont = "Arial");
