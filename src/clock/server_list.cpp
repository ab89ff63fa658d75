// Reading the time-server list.
#include "clock/server_list.h"

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

}  // namespace

std::string LoadServerList(const std::optional<std::string>& fileText)
{
    if (!fileText) {
        std::string builtIn;
        for (int i = 0; i < 2; ++i)
            builtIn.append(kBuiltInServer).append("\r\n");
        return builtIn;
    }
    const std::string_view text = *fileText;
    std::string list;
    std::size_t pos = 0;
    while (true) {
        while (pos < text.size() && IsBlank(text[pos]))
            ++pos;
        // Windows editors like to begin a UTF-8 file with a byte order mark, also after blank
        // lines; it is no part of a name, and a list read again must read the same.
        if (text.substr(pos).starts_with("\xEF\xBB\xBF")) {
            pos += 3;
            continue;
        }
        if (pos >= text.size())
            break;
        const std::size_t start = pos;
        while (pos < text.size() && !IsBlank(text[pos]))
            ++pos;
        list.append(text.substr(start, pos - start)).append("\r\n");
        // Whatever follows the name on its line is no host.
        while (pos < text.size() && text[pos] != '\n')
            ++pos;
    }
    return list;
}

std::vector<std::string> SplitServerList(std::string_view listText)
{
    std::vector<std::string> hosts;
    std::size_t pos = 0;
    while (pos <= listText.size()) {
        std::size_t end = listText.find('\n', pos);
        if (end == std::string_view::npos)
            end = listText.size();
        std::string_view line = listText.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (!line.empty())
            hosts.emplace_back(line);
        pos = end + 1;
    }
    return hosts;
}
