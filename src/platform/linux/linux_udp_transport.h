// UDP through POSIX sockets and getaddrinfo, IPv4 and IPv6.
#pragma once

#include "platform/udp_transport.h"

class LinuxUdpTransport final : public UdpTransport
{
public:
    UdpResolveResult Resolve(const std::string& host, std::uint16_t port) override;
    std::unique_ptr<UdpSocket> Open(const UdpAddress& to, std::string& error) override;
};
