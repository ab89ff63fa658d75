// What every system's UDP transport shares: the resolution steps and the reply loop.
#include "platform/udp_transport.h"

UdpReceiveResult ReceiveWithin(std::chrono::milliseconds timeout,
                               const std::function<UdpAttempt(int leftMs, UdpReceiveResult& result)>& attempt)
{
    UdpReceiveResult result;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline
                                                                                - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.status = UdpReceiveResult::Status::TimedOut;
            return result;
        }
        if (attempt(static_cast<int>(left.count()), result) == UdpAttempt::Done)
            return result;
    }
}

UdpResolveResult ResolveWith(const std::string& host, std::uint16_t port, const UdpLookup& lookup)
{
    UdpResolveResult result;
    if (host.empty()) {
        result.error = "pusta nazwa serwera";
        return result;
    }
    result.ok = lookup(true, result.where, result.error) || lookup(false, result.where, result.error);
    if (result.ok) {
        result.error.clear();
        result.where.port = port;
    }
    return result;
}
