// Command-line rules of the browser launch; no system calls here.
#include "platform/url_launcher.h"

#include <cctype>

namespace {

bool IsAddressCode(char c)
{
    return c == '1' || c == 'u' || c == 'U' || c == 'f' || c == 'F';
}

// Position of the first placeholder, quoted or bare, skipping the escaped percent "%%".
std::optional<std::size_t> FindPlaceholder(std::string_view line, bool quoted)
{
    for (std::size_t i = 0; i + 1 < line.size(); ++i) {
        if (line[i] != '%')
            continue;
        if (line[i + 1] == '%') {
            ++i;
            continue;
        }
        if (!IsAddressCode(line[i + 1]))
            continue;
        if (!quoted)
            return i;
        if (i > 0 && line[i - 1] == '"' && i + 2 < line.size() && line[i + 2] == '"')
            return i - 1;
    }
    return std::nullopt;
}

// What is left of one argument once its field codes are resolved; nothing when it stood for a
// value the launch does not give (icon, name, file location) and so goes altogether.
std::optional<std::string> ResolveFieldCodes(const std::string& argument)
{
    if (argument == "%i" || argument == "%c" || argument == "%k")
        return std::nullopt;
    // Packaged browsers wrap the address in these markers; with the address appended after them
    // the wrapper would wait for a closing one.
    if (argument == "@@u" || argument == "@@" || argument == "@@f")
        return std::nullopt;
    std::string out;
    for (std::size_t i = 0; i < argument.size(); ++i) {
        if (argument[i] != '%' || i + 1 == argument.size()) {
            out += argument[i];
            continue;
        }
        if (argument[++i] == '%')
            out += '%';
    }
    return out;
}

bool IsAttachmentField(std::string_view field)
{
    std::string name;
    for (std::size_t i = 0; i < field.size() && field[i] != '='; ++i) {
        char c = field[i];
        if (c == '%' && i + 2 < field.size() && std::isxdigit(static_cast<unsigned char>(field[i + 1]))
            && std::isxdigit(static_cast<unsigned char>(field[i + 2]))) {
            c = static_cast<char>(std::stoi(std::string(field.substr(i + 1, 2)), nullptr, 16));
            i += 2;
        }
        name += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return name == "attach" || name == "attachment";
}

}  // namespace

std::string CutAtPlaceholder(std::string_view commandLine)
{
    auto at = FindPlaceholder(commandLine, true);
    if (!at)
        at = FindPlaceholder(commandLine, false);
    return std::string(at ? commandLine.substr(0, *at) : commandLine);
}

std::string UnescapeDesktopValue(std::string_view value)
{
    std::string out;
    for (std::size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\' || i + 1 == value.size()) {
            out += value[i];
            continue;
        }
        switch (value[++i]) {
        case 's':
            out += ' ';
            break;
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case 'r':
            out += '\r';
            break;
        case '\\':
            out += '\\';
            break;
        default:  // not an escape of this level: the quoting rules of Exec read it later
            out += '\\';
            out += value[i];
            break;
        }
    }
    return out;
}

std::optional<std::vector<std::string>> SplitExecLine(std::string_view exec)
{
    std::vector<std::string> args;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (std::size_t i = 0; i < exec.size(); ++i) {
        const char c = exec[i];
        if (quoted) {
            if (c == '"') {
                quoted = false;
            } else if (c == '\\' && i + 1 < exec.size()
                       && (exec[i + 1] == '"' || exec[i + 1] == '`' || exec[i + 1] == '$' || exec[i + 1] == '\\')) {
                current += exec[++i];
            } else {
                current += c;
            }
        } else if (c == ' ' || c == '\t' || c == '\n') {
            if (inArgument)
                args.push_back(std::move(current));
            current.clear();
            inArgument = false;
        } else if (c == '"') {
            quoted = true;
            inArgument = true;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (quoted)
        return std::nullopt;
    if (inArgument)
        args.push_back(std::move(current));
    return args;
}

std::optional<std::string> DesktopEntryExec(std::string_view desktopFile)
{
    bool inEntry = false;
    while (!desktopFile.empty()) {
        const std::size_t end = desktopFile.find('\n');
        std::string_view line = desktopFile.substr(0, end);
        desktopFile = end == std::string_view::npos ? std::string_view() : desktopFile.substr(end + 1);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.starts_with('[')) {
            inEntry = line == "[Desktop Entry]";
            continue;
        }
        if (!inEntry || !line.starts_with("Exec"))
            continue;
        std::string_view rest = line.substr(4);
        while (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
        if (!rest.starts_with('='))
            continue;  // another key that begins with "Exec", or a localised one
        rest.remove_prefix(1);
        while (!rest.empty() && rest.front() == ' ')
            rest.remove_prefix(1);
        return UnescapeDesktopValue(rest);
    }
    return std::nullopt;
}

bool IsSafeAddress(std::string_view address)
{
    return !address.empty() && address.front() != '-' && address.find_first_of("\r\n") == std::string_view::npos;
}

std::optional<std::vector<std::string>> BrowserArguments(std::string_view exec, const std::string& address)
{
    if (!IsSafeAddress(address))
        return std::nullopt;
    const auto split = SplitExecLine(CutAtPlaceholder(exec));
    if (!split)
        return std::nullopt;
    std::vector<std::string> args;
    for (const std::string& argument : *split)
        if (auto resolved = ResolveFieldCodes(argument))
            args.push_back(std::move(*resolved));
    if (args.empty() || args.front().empty())
        return std::nullopt;
    args.push_back(address);
    return args;
}

std::string MailUrl(std::string_view address)
{
    const std::size_t query = address.find('?');
    std::string url = "mailto:" + std::string(address.substr(0, query));
    if (query == std::string_view::npos)
        return url;
    char separator = '?';
    std::string_view rest = address.substr(query + 1);
    for (;;) {
        const std::size_t amp = rest.find('&');
        const std::string_view field = rest.substr(0, amp);
        if (!IsAttachmentField(field)) {
            url += separator;
            url += field;
            separator = '&';
        }
        if (amp == std::string_view::npos)
            break;
        rest.remove_prefix(amp + 1);
    }
    return url;
}
