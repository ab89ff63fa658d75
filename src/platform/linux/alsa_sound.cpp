// Tones and sound files on the default ALSA device.
#include "platform/linux/alsa_sound.h"

#include <alsa/asoundlib.h>
#include <dlfcn.h>
#include <sndfile.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

#include "platform/tone_samples.h"

namespace {

// How much sound ALSA may hold ahead of the speaker, microseconds.
constexpr unsigned kLatencyUs = 100000;

// A machine without a sound card is normal here, and the caller falls back or stays silent; ALSA
// would otherwise print its complaint on every tone.
void QuietAlsa(const char*, int, const char*, int, const char*, ...)
{
}

// Opening reads ALSA's shared configuration, which two threads (the alarm and the full-hour tone)
// should not do at the same moment.
std::mutex& OpenMutex()
{
    static std::mutex mutex;
    return mutex;
}

class Pcm
{
public:
    Pcm(unsigned channels, unsigned rate)
    {
        std::lock_guard lock(OpenMutex());
        // A blocking open of a device another program holds waits until it is let go, which could
        // be never: the alarm thread would hang and no later alarm could start. A busy device is
        // a failure like a missing one; the writes then block as usual.
        if (snd_pcm_open(&m_pcm, "default", SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK) < 0) {
            m_pcm = nullptr;
            return;
        }
        if (snd_pcm_nonblock(m_pcm, 0) < 0) {
            snd_pcm_close(m_pcm);
            m_pcm = nullptr;
            return;
        }
        if (snd_pcm_set_params(m_pcm, SND_PCM_FORMAT_S16, SND_PCM_ACCESS_RW_INTERLEAVED, channels, rate, 1, kLatencyUs)
            < 0) {
            snd_pcm_close(m_pcm);
            m_pcm = nullptr;
        }
        m_channels = channels;
    }
    ~Pcm()
    {
        if (m_pcm)
            snd_pcm_close(m_pcm);
    }
    Pcm(const Pcm&) = delete;
    Pcm& operator=(const Pcm&) = delete;

    explicit operator bool() const { return m_pcm != nullptr; }

    bool Write(const std::int16_t* frames, std::size_t count)
    {
        while (count > 0) {
            snd_pcm_sframes_t written = snd_pcm_writei(m_pcm, frames, count);
            if (written < 0) {
                // An underrun or a suspend is recoverable; anything else ends this sound.
                if (snd_pcm_recover(m_pcm, static_cast<int>(written), 1) < 0)
                    return false;
                continue;
            }
            frames += static_cast<std::size_t>(written) * m_channels;
            count -= static_cast<std::size_t>(written);
        }
        return true;
    }
    void Drain() { snd_pcm_drain(m_pcm); }

private:
    snd_pcm_t* m_pcm = nullptr;
    unsigned m_channels = 1;
};

// libsndfile and the codecs it links weigh a millisecond of every start, for a file the alarm
// plays once a day at most: it is loaded on the first play. Without it a file is unplayable and
// the alarm keeps to its tones.
struct SoundFileLibrary
{
    decltype(&sf_open_fd) open = nullptr;
    decltype(&sf_readf_float) readFloat = nullptr;
    decltype(&sf_close) close = nullptr;
};

const SoundFileLibrary* LoadSoundFileLibrary()
{
    static const std::optional<SoundFileLibrary> library = []() -> std::optional<SoundFileLibrary> {
        // Never unloaded: the pointers are kept for the program's life.
        void* handle = ::dlopen("libsndfile.so.1", RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            return std::nullopt;
        SoundFileLibrary found;
        found.open = reinterpret_cast<decltype(&sf_open_fd)>(::dlsym(handle, "sf_open_fd"));
        found.readFloat = reinterpret_cast<decltype(&sf_readf_float)>(::dlsym(handle, "sf_readf_float"));
        found.close = reinterpret_cast<decltype(&sf_close)>(::dlsym(handle, "sf_close"));
        if (!found.open || !found.readFloat || !found.close)
            return std::nullopt;
        return found;
    }();
    return library ? &*library : nullptr;
}

// 16-bit samples come back exactly; louder than full scale is clipped, not folded over.
std::int16_t ToSample(float value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<std::int16_t>(std::lround(std::clamp(value * 32768.0f, -32768.0f, 32767.0f)));
}

}  // namespace

AlsaSound::AlsaSound()
{
    static std::once_flag quiet;
    std::call_once(quiet, [] { snd_lib_error_set_handler(QuietAlsa); });
}

void AlsaSound::PlayTone(int frequency, int ms)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    if (frequency > 18 && ms > 0) {
        const std::vector<std::int16_t> samples = ToneSamples(frequency, ms);
        Pcm pcm(1, kToneRate);
        // A failed device is silent; the caller is still held for the tone's time below.
        if (pcm && pcm.Write(samples.data(), samples.size()))
            pcm.Drain();
    }
    // Callers time their pauses by the tone, so it lasts its time also when nothing plays it.
    std::this_thread::sleep_until(end);
}

