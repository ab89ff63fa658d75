// The XDG base directory rules for the configuration folder.
#include "platform/linux/xdg_dirs.h"

#include <cstdlib>

namespace {

std::filesystem::path XdgHome(const char* value, const char* home, const char* fallbackUnderHome)
{
    // A relative value is invalid by the base directory rules and must be ignored, or the
    // settings and notes would move with the working directory.
    if (value && *value && std::filesystem::path(value).is_absolute())
        return value;
    if (home && *home)
        return std::filesystem::path(home) / fallbackUnderHome;
    return {};
}

}  // namespace

std::filesystem::path XdgConfigHome(const char* xdgConfigHome, const char* home)
{
    return XdgHome(xdgConfigHome, home, ".config");
}

std::filesystem::path XdgDataHome(const char* xdgDataHome, const char* home)
{
    return XdgHome(xdgDataHome, home, ".local/share");
}

std::filesystem::path XdgConfigHomeFromEnvironment()
{
    return XdgConfigHome(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

std::filesystem::path XdgDataHomeFromEnvironment()
{
    return XdgDataHome(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
}
