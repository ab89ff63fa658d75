// SNTP packets and timestamp conversions.
#include "clock/sntp.h"

#include <cmath>
#include <cstdio>

namespace {

constexpr long long kMsPerDayInt = 86400000;
// 1900-01-01 is day 2 of the TDateTime count.
constexpr long long kNtpEpochDay = 2;
constexpr long long kEraSeconds = 1LL << 32;

// Seconds since 1900-01-01 UTC, choosing the era by the top bit.
long long UnwrapSeconds(std::uint32_t seconds)
{
    return (seconds & 0x80000000u) ? static_cast<long long>(seconds) : static_cast<long long>(seconds) + kEraSeconds;
}

TDateTime FromMsSince1900(long long ms)
{
    const long long total = ms + kNtpEpochDay * kMsPerDayInt;
    // Whole days and the rest separately, so that the day count stays exact in the double.
    return static_cast<double>(total / kMsPerDayInt) + static_cast<double>(total % kMsPerDayInt) / kMsPerDay;
}

long long MsSince1900(TDateTime utc)
{
    const DayAndMs split = SplitRounded(utc);
    return (split.day - kNtpEpochDay) * kMsPerDayInt + split.ms;
}

std::uint32_t ReadWord(const std::uint8_t* p)
{
    return static_cast<std::uint32_t>(p[0]) << 24 | static_cast<std::uint32_t>(p[1]) << 16
           | static_cast<std::uint32_t>(p[2]) << 8 | static_cast<std::uint32_t>(p[3]);
}

void WriteWord(std::uint32_t value, std::uint8_t* p)
{
    p[0] = static_cast<std::uint8_t>(value >> 24);
    p[1] = static_cast<std::uint8_t>(value >> 16);
    p[2] = static_cast<std::uint8_t>(value >> 8);
    p[3] = static_cast<std::uint8_t>(value);
}

NtpTimestamp TimestampAt(std::span<const std::uint8_t> packet, std::size_t offset)
{
    return ReadNtpTimestamp(std::span<const std::uint8_t, 8>(packet.data() + offset, 8));
}

// How long the server held the request, in 2^-32 s: the difference of the two 64-bit timestamps
// taken modulo 2^64, so that a request held across the 2036 wrap counts the short way round.
long long HoldTime(NtpTimestamp receive, NtpTimestamp transmit)
{
    auto whole = [](NtpTimestamp ts) { return static_cast<std::uint64_t>(ts.seconds) << 32 | ts.fraction; };
    return static_cast<long long>(whole(transmit) - whole(receive));
}

}  // namespace

TDateTime NtpSecondsToDateTime(std::uint32_t seconds)
{
    return FromMsSince1900(UnwrapSeconds(seconds) * 1000);
}

std::uint32_t DateTimeToNtpSeconds(TDateTime utc)
{
    const long long ms = MsSince1900(utc);
    // Floor, so that a moment just before 1900 does not round towards it.
    const long long seconds = ms >= 0 ? ms / 1000 : (ms - 999) / 1000;
    return static_cast<std::uint32_t>(static_cast<unsigned long long>(seconds) & 0xFFFFFFFFu);
}

TDateTime NtpToDateTime(NtpTimestamp ts)
{
    const long long ms = ts.fraction / kNtpFractionPerMs;
    return FromMsSince1900(UnwrapSeconds(ts.seconds) * 1000 + ms);
}

NtpTimestamp DateTimeToNtp(TDateTime utc)
{
    const long long ms = MsSince1900(utc);
    const long long msOfSecond = ((ms % 1000) + 1000) % 1000;
    return {DateTimeToNtpSeconds(utc), static_cast<std::uint32_t>(msOfSecond) * kNtpFractionPerMs};
}

TDateTime NtpToDateTimeNear(NtpTimestamp ts, TDateTime near)
{
    const long long nearSeconds = MsSince1900(near) / 1000;
    // The era whose reading of `seconds` lies within half an era of `near`.
    const long long fromEraStart = nearSeconds - static_cast<long long>(ts.seconds) + kEraSeconds / 2;
    const long long era = fromEraStart >= 0 ? fromEraStart / kEraSeconds
                                            : -((-fromEraStart + kEraSeconds - 1) / kEraSeconds);
    const long long seconds = static_cast<long long>(ts.seconds) + era * kEraSeconds;
    return FromMsSince1900(seconds * 1000 + ts.fraction / kNtpFractionPerMs);
}

