// Desktop notifications: a summary, a text and buttons, shown by the desktop beside the user's
// work. They never take the focus, so they may come at any hour.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class DesktopNotifier
{
public:
    struct Action
    {
        std::string key;    // handed back when it is picked
        std::string label;  // shown on the button
    };
    using OnAction = std::function<void(const std::string& key)>;
    using OnFailed = std::function<void()>;

    struct Notification
    {
        std::string summary;
        std::string body;
        std::vector<Action> actions;
        bool urgent = false;  // stays until the user answers (an alarm ringing)
        // Notifications of one tag are one on the screen: a new one takes the place of the one
        // still shown, and Close(tag) takes it away. Empty: a notification of its own.
        std::string tag;
    };

    virtual ~DesktopNotifier() = default;
    // False when the desktop has no notification service: the caller falls back to the tray's
    // message. `onAction` runs on the user-interface thread when the user picks an action;
    // `onFailed` there when the service, though there, answers with an error or not at all within
    // a few seconds: nothing was shown then, and the caller falls back as it does for false.
    virtual bool Notify(const Notification& notification, OnAction onAction = {}, OnFailed onFailed = {}) = 0;
    // Takes the notification of `tag` off the screen, also one whose Notify is still on its way;
    // its buttons then do nothing. Nothing happens when none of that tag is shown.
    virtual void Close(const std::string& tag) = 0;
};

// The desktop's own notifications, or null where the system has none the program can reach (the
// tray message is then the notification). `busAddress` names a bus other than the user's session
// bus, for tests; the program passes none. A service that has not answered within `answerWithin`
// is taken for one that failed.
std::unique_ptr<DesktopNotifier> MakeDesktopNotifier(const std::string& busAddress = {},
                                                     std::chrono::milliseconds answerWithin = std::chrono::seconds(4));
