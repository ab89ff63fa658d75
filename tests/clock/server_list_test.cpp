// The time-server list from "TIMESRV.INI".
#include "clock/server_list.h"

#include <gtest/gtest.h>

using Hosts = std::vector<std::string>;

TEST(ServerList, WithoutTheFileTheBuiltInHostIsAskedTwice)
{
    const std::string list = LoadServerList(std::nullopt);
    EXPECT_EQ(list, "pl.pool.ntp.org\r\npl.pool.ntp.org\r\n");
    EXPECT_EQ(SplitServerList(list), (Hosts{"pl.pool.ntp.org", "pl.pool.ntp.org"}));
}

TEST(ServerList, FileRules)
{
    struct Row
    {
        const char* name;
        std::string text;
        Hosts hosts;
    };
    const Row rows[] = {
        {"plain", "a.example\nb.example\n", {"a.example", "b.example"}},
        {"no final line end", "a.example\nb.example", {"a.example", "b.example"}},
        {"windows line ends", "a.example\r\nb.example\r\n", {"a.example", "b.example"}},
        {"blank lines and indentation", "\n\n   a.example\n\t\t b.example\n\n", {"a.example", "b.example"}},
        {"trailing blanks and tabs", "a.example  \nb.example\t\r\n", {"a.example", "b.example"}},
        {"words after the name", "a.example  primary\n", {"a.example"}},
        {"address and port", "192.0.2.1\n192.0.2.2:11123\n", {"192.0.2.1", "192.0.2.2:11123"}},
        {"byte order mark of a Windows editor",
         "\xEF\xBB\xBF"
         "a.example\r\nb.example\r\n",
         {"a.example", "b.example"}},
        {"byte order mark after blank lines",
         " \r\n\xEF\xBB\xBF"
         "a.example\n",
         {"a.example"}},
        {"a byte order mark alone on a line", "\xEF\xBB\xBF\r\na.example\n", {"a.example"}},
        {"empty file", "", {}},
        {"only blanks", " \r\n\t\n", {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        const std::string list = LoadServerList(r.text);
        EXPECT_EQ(SplitServerList(list), r.hosts);
        EXPECT_EQ(LoadServerList(list), list);  // the list as stored reads back the same
    }
}
