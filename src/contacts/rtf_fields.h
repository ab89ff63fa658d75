// Field instructions of rich text: what a field's result stands for.
#pragma once

#include <string>
#include <string_view>

// The address of a HYPERLINK field instruction (the instruction's text, RTF escapes already
// read): HYPERLINK "address" or an unquoted address, with optional switches, of which \l names a
// place inside the target (appended as "#place") and \o and \t take a value that is no address.
// Inside quotes a backslash takes the next character as it is. Empty for every other field.
std::string HyperlinkTarget(std::string_view instruction);
