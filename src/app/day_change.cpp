// The day moving on at midnight.
#include "app/day_change.h"

std::optional<DayChange> DayChangeWatch::Tick(TDateTime now, TDateTime selected, bool editing)
{
    const TDateTime today = DateOf(now);
    if (today == m_today)
        return std::nullopt;
    const bool wasOnToday = DateOf(selected) == m_today;
    m_today = today;
    return DayChange{today, wasOnToday && !editing};
}
