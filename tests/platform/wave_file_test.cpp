// The WAV reader: every sample format the alarm sound may come in, and the damaged files that
// must be refused rather than read past their end.
#include "platform/wave_file.h"

#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

void PutU16(std::string& out, unsigned value)
{
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>(value >> 8 & 0xFF);
}

void PutU32(std::string& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(value >> (8 * i) & 0xFF);
}

// A WAV file of `format` (1 PCM, 3 float, or 0xFFFE with `subFormat`) holding `data` as it is.
std::string Wave(unsigned format, unsigned channels, unsigned bits, const std::string& data, unsigned subFormat = 0,
                 std::string extraChunk = {})
{
    std::string fmt;
    PutU16(fmt, format);
    PutU16(fmt, channels);
    PutU32(fmt, 8000);
    PutU32(fmt, 8000 * channels * bits / 8);
    PutU16(fmt, channels * bits / 8);
    PutU16(fmt, bits);
    if (format == 0xFFFE) {
        PutU16(fmt, 22);
        PutU16(fmt, bits);
        PutU32(fmt, 0);
        PutU16(fmt, subFormat);
        fmt += std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }
    std::string body = "WAVE";
    body += "fmt ";
    PutU32(body, static_cast<std::uint32_t>(fmt.size()));
    body += fmt;
    body += extraChunk;
    body += "data";
    PutU32(body, static_cast<std::uint32_t>(data.size()));
    body += data;
    std::string file = "RIFF";
    PutU32(file, static_cast<std::uint32_t>(body.size()));
    return file + body;
}

std::vector<std::int16_t> Samples(const std::string& file)
{
    const WaveReadResult read = ReadWave(file);
    EXPECT_TRUE(read.sound) << read.error;
    return read.sound ? read.sound->samples : std::vector<std::int16_t>();
}

std::string FloatBytes(std::initializer_list<float> values)
{
    std::string out;
    for (float v : values) {
        char raw[4];
        std::memcpy(raw, &v, 4);
        out.append(raw, 4);
    }
    return out;
}

}  // namespace

TEST(WaveFile, EverySampleFormatComesOutAsSixteenBits)
{
    // 8-bit is unsigned around 128; wider samples keep their top 16 bits.
    EXPECT_EQ(Samples(Wave(1, 1, 8, std::string("\x80\xFF\x00", 3))), (std::vector<std::int16_t>{0, 32512, -32768}));
    EXPECT_EQ(Samples(Wave(1, 2, 16, std::string("\x01\x00\xFF\xFF", 4))), (std::vector<std::int16_t>{1, -1}));
    EXPECT_EQ(Samples(Wave(1, 1, 24, std::string("\x55\x34\x12\x00\x00\x80", 6))),
              (std::vector<std::int16_t>{0x1234, -32768}));
    EXPECT_EQ(Samples(Wave(1, 1, 32, std::string("\x00\x00\x34\x12", 4))), (std::vector<std::int16_t>{0x1234}));
    // Floating point: full scale and beyond are clipped, not folded over; NaN is silence.
    EXPECT_EQ(Samples(Wave(3, 1, 32, FloatBytes({0.5f, 2.0f, -2.0f, std::numeric_limits<float>::quiet_NaN()}))),
              (std::vector<std::int16_t>{16384, 32767, -32768, 0}));
    std::string doubles(16, '\0');
    const double values[2] = {-0.25, 1.0};
    std::memcpy(doubles.data(), values, 16);
    EXPECT_EQ(Samples(Wave(3, 1, 64, doubles)), (std::vector<std::int16_t>{-8192, 32767}));
    // The extensible header names the real format in its sub-format.
    EXPECT_EQ(Samples(Wave(0xFFFE, 1, 16, std::string("\x02\x00", 2), 1)), (std::vector<std::int16_t>{2}));
    EXPECT_EQ(Samples(Wave(0xFFFE, 1, 32, FloatBytes({-0.5f}), 3)), (std::vector<std::int16_t>{-16384}));
}

TEST(WaveFile, ChunksAreWalkedAndACutFileGivesItsWholeFrames)
{
    // An odd-length chunk before the data is padded to an even length.
    std::string list = "LIST";
    PutU32(list, 3);
    list += std::string("abc\0", 4);
    const std::string withList = Wave(1, 1, 16, std::string("\x07\x00", 2), 0, list);
    EXPECT_EQ(Samples(withList), (std::vector<std::int16_t>{7}));
    // Cut in the middle of the second stereo frame: the first frame is all there is.
    const std::string whole = Wave(1, 2, 16, std::string("\x01\x00\x02\x00\x03\x00\x04\x00", 8));
    const WaveReadResult cut = ReadWave(std::string_view(whole).substr(0, whole.size() - 3));
    ASSERT_TRUE(cut.sound);
    EXPECT_EQ(cut.sound->samples, (std::vector<std::int16_t>{1, 2}));
    EXPECT_EQ(cut.sound->channels, 2u);
    EXPECT_EQ(cut.sound->rate, 8000u);
}

TEST(WaveFile, WhatCannotBePlayedIsRefused)
{
    const std::string sample("\x01\x00", 2);
    const std::string good = Wave(1, 1, 16, sample);
    const std::vector<std::pair<const char*, std::string>> cases = {
        {"empty", ""},
        {"not RIFF", "RIFX" + good.substr(4)},
        {"cut header", good.substr(0, 30)},
        {"compressed (ADPCM)", Wave(2, 1, 16, sample)},
        {"12-bit PCM", Wave(1, 1, 12, sample)},
        {"16-bit float", Wave(3, 1, 16, sample)},
        {"no channels", Wave(1, 0, 16, sample)},
        {"no sound", Wave(1, 1, 16, "")},
        {"half a frame", Wave(1, 1, 16, "\x01")},
        {"A-law in the extensible header", Wave(0xFFFE, 1, 16, sample, 6)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const WaveReadResult read = ReadWave(bytes);
        EXPECT_FALSE(read.sound);
        EXPECT_FALSE(read.error.empty());
    }
    // A format chunk claiming more than the file holds is not read past the end.
    std::string huge = good;
    huge[16] = '\xFF';
    huge[17] = '\xFF';
    EXPECT_FALSE(ReadWave(huge).sound);
}
