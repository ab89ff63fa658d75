// Network time runs over a scripted network: which servers are asked, which answer is chosen.
#include "clock/time_sync.h"

#include <gtest/gtest.h>

#include <condition_variable>
#include <mutex>
#include <thread>

#include "clock/sntp.h"
#include "platform/fake/fake_system_clock.h"
#include "platform/fake/fake_udp_transport.h"
#include "scripted_time_server.h"

using namespace std::chrono;

namespace {

const SystemClock::TimePoint kStart = sys_days{year{2024} / 3 / 14} + hours{9};

double Ms(double days)
{
    return days * kMsPerDay;
}

}  // namespace

TEST(RetrieveTime, StopsAtTheFirstFastAnswer)
{
    FakeSystemClock clock(kStart);
    FakeUdpTransport net;
    net.AddServer("a", ScriptedTimeServer(clock, milliseconds(500)));
    net.AddServer("b", ScriptedTimeServer(clock, milliseconds(200), milliseconds(1500)));
    net.AddServer("c", ScriptedTimeServer(clock, milliseconds(400)));
    const RetrievalResult r = RetrieveTime({"a", "b", "c"}, net, clock);
    EXPECT_EQ(net.Asked(), (std::vector<std::string>{"a", "b"}));
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.Chosen()->host, "b");
    EXPECT_NEAR(Ms(r.Chosen()->delay), 200, 1);
    EXPECT_NEAR(Ms(r.Chosen()->offset), 1500, 1);
}

