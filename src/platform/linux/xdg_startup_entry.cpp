// XDG autostart entries: reading, writing and removing NAME.desktop files.
#include "platform/linux/xdg_startup_entry.h"

#include "platform/linux/posix_file.h"
#include "platform/read_file.h"
#include "text/cp1250.h"

#include <system_error>

namespace {

bool ValidName(std::string_view name)
{
    return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos
           && name.find('\0') == std::string_view::npos;
}

bool HasControlCharacter(std::string_view text)
{
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F)
            return true;
    return false;
}

std::optional<std::string> ReadText(const std::filesystem::path& file)
{
    std::string text;
    if (ReadFileSafely(file, kSmallFileLimit, text))
        return std::nullopt;
    return text;
}

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// One argument as the Exec key's quoting rules want it, before the string escapes of the file.
std::string QuoteArgument(std::string_view arg, bool always)
{
    static constexpr std::string_view kReserved = " \t\n\"'\\><~|&;$*?#()`";
    if (!always && !arg.empty() && arg.find_first_of(kReserved) == std::string_view::npos)
        return std::string(arg);
    std::string out = "\"";
    for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + '"';
}

}  // namespace

XdgStartupEntry::XdgStartupEntry(std::filesystem::path userDir, std::filesystem::path systemDir)
    : m_userDir(std::move(userDir)), m_systemDir(std::move(systemDir))
{
}

std::filesystem::path XdgStartupEntry::EntryFile(TRegLocation where, std::string_view name) const
{
    const std::filesystem::path& dir = where == TRegLocation::CurrentUser ? m_userDir : m_systemDir;
    if (dir.empty() || !ValidName(name))
        return {};
    return dir / (std::string(name) + ".desktop");
}

std::optional<std::string> XdgStartupEntry::Read(TRegLocation where, std::string_view name) const
{
    const std::filesystem::path file = EntryFile(where, name);
    if (file.empty())
        return std::nullopt;
    // A user's file of the same name replaces the system's, and with Hidden=true switches it off.
    std::error_code ec;
    if (where == TRegLocation::LocalMachine && std::filesystem::exists(EntryFile(TRegLocation::CurrentUser, name), ec))
        return std::nullopt;
    const auto text = ReadText(file);
    if (!text)
        return std::nullopt;
    if (DesktopEntryValue(*text, "Hidden") == "true"
        || DesktopEntryValue(*text, "X-GNOME-Autostart-enabled") == "false")
        return std::nullopt;
    return DesktopEntryValue(*text, "Exec").value_or(std::string());
}

bool XdgStartupEntry::Remove(TRegLocation where, std::string_view name)
{
    const std::filesystem::path file = EntryFile(where, name);
    std::error_code ec;
    return !file.empty() && std::filesystem::remove(file, ec) && !ec;
}

bool XdgStartupEntry::Write(TRegLocation where, std::string_view name, const std::string& program,
                            const std::vector<std::string>& arguments)
{
    const std::filesystem::path file = EntryFile(where, name);
    const auto exec = ExecLine(program, arguments);
    if (file.empty() || !exec)
        return false;
    const std::string text = "[Desktop Entry]\nType=Application\nName=Dniarz\nComment=Kalendarz i zegar\nExec=" + *exec
                             + "\nTerminal=false\n";
    return !ReplaceFileContents(file, text);
}

XdgStartupEntry ProgramStartupEntry(const std::filesystem::path& configHome)
{
    return XdgStartupEntry(configHome.empty() ? std::filesystem::path() : configHome / "autostart",
                           "/etc/xdg/autostart");
}

std::optional<std::string> ExecLine(const std::string& program, const std::vector<std::string>& arguments)
{
    // Desktop entries are UTF-8, and sessions built on GLib refuse an entry that is not: a name in
    // another encoding cannot be written into one.
    if (program.empty() || HasControlCharacter(program) || !IsUtf8(program))
        return std::nullopt;
    // GLib looks for the program named first in the line before it will start an entry, and looks
    // for it with the "%%" of the line as it stands: a program whose path holds '%' is started
    // through env, which GLib finds, and which is handed the path with its '%' restored.
    std::string quoted = program.find('%') == std::string::npos ? QuoteArgument(program, true)
                                                                : "/usr/bin/env " + QuoteArgument(program, true);
    for (const std::string& argument : arguments) {
        if (HasControlCharacter(argument) || !IsUtf8(argument))
            return std::nullopt;
        quoted += ' ' + QuoteArgument(argument, false);
    }
    // The Exec value is also a string value of the file, whose own escapes apply on top of the
    // quoting, and '%' would start a field code.
    std::string out;
    for (char c : quoted) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '%')
            out += "%%";
        else
            out += c;
    }
    return out;
}

std::optional<std::string> DesktopEntryValue(std::string_view fileText, std::string_view key)
{
    bool inGroup = false;
    std::optional<std::string> found;
    std::size_t start = 0;
    while (start < fileText.size()) {
        std::size_t end = fileText.find('\n', start);
        if (end == std::string_view::npos)
            end = fileText.size();
        const std::string_view line = Trim(fileText.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#')
            continue;
        if (line.front() == '[') {
            inGroup = line == "[Desktop Entry]";
            continue;
        }
        const std::size_t eq = line.find('=');
        if (!inGroup || eq == std::string_view::npos || Trim(line.substr(0, eq)) != key)
            continue;
        const std::string_view raw = Trim(line.substr(eq + 1));
        std::string value;
        for (std::size_t i = 0; i < raw.size(); ++i) {
            if (raw[i] != '\\' || i + 1 == raw.size()) {
                value += raw[i];
                continue;
            }
            const char e = raw[++i];
            value += e == 's' ? ' ' : e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
        }
        found = std::move(value);
    }
    return found;
}
