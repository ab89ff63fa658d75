// Time queries over real loopback sockets, against servers in threads of this test that answer
// as each case tells them, rightly or wrongly.
#include "platform/linux/linux_udp_transport.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <thread>

#include "clock/sntp.h"
#include "clock/time_sync.h"
#include "platform/linux/linux_system_clock.h"

using namespace std::chrono;

namespace {

enum class Fault
{
    None,
    OtherPort,
    WrongOrigin,
    ClientMode,
    Stratum0,
    Leap3,
    ZeroReceive
};

int BoundSocket(int family, std::uint16_t& port, const sockaddr_in6* at = nullptr)
{
    const int fd = ::socket(family, SOCK_DGRAM, 0);
    if (fd < 0)
        return -1;
    sockaddr_storage s{};
    socklen_t len = 0;
    if (family == AF_INET) {
        auto* a = reinterpret_cast<sockaddr_in*>(&s);
        a->sin_family = AF_INET;
        a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        len = sizeof *a;
    } else {
        auto* a = reinterpret_cast<sockaddr_in6*>(&s);
        a->sin6_family = AF_INET6;
        a->sin6_addr = in6addr_loopback;
        if (at)
            *a = *at;
        len = sizeof *a;
    }
    if (::bind(fd, reinterpret_cast<sockaddr*>(&s), len) != 0
        || ::getsockname(fd, reinterpret_cast<sockaddr*>(&s), &len) != 0) {
        ::close(fd);
        return -1;
    }
    port = ntohs(family == AF_INET ? reinterpret_cast<sockaddr_in*>(&s)->sin_port
                                   : reinterpret_cast<sockaddr_in6*>(&s)->sin6_port);
    return fd;
}

// Answers one request (or none, if none comes within two seconds) and ends.
class LoopbackServer
{
public:
    explicit LoopbackServer(Fault fault, int family = AF_INET, const sockaddr_in6* at = nullptr) : m_fault(fault)
    {
        m_fd = BoundSocket(family, m_port, at);
        std::uint16_t otherPort = 0;
        m_otherFd = BoundSocket(family, otherPort, at);
        if (m_fd >= 0 && m_otherFd >= 0)
            m_thread = std::thread([this] { Serve(); });
    }
    ~LoopbackServer()
    {
        if (m_thread.joinable())
            m_thread.join();
        if (m_fd >= 0)
            ::close(m_fd);
        if (m_otherFd >= 0)
            ::close(m_otherFd);
    }
    bool Ok() const { return m_thread.joinable(); }
    std::uint16_t Port() const { return m_port; }

private:
    void Serve()
    {
        pollfd p{m_fd, POLLIN, 0};
        if (::poll(&p, 1, 2000) != 1)
            return;
        std::uint8_t request[48];
        sockaddr_storage from{};
        socklen_t fromLen = sizeof from;
        if (::recvfrom(m_fd, request, sizeof request, 0, reinterpret_cast<sockaddr*>(&from), &fromLen) != 48)
            return;
        const NtpTimestamp now = DateTimeToNtp(LocalDateTime(system_clock::now(), seconds(0)));
        std::uint8_t reply[48] = {};
        reply[0] = m_fault == Fault::ClientMode ? 0x23 : m_fault == Fault::Leap3 ? 0xE4 : 0x24;
        reply[1] = m_fault == Fault::Stratum0 ? 0 : 3;
        std::memcpy(reply + 24, request + 40, 8);
        if (m_fault == Fault::WrongOrigin)
            reply[31] ^= 0x55;
        WriteNtpTimestamp(m_fault == Fault::ZeroReceive ? NtpTimestamp{} : now,
                          std::span<std::uint8_t, 8>(reply + 32, 8));
        WriteNtpTimestamp(now, std::span<std::uint8_t, 8>(reply + 40, 8));
        const int out = m_fault == Fault::OtherPort ? m_otherFd : m_fd;
        ::sendto(out, reply, sizeof reply, 0, reinterpret_cast<sockaddr*>(&from), fromLen);
    }

    Fault m_fault;
    int m_fd = -1;
    int m_otherFd = -1;
    std::uint16_t m_port = 0;
    std::thread m_thread;
};

}  // namespace

