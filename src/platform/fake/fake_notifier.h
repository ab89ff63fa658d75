// Notifications kept in a list, for a test to look at.
#pragma once

#include "platform/desktop_notifier.h"

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

class FakeNotifier final : public DesktopNotifier
{
public:
    bool Notify(const Notification& notification, OnAction onAction, OnFailed) override
    {
        m_shown.push_back({notification, std::move(onAction)});
        return true;
    }
    void Close(const std::string& tag) override { m_closed.push_back(tag); }

    std::size_t Count() const { return m_shown.size(); }
    const Notification& At(std::size_t i) const { return m_shown.at(i).first; }
    const Notification& Last() const { return m_shown.back().first; }
    const std::vector<std::string>& Closed() const { return m_closed; }
    // The user picks the button `key` of the `i`-th notification.
    void Pick(std::size_t i, const std::string& key) const
    {
        if (m_shown.at(i).second)
            m_shown.at(i).second(key);
    }

private:
    std::vector<std::pair<Notification, OnAction>> m_shown;
    std::vector<std::string> m_closed;
};
