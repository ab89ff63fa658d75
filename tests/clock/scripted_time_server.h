// A time server behind the fake transport, answering as the test tells it.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "clock/sntp.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/fake_udp_transport.h"

// A good reply from a server whose clock is `offset` ahead of `clock`, the round trip taking
// `delay` on that clock: half on the way there, half on the way back. `length` cuts or pads the
// reply; `beforeAnswer`, when given, runs first (a test may hold the server there).
inline FakeUdpTransport::Server ScriptedTimeServer(FakeSystemClock& clock, std::chrono::milliseconds delay,
                                                   std::chrono::milliseconds offset = {}, std::size_t length = 48,
                                                   std::function<void()> beforeAnswer = {})
{
    return [&clock, delay, offset, length, beforeAnswer](const std::vector<std::uint8_t>& request) {
        if (beforeAnswer)
            beforeAnswer();
        clock.Advance(delay / 2);
        const NtpTimestamp now = DateTimeToNtp(LocalDateTime(clock.Now() + offset, std::chrono::seconds(0)));
        std::vector<std::uint8_t> p(48, 0);
        p[0] = 0x24;  // leap 0, version 4, mode 4
        p[1] = 1;
        std::copy(request.begin() + 40, request.begin() + 48, p.begin() + 24);
        WriteNtpTimestamp(now, std::span<std::uint8_t, 8>(p.data() + 32, 8));
        WriteNtpTimestamp(now, std::span<std::uint8_t, 8>(p.data() + 40, 8));
        clock.Advance(delay - delay / 2);
        p.resize(length);
        return UdpReceiveResult{UdpReceiveResult::Status::Ok, p, {}};
    };
}