TEST(RetrieveTime, AsksAllWhenNoneIsFastAndTakesTheSmallestDelay)
{
    FakeSystemClock clock(kStart);
    FakeUdpTransport net;
    net.AddServer("a", ScriptedTimeServer(clock, milliseconds(500)));
    net.AddServer("b", ScriptedTimeServer(clock, milliseconds(450), milliseconds(-700)));
    net.AddServer("c", ScriptedTimeServer(clock, milliseconds(600)));
    const RetrievalResult r = RetrieveTime({"a", "b", "c"}, net, clock);
    EXPECT_EQ(net.Asked(), (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(r.Chosen()->host, "b");
    EXPECT_NEAR(Ms(r.Chosen()->offset), -700, 1);
}

TEST(RetrieveTime, EarlierWinsATieAndNoDelayOfADayCounts)
{
    FakeSystemClock clock(kStart);
    FakeUdpTransport net;
    net.AddServer("slow", ScriptedTimeServer(clock, hours(25)));
    net.AddServer("a", ScriptedTimeServer(clock, milliseconds(400), milliseconds(10)));
    net.AddServer("b", ScriptedTimeServer(clock, milliseconds(400), milliseconds(20)));
    RetrievalResult r = RetrieveTime({"slow", "a", "b"}, net, clock);
    EXPECT_EQ(r.Chosen()->host, "a");
    r = RetrieveTime({"slow"}, net, clock);
    EXPECT_FALSE(r.Found());
    EXPECT_FALSE(r.answers[0].ok);  // the trip took longer than it was waited for
    EXPECT_EQ(r.answers[0].error, "podróż pakietu dłuższa niż czas oczekiwania");
}

TEST(RetrieveTime, BadRepliesFailTheirServerOnly)
{
    FakeSystemClock clock(kStart);
    FakeUdpTransport net;
    net.AddServer("short", ScriptedTimeServer(clock, milliseconds(100), {}, 47));
    net.AddServer("long", ScriptedTimeServer(clock, milliseconds(100), {}, 60));
    net.AddServer("zero", [&clock](const std::vector<std::uint8_t>& request) {
        UdpReceiveResult r = ScriptedTimeServer(clock, milliseconds(100))(request);
        std::fill(r.datagram.begin() + 40, r.datagram.end(), 0);
        return r;
    });
    net.AddServer("silent", [](const std::vector<std::uint8_t>&) {
        return UdpReceiveResult{UdpReceiveResult::Status::TimedOut, {}, {}};
    });
    net.AddServer("good", ScriptedTimeServer(clock, milliseconds(450)));
    const RetrievalResult r = RetrieveTime({"short", "long", "zero", "nowhere", "silent", "good"}, net, clock);
    ASSERT_EQ(r.answers.size(), 6u);
    const char* errors[] = {"odpowiedź ma 47 B zamiast 48", "odpowiedź ma 60 B zamiast 48", "zerowy czas wysłania",
                            "nie można znaleźć adresu: unknown host", "brak odpowiedzi w ciągu 10 s"};
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_FALSE(r.answers[i].ok);
        EXPECT_EQ(r.answers[i].error, errors[i]);
    }
    EXPECT_EQ(r.Chosen()->host, "good");
}

TEST(RetrieveTime, AServerHoldingTheRequestLongerThanTheRoundTripIsNotBelieved)
{
    // Its times say it kept the request 5 s, in a round trip of 100 ms: no delay can be measured
    // from that, and it must not pass for the fastest server either.
    FakeSystemClock clock(kStart);
    FakeUdpTransport net;
    net.AddServer("liar", [&clock](const std::vector<std::uint8_t>& request) {
        UdpReceiveResult r = ScriptedTimeServer(clock, milliseconds(100))(request);
        NtpTimestamp t3 = ReadNtpTimestamp(std::span<const std::uint8_t, 8>(r.datagram.data() + 40, 8));
        t3.seconds += 5;
        WriteNtpTimestamp(t3, std::span<std::uint8_t, 8>(r.datagram.data() + 40, 8));
        return r;
    });
    net.AddServer("good", ScriptedTimeServer(clock, milliseconds(450)));
    const RetrievalResult r = RetrieveTime({"liar", "good"}, net, clock);
    ASSERT_EQ(r.answers.size(), 2u);
    EXPECT_FALSE(r.answers[0].ok);
    EXPECT_EQ(r.answers[0].error, "czasy serwera dłuższe niż podróż pakietu");
    ASSERT_TRUE(r.Found());
    EXPECT_EQ(r.Chosen()->host, "good");
}

TEST(RetrieveTime, ATripLongerThanTheTimeOutOrAnAnswerBeforeTheRequestIsRefused)
{
    struct Row
    {
        const char* what;
        milliseconds trip;
        seconds transmitEarly;  // the server's transmit time this much before its receive time
        seconds timeout;
        const char* error;  // empty: accepted
    };
    const Row rows[] = {
        {"a trip as long as the time-out", seconds(10), {}, seconds(10), ""},
        {"the clock moved on by 12 s during a 10 s wait",
         seconds(12),
         {},
         seconds(10),
         "podróż pakietu dłuższa niż czas oczekiwania"},
        {"sent ten seconds before it was received", milliseconds(100), seconds(10), seconds(60),
         "czas wysłania przed czasem odbioru"},
        {"the same within the default time-out", milliseconds(100), seconds(10), seconds(10),
         "czas wysłania przed czasem odbioru"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        FakeSystemClock clock(kStart);
        FakeUdpTransport net;
        net.AddServer("server", [&clock, &row](const std::vector<std::uint8_t>& request) {
            UdpReceiveResult r = ScriptedTimeServer(clock, row.trip)(request);
            NtpTimestamp t2 = ReadNtpTimestamp(std::span<const std::uint8_t, 8>(r.datagram.data() + 32, 8));
            t2.seconds += static_cast<std::uint32_t>(row.transmitEarly.count());
            WriteNtpTimestamp(t2, std::span<std::uint8_t, 8>(r.datagram.data() + 32, 8));
            return r;
        });
        const RetrievalResult r = RetrieveTime({"server"}, net, clock, row.timeout);
        ASSERT_EQ(r.answers.size(), 1u);
        EXPECT_EQ(r.answers[0].error, row.error);
        EXPECT_EQ(r.Found(), std::string(row.error).empty());
    }
}

TEST(RetrieveTime, BuiltInListAsksTheSameHostTwiceUnlessTheFirstIsFast)
{
    FakeSystemClock clock(kStart);
    FakeUdpTransport slow, fast;
    slow.AddServer("pl.pool.ntp.org", ScriptedTimeServer(clock, milliseconds(400)));
    fast.AddServer("pl.pool.ntp.org", ScriptedTimeServer(clock, milliseconds(30)));
    const std::vector<std::string> builtIn = {"pl.pool.ntp.org", "pl.pool.ntp.org"};
    RetrieveTime(builtIn, slow, clock);
    RetrieveTime(builtIn, fast, clock);
    EXPECT_EQ(slow.Asked().size(), 2u);
    EXPECT_EQ(fast.Asked().size(), 1u);
}

TEST(HostAndPort, Forms)
{
    struct Row
    {
        const char* text;
        std::optional<std::pair<std::string, int>> parsed;
    };
    const Row rows[] = {
        {"pl.pool.ntp.org", {{"pl.pool.ntp.org", 123}}},
        {"127.0.0.1:11123", {{"127.0.0.1", 11123}}},
        {"::1", {{"::1", 123}}},
        {"2001:db8::1", {{"2001:db8::1", 123}}},
        {"[::1]:5000", {{"::1", 5000}}},
        {"[::1]", {{"::1", 123}}},
        {"host:65535", {{"host", 65535}}},
        {"", {}},
        {":123", {}},
        {"host:0", {}},
        {"host:65536", {}},
        {"host:", {}},
        {"host:12x", {}},
        {"[::1]5000", {}},
        {"[]:123", {}},
        {"[::1", {}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        const auto p = ParseHostAndPort(r.text);
        ASSERT_EQ(p.has_value(), r.parsed.has_value());
        if (p) {
            EXPECT_EQ(p->host, r.parsed->first);
            EXPECT_EQ(p->port, r.parsed->second);
        }
    }
}

TEST(TRetrieverThread, AnEmptyListLeavesNothingToSet)
{
    FakeSystemClock clock(kStart);
    FakeUdpTransport net;
    SyncState state;
    state.Offset = 123;  // as if left over from an earlier run
    TRetrieverThread::Execute("\r\n\r\n", state, net, clock, milliseconds(10));
    EXPECT_TRUE(state.Done.load());
    EXPECT_TRUE(state.Failed.load());
    EXPECT_TRUE(net.Asked().empty());
}

TEST(TRetrieverThread, TheWorkerOutlivesEverythingButItsOwnShares)
{
    auto clock = std::make_shared<FakeSystemClock>(kStart);
    auto net = std::make_shared<FakeUdpTransport>();
    auto state = std::make_shared<SyncState>();
    std::mutex m;
    std::condition_variable cv;
    bool release = false;
    net->AddServer("a", [&, answer = ScriptedTimeServer(*clock, milliseconds(40), milliseconds(250))](
                            const std::vector<std::uint8_t>& request) {
        std::unique_lock lock(m);
        cv.wait(lock, [&] { return release; });
        return answer(request);
    });
    TRetrieverThread::Start("a\r\n", state, net, clock);
    // The starter lets go of the network and the clock while the worker still waits.
    std::weak_ptr<FakeUdpTransport> watch = net;
    net.reset();
    clock.reset();
    EXPECT_FALSE(watch.expired());
    EXPECT_FALSE(state->Done.load());
    {
        std::lock_guard lock(m);
        release = true;
    }
    cv.notify_all();
    while (!state->Done.load(std::memory_order_acquire))
        std::this_thread::sleep_for(milliseconds(1));
    EXPECT_FALSE(state->Failed.load());
    EXPECT_NEAR(Ms(state->Offset), 250, 1);
}

TEST(RetrieveTime, StrayDatagramsAreWaitedPastAndNeverEndTheQuery)
{
    // Before the server's reply come a datagram answering another request and one in client mode;
    // both are dropped and the reply after them is taken.
    FakeSystemClock clock(kStart);
    FakeUdpTransport net;
    int datagram = 0;
    net.AddServer("busy", [&clock, &datagram](const std::vector<std::uint8_t>& request) {
        UdpReceiveResult r = ScriptedTimeServer(clock, milliseconds(40), seconds(2))(request);
        ++datagram;
        if (datagram % 3 == 1)
            r.datagram[31] ^= 1;
        else if (datagram % 3 == 2)
            r.datagram[0] = 0x23;
        return r;
    });
    RetrievalResult r = RetrieveTime({"busy"}, net, clock);
    ASSERT_TRUE(r.Found()) << r.answers[0].error;
    // The strays' time counts into the trip, which the offset splits in two.
    EXPECT_NEAR(Ms(r.Chosen()->offset), 2040, 1);
    EXPECT_NEAR(Ms(r.Chosen()->delay), 120, 1);
    EXPECT_EQ(datagram, 3);

    // Only strays until the time-out: the server failed, and the reason is the strays'.
    net.AddServer("strays", [&clock](const std::vector<std::uint8_t>& request) {
        UdpReceiveResult stray = ScriptedTimeServer(clock, milliseconds(300))(request);
        stray.datagram[31] ^= 1;
        return stray;
    });
    const auto before = clock.Now();
    r = RetrieveTime({"strays"}, net, clock, seconds(3));
    EXPECT_FALSE(r.Found());
    EXPECT_EQ(r.answers[0].error, "odpowiedź na inne zapytanie");
    EXPECT_EQ(r.answers[0].strays, 10);
    EXPECT_EQ(clock.Now() - before, seconds(3));

    // However many strays come first, the reply after them within the time-out is taken. Here
    // 1500 forged kiss-o'-deaths (not our originate time), a millisecond apart.
    int forged = 0;
    net.AddServer("flood", [&clock, &forged](const std::vector<std::uint8_t>& request) {
        UdpReceiveResult reply = ScriptedTimeServer(clock, milliseconds(1))(request);
        if (forged < 1500) {
            ++forged;
            reply.datagram[1] = 0;
            reply.datagram[31] ^= 1;
        }
        return reply;
    });
    r = RetrieveTime({"flood"}, net, clock);
    ASSERT_TRUE(r.Found()) << r.answers[0].error;
    EXPECT_EQ(r.answers[0].strays, 1500);
    EXPECT_NEAR(Ms(r.Chosen()->delay), 1501, 1);

    // A clock set back an hour during the wait does not stretch it by that hour, only by the
    // 300 ms of the stray that the set-back hides.
    bool setBack = false;
    net.AddServer("set back", [&clock, &setBack](const std::vector<std::uint8_t>& request) {
        if (!setBack) {
            setBack = true;
            clock.Set(clock.Now() - hours(1));
        }
        UdpReceiveResult stray = ScriptedTimeServer(clock, milliseconds(300))(request);
        stray.datagram[31] ^= 1;
        return stray;
    });
    r = RetrieveTime({"set back"}, net, clock, seconds(3));
    EXPECT_FALSE(r.Found());
    EXPECT_EQ(r.answers[0].strays, 11);

    // The server's own refusal ends the wait at once.
    int asked = 0;
    net.AddServer("kiss", [&clock, &asked](const std::vector<std::uint8_t>& request) {
        UdpReceiveResult kiss = ScriptedTimeServer(clock, milliseconds(40))(request);
        kiss.datagram[1] = 0;
        ++asked;
        return kiss;
    });
    r = RetrieveTime({"kiss"}, net, clock);
    EXPECT_EQ(r.answers[0].error, "odmowa serwera (kiss-o'-death)");
    EXPECT_EQ(asked, 1);
}

TEST(RetrieveTime, AForgedTimeDecadesAwayIsMeasuredAsALargeStep)
{
    // A transmit time of seconds = 1 is 2036 to a clock of 2024: far too far to be stepped without
    // asking, which the offset must show.
    FakeSystemClock clock(kStart);
    FakeUdpTransport net;
    net.AddServer("forger", [&clock](const std::vector<std::uint8_t>& request) {
        UdpReceiveResult r = ScriptedTimeServer(clock, milliseconds(40))(request);
        for (std::size_t at : {32u, 40u})
            WriteNtpTimestamp({1, 0}, std::span<std::uint8_t, 8>(r.datagram.data() + at, 8));
        return r;
    });
    const RetrievalResult r = RetrieveTime({"forger"}, net, clock);
    ASSERT_EQ(r.answers.size(), 1u);
    ASSERT_TRUE(r.answers[0].ok);
    EXPECT_GT(r.answers[0].offset, 11 * 365.0);
    EXPECT_LT(r.answers[0].offset, 12 * 365.0);
    EXPECT_TRUE(IsLargeStep(r.answers[0].offset));
    EXPECT_FALSE(IsLargeStep(999.0 / 86400));
    EXPECT_TRUE(IsLargeStep(-1001.0 / 86400));
}
