// Clock access through the Win32 time calls.
#include "platform/windows/windows_system_clock.h"

#include <windows.h>

namespace {

// 100-nanosecond intervals between 1601-01-01 (FILETIME's epoch) and 1970-01-01.
constexpr long long kEpochDifference = 116444736000000000LL;

FILETIME ToFileTime(std::chrono::system_clock::time_point at)
{
    const long long ticks = std::chrono::duration_cast<std::chrono::nanoseconds>(at.time_since_epoch()).count() / 100
                            + kEpochDifference;
    FILETIME ft{};
    ft.dwLowDateTime = static_cast<DWORD>(ticks);
    ft.dwHighDateTime = static_cast<DWORD>(static_cast<unsigned long long>(ticks) >> 32);
    return ft;
}

long long Ticks(const FILETIME& ft)
{
    return static_cast<long long>(static_cast<unsigned long long>(ft.dwHighDateTime) << 32 | ft.dwLowDateTime);
}

bool EnableSystemTimePrivilege()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token))
        return false;
    TOKEN_PRIVILEGES privileges{};
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    bool ok = LookupPrivilegeValueW(nullptr, SE_SYSTEMTIME_NAME, &privileges.Privileges[0].Luid)
              && AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
    // AdjustTokenPrivileges succeeds also when the token lacks the right, and says so only here.
    ok = ok && GetLastError() != ERROR_NOT_ALL_ASSIGNED;
    CloseHandle(token);
    return ok;
}

}  // namespace

std::chrono::seconds LocalOffsetAt(std::chrono::system_clock::time_point at)
{
    const FILETIME utc = ToFileTime(at);
    SYSTEMTIME utcParts{}, localParts{};
    FILETIME local{};
    // The zone's rules for the year of `at`, not only today's offset.
    if (!FileTimeToSystemTime(&utc, &utcParts) || !SystemTimeToTzSpecificLocalTime(nullptr, &utcParts, &localParts)
        || !SystemTimeToFileTime(&localParts, &local))
        return std::chrono::seconds(0);
    const long long difference = Ticks(local) - Ticks(utc);
    // Rounded to whole seconds: the milliseconds dropped by the conversions are no offset.
    return std::chrono::seconds((difference + (difference >= 0 ? 5000000 : -5000000)) / 10000000);
}

SystemClock::TimePoint WindowsSystemClock::Now() const
{
    return std::chrono::system_clock::now();
}

std::chrono::seconds WindowsSystemClock::UtcOffset(TimePoint at) const
{
    return LocalOffsetAt(at);
}

bool WindowsSystemClock::Set(TimePoint utc)
{
    if (!EnableSystemTimePrivilege())
        return false;
    const FILETIME ft = ToFileTime(utc);
    SYSTEMTIME parts{};
    return FileTimeToSystemTime(&ft, &parts) && SetSystemTime(&parts);
}

std::optional<std::chrono::milliseconds> WindowsSystemClock::Uptime() const
{
    // Counts the time asleep too, as "since the computer was switched on" means.
    return std::chrono::milliseconds(static_cast<long long>(GetTickCount64()));
}
