// UDP for the time client through Winsock 2.
#pragma once

#include "platform/udp_transport.h"

class WindowsUdpTransport final : public UdpTransport
{
public:
    // Starts Winsock for the process; a failure shows as an error of every call.
    WindowsUdpTransport();
    ~WindowsUdpTransport() override;
    WindowsUdpTransport(const WindowsUdpTransport&) = delete;
    WindowsUdpTransport& operator=(const WindowsUdpTransport&) = delete;

    UdpResolveResult Resolve(const std::string& host, std::uint16_t port) override;
    std::unique_ptr<UdpSocket> Open(const UdpAddress& to, std::string& error) override;

private:
    bool m_started = false;
};
