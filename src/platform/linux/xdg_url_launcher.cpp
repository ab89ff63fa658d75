// Finding the default browser the way the desktop's own tools record it.
#include "platform/linux/xdg_url_launcher.h"

#include "platform/linux/process_spawn.h"
#include "platform/read_file.h"

#include <cstdlib>
#include <fstream>
#include <iterator>

namespace {

std::string Trimmed(std::string text)
{
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' '))
        text.pop_back();
    return text;
}

bool IsDesktopId(const std::string& id)
{
    return id.ends_with(".desktop") && id.find('/') == std::string::npos && id.find("..") == std::string::npos;
}

std::vector<std::filesystem::path> DataDirsFromEnvironment()
{
    std::vector<std::filesystem::path> dirs;
    const char* home = std::getenv("XDG_DATA_HOME");
    if (home && *home)
        dirs.emplace_back(home);
    else if (const char* user = std::getenv("HOME"); user && *user)
        dirs.push_back(std::filesystem::path(user) / ".local/share");
    const char* list = std::getenv("XDG_DATA_DIRS");
    std::string_view rest = list && *list ? list : "/usr/local/share:/usr/share";
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        const std::string_view dir = rest.substr(0, colon);
        if (!dir.empty())
            dirs.emplace_back(std::string(dir));
        rest = colon == std::string_view::npos ? std::string_view() : rest.substr(colon + 1);
    }
    return dirs;
}

// xdg-open takes whatever has no scheme for a file name, so "www.example.pl" would be looked for
// on disk. A scheme is letters, digits, '+' and '-' before a colon; "www.example.pl:8080" has none.
std::string WithWebScheme(const std::string& address)
{
    const std::size_t colon = address.find(':');
    const bool hasScheme = colon != std::string::npos && colon > 0
                           && address.find_first_not_of("abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                                        "0123456789+-")
                                  == colon;
    return hasScheme ? address : "http://" + address;
}

}  // namespace

XdgUrlLauncher::System XdgUrlLauncher::RealSystem()
{
    return {[](const std::vector<std::string>& argv) { return CaptureOutput(argv, std::chrono::seconds(5)); },
            [](const std::vector<std::string>& argv) { return SpawnDetached(argv); }, DataDirsFromEnvironment()};
}

std::optional<std::string> XdgUrlLauncher::FindDesktopFile(const std::string& desktopId) const
{
    // A desktop id "vendor-app.desktop" may also live as applications/vendor/app.desktop.
    std::vector<std::string> names{desktopId};
    for (std::size_t dash = desktopId.find('-'); dash != std::string::npos; dash = desktopId.find('-', dash + 1)) {
        std::string nested = desktopId;
        nested[dash] = '/';
        names.push_back(nested);
    }
    for (const auto& dir : m_system.dataDirs)
        for (const std::string& name : names) {
            std::string text;
            if (!ReadFileSafely(dir / "applications" / name, kSmallFileLimit, text))
                return text;
        }
    return std::nullopt;
}

std::optional<std::string> XdgUrlLauncher::DefaultBrowserExec() const
{
    const std::vector<std::vector<std::string>> queries{
        {"xdg-settings", "get", "default-web-browser"},
        {"xdg-mime", "query", "default", "x-scheme-handler/https"},
        {"xdg-mime", "query", "default", "x-scheme-handler/http"},
    };
    for (const auto& query : queries) {
        const auto answer = m_system.capture(query);
        if (!answer)
            continue;
        const std::string id = Trimmed(*answer);
        if (!IsDesktopId(id))
            continue;
        if (const auto file = FindDesktopFile(id))
            if (auto exec = DesktopEntryExec(*file))
                return exec;
    }
    return std::nullopt;
}

bool XdgUrlLauncher::OpenInBrowser(const std::string& address)
{
    if (!IsSafeAddress(address))
        return false;
    if (const auto exec = DefaultBrowserExec())
        if (const auto args = BrowserArguments(*exec, address); args && m_system.spawn(*args))
            return true;
    return m_system.spawn({"xdg-open", WithWebScheme(address)});
}

bool XdgUrlLauncher::OpenMail(const std::string& address)
{
    const std::string url = MailUrl(address);
    if (address.find_first_of("\r\n") != std::string::npos)
        return false;
    return m_system.spawn({"xdg-email", url}) || m_system.spawn({"xdg-open", url});
}
