// The mutex exists as long as a handle to it is open: the system closes the handles of a process
// that ends, crashes included, so a stale guard cannot keep the program from starting.
#include "platform/windows/windows_instance_lock.h"

#include "platform/windows/win_text.h"

WindowsInstanceLock::~WindowsInstanceLock()
{
    Release();
}

LockResult WindowsInstanceLock::TryAcquire()
{
    if (m_mutex)
        return LockResult::Acquired;
    // "Local\": one window per user session, as each user has their own notes.
    const std::wstring name = L"Local\\" + Widen(m_name);
    const HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (!mutex)
        return GetLastError() == ERROR_ACCESS_DENIED ? LockResult::HeldByAnother : LockResult::Unavailable;
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(mutex);
        return LockResult::HeldByAnother;
    }
    m_mutex = mutex;
    return LockResult::Acquired;
}

void WindowsInstanceLock::Release()
{
    if (m_mutex) {
        CloseHandle(m_mutex);
        m_mutex = nullptr;
    }
}
