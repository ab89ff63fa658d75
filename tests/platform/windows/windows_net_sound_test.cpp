// Winsock for the time client on the loopback, and the waveOut player against a recording
// device: the same checks and timings as the Linux implementations.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <chrono>
#include <fstream>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "platform/windows/wave_out_sound.h"
#include "platform/windows/windows_udp_transport.h"
#include "win_temp_dir.h"

namespace {

// A UDP socket bound to the loopback on a port of the system's choosing.
class LoopbackPeer
{
public:
    explicit LoopbackPeer(bool ipv6 = false)
    {
        m_socket = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_DGRAM, IPPROTO_UDP);
        sockaddr_storage address{};
        int length;
        if (ipv6) {
            auto* a = reinterpret_cast<sockaddr_in6*>(&address);
            a->sin6_family = AF_INET6;
            a->sin6_addr = in6addr_loopback;
            length = sizeof *a;
        } else {
            auto* a = reinterpret_cast<sockaddr_in*>(&address);
            a->sin_family = AF_INET;
            a->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
            length = sizeof *a;
        }
        m_ok = ::bind(m_socket, reinterpret_cast<sockaddr*>(&address), length) == 0;
        ::getsockname(m_socket, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&address)->sin6_port
                            : reinterpret_cast<sockaddr_in*>(&address)->sin_port);
        DWORD timeout = 5000;
        ::setsockopt(m_socket, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout), sizeof timeout);
    }
    ~LoopbackPeer() { ::closesocket(m_socket); }
    bool Ok() const { return m_ok; }
    std::uint16_t Port() const { return m_port; }
    // Waits for one datagram and answers `reply` to whoever sent it.
    std::string Answer(const std::string& reply)
    {
        char buffer[2048];
        sockaddr_storage from{};
        int length = sizeof from;
        const int got = ::recvfrom(m_socket, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (got < 0)
            return {};
        ::sendto(m_socket, reply.data(), static_cast<int>(reply.size()), 0, reinterpret_cast<sockaddr*>(&from), length);
        return std::string(buffer, static_cast<std::size_t>(got));
    }
    // Sends to `port` on the loopback from this socket.
    void SendTo(std::uint16_t port, const std::string& bytes)
    {
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        to.sin_port = htons(port);
        ::sendto(m_socket, bytes.data(), static_cast<int>(bytes.size()), 0, reinterpret_cast<sockaddr*>(&to),
                 sizeof to);
    }

private:
    SOCKET m_socket = INVALID_SOCKET;
    std::uint16_t m_port = 0;
    bool m_ok = false;
};

std::span<const std::uint8_t> Bytes(const std::string& text)
{
    return {reinterpret_cast<const std::uint8_t*>(text.data()), text.size()};
}

}  // namespace

TEST(WindowsUdpTransport, ExchangesWholeDatagramsWithOneServerOnly)
{
    WindowsUdpTransport udp;
    LoopbackPeer server;
    ASSERT_TRUE(server.Ok());
    const UdpResolveResult resolved = udp.Resolve("127.0.0.1", server.Port());
    ASSERT_TRUE(resolved.ok) << resolved.error;
    EXPECT_EQ(resolved.where.address, "127.0.0.1");
    EXPECT_FALSE(resolved.where.ipv6);
    std::string error;
    auto socket = udp.Open(resolved.where, error);
    ASSERT_NE(socket, nullptr) << error;
    const std::string longReply(1500, 'x');  // longer than any reply the client takes: seen at its length
    std::thread serve([&] { EXPECT_EQ(server.Answer(longReply), "pytanie"); });
    ASSERT_TRUE(socket->Send(Bytes("pytanie"), error)) << error;
    serve.join();
    const UdpReceiveResult reply = socket->Receive(std::chrono::seconds(5));
    ASSERT_EQ(reply.status, UdpReceiveResult::Status::Ok) << reply.error;
    EXPECT_EQ(reply.datagram.size(), longReply.size());

    // A datagram from another port is no answer: the connected socket never sees it.
    LoopbackPeer stranger;
    std::thread([&] { server.Answer("x"); }).detach();
    ASSERT_TRUE(socket->Send(Bytes("znowu"), error));
    // The stranger cannot know our port from here; it writes to the server's instead, which is
    // not ours either. What the socket gets is only the server's "x".
    stranger.SendTo(server.Port(), "obcy");
    const UdpReceiveResult second = socket->Receive(std::chrono::seconds(5));
    ASSERT_EQ(second.status, UdpReceiveResult::Status::Ok);
    EXPECT_EQ(std::string(second.datagram.begin(), second.datagram.end()), "x");
    EXPECT_EQ(socket->Receive(std::chrono::milliseconds(100)).status, UdpReceiveResult::Status::TimedOut);
}

