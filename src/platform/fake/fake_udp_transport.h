// UDP for tests: each host answers through a function the test gives, and every host asked is
// recorded. Hosts without a function do not resolve.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/udp_transport.h"

class FakeUdpTransport final : public UdpTransport
{
public:
    // Gets the request as sent; returns what Receive gives back.
    using Server = std::function<UdpReceiveResult(const std::vector<std::uint8_t>& request)>;

    void AddServer(const std::string& host, Server server) { m_servers[host] = std::move(server); }
    // The hosts resolved, in order.
    const std::vector<std::string>& Asked() const { return m_asked; }

    UdpResolveResult Resolve(const std::string& host, std::uint16_t port) override
    {
        m_asked.push_back(host);
        if (!m_servers.count(host))
            return {false, {}, "unknown host"};
        return {true, {host, port, false}, {}};
    }

    std::unique_ptr<UdpSocket> Open(const UdpAddress& to, std::string&) override
    {
        return std::make_unique<Socket>(m_servers.at(to.address));
    }

private:
    class Socket final : public UdpSocket
    {
    public:
        explicit Socket(Server& server) : m_server(server) {}
        bool Send(std::span<const std::uint8_t> datagram, std::string&) override
        {
            m_request.assign(datagram.begin(), datagram.end());
            return true;
        }
        UdpReceiveResult Receive(std::chrono::milliseconds) override { return m_server(m_request); }

    private:
        Server& m_server;
        std::vector<std::uint8_t> m_request;
    };

    std::map<std::string, Server> m_servers;
    std::vector<std::string> m_asked;
};
