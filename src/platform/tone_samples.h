// The samples of a tone as every sound device plays it.
#pragma once

#include <cstdint>
#include <vector>

// Frames per second of the tones.
inline constexpr unsigned kToneRate = 48000;

// A sine of `frequency` Hz lasting `ms` milliseconds at kToneRate, mono, with short fades at both
// ends so that the speaker does not click.
std::vector<std::int16_t> ToneSamples(int frequency, int ms);
