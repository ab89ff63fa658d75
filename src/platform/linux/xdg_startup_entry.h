// Start at logon through XDG autostart entries: NAME.desktop in the user's autostart folder
// stands for the user's entry, in the system folder for the machine's.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "platform/startup_entry.h"

class XdgStartupEntry final : public StartupEntry
{
public:
    XdgStartupEntry(std::filesystem::path userDir, std::filesystem::path systemDir);

    std::optional<std::string> Read(TRegLocation where, std::string_view name) const override;
    bool Remove(TRegLocation where, std::string_view name) override;
    bool Write(TRegLocation where, std::string_view name, const std::string& program,
               const std::vector<std::string>& arguments) override;

    std::filesystem::path EntryFile(TRegLocation where, std::string_view name) const;

private:
    std::filesystem::path m_userDir;
    std::filesystem::path m_systemDir;
};

// configHome/autostart and /etc/xdg/autostart.
XdgStartupEntry ProgramStartupEntry(const std::filesystem::path& configHome);

// The Exec value for a program and its arguments, escaped for a desktop entry: the program always
// quoted, an argument quoted when it holds a character the format reserves; a program whose path
// holds '%' is started through /usr/bin/env. nullopt when any of them holds a control character,
// which no Exec line can carry, or is not UTF-8, which no desktop entry can.
std::optional<std::string> ExecLine(const std::string& program, const std::vector<std::string>& arguments);

// The value of `key` in the [Desktop Entry] group, with the format's string escapes undone;
// nullopt when the group or the key is absent.
std::optional<std::string> DesktopEntryValue(std::string_view fileText, std::string_view key);
