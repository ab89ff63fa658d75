// Tones and WAV files on the default waveOut device, with the timing of the Linux player: a tone
// lasts its time also when nothing plays it, and a file that cannot be played says so, so that
// the alarm falls back to its tones.
#include "platform/windows/wave_out_sound.h"

#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "platform/tone_samples.h"
#include "platform/read_file.h"
#include "platform/wave_file.h"
#include "platform/windows/windows_file.h"

namespace {

// A larger file is no alarm sound; reading it whole would only fill the memory.
constexpr std::uint64_t kMaxWaveBytes = 64u << 20;

}  // namespace

bool PlayOnWaveOut(unsigned channels, unsigned rate, std::span<const std::int16_t> samples,
                   const std::function<bool()>& goOn)
{
    if (channels == 0 || channels > 2 || rate == 0 || samples.empty())
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
    // Pieces of a tenth of a second, two ahead of the speaker: enough to play without gaps, little
    // enough that a stop is heard at once.
    const std::size_t piece = std::max<std::size_t>(1, rate / 10) * channels;
    const std::size_t pieces = (samples.size() + piece - 1) / piece;
    std::vector<WAVEHDR> headers(pieces);
    std::size_t written = 0;
    std::size_t finished = 0;
    bool failed = false;
    bool cut = false;
    // Bounded: a device that stops calling back must not hold the alarm thread for ever.
    const auto waitForOldest = [&] {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!(headers[finished].dwFlags & WHDR_DONE) && std::chrono::steady_clock::now() < limit)
            WaitForSingleObject(done, 50);
        if (!(headers[finished].dwFlags & WHDR_DONE))
            failed = true;
        ++finished;
    };
    while (written < pieces && !failed) {
        if (!goOn()) {
            cut = true;
            break;
        }
        WAVEHDR& header = headers[written];
        const std::size_t start = written * piece;
        const std::size_t count = std::min(piece, samples.size() - start);
        header.lpData = reinterpret_cast<LPSTR>(const_cast<std::int16_t*>(samples.data() + start));
        header.dwBufferLength = static_cast<DWORD>(count * sizeof(std::int16_t));
        if (waveOutPrepareHeader(device, &header, sizeof header) != MMSYSERR_NOERROR
            || waveOutWrite(device, &header, sizeof header) != MMSYSERR_NOERROR) {
            failed = true;
            break;
        }
        ++written;
        if (written - finished > 2)
            waitForOldest();
    }
    // A stopped alarm drops what the device still holds instead of playing it out.
    if (cut || failed)
        waveOutReset(device);
    while (finished < written && !failed)
        waitForOldest();
    if (failed)
        waveOutReset(device);
    for (std::size_t i = 0; i < written; ++i)
        waveOutUnprepareHeader(device, &headers[i], sizeof headers[i]);
    waveOutClose(device);
    CloseHandle(done);
    return (written > 0 && !failed) || cut;
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
        (void)m_device(1, kToneRate, samples, [] { return true; });
    }
    // Callers time their pauses by the tone, so it lasts its time also when nothing plays it. The
    // system's sleep may wake a little early, by its timer's granularity.
    while (std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_until(end);
}

bool WaveOutSound::PlayAlarmWave(const std::filesystem::path& file, const std::function<bool()>& goOn)
{
    std::string bytes;
    if (ReadFileSafely(file, kMaxWaveBytes, bytes))
        return false;
    WaveReadResult read = ReadWave(bytes);
    if (!read.sound || read.sound->rate < static_cast<unsigned>(kMinWaveRate))
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
    return m_device(sound.channels, sound.rate, sound.samples, goOn);
}
