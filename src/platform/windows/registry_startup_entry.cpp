// Run key values: reading, writing and removing one named command line.
#include "platform/windows/registry_startup_entry.h"

#include "platform/windows/win_text.h"

namespace {

// One argument as CommandLineToArgvW and the C runtime read it back: inside quotation marks, a
// quotation mark is escaped by a backslash and backslashes count only before a quotation mark.
std::string QuoteArgument(const std::string& argument)
{
    if (!argument.empty() && argument.find_first_of(" \t\"") == std::string::npos)
        return argument;
    std::string out = "\"";
    std::size_t backslashes = 0;
    for (char c : argument) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        out.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, '\\');
    return out + '"';
}

bool HasLineBreak(const std::string& text)
{
    return text.find_first_of("\r\n") != std::string::npos || text.find('\0') != std::string::npos;
}

}  // namespace

std::wstring RunKeyName(TAutoRunWhere when)
{
    static constexpr const wchar_t* kNames[] = {L"Run", L"RunOnce", L"RunServices", L"RunServicesOnce"};
    return std::wstring(L"Software\\Microsoft\\Windows\\CurrentVersion\\") + kNames[static_cast<int>(when)];
}

std::optional<std::string> RunCommandLine(const std::string& program, const std::vector<std::string>& arguments)
{
    if (program.empty() || program.find('"') != std::string::npos || HasLineBreak(program))
        return std::nullopt;
    std::string line = '"' + program + '"';
    for (const std::string& argument : arguments) {
        if (HasLineBreak(argument))
            return std::nullopt;
        line += ' ' + QuoteArgument(argument);
    }
    return line;
}

std::optional<std::string> RegistryStartupEntry::Read(TRegLocation where, std::string_view name) const
{
    const bool user = where == TRegLocation::CurrentUser;
    const std::wstring wideName = Widen(name);
    HKEY key = nullptr;
    if (RegOpenKeyExW(user ? m_keys.userRoot : m_keys.machineRoot, (user ? m_keys.userKey : m_keys.machineKey).c_str(),
                      0, KEY_QUERY_VALUE, &key)
        != ERROR_SUCCESS)
        return std::nullopt;
    DWORD type = 0;
    DWORD size = 0;
    std::wstring text;
    LONG rc = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, nullptr, &size);
    if (rc == ERROR_SUCCESS && (type == REG_SZ || type == REG_EXPAND_SZ)) {
        text.resize(size / sizeof(wchar_t) + 1);
        size = static_cast<DWORD>(text.size() * sizeof(wchar_t));
        rc = RegQueryValueExW(key, wideName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &size);
    } else if (rc == ERROR_SUCCESS) {
        rc = ERROR_INVALID_DATA;
    }
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS)
        return std::nullopt;
    text.resize(size / sizeof(wchar_t));
    if (const auto end = text.find(L'\0'); end != std::wstring::npos)
        text.resize(end);
    // The desktop's start-up list switches an entry off by an odd first byte under its name.
    if (user && !m_keys.userApprovedKey.empty()) {
        BYTE state[12] = {};
        DWORD stateSize = sizeof state;
        if (RegGetValueW(m_keys.userRoot, m_keys.userApprovedKey.c_str(), wideName.c_str(), RRF_RT_REG_BINARY, nullptr,
                         state, &stateSize)
                == ERROR_SUCCESS
            && stateSize > 0 && (state[0] & 1))
            return std::nullopt;
    }
    return Narrow(text);
}

bool RegistryStartupEntry::Remove(TRegLocation where, std::string_view name)
{
    const bool user = where == TRegLocation::CurrentUser;
    HKEY key = nullptr;
    if (RegOpenKeyExW(user ? m_keys.userRoot : m_keys.machineRoot, (user ? m_keys.userKey : m_keys.machineKey).c_str(),
                      0, KEY_SET_VALUE, &key)
        != ERROR_SUCCESS)
        return false;
    const bool removed = RegDeleteValueW(key, Widen(name).c_str()) == ERROR_SUCCESS;
    RegCloseKey(key);
    return removed;
}

bool RegistryStartupEntry::Write(TRegLocation where, std::string_view name, const std::string& program,
                                 const std::vector<std::string>& arguments)
{
    const auto line = RunCommandLine(program, arguments);
    if (name.empty() || !line)
        return false;
    const bool user = where == TRegLocation::CurrentUser;
    HKEY key = nullptr;
    if (RegCreateKeyExW(user ? m_keys.userRoot : m_keys.machineRoot,
                        (user ? m_keys.userKey : m_keys.machineKey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        KEY_SET_VALUE, nullptr, &key, nullptr)
        != ERROR_SUCCESS)
        return false;
    const std::wstring text = Widen(*line);
    const bool written = RegSetValueExW(key, Widen(name).c_str(), 0, REG_SZ,
                                        reinterpret_cast<const BYTE*>(text.c_str()),
                                        static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)))
                         == ERROR_SUCCESS;
    RegCloseKey(key);
    // Switched on here means on: a mark the desktop kept from the user switching it off would
    // otherwise hide the new entry.
    if (written && user && !m_keys.userApprovedKey.empty()) {
        HKEY approved = nullptr;
        if (RegOpenKeyExW(m_keys.userRoot, m_keys.userApprovedKey.c_str(), 0, KEY_SET_VALUE, &approved)
            == ERROR_SUCCESS) {
            RegDeleteValueW(approved, Widen(name).c_str());
            RegCloseKey(approved);
        }
    }
    return written;
}

std::string RegistryStartupEntry::RunKeyPath(TAutoRunWhere when) const
{
    return "\\" + Narrow(RunKeyName(when));
}
