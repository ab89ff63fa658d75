// The XDG base directory rules for the configuration folder.
#include "platform/linux/xdg_dirs.h"

#include <cstdlib>

std::filesystem::path XdgConfigHome(const char* xdgConfigHome, const char* home)
{
    // A relative value is invalid by the base directory rules and must be ignored, or the
    // settings would move with the working directory.
    if (xdgConfigHome && *xdgConfigHome && std::filesystem::path(xdgConfigHome).is_absolute())
        return xdgConfigHome;
    if (home && *home)
        return std::filesystem::path(home) / ".config";
    return {};
}

std::filesystem::path XdgConfigHomeFromEnvironment()
{
    return XdgConfigHome(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}
