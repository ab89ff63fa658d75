// Reading and setting the local clock.
#include "clock/local_time.h"

#include <cmath>

#include "clock/drift.h"

TDateTime LocalNow(const SystemClock& clock)
{
    const SystemClock::TimePoint now = clock.Now();
    return LocalDateTime(now, clock.UtcOffset(now));
}

ClockChange SetLocalTime(SystemClock& clock, TDateTime local)
{
    const double deltaMs = (local - LocalNow(clock)) * kMsPerDay;
    return clock.Shift(std::chrono::microseconds(std::llround(deltaMs * 1000)));
}

std::optional<ClockChange> ShiftLocalTime(SystemClock& clock, double seconds)
{
    const auto target = ShiftedLocalTime(LocalNow(clock), seconds);
    if (!target)
        return std::nullopt;
    return SetLocalTime(clock, *target);
}

std::string ClockChangeReason(const ClockChange& change)
{
    switch (change.error) {
    case ClockChangeError::None:
        break;
    case ClockChangeError::NoPrivilege:
        return "brak uprawnień do zmiany czasu systemowego";
    case ClockChangeError::Refused:
        return "system odmówił zmiany czasu (brak autoryzacji)";
    case ClockChangeError::AutomaticSync:
        return "w systemie jest włączona automatyczna synchronizacja czasu";
    case ClockChangeError::Failed:
        return change.detail.empty() ? std::string("nieznany błąd") : "błąd: " + change.detail;
    }
    return {};
}
