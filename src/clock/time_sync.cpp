// Network time runs.
#include "clock/time_sync.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <system_error>
#include <thread>

#include "clock/server_list.h"
#include "clock/sntp.h"

namespace {

// Two server times each cut to the millisecond can shorten the measured trip by up to that much.
constexpr double kServerTimeSlack = 2.0 / kMsPerDay;

TDateTime UtcNow(const SystemClock& clock)
{
    return LocalDateTime(clock.Now(), std::chrono::seconds(0));
}

std::optional<std::uint16_t> ParsePort(std::string_view text)
{
    unsigned value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || value < 1 || value > 65535)
        return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

}  // namespace

std::optional<HostAndPort> ParseHostAndPort(const std::string& text)
{
    HostAndPort r;
    if (!text.empty() && text.front() == '[') {
        const std::size_t close = text.find(']');
        if (close == std::string::npos)
            return std::nullopt;
        r.host = text.substr(1, close - 1);
        const std::string rest = text.substr(close + 1);
        if (!rest.empty()) {
            if (rest.front() != ':')
                return std::nullopt;
            const auto port = ParsePort(std::string_view(rest).substr(1));
            if (!port)
                return std::nullopt;
            r.port = *port;
        }
    } else {
        const std::size_t colon = text.find(':');
        if (colon != std::string::npos && text.find(':', colon + 1) == std::string::npos) {
            const auto port = ParsePort(std::string_view(text).substr(colon + 1));
            if (!port)
                return std::nullopt;
            r.host = text.substr(0, colon);
            r.port = *port;
        } else {
            r.host = text;
        }
    }
    if (r.host.empty())
        return std::nullopt;
    return r;
}

namespace {

// The reply to the request sent at `t1` (`sent`), with `t4` when it came; nullopt with `error`
// when none came in time. Datagrams that answer no request of ours (a stray, a forgery without
// our originate time) are counted in `strays` and dropped, and the wait goes on to the time-out:
// however many there are, they can neither stand in for the server's reply nor keep it out.
std::optional<SntpReply> AwaitReply(UdpSocket& socket, const SystemClock& clock, NtpTimestamp sent, TDateTime t1,
                                    std::chrono::milliseconds timeout, TDateTime& t4, std::string& error, int& strays)
{
    // Only the clock's moves forward use up the wait: set back during it, the clock would
    // otherwise let a steady stream of strays hold the query open for as long as it was set back.
    double waited = 0;  // days
    TDateTime last = t1;
    std::string dropped;  // why the last dropped datagram was no answer
    for (;;) {
        const TDateTime now = UtcNow(clock);
        waited += std::max(0.0, now - last);
        last = now;
        const auto left = std::clamp(timeout - std::chrono::milliseconds(std::llround(waited * kMsPerDay)),
                                     std::chrono::milliseconds(0), timeout);
        if (strays > 0 && left.count() == 0) {
            error = dropped;
            return std::nullopt;
        }
        const UdpReceiveResult received = socket.Receive(left);
        t4 = UtcNow(clock);
        if (received.status == UdpReceiveResult::Status::TimedOut) {
            if (!dropped.empty())
                error = dropped;
            else
                error = timeout.count() % 1000 == 0
                            ? "brak odpowiedzi w ciągu " + std::to_string(timeout.count() / 1000) + " s"
                            : "brak odpowiedzi w ciągu " + std::to_string(timeout.count()) + " ms";
            return std::nullopt;
        }
        if (received.status != UdpReceiveResult::Status::Ok) {
            error = received.error.empty() ? std::string("receive failed") : received.error;
            return std::nullopt;
        }
        SntpReply reply = ParseSntpReply(received.datagram, sent);
        if (reply.answersRequest)
            return reply;
        ++strays;
        dropped = reply.error;
    }
}

}  // namespace

