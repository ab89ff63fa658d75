// UDP sockets for the time client.
#include "platform/linux/linux_udp_transport.h"

#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <netdb.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// The address as text; a scoped (link-local) IPv6 address keeps its zone ("fe80::1%eth0"),
// without which it names no interface.
std::string NumericAddress(const sockaddr* sa, socklen_t length)
{
    char text[NI_MAXHOST] = {};
    if (::getnameinfo(sa, length, text, sizeof text, nullptr, 0, NI_NUMERICHOST) != 0)
        return {};
    return text;
}

class LinuxUdpSocket final : public UdpSocket
{
public:
    explicit LinuxUdpSocket(int fd) : m_fd(fd) {}
    ~LinuxUdpSocket() override { ::close(m_fd); }
    LinuxUdpSocket(const LinuxUdpSocket&) = delete;
    LinuxUdpSocket& operator=(const LinuxUdpSocket&) = delete;

    bool Send(std::span<const std::uint8_t> datagram, std::string& error) override
    {
        const ssize_t sent = ::send(m_fd, datagram.data(), datagram.size(), MSG_NOSIGNAL);
        if (sent == static_cast<ssize_t>(datagram.size()))
            return true;
        error = sent < 0 ? std::strerror(errno) : "datagram cut short";
        return false;
    }

    UdpReceiveResult Receive(std::chrono::milliseconds timeout) override
    {
        return ReceiveWithin(timeout, [this](int leftMs, UdpReceiveResult& result) {
            pollfd p{m_fd, POLLIN, 0};
            const int ready = ::poll(&p, 1, leftMs);
            if (ready < 0 && errno == EINTR)
                return UdpAttempt::Again;
            if (ready < 0) {
                result.error = std::strerror(errno);
                return UdpAttempt::Done;
            }
            if (ready == 0)
                return UdpAttempt::Again;
            // Larger than any reply we accept, so that an over-long one is seen as such and not
            // quietly cut to size; MSG_TRUNC reports the real length all the same.
            result.datagram.resize(1024);
            const ssize_t got = ::recv(m_fd, result.datagram.data(), result.datagram.size(), MSG_TRUNC);
            if (got < 0 && (errno == EINTR || errno == EAGAIN))
                return UdpAttempt::Again;
            if (got < 0) {
                // A connected socket hears of an ICMP "port unreachable" here.
                result.error = errno == ECONNREFUSED ? "connection refused" : std::strerror(errno);
                result.datagram.clear();
                return UdpAttempt::Done;
            }
            result.datagram.resize(static_cast<std::size_t>(got));
            result.status = UdpReceiveResult::Status::Ok;
            return UdpAttempt::Done;
        });
    }

private:
    int m_fd;
};

}  // namespace

UdpResolveResult LinuxUdpTransport::Resolve(const std::string& host, std::uint16_t port)
{
    return ResolveWith(host, port, [&](bool numericOnly, UdpAddress& where, std::string& error) {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        hints.ai_flags = AI_NUMERICSERV | (numericOnly ? AI_NUMERICHOST : 0);
        addrinfo* found = nullptr;
        const int rc = ::getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found);
        if (rc != 0 || !found) {
            error = rc == EAI_SYSTEM ? std::strerror(errno) : ::gai_strerror(rc);
            return false;
        }
        where.address = NumericAddress(found->ai_addr, found->ai_addrlen);
        where.ipv6 = found->ai_family == AF_INET6;
        ::freeaddrinfo(found);
        return true;
    });
}

std::unique_ptr<UdpSocket> LinuxUdpTransport::Open(const UdpAddress& to, std::string& error)
{
    addrinfo hints{};
    hints.ai_family = to.ipv6 ? AF_INET6 : AF_INET;
    hints.ai_socktype = SOCK_DGRAM;
    hints.ai_flags = AI_NUMERICHOST | AI_NUMERICSERV;
    addrinfo* found = nullptr;
    if (::getaddrinfo(to.address.c_str(), std::to_string(to.port).c_str(), &hints, &found) != 0 || !found) {
        error = "błędny adres";
        return nullptr;
    }
    sockaddr_storage storage{};
    const socklen_t length = found->ai_addrlen;
    std::memcpy(&storage, found->ai_addr, length);
    ::freeaddrinfo(found);
    const int fd = ::socket(to.ipv6 ? AF_INET6 : AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        error = std::strerror(errno);
        return nullptr;
    }
    // Connecting a datagram socket makes the kernel drop whatever does not come from that address
    // and port, so a stray or forged datagram from elsewhere is never taken for the answer.
    if (::connect(fd, reinterpret_cast<const sockaddr*>(&storage), length) != 0) {
        error = std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    return std::make_unique<LinuxUdpSocket>(fd);
}
