// A network time run: each listed server is asked once over SNTP, the answer with the smallest
// round-trip delay is kept, and the result is handed to the user-interface thread, which alone
// sets the clock.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/system_clock.h"
#include "platform/udp_transport.h"

inline constexpr std::chrono::milliseconds kSntpReceiveTimeout{10000};
// Once an answer came back within this many days (0.3456 s), no further server is asked.
inline constexpr double kGoodEnoughDelay = 4e-6;
// A clock this far off (1000 s, in days) is not stepped without the user's word: a wrong server, or
// a forged reply, would otherwise move it by years.
inline constexpr double kLargeStep = 1000.0 / 86400;
// A clock closer than this (half a second, in days) is right as far as network time can tell over
// an ordinary connection: it is left alone, and nothing is set that could fail.
inline constexpr double kAccurateEnough = 0.5 / 86400;
inline bool IsAccurateEnough(double offsetDays)
{
    return offsetDays < kAccurateEnough && offsetDays > -kAccurateEnough;
}
inline bool IsLargeStep(double offsetDays)
{
    return offsetDays > kLargeStep || offsetDays < -kLargeStep;
}

// "host", "host:port", "[v6 address]:port" or a bare IPv6 address (its colons are no port).
// nullopt for an empty host or a port outside 1..65535.
struct HostAndPort
{
    std::string host;
    std::uint16_t port = 123;
};
std::optional<HostAndPort> ParseHostAndPort(const std::string& text);

// One server's part of a run.
struct ServerAnswer
{
    std::string host;     // as listed
    std::string address;  // numeric address asked; empty when the name did not resolve
    std::uint16_t port = 0;
    bool ok = false;
    std::string error;  // for a failed server: what was wrong
    double delay = 0;   // round trip less the server's hold time, days (never negative, nor above the time-out)
    double offset = 0;  // server time minus this machine's time, days
    int stratum = 0;
    int strays = 0;  // datagrams dropped while waiting, as no answer to the request
};

// Asks one server (a list entry, which may name its port). Never throws.
ServerAnswer QueryTimeServer(UdpTransport& transport, const SystemClock& clock, const std::string& entry,
                             std::chrono::milliseconds timeout = kSntpReceiveTimeout);

struct RetrievalResult
{
    std::vector<ServerAnswer> answers;  // the servers asked, in order
    std::optional<std::size_t> chosen;  // index into answers
    bool Found() const { return chosen.has_value(); }
    const ServerAnswer* Chosen() const { return chosen ? &answers[*chosen] : nullptr; }
};

// Asks the servers in order and chooses the smallest delay below one day; on equal delays the
// earlier server wins. Stops asking once a delay below kGoodEnoughDelay came back. `onAnswer` is
// told of each server as soon as it has answered or failed.
RetrievalResult RetrieveTime(const std::vector<std::string>& servers, UdpTransport& transport, const SystemClock& clock,
                             std::chrono::milliseconds timeout = kSntpReceiveTimeout,
                             const std::function<void(const ServerAnswer&)>& onAnswer = {});

// What a worker shares with the user-interface thread. The worker writes everything else before
// Done; the other side reads it only after it has seen Done.
struct SyncState
{
    std::atomic<bool> Failed{true};  // no usable answer (yet)
    double Offset = 0;               // days, server minus this machine, of the chosen answer
    double Delay = 0;                // days
    RetrievalResult Result;
    std::atomic<bool> Done{false};
    // Called once the run is done, on the worker's thread (or the caller's when no thread could be
    // had); empty: nobody is told, the owner looks at Done.
    std::function<void()> Finished;
};

// The worker of one run. It owns a share of everything it touches, so a run still waiting for a
// server when the program ends never reaches into freed memory.
class TRetrieverThread
{
public:
    // Clears Done and starts the worker, which is never joined.
    static void Start(std::string serverList, std::shared_ptr<SyncState> state, std::shared_ptr<UdpTransport> transport,
                      std::shared_ptr<const SystemClock> clock,
                      std::chrono::milliseconds timeout = kSntpReceiveTimeout);

    // The worker's body; tests call it on their own thread.
    static void Execute(const std::string& serverList, SyncState& state, UdpTransport& transport,
                        const SystemClock& clock, std::chrono::milliseconds timeout);
};
