// The time client's readers of outside input: a server's reply (any datagram from the network)
// and the text of "TIMESRV.INI". Neither may crash, a reply that passes must be a sound one, and
// the server list must be stable once read.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>
#include <string>

#include "clock/server_list.h"
#include "clock/sntp.h"
#include "clock/time_sync.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    if (data[0] & 1) {
        // The first eight bytes stand for the transmit time we sent, the rest is the reply.
        NtpTimestamp sent;
        if (rest.size() >= 8)
            sent = ReadNtpTimestamp(std::span<const std::uint8_t, 8>(rest.data(), 8));
        const auto datagram = rest.size() >= 8 ? rest.subspan(8) : rest;
        const SntpReply reply = ParseSntpReply(datagram, sent);
        if (reply.ok != reply.error.empty())
            std::abort();
        if (reply.ok
            && (datagram.size() != 48 || reply.mode != 4 || reply.stratum < 1 || reply.stratum > 15
                || reply.originate != sent || reply.transmit.IsZero() || reply.receive.IsZero()))
            std::abort();
        if (reply.ok) {
            // Every timestamp converts, in one era or the other, without overflow.
            const TDateTime t = NtpToDateTime(reply.transmit);
            if (!(t > 24000 && t < 75000))
                std::abort();
            if (reply.rootDelay / 2 + reply.rootDispersion > kMaxRootDistance)
                std::abort();
            // Read near the time we sent, a server's time is never more than half an era away.
            const TDateTime near = NtpToDateTime(sent);
            if (std::abs(NtpToDateTimeNear(reply.transmit, near) - near) > 2147483648.0 / 86400 + 1.0 / 86400)
                std::abort();
        }
        return 0;
    }
    const std::string text(reinterpret_cast<const char*>(rest.data()), rest.size());
    const std::string list = LoadServerList(std::optional<std::string>(text));
    if (LoadServerList(std::optional<std::string>(list)) != list)
        std::abort();
    for (const std::string& host : SplitServerList(list)) {
        if (host.empty() || host.find_first_of(" \t\r\n") != std::string::npos)
            std::abort();
        (void)ParseHostAndPort(host);
    }
    return 0;
}
