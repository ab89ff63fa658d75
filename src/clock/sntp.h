// SNTP on the wire: NTP timestamps and their conversions, the client request, the checks a server's
// reply must pass, and the round-trip delay and clock offset of one exchange. No sockets here.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "calendar/datetime.h"

// Seconds since 1900-01-01 00:00 UTC (modulo 2^32) and a fraction in units of 2^-32 s.
struct NtpTimestamp
{
    std::uint32_t seconds = 0;
    std::uint32_t fraction = 0;
    bool operator==(const NtpTimestamp&) const = default;
    bool IsZero() const { return seconds == 0 && fraction == 0; }
};

inline constexpr std::size_t kSntpPacketSize = 48;
inline constexpr std::uint16_t kNtpPort = 123;
// 2^32 / 1000, truncated: one millisecond in fraction units. Conversions work to the millisecond.
inline constexpr std::uint32_t kNtpFractionPerMs = 4294967;

// All conversions take and give UTC TDateTime values (days since 1899-12-30 UTC).
//
// The 32-bit seconds wrap on 2036-02-07 06:28:16 UTC. A value with the top bit set counts from
// 1900 (1968..2036), one with the top bit clear from that wrap (2036..2104), so the client keeps
// working after 2036 and cannot reach back before 1968.
TDateTime NtpSecondsToDateTime(std::uint32_t seconds);
// The whole seconds of `utc` since 1900, keeping the low 32 bits (the era is implied).
std::uint32_t DateTimeToNtpSeconds(TDateTime utc);
// Milliseconds are the fraction divided by kNtpFractionPerMs; a fraction that gives 1000 ms carries
// into the next second.
TDateTime NtpToDateTime(NtpTimestamp ts);
// The fraction is the millisecond of `utc` times kNtpFractionPerMs.
NtpTimestamp DateTimeToNtp(TDateTime utc);
// A server's timestamp read in the era that puts it nearest to `near` (this machine's UTC time),
// so that a server's time never lies more than 68 years from the local clock, whichever era
// both are in. The fraction counts as in NtpToDateTime.
TDateTime NtpToDateTimeNear(NtpTimestamp ts, TDateTime near);

NtpTimestamp ReadNtpTimestamp(std::span<const std::uint8_t, 8> bytes);  // big-endian words
void WriteNtpTimestamp(NtpTimestamp ts, std::span<std::uint8_t, 8> bytes);

// A server further than this from its reference clock cannot vouch for its time.
inline constexpr double kMaxRootDistance = 1.5;

using SntpPacket = std::array<std::uint8_t, kSntpPacketSize>;

// A client request, version 3 mode 3, carrying `transmit` (the client's time when it is sent);
// every other field is zero.
SntpPacket BuildSntpRequest(NtpTimestamp transmit);

struct SntpReply
{
    bool ok = false;
    std::string error;  // why the reply was rejected, in a few English words; empty when ok
    int leap = 0;       // leap indicator
    int version = 0;
    int mode = 0;
    int stratum = 0;
    double rootDelay = 0;       // seconds, to the reference clock and back
    double rootDispersion = 0;  // seconds
    // The datagram is a server's answer to this very request (48 bytes, mode 4, our originate
    // time): its faults are the server's. Anything else is no answer and may be waited past.
    bool answersRequest = false;
    NtpTimestamp originate;
    NtpTimestamp receive;   // T2: when the server got the request
    NtpTimestamp transmit;  // T3: when the server sent the reply
};

// Checks one datagram against the request whose transmit timestamp was `sent`: exactly 48 bytes,
// mode 4 (server), version 3 or 4, leap indicator not 3 (server unsynchronised), stratum 1..15
// (0 is a kiss-o'-death, named in the error), originate timestamp equal to `sent`, receive and
// transmit timestamps not zero, transmit not before receive (a server cannot answer before it
// heard the request), root distance (root delay / 2 + root dispersion) at most
// kMaxRootDistance seconds. Any datagram is accepted as input.
SntpReply ParseSntpReply(std::span<const std::uint8_t> datagram, NtpTimestamp sent);

// Round-trip delay and clock offset (server minus client) of one exchange, in days, from the
// client's send and receive times t1, t4 and the server's t2, t3 (all UTC).
struct SntpMeasure
{
    double delay = 0;
    double offset = 0;
};
SntpMeasure MeasureExchange(TDateTime t1, TDateTime t2, TDateTime t3, TDateTime t4);