TEST(WindowsUdpTransport, IPv6NamesAndErrors)
{
    WindowsUdpTransport udp;
    LoopbackPeer server(true);
    if (server.Ok()) {
        const UdpResolveResult resolved = udp.Resolve("::1", server.Port());
        ASSERT_TRUE(resolved.ok) << resolved.error;
        EXPECT_TRUE(resolved.where.ipv6);
        std::string error;
        auto socket = udp.Open(resolved.where, error);
        ASSERT_NE(socket, nullptr) << error;
        std::thread serve([&] { server.Answer("odpowiedź"); });
        ASSERT_TRUE(socket->Send(Bytes("?"), error));
        serve.join();
        const UdpReceiveResult reply = socket->Receive(std::chrono::seconds(5));
        ASSERT_EQ(reply.status, UdpReceiveResult::Status::Ok) << reply.error;
        EXPECT_EQ(std::string(reply.datagram.begin(), reply.datagram.end()), "odpowiedź");
    }
    EXPECT_FALSE(udp.Resolve("", 123).ok);
    EXPECT_FALSE(udp.Resolve("nie-ma-takiego-serwera.invalid", 123).ok);
    std::string error;
    EXPECT_EQ(udp.Open({"nie adres", 123, false}, error), nullptr);
    EXPECT_FALSE(error.empty());
}

TEST(WaveOutSound, TonesKeepTheirTimeAndFilesFallBackWhenTheyCannotPlay)
{
    struct Played
    {
        unsigned channels, rate;
        std::size_t samples;
    };
    std::mutex mutex;
    std::vector<Played> played;
    bool deviceWorks = true;
    WaveOutSound sound([&](unsigned channels, unsigned rate, std::span<const std::int16_t> samples,
                           const std::function<bool()>& goOn) {
        std::lock_guard lock(mutex);
        if (!goOn())
            return true;  // stopped before the first piece: nothing heard, nothing to fall back from
        played.push_back({channels, rate, samples.size()});
        return deviceWorks;
    });
    const auto always = [] { return true; };
    // A tone lasts its time also when the device fails at once, and silence plays nothing.
    deviceWorks = false;
    const auto start = std::chrono::steady_clock::now();
    sound.PlayTone(880, 120);
    sound.PlayTone(10, 50);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(170));
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].samples, 48000u * 120 / 1000);

    WinTempDir dir;
    const auto file = dir.Path() / L"ALARM ąę.WAV";
    // 6 channels of 8-bit sound, 4 frames: the front pair is played.
    std::string wave = std::string("RIFF\x00\x00\x00\x00WAVEfmt \x10\x00\x00\x00\x01\x00\x06\x00", 24);
    wave += std::string("\x40\x1f\x00\x00\x80\xbb\x00\x00\x06\x00\x08\x00"
                        "data"
                        "\x18\x00\x00\x00",
                        20);
    wave += std::string(24, '\x80');
    std::ofstream(file, std::ios::binary) << wave;
    played.clear();
    deviceWorks = true;
    EXPECT_TRUE(sound.PlayAlarmWave(file, always));
    ASSERT_EQ(played.size(), 1u);
    EXPECT_EQ(played[0].channels, 2u);
    EXPECT_EQ(played[0].rate, 8000u);
    EXPECT_EQ(played[0].samples, 8u);
    deviceWorks = false;
    EXPECT_FALSE(sound.PlayAlarmWave(file, always));
    deviceWorks = true;
    EXPECT_FALSE(sound.PlayAlarmWave(dir.Path() / L"brak.wav", always));
    EXPECT_FALSE(sound.PlayAlarmWave(dir.Path(), always));
    // A stop before the first piece is a handled alarm, not a failure to fall back from.
    played.clear();
    EXPECT_TRUE(sound.PlayAlarmWave(file, [] { return false; }));
    EXPECT_TRUE(played.empty());
    // A file slower than any alarm sound (here 8000 Hz written as 1 Hz) is refused.
    std::string slow = wave;
    slow[24] = 1;
    slow[25] = 0;
    const auto slowFile = dir.Path() / L"slow.wav";
    std::ofstream(slowFile, std::ios::binary) << slow;
    EXPECT_FALSE(sound.PlayAlarmWave(slowFile, always));
}
