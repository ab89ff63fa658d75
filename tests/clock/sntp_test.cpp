// NTP timestamps, the request and the reply checks. Reference moments: the Unix epoch lies
// 2208988800 s after the NTP epoch, and the 32-bit seconds wrap on 2036-02-07 06:28:16 UTC.
#include "clock/sntp.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TDateTime Utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    return EncodeDate(y, mo, d) + EncodeTime(h, mi, s, ms);
}

std::vector<std::uint8_t> Reply(NtpTimestamp originate, NtpTimestamp receive, NtpTimestamp transmit)
{
    std::vector<std::uint8_t> p(48, 0);
    p[0] = 0x24;  // leap 0, version 4, mode 4
    p[1] = 2;
    WriteNtpTimestamp(originate, std::span<std::uint8_t, 8>(p.data() + 24, 8));
    WriteNtpTimestamp(receive, std::span<std::uint8_t, 8>(p.data() + 32, 8));
    WriteNtpTimestamp(transmit, std::span<std::uint8_t, 8>(p.data() + 40, 8));
    return p;
}

// Root delay and root dispersion, in 16.16 fixed-point seconds.
void SetTimes(std::vector<std::uint8_t>& p, NtpTimestamp receive, NtpTimestamp transmit)
{
    WriteNtpTimestamp(receive, std::span<std::uint8_t, 8>(p.data() + 32, 8));
    WriteNtpTimestamp(transmit, std::span<std::uint8_t, 8>(p.data() + 40, 8));
}

void SetRoot(std::vector<std::uint8_t>& p, std::uint32_t delay, std::uint32_t dispersion)
{
    for (int i = 0; i < 4; ++i) {
        p[4 + i] = static_cast<std::uint8_t>(delay >> (24 - 8 * i));
        p[8 + i] = static_cast<std::uint8_t>(dispersion >> (24 - 8 * i));
    }
}

}  // namespace

TEST(NtpConversions, KnownMomentsInBothEras)
{
    struct Row
    {
        std::uint32_t seconds;
        TDateTime utc;
    };
    const Row rows[] = {
        {2208988800u, Utc(1970, 1, 1)},
        {0x80000000u, Utc(1968, 1, 20, 3, 14, 8)},
        {0xFFFFFFFFu, Utc(2036, 2, 7, 6, 28, 15)},
        {0u, Utc(2036, 2, 7, 6, 28, 16)},  // the wrap: the first second of the next era
        {1u, Utc(2036, 2, 7, 6, 28, 17)},
        {3913056000u, Utc(2024, 1, 1)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.seconds);
        EXPECT_NEAR(NtpSecondsToDateTime(r.seconds), r.utc, 1e-9);
        EXPECT_EQ(DateTimeToNtpSeconds(r.utc), r.seconds);
    }
}

TEST(NtpConversions, MillisecondsUseTheTruncatedFactor)
{
    const std::uint32_t s = 3913056000u;  // 2024-01-01 00:00:00
    EXPECT_EQ(DecodeTime(NtpToDateTime({s, 4294967u * 500})).millisecond, 500);
    EXPECT_EQ(DecodeTime(NtpToDateTime({s, 4294966u})).millisecond, 0);
    EXPECT_EQ(DecodeTime(NtpToDateTime({s, 0x80000000u})).millisecond, 500);  // 2^31 / 4294967 = 500.0002
    // A fraction of 4294967000 or more gives 1000 ms, which belongs to the next second.
    EXPECT_NEAR(NtpToDateTime({s, 0xFFFFFFFFu}), Utc(2024, 1, 1, 0, 0, 1), 1e-9);
    EXPECT_EQ(DateTimeToNtp(Utc(2024, 1, 1, 0, 0, 0, 999)), (NtpTimestamp{s, 999u * 4294967u}));
}

TEST(NtpConversions, RoundTripsToTheMillisecondAcrossTheWrap)
{
    for (TDateTime t : {Utc(1999, 12, 31, 23, 59, 59, 999), Utc(2036, 2, 7, 6, 28, 15, 999), Utc(2036, 2, 7, 6, 28, 16),
                        Utc(2036, 2, 7, 6, 28, 16, 1), Utc(2104, 2, 26, 9, 42, 23, 500)}) {
        SCOPED_TRACE(t);
        EXPECT_NEAR(NtpToDateTime(DateTimeToNtp(t)), t, 0.5 / kMsPerDay);
    }
}

TEST(NtpConversions, AServerTimeIsReadInTheEraNearestTheLocalClock)
{
    struct Row
    {
        std::uint32_t seconds;
        TDateTime near;
        TDateTime utc;
    };
    const Row rows[] = {
        // Seconds = 1 is a moment of 2036 to a clock of 2024, but the first second after 1900 to one
        // of 1950.
        {1u, Utc(2024, 3, 14), Utc(2036, 2, 7, 6, 28, 17)},
        {1u, Utc(1950, 1, 1), Utc(1900, 1, 1, 0, 0, 1)},
        {3913056000u, Utc(2024, 3, 14), Utc(2024, 1, 1)},
        {3913056000u, Utc(2100, 1, 1), Utc(2160, 2, 7, 6, 28, 16)},
        // A clock already past the wrap reads a server just before it in the old era.
        {0xFFFFFFFFu, Utc(2036, 3, 1), Utc(2036, 2, 7, 6, 28, 15)},
        {0x80000000u, Utc(1970, 1, 1), Utc(1968, 1, 20, 3, 14, 8)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.seconds);
        EXPECT_NEAR(NtpToDateTimeNear({r.seconds, 0}, r.near), r.utc, 1e-6);
    }
    EXPECT_NEAR(NtpToDateTimeNear({3913056000u, 4294967u * 250}, Utc(2024, 1, 1)), Utc(2024, 1, 1, 0, 0, 0, 250), 1e-9);
}