TEST(LoopbackSntp, EveryWrongAnswerIsRejectedAndTheGoodServerChosen)
{
    struct Row
    {
        Fault fault;
        const char* error;
    };
    const Row rows[] = {
        {Fault::OtherPort, "brak odpowiedzi w ciągu 300 ms"},  // the datagram from elsewhere never reaches us
        {Fault::WrongOrigin, "odpowiedź na inne zapytanie"},  {Fault::ClientMode, "tryb 3, to nie odpowiedź serwera"},
        {Fault::Stratum0, "odmowa serwera (kiss-o'-death)"},  {Fault::Leap3, "serwer niezsynchronizowany"},
        {Fault::ZeroReceive, "zerowy czas odbioru"},
    };
    std::vector<std::unique_ptr<LoopbackServer>> servers;
    std::vector<std::string> list;
    for (const Row& r : rows) {
        servers.push_back(std::make_unique<LoopbackServer>(r.fault));
        list.push_back("127.0.0.1:" + std::to_string(servers.back()->Port()));
    }
    servers.push_back(std::make_unique<LoopbackServer>(Fault::None));
    list.push_back("127.0.0.1:" + std::to_string(servers.back()->Port()));
    for (const auto& s : servers)
        ASSERT_TRUE(s->Ok());

    LinuxUdpTransport net;
    const LinuxSystemClock clock;  // read only: nothing here sets the clock
    const RetrievalResult result = RetrieveTime(list, net, clock, milliseconds(300));
    ASSERT_EQ(result.answers.size(), list.size());
    for (std::size_t i = 0; i < std::size(rows); ++i) {
        SCOPED_TRACE(list[i]);
        EXPECT_FALSE(result.answers[i].ok);
        EXPECT_EQ(result.answers[i].error, rows[i].error);
        EXPECT_EQ(result.answers[i].address, "127.0.0.1");
    }
    ASSERT_TRUE(result.Found());
    EXPECT_EQ(result.Chosen()->host, list.back());
    EXPECT_EQ(result.Chosen()->stratum, 3);
    EXPECT_LT(std::abs(result.Chosen()->offset * kMsPerDay), 50);
}

TEST(LoopbackSntp, Ipv6AddressWithPort)
{
    LoopbackServer server(Fault::None, AF_INET6);
    if (!server.Ok())
        GTEST_SKIP() << "this machine has no IPv6 loopback";
    LinuxUdpTransport net;
    const LinuxSystemClock clock;
    const ServerAnswer a = QueryTimeServer(net, clock, "[::1]:" + std::to_string(server.Port()), milliseconds(1000));
    EXPECT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.address, "::1");
}

TEST(LoopbackSntp, LinkLocalAddressKeepsItsZone)
{
    // A link-local address means nothing without the interface it is on.
    sockaddr_in6 at{};
    std::string zone;
    ifaddrs* list = nullptr;
    if (::getifaddrs(&list) == 0) {
        for (const ifaddrs* i = list; i && zone.empty(); i = i->ifa_next) {
            if (!i->ifa_addr || i->ifa_addr->sa_family != AF_INET6)
                continue;
            const auto* a = reinterpret_cast<const sockaddr_in6*>(i->ifa_addr);
            if (IN6_IS_ADDR_LINKLOCAL(&a->sin6_addr) && a->sin6_scope_id != 0) {
                at = *a;
                zone = i->ifa_name;
            }
        }
        ::freeifaddrs(list);
    }
    if (zone.empty())
        GTEST_SKIP() << "this machine has no link-local IPv6 address";
    at.sin6_port = 0;
    LoopbackServer server(Fault::None, AF_INET6, &at);
    if (!server.Ok())
        GTEST_SKIP() << "cannot listen on the link-local address of " << zone;
    char text[INET6_ADDRSTRLEN] = {};
    ::inet_ntop(AF_INET6, &at.sin6_addr, text, sizeof text);
    const std::string host = std::string(text) + "%" + zone;
    LinuxUdpTransport net;
    const LinuxSystemClock clock;
    const ServerAnswer a = QueryTimeServer(net, clock, "[" + host + "]:" + std::to_string(server.Port()),
                                           milliseconds(1000));
    EXPECT_TRUE(a.ok) << a.error;
    EXPECT_EQ(a.address, host);
}

TEST(LoopbackSntp, ResolutionAndRefusal)
{
    LinuxUdpTransport net;
    UdpResolveResult r = net.Resolve("127.0.0.1", 123);
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.where.address, "127.0.0.1");
    EXPECT_FALSE(r.where.ipv6);
    r = net.Resolve("localhost", 123);
    EXPECT_TRUE(r.ok) << r.error;
    EXPECT_TRUE(r.where.address == "127.0.0.1" || r.where.address == "::1") << r.where.address;
    EXPECT_FALSE(net.Resolve("no-such-host.invalid", 123).ok);
    EXPECT_FALSE(net.Resolve("", 123).ok);

    // A port nobody listens on answers with "port unreachable", which ends the wait at once.
    std::uint16_t port = 0;
    const int fd = BoundSocket(AF_INET, port);
    ASSERT_GE(fd, 0);
    ::close(fd);
    const LinuxSystemClock clock;
    const auto started = steady_clock::now();
    const ServerAnswer a = QueryTimeServer(net, clock, "127.0.0.1:" + std::to_string(port), seconds(5));
    EXPECT_FALSE(a.ok);
    EXPECT_EQ(a.error, "connection refused");
    EXPECT_LT(steady_clock::now() - started, seconds(4));
}
