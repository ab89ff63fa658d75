// Where per-user configuration lives on a Linux desktop.
#pragma once

#include <filesystem>

// XDG_CONFIG_HOME when it is set to an absolute path, otherwise HOME/.config; empty when neither
// gives one, and then nothing is stored. Both values come in as arguments so tests never see the
// real environment.
std::filesystem::path XdgConfigHome(const char* xdgConfigHome, const char* home);
// The same from this process's environment.
std::filesystem::path XdgConfigHomeFromEnvironment();

// The same rules for the user's data: XDG_DATA_HOME when absolute, otherwise HOME/.local/share.
std::filesystem::path XdgDataHome(const char* xdgDataHome, const char* home);
std::filesystem::path XdgDataHomeFromEnvironment();
