// A single-instance guard for tests: the test decides whether another copy is running.
#pragma once

#include "platform/instance_lock.h"

class FakeInstanceLock final : public InstanceLock
{
public:
    explicit FakeInstanceLock(LockResult answer = LockResult::Acquired) : m_answer(answer) {}
    LockResult TryAcquire() override
    {
        m_held = m_answer == LockResult::Acquired;
        return m_answer;
    }
    void Release() override { m_held = false; }
    bool Held() const { return m_held; }

private:
    LockResult m_answer;
    bool m_held = false;
};
