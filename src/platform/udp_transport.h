// UDP for the time client: name resolution and one socket per server, tied to the address and
// port it was opened for, so that datagrams from anywhere else never reach the caller.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

// A resolved server: its numeric address ("192.0.2.1", "2001:db8::1") and port.
struct UdpAddress
{
    std::string address;
    std::uint16_t port = 0;
    bool ipv6 = false;
};

struct UdpResolveResult
{
    bool ok = false;
    UdpAddress where;
    std::string error;  // why the name gave no address, in a few words
};

struct UdpReceiveResult
{
    enum class Status
    {
        Ok,
        TimedOut,
        Failed
    };
    Status status = Status::Failed;
    std::vector<std::uint8_t> datagram;  // the whole datagram, however long
    std::string error;                   // for Failed: what went wrong
};

class UdpSocket
{
public:
    virtual ~UdpSocket() = default;
    // False with `error` set when the datagram could not be sent.
    virtual bool Send(std::span<const std::uint8_t> datagram, std::string& error) = 0;
    // Waits up to `timeout` for one datagram from the address and port the socket was opened for.
    virtual UdpReceiveResult Receive(std::chrono::milliseconds timeout) = 0;
};

// What one wait-and-read of a socket came to: a datagram or a failure in the result (Done), or
// nothing yet, the wait interrupted or the time up (Again).
enum class UdpAttempt
{
    Again,
    Done
};

// The reply loop every system's Receive shares: `attempt` waits at most the milliseconds left
// (always more than 0) for a datagram and reads it into the result; the loop ends it with
// TimedOut once the `timeout` is spent, however often the system woke it early.
UdpReceiveResult ReceiveWithin(std::chrono::milliseconds timeout,
                               const std::function<UdpAttempt(int leftMs, UdpReceiveResult& result)>& attempt);

// One question to the system's resolver: the first address of `host` for UDP, only a numeric one
// when `numericOnly`; false with `error` set when it gave none.
using UdpLookup = std::function<bool(bool numericOnly, UdpAddress& where, std::string& error)>;

// The resolution every system's Resolve shares: an empty name is refused, a numeric address is
// taken as it is without asking the resolver, any other name goes to it.
UdpResolveResult ResolveWith(const std::string& host, std::uint16_t port, const UdpLookup& lookup);

class UdpTransport
{
public:
    virtual ~UdpTransport() = default;
    // A numeric IPv4 or IPv6 address is taken as it is; a name goes to the system's resolver,
    // and its first address is used.
    virtual UdpResolveResult Resolve(const std::string& host, std::uint16_t port) = 0;
    // A socket for one server; nullptr with `error` set when none could be made.
    virtual std::unique_ptr<UdpSocket> Open(const UdpAddress& to, std::string& error) = 0;
};
