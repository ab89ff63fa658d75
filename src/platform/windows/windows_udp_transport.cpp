// UDP sockets for the time client, with the same checks as on Linux: a connected socket, so that
// datagrams from anywhere but the server are dropped by the system, and whole datagrams read.
#include "platform/windows/windows_udp_transport.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "platform/windows/win_text.h"

namespace {

std::string SocketError()
{
    return SystemErrorText(static_cast<unsigned long>(WSAGetLastError()));
}

std::string NumericAddress(const sockaddr* sa, int length)
{
    char text[NI_MAXHOST] = {};
    if (::getnameinfo(sa, static_cast<socklen_t>(length), text, sizeof text, nullptr, 0, NI_NUMERICHOST) != 0)
        return {};
    return text;
}

class WindowsUdpSocket final : public UdpSocket
{
public:
    explicit WindowsUdpSocket(SOCKET s) : m_socket(s) {}
    ~WindowsUdpSocket() override { ::closesocket(m_socket); }
    WindowsUdpSocket(const WindowsUdpSocket&) = delete;
    WindowsUdpSocket& operator=(const WindowsUdpSocket&) = delete;

    bool Send(std::span<const std::uint8_t> datagram, std::string& error) override
    {
        const int sent = ::send(m_socket, reinterpret_cast<const char*>(datagram.data()),
                                static_cast<int>(datagram.size()), 0);
        if (sent == static_cast<int>(datagram.size()))
            return true;
        error = sent == SOCKET_ERROR ? SocketError() : "datagram cut short";
        return false;
    }

    UdpReceiveResult Receive(std::chrono::milliseconds timeout) override
    {
        return ReceiveWithin(timeout, [this](int leftMs, UdpReceiveResult& result) {
            WSAPOLLFD p{};
            p.fd = m_socket;
            p.events = POLLRDNORM;
            const int ready = ::WSAPoll(&p, 1, static_cast<INT>(leftMs));
            if (ready == SOCKET_ERROR) {
                result.error = SocketError();
                return UdpAttempt::Done;
            }
            if (ready == 0)
                return UdpAttempt::Again;
            // The largest datagram there is, so that an over-long reply is seen at its real
            // length and refused, never cut to size and taken.
            result.datagram.resize(65536);
            const int got = ::recv(m_socket, reinterpret_cast<char*>(result.datagram.data()),
                                   static_cast<int>(result.datagram.size()), 0);
            if (got == SOCKET_ERROR) {
                const int error = WSAGetLastError();
                if (error == WSAEWOULDBLOCK || error == WSAEINTR)
                    return UdpAttempt::Again;
                // A connected socket hears of an ICMP "port unreachable" as a reset.
                result.error = error == WSAECONNRESET || error == WSAECONNREFUSED
                                   ? std::string("connection refused")
                                   : SystemErrorText(static_cast<unsigned long>(error));
                result.datagram.clear();
                return UdpAttempt::Done;
            }
            result.datagram.resize(static_cast<std::size_t>(got));
            result.status = UdpReceiveResult::Status::Ok;
            return UdpAttempt::Done;
        });
    }

private:
    SOCKET m_socket;
};

}  // namespace

WindowsUdpTransport::WindowsUdpTransport()
{
    WSADATA data{};
    m_started = ::WSAStartup(MAKEWORD(2, 2), &data) == 0;
}

WindowsUdpTransport::~WindowsUdpTransport()
{
    if (m_started)
        ::WSACleanup();
}

UdpResolveResult WindowsUdpTransport::Resolve(const std::string& host, std::uint16_t port)
{
    return ResolveWith(host, port, [&](bool numericOnly, UdpAddress& where, std::string& error) {
        if (!m_started) {
            error = "nie można uruchomić Winsock";
            return false;
        }
        ADDRINFOW hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_DGRAM;
        hints.ai_flags = AI_NUMERICSERV | (numericOnly ? AI_NUMERICHOST : 0);
        ADDRINFOW* found = nullptr;
        const int rc = ::GetAddrInfoW(Widen(host).c_str(), std::to_wstring(port).c_str(), &hints, &found);
        if (rc != 0 || !found) {
            error = SystemErrorText(static_cast<unsigned long>(rc ? rc : WSAHOST_NOT_FOUND));
            return false;
        }
        where.address = NumericAddress(found->ai_addr, static_cast<int>(found->ai_addrlen));
        where.ipv6 = found->ai_family == AF_INET6;
        ::FreeAddrInfoW(found);
        return true;
    });
}

std::unique_ptr<UdpSocket> WindowsUdpTransport::Open(const UdpAddress& to, std::string& error)
{
    if (!m_started) {
        error = "nie można uruchomić Winsock";
        return nullptr;
    }
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
    const int length = static_cast<int>(found->ai_addrlen);
    std::memcpy(&storage, found->ai_addr, found->ai_addrlen);
    ::freeaddrinfo(found);
    const SOCKET s = ::WSASocketW(to.ipv6 ? AF_INET6 : AF_INET, SOCK_DGRAM, IPPROTO_UDP, nullptr, 0,
                                  WSA_FLAG_NO_HANDLE_INHERIT);
    if (s == INVALID_SOCKET) {
        error = SocketError();
        return nullptr;
    }
    // Connecting a datagram socket makes the system drop whatever does not come from that address
    // and port, so a stray or forged datagram from elsewhere is never taken for the answer.
    if (::connect(s, reinterpret_cast<const sockaddr*>(&storage), length) != 0) {
        error = SocketError();
        ::closesocket(s);
        return nullptr;
    }
    return std::make_unique<WindowsUdpSocket>(s);
}
