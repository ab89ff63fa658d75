// The value of one line of the printed day view, for the tests that read it.
#pragma once

#include <string>
#include <utility>
#include <vector>

inline std::string Value(const std::vector<std::pair<std::string, std::string>>& lines, const std::string& key)
{
    for (const auto& [k, v] : lines)
        if (k == key)
            return v;
    return "<no line " + key + ">";
}
