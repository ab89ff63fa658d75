// The ALSA sound on a machine without a sound card: ALSA's default device is pointed at its
// "file" plugin over a "null" device, and the samples it writes are checked.
#include "platform/linux/alsa_sound.h"

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

class AlsaSoundTest : public testing::Test
{
protected:
    // ALSA reads its configuration once per process, so every test of the process shares it.
    static void SetUpTestSuite()
    {
        s_dir = new TempDir;
        s_output = s_dir->Path() / "played.raw";
        WriteWholeFile(s_dir->Path() / "asound.conf", "pcm.!default {\n"
                                                      "    type file\n"
                                                      "    slave.pcm { type null }\n"
                                                      "    file \""
                                                          + s_output.string()
                                                          + "\"\n"
                                                            "    format \"raw\"\n"
                                                            "}\n");
        ::setenv("ALSA_CONFIG_PATH", (s_dir->Path() / "asound.conf").c_str(), 1);
    }
    static void TearDownTestSuite()
    {
        ::unsetenv("ALSA_CONFIG_PATH");
        delete s_dir;
        s_dir = nullptr;
    }
    void SetUp() override { std::filesystem::remove(s_output); }

    static std::vector<std::int16_t> Played()
    {
        const std::string bytes = ReadWholeFile(s_output);
        std::vector<std::int16_t> samples(bytes.size() / 2);
        if (!samples.empty())
            std::memcpy(samples.data(), bytes.data(), samples.size() * 2);
        return samples;
    }

    static TempDir* s_dir;
    static std::filesystem::path s_output;
};

TempDir* AlsaSoundTest::s_dir = nullptr;
std::filesystem::path AlsaSoundTest::s_output;

void Append16(std::string& out, std::uint16_t v)
{
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>(v >> 8);
}

void Append32(std::string& out, std::uint32_t v)
{
    Append16(out, static_cast<std::uint16_t>(v & 0xFFFF));
    Append16(out, static_cast<std::uint16_t>(v >> 16));
}

// A PCM WAV file, 16-bit, `channels` interleaved, written field by field.
std::string WaveFile(const std::vector<std::int16_t>& samples, std::uint32_t rate, std::uint16_t channels = 1)
{
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::string out = "RIFF";
    Append32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    Append32(out, 16);
    Append16(out, 1);  // PCM
    Append16(out, channels);
    Append32(out, rate);
    Append32(out, rate * 2 * channels);
    Append16(out, static_cast<std::uint16_t>(2 * channels));
    Append16(out, 16);
    out += "data";
    Append32(out, dataBytes);
    for (std::int16_t s : samples)
        Append16(out, static_cast<std::uint16_t>(s));
    return out;
}

}  // namespace

TEST_F(AlsaSoundTest, ToneHasItsFrequencyAndLength)
{
    AlsaSound sound;
    const auto before = std::chrono::steady_clock::now();
    sound.PlayTone(1000, 200);
    const auto took = std::chrono::steady_clock::now() - before;
    // The caller is held for the tone's time even though the null device plays at once.
    EXPECT_GE(took, std::chrono::milliseconds(195));
    EXPECT_LT(took, std::chrono::milliseconds(1000));

    const std::vector<std::int16_t> samples = Played();
    constexpr double kRate = 48000;
    EXPECT_NEAR(static_cast<double>(samples.size()) / kRate, 0.200, 0.020);
    // Frequency from the rising zero crossings between the first and the last.
    std::vector<std::size_t> rising;
    for (std::size_t i = 1; i < samples.size(); ++i)
        if (samples[i - 1] < 0 && samples[i] >= 0)
            rising.push_back(i);
    ASSERT_GE(rising.size(), 100u);
    const double periods = static_cast<double>(rising.size() - 1);
    const double frequency = periods * kRate / static_cast<double>(rising.back() - rising.front());
    EXPECT_NEAR(frequency, 1000, 10);
    // Faded in and out: no click at either end.
    EXPECT_LT(std::abs(samples.front()), 500);
    EXPECT_LT(std::abs(samples.back()), 500);
}

TEST_F(AlsaSoundTest, LowFrequencyIsSilenceForTheDuration)
{
    AlsaSound sound;
    const auto before = std::chrono::steady_clock::now();
    sound.PlayTone(18, 150);
    EXPECT_GE(std::chrono::steady_clock::now() - before, std::chrono::milliseconds(145));
    EXPECT_TRUE(Played().empty());
}

TEST_F(AlsaSoundTest, WaveFileArrivesUnchanged)
{
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 4000; ++i)
        samples.push_back(static_cast<std::int16_t>((i * 7919) % 60000 - 30000));
    const auto wave = s_dir->Path() / "ALARM.WAV";
    WriteWholeFile(wave, WaveFile(samples, 8000));
    AlsaSound sound;
    ASSERT_TRUE(sound.PlayAlarmWave(wave, [] { return true; }));
    EXPECT_EQ(Played(), samples);
}

