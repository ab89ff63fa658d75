// Tone synthesis shared by the sound devices.
#include "platform/tone_samples.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double kToneAmplitude = 0.4 * 32767;
constexpr int kFadeMs = 5;

}  // namespace

std::vector<std::int16_t> ToneSamples(int frequency, int ms)
{
    const std::size_t count = static_cast<std::size_t>(ms) * kToneRate / 1000;
    const std::size_t fade = std::min<std::size_t>(kFadeMs * kToneRate / 1000, count / 2);
    std::vector<std::int16_t> samples(count);
    const double step = 2 * std::numbers::pi * frequency / kToneRate;
    for (std::size_t i = 0; i < count; ++i) {
        double gain = 1.0;
        if (i < fade)
            gain = static_cast<double>(i) / static_cast<double>(fade);
        else if (count - i <= fade)
            gain = static_cast<double>(count - i - 1) / static_cast<double>(fade);
        samples[i] = static_cast<std::int16_t>(
            std::lround(kToneAmplitude * gain * std::sin(step * static_cast<double>(i))));
    }
    return samples;
}
