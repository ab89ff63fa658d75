// The list of time servers: "TIMESRV.INI" beside the executable, or the built-in one.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kServerListFileName = "TIMESRV.INI";
// A public pool zone, named twice so that one lost datagram does not lose the whole run.
inline constexpr std::string_view kBuiltInServer = "pl.pool.ntp.org";

// The server list as text, one host per line ending in CR LF, in the order they are asked.
// `fileText` is the content of "TIMESRV.INI", or nullopt when it could not be read; then the
// built-in list is used. Blanks, tabs and line ends before a name are skipped; a blank, tab or CR
// ends the name, so a file saved on Windows or with trailing blanks still names its hosts.
std::string LoadServerList(const std::optional<std::string>& fileText);

// The non-empty lines of a list text, in order (LF or CR LF ends a line).
std::vector<std::string> SplitServerList(std::string_view listText);
