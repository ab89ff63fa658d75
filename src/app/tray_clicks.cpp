// The tray icon's click timing.
#include "app/tray_clicks.h"

void TrayClicks::LeftPress(Ms now)
{
    m_deadline = now + Interval();
}

TrayClicks::Event TrayClicks::LeftDoubleClick(Ms)
{
    if (m_noDoubleClick)
        return Event::None;
    m_doubleClicked = true;
    return Event::DoubleClick;
}

TrayClicks::Event TrayClicks::Poll(Ms now)
{
    if (!m_deadline || now < *m_deadline)
        return Event::None;
    m_deadline.reset();
    const bool wasDouble = m_doubleClicked;
    m_doubleClicked = false;
    return wasDouble ? Event::None : Event::Click;
}
