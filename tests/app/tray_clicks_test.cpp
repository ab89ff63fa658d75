// Click and double-click decisions of the tray icon, driven by hand-made timestamps.
#include "app/tray_clicks.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Event = TrayClicks::Event;

// A mouse script on the icon: 'p' a left press, 'd' a double-click (which platforms send in place
// of the second press); every step carries its time in ms. Poll runs every millisecond in between, as
// the timer would, and the reported events are collected.
struct Step
{
    TrayClicks::Ms at;
    char what;
};

std::string Replay(bool noDoubleClick, const std::vector<Step>& steps, TrayClicks::Ms until)
{
    TrayClicks clicks;
    clicks.SetDoubleClickTime(500);
    clicks.SetNoDoubleClick(noDoubleClick);
    std::string seen;
    auto note = [&](Event e) {
        if (e == Event::Click)
            seen += 'C';
        else if (e == Event::DoubleClick)
            seen += 'D';
    };
    std::size_t next = 0;
    for (TrayClicks::Ms now = 0; now <= until; ++now) {
        note(clicks.Poll(now));
        for (; next < steps.size() && steps[next].at == now; ++next) {
            if (steps[next].what == 'p')
                clicks.LeftPress(now);
            else
                note(clicks.LeftDoubleClick(now));
        }
    }
    return seen;
}

}  // namespace

TEST(TrayClicks, ClickAndDoubleClickRules)
{
    struct Row
    {
        const char* name;
        bool noDoubleClick;
        std::vector<Step> steps;
        std::string expected;
    };
    const Row rows[] = {
        {"single click, with double-clicks", false, {{0, 'p'}}, "C"},
        {"double-click reports only the double-click", false, {{0, 'p'}, {150, 'd'}}, "D"},
        {"two slow clicks are two clicks", false, {{0, 'p'}, {900, 'p'}}, "CC"},
        {"single click without double-clicks", true, {{0, 'p'}}, "C"},
        {"double-click without double-clicks is one click", true, {{0, 'p'}, {150, 'd'}}, "C"},
        {"a press during the timer restarts it", false, {{0, 'p'}, {300, 'p'}}, "C"},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        EXPECT_EQ(Replay(r.noDoubleClick, r.steps, 2000), r.expected);
    }
}

TEST(TrayClicks, ClickComesAfterTheDoubleClickTimeNotBefore)
{
    TrayClicks clicks;
    clicks.SetDoubleClickTime(500);
    clicks.LeftPress(1000);
    EXPECT_EQ(clicks.Deadline(), 1500);
    EXPECT_EQ(clicks.Poll(1499), Event::None);
    EXPECT_EQ(clicks.Poll(1500), Event::Click);
    EXPECT_FALSE(clicks.Deadline());
    EXPECT_EQ(clicks.Poll(3000), Event::None);

    clicks.SetNoDoubleClick(true);
    clicks.LeftPress(5000);
    EXPECT_EQ(clicks.Deadline(), 5001);
}
