// The --sntp report.
#include "app/sntp_command.h"

#include <cstdio>

#include "calendar/datetime.h"

namespace {

std::string Ms(double days)
{
    char text[64];
    std::snprintf(text, sizeof text, "%.1f", days * kMsPerDay);
    return text;
}

std::string Where(const ServerAnswer& a)
{
    const std::string port = std::to_string(a.port);
    if (a.address.empty())
        return "-:" + port;
    if (a.address.find(':') != std::string::npos)
        return "[" + a.address + "]:" + port;
    return a.address + ":" + port;
}

}  // namespace

std::string FormatServerLine(const ServerAnswer& a)
{
    std::string line = "server: " + a.host + " " + Where(a);
    if (!a.ok)
        return line + " failed: " + a.error;
    line += " delay " + Ms(a.delay) + " ms offset " + Ms(a.offset) + " ms stratum " + std::to_string(a.stratum);
    // The window would not step the clock by this much without asking.
    return IsLargeStep(a.offset) ? line + " large-step" : line;
}

std::string FormatChosenLine(const RetrievalResult& result)
{
    const ServerAnswer* chosen = result.Chosen();
    if (!chosen)
        return "chosen: none";
    const std::string line = "chosen: " + chosen->host + " offset " + Ms(chosen->offset) + " ms delay "
                             + Ms(chosen->delay) + " ms";
    return IsLargeStep(chosen->offset) ? line + " large-step" : line;
}

int RunSntpCommand(const std::vector<std::string>& servers, UdpTransport& transport, const SystemClock& clock,
                   std::ostream& out, std::chrono::milliseconds timeout)
{
    const RetrievalResult result = RetrieveTime(
        servers, transport, clock, timeout, [&out](const ServerAnswer& a) { out << FormatServerLine(a) << std::endl; });
    out << FormatChosenLine(result) << '\n';
    return result.Found() ? 0 : 1;
}
