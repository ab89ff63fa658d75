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

WAVEFORMATEX Pcm16Format(unsigned channels, unsigned rate)
{
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = static_cast<WORD>(channels);
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = static_cast<WORD>(channels * 2);
    format.nAvgBytesPerSec = rate * format.nBlockAlign;
    return format;
}

// One sound going to an open device piece by piece; `done` is signalled as pieces finish.
struct WaveOutStream
{
    HWAVEOUT device = nullptr;
    HANDLE done = nullptr;
    std::vector<WAVEHDR> headers;
    std::size_t written = 0;   // pieces handed to the device
    std::size_t finished = 0;  // pieces it has played
    bool failed = false;
    bool cut = false;  // stopped by the caller
};

// Bounded: a device that stops calling back must not hold the alarm thread for ever.
void WaitForOldest(WaveOutStream& s)
{
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!(s.headers[s.finished].dwFlags & WHDR_DONE) && std::chrono::steady_clock::now() < limit)
        WaitForSingleObject(s.done, 50);
    if (!(s.headers[s.finished].dwFlags & WHDR_DONE))
        s.failed = true;
    ++s.finished;
}

// Hands the pieces of `piece` samples to the device, two ahead of the speaker, until all are
// written, the device fails or `goOn` says stop.
void WritePieces(WaveOutStream& s, std::span<const std::int16_t> samples, std::size_t piece,
                 const std::function<bool()>& goOn)
{
    while (s.written < s.headers.size() && !s.failed) {
        if (!goOn()) {
            s.cut = true;
            return;
        }
        WAVEHDR& header = s.headers[s.written];
        const std::size_t start = s.written * piece;
        const std::size_t count = std::min(piece, samples.size() - start);
        header.lpData = reinterpret_cast<LPSTR>(const_cast<std::int16_t*>(samples.data() + start));
        header.dwBufferLength = static_cast<DWORD>(count * sizeof(std::int16_t));
        if (waveOutPrepareHeader(s.device, &header, sizeof header) != MMSYSERR_NOERROR
            || waveOutWrite(s.device, &header, sizeof header) != MMSYSERR_NOERROR) {
            s.failed = true;
            return;
        }
        ++s.written;
        if (s.written - s.finished > 2)
            WaitForOldest(s);
    }
}

// Plays out what the device holds, or drops it after a stop or a failure, and takes the pieces back.
void FinishPieces(WaveOutStream& s)
{
    if (s.cut || s.failed)
        waveOutReset(s.device);
    while (s.finished < s.written && !s.failed)
        WaitForOldest(s);
    if (s.failed)
        waveOutReset(s.device);
    for (std::size_t i = 0; i < s.written; ++i)
        waveOutUnprepareHeader(s.device, &s.headers[i], sizeof s.headers[i]);
}

}  // namespace

bool PlayOnWaveOut(unsigned channels, unsigned rate, std::span<const std::int16_t> samples,
                   const std::function<bool()>& goOn)
{
    if (channels == 0 || channels > 2 || rate == 0 || samples.empty())
        return false;
    const WAVEFORMATEX format = Pcm16Format(channels, rate);
    WaveOutStream stream;
    stream.done = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (!stream.done)
        return false;
    if (waveOutOpen(&stream.device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(stream.done), 0, CALLBACK_EVENT)
        != MMSYSERR_NOERROR) {
        CloseHandle(stream.done);
        return false;
    }
    // Pieces of a tenth of a second: enough to play without gaps, little enough that a stop is
    // heard at once.
    const std::size_t piece = std::max<std::size_t>(1, rate / 10) * channels;
    stream.headers.resize((samples.size() + piece - 1) / piece);
    WritePieces(stream, samples, piece, goOn);
    // A stopped alarm drops what the device still holds instead of playing it out.
    FinishPieces(stream);
    waveOutClose(stream.device);
    CloseHandle(stream.done);
    return (stream.written > 0 && !stream.failed) || stream.cut;
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
