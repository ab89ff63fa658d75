// Notifications kept in a list; a test picks an action as the user would.
#pragma once

#include "platform/desktop_notifier.h"

#include <cstddef>
#include <utility>
#include <vector>

class FakeNotifier final : public DesktopNotifier
{
public:
    bool Notify(const Notification& notification, OnAction onAction) override
    {
        if (!m_available)
            return false;
        m_shown.push_back({notification, std::move(onAction)});
        return true;
    }

    // false: as a desktop without a notification service.
    void SetAvailable(bool available) { m_available = available; }
    std::size_t Count() const { return m_shown.size(); }
    const Notification& At(std::size_t i) const { return m_shown.at(i).first; }
    const Notification& Last() const { return m_shown.back().first; }
    // The user picks the action `key` of notification `i`.
    void Pick(std::size_t i, const std::string& key)
    {
        if (m_shown.at(i).second)
            m_shown.at(i).second(key);
    }

private:
    bool m_available = true;
    std::vector<std::pair<Notification, OnAction>> m_shown;
};
