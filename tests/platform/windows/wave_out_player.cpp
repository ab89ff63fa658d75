// Plays through the real waveOut device what the alarm plays: a tone pair, then a wave file when
// one is named. Run under Wine by wave_out_capture.sh, which records Wine's ALSA output.
#include "platform/windows/wave_out_sound.h"

#include <cstdio>
#include <filesystem>

int main(int argc, char** argv)
{
    WaveOutSound sound;
    sound.PlayTone(1000, 200);
    sound.PlayTone(600, 200);
    if (argc > 1 && !sound.PlayAlarmWave(std::filesystem::path(argv[1]), [] { return true; })) {
        std::fprintf(stderr, "the wave file did not play\n");
        return 1;
    }
    return 0;
}
