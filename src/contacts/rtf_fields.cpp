// Reading field instructions: a tokenizer of quoted and bare arguments and switches.
#include "contacts/rtf_fields.h"

#include <algorithm>
#include <utility>
#include <vector>

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b)
{
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        return lower(x) == lower(y);
    });
}

}  // namespace

std::string HyperlinkTarget(std::string_view instruction)
{
    std::vector<std::pair<std::string, bool>> tokens;  // text, whether a switch
    std::size_t pos = 0;
    while (pos < instruction.size()) {
        if (instruction[pos] == ' ') {
            ++pos;
            continue;
        }
        std::string token;
        if (instruction[pos] == '"') {
            for (++pos; pos < instruction.size() && instruction[pos] != '"'; ++pos) {
                if (instruction[pos] == '\\' && pos + 1 < instruction.size())
                    ++pos;
                token += instruction[pos];
            }
            ++pos;
            tokens.emplace_back(std::move(token), false);
            continue;
        }
        const bool isSwitch = instruction[pos] == '\\';
        while (pos < instruction.size() && instruction[pos] != ' ' && instruction[pos] != '"')
            token += instruction[pos++];
        tokens.emplace_back(std::move(token), isSwitch);
    }
    if (tokens.empty() || tokens.front().second || !EqualsIgnoringCase(tokens.front().first, "HYPERLINK"))
        return {};
    std::string address;
    std::string place;
    for (std::size_t i = 1; i < tokens.size(); ++i) {
        const auto& [token, isSwitch] = tokens[i];
        if (isSwitch) {
            const bool takesValue = token == "\\l" || token == "\\o" || token == "\\t";
            if (takesValue && i + 1 < tokens.size() && !tokens[i + 1].second) {
                if (token == "\\l")
                    place = tokens[i + 1].first;
                ++i;
            }
        } else if (address.empty()) {
            address = token;
        }
    }
    if (!address.empty() && !place.empty())
        address += "#" + place;
    return address;
}
