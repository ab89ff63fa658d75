// Fuzz target: whatever the settings hold as the alarm time, the clock bar's logic never crashes,
// accepts only "hh:nn" within the day, and its countdown is always " hh:nn:ss" within the day.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "clock/alarm_clock.h"

namespace {

bool IsCountdown(const std::string& caption)
{
    if (caption.size() != 9 || caption[0] != ' ' || caption[3] != ':' || caption[6] != ':')
        return false;
    for (std::size_t i : {1u, 2u, 4u, 5u, 7u, 8u})
        if (caption[i] < '0' || caption[i] > '9')
            return false;
    return (caption[1] - '0') * 10 + (caption[2] - '0') < 24 && caption[4] < '6' && caption[7] < '6';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // The first two bytes pick the moment of the press (seconds into a day of 2024); the rest is
    // the stored text.
    const long long second = size >= 2 ? (data[0] << 8 | data[1]) * 86400LL / 65536 : 0;
    const std::string text(reinterpret_cast<const char*>(data) + (size >= 2 ? 2 : 0), size >= 2 ? size - 2 : size);
    const TDateTime now = EncodeDate(2024, 5, 17) + static_cast<double>(second) / 86400.0;

    const auto time = ParseAlarmText(text);
    if (time && (text.size() != 5 || *time < 0 || *time >= 1))
        std::abort();
    AlarmClock clock;
    clock.AlarmTextChanged(text, false);
    if (clock.Press(now) != time.has_value())
        std::abort();
    for (int i = 0; i < 30; ++i) {
        const ClockTickResult tick = clock.Tick(now + i * 0.7 / 86400, false);
        if (tick.secondChanged && tick.clockText.size() != 8)
            std::abort();
        if (clock.ToggleDown() && !IsCountdown(clock.Caption()))
            std::abort();
    }
    return 0;
}
