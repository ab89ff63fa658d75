// Turning the tray icon's raw mouse events into click and double-click notifications.
#pragma once

#include <cstdint>
#include <optional>

// Times are milliseconds on any steady clock; only differences matter.
//
// A left press starts a one-shot click timer. A double-click sets a flag and is reported at once;
// when the timer runs out, the click is reported unless that flag was set. So a single click is
// reported one double-click time after the press and a double-click reports only the
// double-click. With NoDoubleClick the timer is 1 ms and double-clicks are ignored, so a click
// is reported at once and a double-click gives exactly one click.
class TrayClicks
{
public:
    using Ms = std::int64_t;
    enum class Event
    {
        None,
        Click,
        DoubleClick
    };

    void SetDoubleClickTime(Ms ms) { m_doubleClickTime = ms > 0 ? ms : 1; }
    void SetNoDoubleClick(bool value) { m_noDoubleClick = value; }
    bool NoDoubleClick() const { return m_noDoubleClick; }
    // The click timer's interval.
    Ms Interval() const { return m_noDoubleClick ? 1 : m_doubleClickTime; }

    // A press restarts a running timer.
    void LeftPress(Ms now);
    Event LeftDoubleClick(Ms now);
    // The timer's expiry: Click when one is due at `now`; a call before the deadline changes
    // nothing, so an early wake-up of the caller's timer cannot report a click too soon.
    Event Poll(Ms now);
    // When the caller should call Poll next; empty while the timer is stopped.
    std::optional<Ms> Deadline() const { return m_deadline; }

private:
    Ms m_doubleClickTime = 400;
    bool m_noDoubleClick = false;
    bool m_doubleClicked = false;
    std::optional<Ms> m_deadline;
};