TEST_F(AlsaSoundTest, ManyChannelsAndAnOddRateArriveUnchangedOverSeveralBlocks)
{
    // Three channels at 11025 Hz, longer than one block read from the file.
    std::vector<std::int16_t> samples;
    for (int i = 0; i < 3 * 5000; ++i)
        samples.push_back(static_cast<std::int16_t>((i * 104729) % 60000 - 30000));
    const auto wave = s_dir->Path() / "three.wav";
    WriteWholeFile(wave, WaveFile(samples, 11025, 3));
    AlsaSound sound;
    ASSERT_TRUE(sound.PlayAlarmWave(wave, [] { return true; }));
    EXPECT_EQ(Played(), samples);
}

TEST_F(AlsaSoundTest, FloatFileKeepsItsLevelAndIsClippedBeyondFullScale)
{
    // A floating-point file plays as loud as it is, not as a whisper; it may peak above full
    // scale, which must clip rather than fold over into a crackle.
    const std::vector<float> values = {0.5f, 1.5f, -1.5f, 1.0f, -1.0f};
    std::string data;
    for (float v : values) {
        std::uint32_t bits = 0;
        std::memcpy(&bits, &v, 4);
        Append32(data, bits);
    }
    std::string file = "RIFF";
    Append32(file, static_cast<std::uint32_t>(36 + data.size()));
    file += "WAVEfmt ";
    Append32(file, 16);
    Append16(file, 3);  // IEEE float
    Append16(file, 1);
    Append32(file, 8000);
    Append32(file, 8000 * 4);
    Append16(file, 4);
    Append16(file, 32);
    file += "data";
    Append32(file, static_cast<std::uint32_t>(data.size()));
    file += data;
    const auto wave = s_dir->Path() / "loud.wav";
    WriteWholeFile(wave, file);
    AlsaSound sound;
    ASSERT_TRUE(sound.PlayAlarmWave(wave, [] { return true; }));
    const std::vector<std::int16_t> played = Played();
    ASSERT_EQ(played.size(), values.size());
    EXPECT_NEAR(played[0], 16384, 2);
    EXPECT_GE(played[1], 32766);
    EXPECT_LE(played[2], -32767);
    EXPECT_GE(played[3], 32766);
    EXPECT_LE(played[4], -32767);
}

TEST_F(AlsaSoundTest, MissingOrBrokenFileIsAFailure)
{
    AlsaSound sound;
    EXPECT_FALSE(sound.PlayAlarmWave(s_dir->Path() / "nothing.wav", [] { return true; }));
    const auto broken = s_dir->Path() / "broken.wav";
    WriteWholeFile(broken, "RIFF\x10\0\0\0WAVEjunk");
    EXPECT_FALSE(sound.PlayAlarmWave(broken, [] { return true; }));
}

TEST_F(AlsaSoundTest, WaveFileWithoutSamplesIsAFailure)
{
    // A file cut to its header plays nothing; the alarm must fall back to the tones, not stay mute.
    const auto empty = s_dir->Path() / "empty.wav";
    WriteWholeFile(empty, WaveFile({}, 8000));
    AlsaSound sound;
    EXPECT_FALSE(sound.PlayAlarmWave(empty, [] { return true; }));
}

TEST_F(AlsaSoundTest, AStopOrTheAlarmsEndIsSeenWithinATenthOfASecondOfAnyWave)
{
    // Ten seconds at 48 kHz: asked before every piece, a "no" after the third ends it there.
    const auto wave = s_dir->Path() / "long.wav";
    WriteWholeFile(wave, WaveFile(std::vector<std::int16_t>(480000, 1000), 48000));
    AlsaSound sound;
    int asked = 0;
    EXPECT_TRUE(sound.PlayAlarmWave(wave, [&asked] { return ++asked <= 3; }));
    EXPECT_EQ(asked, 4);
    EXPECT_EQ(Played().size(), 3u * 4800u);

    // At 4000 Hz the pieces are 400 samples, still a tenth of a second.
    std::filesystem::remove(s_output);
    WriteWholeFile(wave, WaveFile(std::vector<std::int16_t>(4000, 1000), 4000));
    asked = 0;
    EXPECT_TRUE(sound.PlayAlarmWave(wave, [&asked] { return ++asked <= 2; }));
    EXPECT_EQ(Played().size(), 800u);
}

TEST_F(AlsaSoundTest, SlowerThan4000SamplesASecondOrNoFileIsRefusedForTheTones)
{
    // A 1 Hz file would keep the alarm for hours; 3999 Hz is as unplayable.
    const auto slow = s_dir->Path() / "slow.wav";
    AlsaSound sound;
    for (std::uint32_t rate : {1u, 3999u}) {
        WriteWholeFile(slow, WaveFile(std::vector<std::int16_t>(100, 1000), rate));
        EXPECT_FALSE(sound.PlayAlarmWave(slow, [] { return true; })) << rate;
    }
    EXPECT_TRUE(Played().empty());
    // A FIFO in the file's place is no file, and is not waited on.
    const auto fifo = s_dir->Path() / "fifo.wav";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(sound.PlayAlarmWave(fifo, [] { return true; }));
}
