// Reading WAV files for a sound device that takes 16-bit samples: PCM of 8, 16, 24 and 32 bits and
// floating point of 32 and 64 bits, plain or in the extensible header. Anything else (compressed
// formats, a cut header, no sound at all) is refused, and the alarm falls back to its tones.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

struct WaveSound
{
    unsigned channels = 0;
    unsigned rate = 0;                  // frames per second
    std::vector<std::int16_t> samples;  // interleaved, a whole number of frames, never empty
};

struct WaveReadResult
{
    std::optional<WaveSound> sound;
    std::string error;  // why the file was refused, in a few words
};

// The file's bytes as a sound. A data chunk longer than the file (a file cut off while it was
// copied) gives the whole frames that are there.
WaveReadResult ReadWave(std::string_view bytes);
