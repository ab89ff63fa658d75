// The single-instance guard as a named mutex in the user's session.
#pragma once

#include <string>

#include <windows.h>

#include "platform/instance_lock.h"

class WindowsInstanceLock final : public InstanceLock
{
public:
    explicit WindowsInstanceLock(std::string name) : m_name(std::move(name)) {}
    ~WindowsInstanceLock() override;
    WindowsInstanceLock(const WindowsInstanceLock&) = delete;
    WindowsInstanceLock& operator=(const WindowsInstanceLock&) = delete;

    LockResult TryAcquire() override;
    void Release() override;

private:
    std::string m_name;
    HANDLE m_mutex = nullptr;
};