namespace {

// A descriptor of `file` when it is a regular file, else -1: a FIFO in its place would hold the
// alarm thread in the open.
int OpenRegularFile(const std::filesystem::path& file)
{
    const int fd = ::open(file.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

struct WaveOutcome
{
    bool played = false;  // every piece read reached the device, and there was one
    bool cut = false;     // stopped by the caller
};

// Plays the open `sound` on a device of its own layout, a tenth of a second at a time.
WaveOutcome StreamToDevice(const SoundFileLibrary& library, SNDFILE* sound, const SF_INFO& info,
                           const std::function<bool()>& goOn)
{
    WaveOutcome outcome;
    if (info.channels <= 0 || info.channels > 32 || info.samplerate < kMinWaveRate)
        return outcome;
    const auto channels = static_cast<unsigned>(info.channels);
    Pcm pcm(channels, static_cast<unsigned>(info.samplerate));
    if (!pcm)
        return outcome;
    // A tenth of a second at most: the caller's stop and the alarm's end are looked at that often.
    const sf_count_t chunk = std::max<sf_count_t>(1, info.samplerate / 10);
    // Read as floats in -1..1 whatever the file holds: libsndfile hands floating-point files to a
    // reader of shorts unscaled, as a near-silent -1..1.
    std::vector<float> read(static_cast<std::size_t>(chunk) * channels);
    std::vector<std::int16_t> buffer(read.size());
    // A file with no sound in it (cut to its header) counts as unplayable, so that the alarm falls
    // back to the tones instead of staying mute.
    for (;;) {
        if (!goOn()) {
            outcome.cut = true;
            break;
        }
        const sf_count_t frames = library.readFloat(sound, read.data(), chunk);
        if (frames <= 0)
            break;
        const std::size_t count = static_cast<std::size_t>(frames) * channels;
        for (std::size_t i = 0; i < count; ++i)
            buffer[i] = ToSample(read[i]);
        if (!pcm.Write(buffer.data(), static_cast<std::size_t>(frames))) {
            outcome.played = false;
            break;
        }
        outcome.played = true;
    }
    // A stopped alarm drops what the device still holds instead of playing it out.
    if (outcome.played && !outcome.cut)
        pcm.Drain();
    return outcome;
}

}  // namespace

bool AlsaSound::PlayAlarmWave(const std::filesystem::path& file, const std::function<bool()>& goOn)
{
    const int fd = OpenRegularFile(file);
    if (fd < 0)
        return false;
    const SoundFileLibrary* library = LoadSoundFileLibrary();
    if (!library) {
        ::close(fd);
        return false;
    }
    SF_INFO info{};
    // libsndfile closes the descriptor with the sound (SF_TRUE), also when it cannot open it.
    SNDFILE* sound = library->open(fd, SFM_READ, &info, SF_TRUE);
    if (!sound)
        return false;
    const WaveOutcome outcome = StreamToDevice(*library, sound, info, goOn);
    library->close(sound);
    return outcome.played || outcome.cut;
}
