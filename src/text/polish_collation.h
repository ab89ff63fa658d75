// Polish alphabetical order for names of places and people, the same on every machine.
#pragma once

#include <string_view>

// Polish alphabetical order ignoring letter case (a ą b c ć ... z ź ż), the same on every machine
// whatever locales it has: true when UTF-8 text `a` sorts before `b`.
bool PolishLess(std::string_view a, std::string_view b);
