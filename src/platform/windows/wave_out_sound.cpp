// Tones and WAV files on the default waveOut device, with the timing of the Linux player: a tone
// lasts its time also when nothing plays it, and a file that cannot be played says so, so that
// the alarm falls back to its tones.
#include "platform/windows/wave_out_sound.h"

#include <windows.h>
#include <mmsystem.h>

#include <chrono>
#include <thread>
#include <vector>

#include "platform/tone_samples.h"
#include "platform/wave_file.h"
#include "platform/windows/windows_file.h"

namespace {

// A larger file is no alarm sound; reading it whole would only fill the memory.
constexpr std::uint64_t kMaxWaveBytes = 64u << 20;

}  // namespace

bool PlayOnWaveOut(unsigned channels, unsigned rate, std::span<const std::int16_t> samples)
{
    if (channels == 0 || channels > 2 || samples.empty())
        return false;
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channels * 2);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    const HANDLE done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!done)
        return false;
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT)
        != MMSYSERR_NOERROR) {
        CloseHandle(done);
        return false;
    }
    WaitForSingleObject(done, 0);  // the open's own signal
    WAVEHDR header{};
    header.lpData = reinterpret_cast<LPSTR>(const_cast<std::int16_t*>(samples.data()));
    header.dwBufferLength = static_cast<DWORD>(samples.size_bytes());
    bool played = false;
    if (waveOutPrepareHeader(device, &header, sizeof header) == MMSYSERR_NOERROR) {
        if (waveOutWrite(device, &header, sizeof header) == MMSYSERR_NOERROR) {
            // Bounded: a device that stops calling back must not hold the alarm thread for ever.
            const auto length = std::chrono::milliseconds(samples.size() / channels * 1000 / rate);
            const auto limit = std::chrono::steady_clock::now() + length + std::chrono::seconds(5);
            while (!(header.dwFlags & WHDR_DONE) && std::chrono::steady_clock::now() < limit)
                WaitForSingleObject(done, 100);
            played = (header.dwFlags & WHDR_DONE) != 0;
            if (!played)
                waveOutReset(device);
        }
        waveOutUnprepareHeader(device, &header, sizeof header);
    }
    waveOutClose(device);
    CloseHandle(done);
    return played;
}

WaveOutSound::WaveOutSound() : m_device(PlayOnWaveOut)
{
}

void WaveOutSound::PlayTone(int frequency, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    if (frequency > 18 && ms > 0) {
        const std::vector<std::int16_t> samples = ToneSamples(frequency, ms);
        // A failed device is silent; the caller is still held for the tone's time below.
        (void)m_device(1, kToneRate, samples);
    }
    // Callers time their pauses by the tone, so it lasts its time also when nothing plays it. The
    // system's sleep may wake a little early, by its timer's granularity.
    while (std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_until(end);
}

bool WaveOutSound::PlayAlarmWave(const std::filesystem::path& file)
{
    std::string bytes;
    if (ReadRegularFile(file, bytes) || bytes.size() > kMaxWaveBytes)
        return false;
    WaveReadResult read = ReadWave(bytes);
    if (!read.sound)
        return false;
    WaveSound& sound = *read.sound;
    // waveOut takes one or two channels; of more, the front pair is what a listener hears most.
    if (sound.channels > 2) {
        std::vector<std::int16_t> front;
        front.reserve(sound.samples.size() / sound.channels * 2);
        for (std::size_t i = 0; i < sound.samples.size(); i += sound.channels) {
            front.push_back(sound.samples[i]);
            front.push_back(sound.samples[i + 1]);
        }
        sound.samples = std::move(front);
        sound.channels = 2;
    }
    return m_device(sound.channels, sound.rate, sound.samples);
}