ServerAnswer QueryTimeServer(UdpTransport& transport, const SystemClock& clock, const std::string& entry,
                             std::chrono::milliseconds timeout)
{
    ServerAnswer a;
    a.host = entry;
    const auto where = ParseHostAndPort(entry);
    if (!where) {
        a.error = "błędna nazwa serwera lub port";
        return a;
    }
    a.port = where->port;
    const UdpResolveResult resolved = transport.Resolve(where->host, where->port);
    if (!resolved.ok) {
        a.error = "nie można znaleźć adresu: " + resolved.error;
        return a;
    }
    a.address = resolved.where.address;
    std::string error;
    const auto socket = transport.Open(resolved.where, error);
    if (!socket) {
        a.error = "nie można otworzyć gniazda: " + error;
        return a;
    }
    const TDateTime t1 = UtcNow(clock);
    const NtpTimestamp sent = DateTimeToNtp(UtcNow(clock));
    const SntpPacket request = BuildSntpRequest(sent);
    if (!socket->Send(request, error)) {
        a.error = "nie można wysłać zapytania: " + error;
        return a;
    }
    TDateTime t4 = t1;
    const std::optional<SntpReply> answer = AwaitReply(*socket, clock, sent, t1, timeout, t4, a.error, a.strays);
    if (!answer)
        return a;
    const SntpReply& reply = *answer;
    a.stratum = reply.stratum;
    if (!reply.ok) {
        a.error = reply.error;
        return a;
    }
    // Each timestamp in the era nearest this machine's clock: a server's seconds alone do not say
    // which 136-year era they count in.
    const TDateTime t2 = NtpToDateTimeNear(reply.receive, t1), t3 = NtpToDateTimeNear(reply.transmit, t1);
    const SntpMeasure m = MeasureExchange(t1, t2, t3, t4);
    // The server's times are cut to the millisecond, so a fast exchange can come out a hair below
    // zero; no trip takes less than nothing. Far below zero, the server claims to have held the
    // request longer than the whole trip took: its times are wrong, and taken for a trip of no
    // length they would win the choice.
    if (m.delay < -kServerTimeSlack) {
        a.error = "czasy serwera dłuższe niż podróż pakietu";
        return a;
    }
    // A trip longer than the wait for it: the clock moved forward while the reply was on its way,
    // and the offset would carry that move.
    if (m.delay > static_cast<double>(timeout.count()) / kMsPerDay) {
        a.error = "podróż pakietu dłuższa niż czas oczekiwania";
        return a;
    }
    a.delay = m.delay < 0 ? 0 : m.delay;
    a.offset = m.offset;
    a.ok = true;
    return a;
}

RetrievalResult RetrieveTime(const std::vector<std::string>& servers, UdpTransport& transport, const SystemClock& clock,
                             std::chrono::milliseconds timeout,
                             const std::function<void(const ServerAnswer&)>& onAnswer)
{
    RetrievalResult r;
    double bestDelay = 1.0;
    for (const std::string& server : servers) {
        if (server.empty())
            continue;
        r.answers.push_back(QueryTimeServer(transport, clock, server, timeout));
        const ServerAnswer& a = r.answers.back();
        if (onAnswer)
            onAnswer(a);
        if (a.ok && a.delay < bestDelay) {
            bestDelay = a.delay;
            r.chosen = r.answers.size() - 1;
        }
        if (bestDelay < kGoodEnoughDelay)
            break;
    }
    return r;
}

void TRetrieverThread::Start(std::string serverList, std::shared_ptr<SyncState> state,
                             std::shared_ptr<UdpTransport> transport, std::shared_ptr<const SystemClock> clock,
                             std::chrono::milliseconds timeout)
{
    state->Done.store(false);
    try {
        std::thread([list = std::move(serverList), state, transport, clock, timeout] {
            Execute(list, *state, *transport, *clock, timeout);
            if (state->Finished)
                state->Finished();
        }).detach();
    } catch (const std::system_error&) {
        // No thread to be had: the run ends at once, as one where no server answered.
        state->Failed.store(true);
        state->Done.store(true, std::memory_order_release);
        if (state->Finished)
            state->Finished();
    }
}

void TRetrieverThread::Execute(const std::string& serverList, SyncState& state, UdpTransport& transport,
                               const SystemClock& clock, std::chrono::milliseconds timeout)
{
    state.Result = RetrieveTime(SplitServerList(serverList), transport, clock, timeout,
                                [&state](const ServerAnswer& a) { state.Failed.store(!a.ok); });
    if (const ServerAnswer* chosen = state.Result.Chosen()) {
        state.Offset = chosen->offset;
        state.Delay = chosen->delay;
        state.Failed.store(false);
    } else {
        // Also for a list without a single server: nothing was measured, so nothing may be set.
        state.Failed.store(true);
    }
    state.Done.store(true, std::memory_order_release);
}