TEST(SntpRequest, IsVersion3ClientWithOnlyTheTransmitTime)
{
    const SntpPacket p = BuildSntpRequest({0x01020304u, 0xA0B0C0D0u});
    EXPECT_EQ(p[0], 0x1B);
    const std::uint8_t transmit[] = {1, 2, 3, 4, 0xA0, 0xB0, 0xC0, 0xD0};
    for (std::size_t i = 1; i < 48; ++i)
        EXPECT_EQ(p[i], i >= 40 ? transmit[i - 40] : 0) << "byte " << i;
}

TEST(SntpReply, EveryCheckRejectsItsFault)
{
    const NtpTimestamp sent{3913056000u, 1000}, t2{3913056001u, 0}, t3{3913056001u, 5000};
    struct Row
    {
        const char* name;
        void (*spoil)(std::vector<std::uint8_t>&);
        const char* error;
    };
    const Row rows[] = {
        {"good", [](std::vector<std::uint8_t>&) {}, ""},
        {"version 3", [](std::vector<std::uint8_t>& p) { p[0] = 0x1C; }, ""},
        {"47 bytes", [](std::vector<std::uint8_t>& p) { p.resize(47); }, "odpowiedź ma 47 B zamiast 48"},
        {"60 bytes", [](std::vector<std::uint8_t>& p) { p.resize(60); }, "odpowiedź ma 60 B zamiast 48"},
        {"mode 3", [](std::vector<std::uint8_t>& p) { p[0] = 0x23; }, "tryb 3, to nie odpowiedź serwera"},
        {"version 2", [](std::vector<std::uint8_t>& p) { p[0] = 0x14; }, "wersja 2"},
        {"leap 3", [](std::vector<std::uint8_t>& p) { p[0] = 0xE4; }, "serwer niezsynchronizowany"},
        {"kiss",
         [](std::vector<std::uint8_t>& p) {
             p[1] = 0;
             p[12] = 'R';
             p[13] = 'A';
             p[14] = 'T';
             p[15] = 'E';
         },
         "odmowa serwera (kiss-o'-death RATE)"},
        {"stratum 1", [](std::vector<std::uint8_t>& p) { p[1] = 1; }, ""},
        {"stratum 15", [](std::vector<std::uint8_t>& p) { p[1] = 15; }, ""},
        {"stratum 16", [](std::vector<std::uint8_t>& p) { p[1] = 16; }, "warstwa (stratum) 16"},
        {"wrong origin", [](std::vector<std::uint8_t>& p) { p[31] ^= 1; }, "odpowiedź na inne zapytanie"},
        {"zero receive", [](std::vector<std::uint8_t>& p) { std::fill(p.begin() + 32, p.begin() + 40, 0); },
         "zerowy czas odbioru"},
        {"zero transmit", [](std::vector<std::uint8_t>& p) { std::fill(p.begin() + 40, p.end(), 0); },
         "zerowy czas wysłania"},
        {"transmit a tick before receive",
         [](std::vector<std::uint8_t>& p) {
             SetTimes(p, {3913056001u, 0}, {3913056000u, 0xFFFFFFFFu});
         },
         "czas wysłania przed czasem odbioru"},
        {"transmit ten seconds before receive",
         [](std::vector<std::uint8_t>& p) {
             SetTimes(p, {3913056011u, 0}, {3913056001u, 0});
         },
         "czas wysłania przed czasem odbioru"},
        {"sent as received",
         [](std::vector<std::uint8_t>& p) {
             SetTimes(p, {3913056001u, 7}, {3913056001u, 7});
         },
         ""},
        {"held across the 2036 wrap",
         [](std::vector<std::uint8_t>& p) {
             SetTimes(p, {0xFFFFFFFFu, 0xFFFF0000u}, {0, 5});
         },
         ""},
        // Root delay 2 s and dispersion 0.5 s: 1.5 s from the reference, as far as is believed.
        {"root distance 1.5 s", [](std::vector<std::uint8_t>& p) { SetRoot(p, 0x20000, 0x8000); }, ""},
        {"root distance a little over", [](std::vector<std::uint8_t>& p) { SetRoot(p, 0, 0x18001); },
         "odległość od wzorca czasu 1.500 s"},
        {"root delay and dispersion 65536 s", [](std::vector<std::uint8_t>& p) { SetRoot(p, ~0u, ~0u); },
         "odległość od wzorca czasu 98304.000 s"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        std::vector<std::uint8_t> p = Reply(sent, t2, t3);
        r.spoil(p);
        const SntpReply reply = ParseSntpReply(p, sent);
        EXPECT_EQ(reply.error, r.error);
        EXPECT_EQ(reply.ok, reply.error.empty());
    }
    const SntpReply good = ParseSntpReply(Reply(sent, t2, t3), sent);
    EXPECT_EQ(good.receive, t2);
    EXPECT_EQ(good.transmit, t3);
    EXPECT_EQ(good.stratum, 2);
}

TEST(SntpMeasure, DelayLeavesOutTheServersHoldTime)
{
    // Sent at 10.000 s, received by the server at 10.150 (its clock 0.1 s ahead), answered at
    // 10.160, back at 10.120: the trip took 0.11 s of which the server held 0.01.
    const double s = 1.0 / 86400;
    const SntpMeasure m = MeasureExchange(10.000 * s, 10.150 * s, 10.160 * s, 10.120 * s);
    EXPECT_NEAR(m.delay / s, 0.110, 1e-9);
    EXPECT_NEAR(m.offset / s, 0.095, 1e-9);
}
