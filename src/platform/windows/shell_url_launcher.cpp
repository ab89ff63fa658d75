// Addresses through ShellExecuteW.
#include "platform/windows/shell_url_launcher.h"

#include <windows.h>
#include <shellapi.h>

#include <cctype>

#include "platform/windows/win_text.h"

namespace {

std::string LowerScheme(const std::string& address)
{
    const std::size_t colon = address.find(':');
    if (colon == std::string::npos || colon == 0)
        return {};
    std::string scheme;
    for (std::size_t i = 0; i < colon; ++i) {
        const auto c = static_cast<unsigned char>(address[i]);
        if (!std::isalnum(c) && c != '+' && c != '-' && c != '.')
            return {};
        scheme += static_cast<char>(std::tolower(c));
    }
    return scheme;
}

}  // namespace

std::optional<std::string> ShellWebAddress(const std::string& address)
{
    if (!IsSafeAddress(address) || address.front() == '\\' || address.front() == '/')
        return std::nullopt;
    const std::string scheme = LowerScheme(address);
    if (scheme.empty())
        return "http://" + address;
    if (scheme == "http" || scheme == "https" || scheme == "ftp")
        return address;
    // A one-letter scheme is a drive.
    return std::nullopt;
}

bool ShellOpen(const std::wstring& address)
{
    // The result is no real handle; above 32 means the program was started.
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    return result > 32;
}

ShellUrlLauncher::ShellUrlLauncher() : m_open(ShellOpen)
{
}

bool ShellUrlLauncher::OpenInBrowser(const std::string& address)
{
    const auto web = ShellWebAddress(address);
    return web && m_open(Widen(*web));
}

bool ShellUrlLauncher::OpenMail(const std::string& address)
{
    // "mailto:" goes first, so an address beginning with '-' is no option to anyone.
    if (address.find_first_of("\r\n") != std::string::npos)
        return false;
    return m_open(Widen(MailUrl(address)));
}
