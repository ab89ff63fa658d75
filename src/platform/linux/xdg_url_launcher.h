// UrlLauncher on freedesktop desktops: the default browser's desktop entry, else xdg-open;
// mail through xdg-email, else xdg-open.
#pragma once

#include "platform/url_launcher.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <vector>

class XdgUrlLauncher final : public UrlLauncher
{
public:
    // What the launcher asks of the system; tests replace it.
    struct System
    {
        // Runs a query program and returns its output; nothing when it failed.
        std::function<std::optional<std::string>(const std::vector<std::string>&)> capture;
        // Starts a program detached; false when it could not be started.
        std::function<bool(const std::vector<std::string>&)> spawn;
        // The folders holding applications/ with desktop files, most important first.
        std::vector<std::filesystem::path> dataDirs;
    };
    static System RealSystem();

    XdgUrlLauncher() : XdgUrlLauncher(RealSystem()) {}
    explicit XdgUrlLauncher(System system) : m_system(std::move(system)) {}

    bool OpenInBrowser(const std::string& address) override;
    bool OpenMail(const std::string& address) override;

    // The Exec value of the default browser's desktop entry; nothing when none is registered.
    std::optional<std::string> DefaultBrowserExec() const;

private:
    std::optional<std::string> FindDesktopFile(const std::string& desktopId) const;

    System m_system;
};
