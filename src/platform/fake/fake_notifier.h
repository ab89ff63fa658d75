// Notifications kept in a list, for a test to look at.
#pragma once

#include "platform/desktop_notifier.h"

#include <cstddef>
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

    std::size_t Count() const { return m_shown.size(); }
    const Notification& At(std::size_t i) const { return m_shown.at(i).first; }
    const Notification& Last() const { return m_shown.back().first; }

private:
    std::vector<std::pair<Notification, OnAction>> m_shown;
};
