// The WAV reader on arbitrary bytes: it must never crash or read past the end, and whatever it
// accepts must be a whole number of frames of a sound a device can be opened for.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/wave_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const WaveReadResult read = ReadWave(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!read.sound) {
        if (read.error.empty())
            std::abort();
        return 0;
    }
    const WaveSound& sound = *read.sound;
    if (sound.channels == 0 || sound.rate == 0 || sound.samples.empty() || sound.samples.size() % sound.channels != 0)
        std::abort();
    // No more samples than the file could hold at one byte a sample.
    if (sound.samples.size() > size)
        std::abort();
    return 0;
}
