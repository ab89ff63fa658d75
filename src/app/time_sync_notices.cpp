// How often the ends of network time runs speak up.
#include "app/time_sync_notices.h"

TimeSyncNotices::LargeStepTold TimeSyncNotices::OnLargeStep(bool byUser, bool windowInView)
{
    if (byUser || windowInView)
        return LargeStepTold::Ask;
    if (m_largeStepNoticeGiven)
        return LargeStepTold::Nothing;
    m_largeStepNoticeGiven = true;
    return LargeStepTold::Notify;
}

bool TimeSyncNotices::TellClockNotSet(TDateTime today)
{
    today = DateOf(today);
    if (m_clockNotSetToldOn == today)
        return false;
    m_clockNotSetToldOn = today;
    return true;
}
