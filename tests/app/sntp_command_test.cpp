// "dniarz --sntp": its arguments and its report.
#include "app/sntp_command.h"

#include <gtest/gtest.h>

#include <sstream>

#include "app/command_line.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/fake_udp_transport.h"

using namespace std::chrono;

TEST(SntpCommandLine, HostsPortsAndBadUsage)
{
    CommandLineResult r = ParseCommandLine({"--sntp"});
    EXPECT_EQ(r.options.mode, CommandLine::Mode::Sntp);
    EXPECT_TRUE(r.options.sntpServers.empty());
    r = ParseCommandLine({"--sntp", "127.0.0.1:11123", "pl.pool.ntp.org", "[::1]:123", "--dir", "/tmp"});
    EXPECT_EQ(r.error, "");
    EXPECT_EQ(r.options.sntpServers, (std::vector<std::string>{"127.0.0.1:11123", "pl.pool.ntp.org", "[::1]:123"}));
    for (const char* bad : {"", "host:0", "host:65536", ":123", "host:x"}) {
        SCOPED_TRACE(bad);
        r = ParseCommandLine({"--sntp", bad});
        EXPECT_EQ(r.error, "dniarz: błędny serwer czasu '" + std::string(bad)
                               + "' (oczekiwano HOST[:PORT], port od 1 do 65535)");
    }
    EXPECT_NE(UsageText().find("--sntp [HOST[:PORT]...]"), std::string::npos);
}

TEST(SntpCommand, ReportLines)
{
    ServerAnswer a;
    a.host = "[::1]:5000";
    a.address = "::1";
    a.port = 5000;
    a.ok = true;
    a.delay = 12.34 / kMsPerDay;
    a.offset = -0.06 / kMsPerDay;
    a.stratum = 8;
    EXPECT_EQ(FormatServerLine(a), "server: [::1]:5000 [::1]:5000 delay 12.3 ms offset -0.1 ms stratum 8");
    ServerAnswer b;
    b.host = "nowhere.invalid";
    b.port = 123;
    b.error = "nie można znaleźć adresu: Name or service not known";
    EXPECT_EQ(FormatServerLine(b),
              "server: nowhere.invalid -:123 failed: nie można znaleźć adresu: Name or service not known");
    RetrievalResult r;
    EXPECT_EQ(FormatChosenLine(r), "chosen: none");
    r.answers = {b, a};
    r.chosen = 1;
    EXPECT_EQ(FormatChosenLine(r), "chosen: [::1]:5000 offset -0.1 ms delay 12.3 ms");
}

TEST(SntpCommand, ExitCodeSaysWhetherAServerWasChosen)
{
    FakeSystemClock clock(sys_days{year{2024} / 3 / 14});
    FakeUdpTransport net;
    std::ostringstream out;
    EXPECT_EQ(RunSntpCommand({"a", "b"}, net, clock, out), 1);
    EXPECT_EQ(out.str(), "server: a -:123 failed: nie można znaleźć adresu: unknown host\n"
                         "server: b -:123 failed: nie można znaleźć adresu: unknown host\n"
                         "chosen: none\n");
    EXPECT_EQ(clock.Shifts().size(), 0u);
}