NtpTimestamp ReadNtpTimestamp(std::span<const std::uint8_t, 8> bytes)
{
    return {ReadWord(bytes.data()), ReadWord(bytes.data() + 4)};
}

void WriteNtpTimestamp(NtpTimestamp ts, std::span<std::uint8_t, 8> bytes)
{
    WriteWord(ts.seconds, bytes.data());
    WriteWord(ts.fraction, bytes.data() + 4);
}

SntpPacket BuildSntpRequest(NtpTimestamp transmit)
{
    constexpr int leap = 0, version = 3, mode = 3;
    SntpPacket packet{};
    packet[0] = static_cast<std::uint8_t>(leap * 64 + version * 8 + mode);
    WriteNtpTimestamp(transmit, std::span<std::uint8_t, 8>(packet.data() + 40, 8));
    return packet;
}

SntpReply ParseSntpReply(std::span<const std::uint8_t> datagram, NtpTimestamp sent)
{
    SntpReply reply;
    if (datagram.size() != kSntpPacketSize) {
        reply.error = "odpowiedź ma " + std::to_string(datagram.size()) + " B zamiast 48";
        return reply;
    }
    reply.leap = datagram[0] >> 6;
    reply.version = (datagram[0] >> 3) & 7;
    reply.mode = datagram[0] & 7;
    reply.stratum = datagram[1];
    // Both unsigned 16.16 fixed-point seconds, as NTP version 4 reads them.
    reply.rootDelay = ReadWord(datagram.data() + 4) / 65536.0;
    reply.rootDispersion = ReadWord(datagram.data() + 8) / 65536.0;
    reply.originate = TimestampAt(datagram, 24);
    reply.receive = TimestampAt(datagram, 32);
    reply.transmit = TimestampAt(datagram, 40);
    reply.answersRequest = reply.mode == 4 && reply.originate == sent;
    const double rootDistance = reply.rootDelay / 2 + reply.rootDispersion;
    if (reply.mode != 4)
        reply.error = "tryb " + std::to_string(reply.mode) + ", to nie odpowiedź serwera";
    else if (reply.version != 3 && reply.version != 4)
        reply.error = "wersja " + std::to_string(reply.version);
    else if (reply.leap == 3)
        reply.error = "serwer niezsynchronizowany";
    else if (reply.stratum == 0) {
        // A kiss-o'-death carries its four-letter code where the reference identifier goes.
        std::string code;
        for (std::size_t i = 12; i < 16; ++i)
            if (datagram[i] >= 0x20 && datagram[i] < 0x7F)
                code += static_cast<char>(datagram[i]);
        reply.error = code.empty() ? "odmowa serwera (kiss-o'-death)" : "odmowa serwera (kiss-o'-death " + code + ")";
    } else if (reply.stratum > 15)
        reply.error = "warstwa (stratum) " + std::to_string(reply.stratum);
    else if (reply.originate != sent)
        reply.error = "odpowiedź na inne zapytanie";
    else if (reply.receive.IsZero())
        reply.error = "zerowy czas odbioru";
    else if (reply.transmit.IsZero())
        reply.error = "zerowy czas wysłania";
    else if (HoldTime(reply.receive, reply.transmit) < 0)
        reply.error = "czas wysłania przed czasem odbioru";
    else if (rootDistance > kMaxRootDistance) {
        char text[64];
        std::snprintf(text, sizeof text, "odległość od wzorca czasu %.3f s", rootDistance);
        reply.error = text;
    }
    reply.ok = reply.error.empty();
    return reply;
}

SntpMeasure MeasureExchange(TDateTime t1, TDateTime t2, TDateTime t3, TDateTime t4)
{
    // The server's hold time (t3 - t2) is no part of the trip; the offset assumes the two legs
    // of the trip took equally long.
    // In whole microseconds, so that equal trips compare equal however far apart they happened.
    auto us = [](TDateTime t) { return static_cast<long long>(std::llround(t * kMsPerDay * 1000)); };
    const long long a = us(t1), b = us(t2), c = us(t3), d = us(t4);
    const double perDay = kMsPerDay * 1000;
    return {static_cast<double>((d - a) - (c - b)) / perDay, static_cast<double>((b - a) + (c - d)) / 2 / perDay};
}
