// A RIFF WAVE reader: the chunks are walked by their sizes, every size checked against what is
// left, so that a damaged file is refused and never read past its end.
#include "platform/wave_file.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr std::uint16_t kFormatPcm = 1;
constexpr std::uint16_t kFormatFloat = 3;
constexpr std::uint16_t kFormatExtensible = 0xFFFE;
constexpr unsigned kMaxChannels = 32;

std::uint32_t U32(std::string_view b, std::size_t at)
{
    return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at]))
           | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8
           | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 16
           | static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3])) << 24;
}

std::uint16_t U16(std::string_view b, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8);
}

struct Format
{
    std::uint16_t code = 0;
    unsigned channels = 0;
    unsigned rate = 0;
    unsigned bits = 0;
    unsigned blockAlign = 0;
};

std::int16_t FromDouble(double value)
{
    if (std::isnan(value))
        return 0;
    // Louder than full scale is clipped, not folded over.
    return static_cast<std::int16_t>(std::lround(std::clamp(value * 32768.0, -32768.0, 32767.0)));
}

// One sample of `bytes` (little-endian, `width` bytes) as a 16-bit sample.
std::int16_t Sample(const Format& f, const unsigned char* p)
{
    if (f.code == kFormatFloat) {
        if (f.bits == 32) {
            const std::uint32_t raw = static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8
                                      | static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
            float value;
            std::memcpy(&value, &raw, sizeof value);
            return FromDouble(value);
        }
        std::uint64_t raw = 0;
        for (int i = 7; i >= 0; --i)
            raw = raw << 8 | p[i];
        double value;
        std::memcpy(&value, &raw, sizeof value);
        return FromDouble(value);
    }
    switch (f.bits) {
    case 8:  // unsigned, silence at 128
        return static_cast<std::int16_t>((p[0] - 128) * 256);
    case 16:
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | p[1] << 8));
    default:  // 24 and 32: the top 16 bits
        const unsigned width = f.bits / 8;
        return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[width - 2] | p[width - 1] << 8));
    }
}

// The "fmt " chunk of `declared` bytes at `chunk`, of which `left` are in the file; nullopt with
// `error` set when it is damaged.
std::optional<Format> ReadFormatChunk(std::string_view bytes, std::size_t chunk, std::uint32_t declared,
                                      std::size_t left, std::string& error)
{
    if (declared < 16 || declared > left) {
        error = "damaged format chunk";
        return std::nullopt;
    }
    Format f;
    f.code = U16(bytes, chunk);
    f.channels = U16(bytes, chunk + 2);
    f.rate = U32(bytes, chunk + 4);
    f.blockAlign = U16(bytes, chunk + 12);
    f.bits = U16(bytes, chunk + 14);
    if (f.code == kFormatExtensible) {
        // The real format is the first two bytes of the sub-format's GUID.
        if (declared < 40) {
            error = "damaged format chunk";
            return std::nullopt;
        }
        f.code = U16(bytes, chunk + 24);
    }
    return f;
}

// Why samples of format `f` cannot be played, or nullptr when they can.
const char* UnplayableFormat(const Format& f)
{
    const bool pcm = f.code == kFormatPcm && (f.bits == 8 || f.bits == 16 || f.bits == 24 || f.bits == 32);
    const bool floating = f.code == kFormatFloat && (f.bits == 32 || f.bits == 64);
    if (!pcm && !floating)
        return "unsupported sample format";
    if (f.channels == 0 || f.channels > kMaxChannels || f.rate == 0 || f.blockAlign != f.channels * (f.bits / 8))
        return "unsupported channel layout";
    return nullptr;
}

// The "data" chunk at `chunk` as 16-bit samples; a chunk declared longer than the file is cut at
// its end.
WaveReadResult ReadDataChunk(std::string_view bytes, std::size_t chunk, std::uint32_t declared, std::size_t left,
                             const Format& f)
{
    WaveReadResult result;
    if (const char* why = UnplayableFormat(f)) {
        result.error = why;
        return result;
    }
    const std::size_t frames = std::min<std::size_t>(declared, left) / f.blockAlign;
    if (frames == 0) {
        result.error = "no sound in the file";
        return result;
    }
    WaveSound sound;
    sound.channels = f.channels;
    sound.rate = f.rate;
    sound.samples.resize(frames * f.channels);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data() + chunk);
    const unsigned width = f.bits / 8;
    for (std::size_t i = 0; i < sound.samples.size(); ++i)
        sound.samples[i] = Sample(f, p + i * width);
    result.sound = std::move(sound);
    return result;
}

}  // namespace

WaveReadResult ReadWave(std::string_view bytes)
{
    WaveReadResult result;
    if (bytes.size() < 12 || bytes.substr(0, 4) != "RIFF" || bytes.substr(8, 4) != "WAVE") {
        result.error = "not a WAV file";
        return result;
    }
    std::optional<Format> format;
    std::size_t at = 12;
    while (at + 8 <= bytes.size()) {
        const std::string_view id = bytes.substr(at, 4);
        const std::uint32_t declared = U32(bytes, at + 4);
        at += 8;
        const std::size_t left = bytes.size() - at;
        if (id == "fmt ") {
            format = ReadFormatChunk(bytes, at, declared, left, result.error);
            if (!format)
                return result;
        } else if (id == "data") {
            if (!format) {
                result.error = "sound data before its format";
                return result;
            }
            return ReadDataChunk(bytes, at, declared, left, *format);
        }
        if (declared > left)
            break;
        at += declared + (declared & 1);  // chunks are padded to an even length
    }
    result.error = "no sound data";
    return result;
}
