// The single-instance guard: one running window per user.
#pragma once

enum class LockResult
{
    Acquired,       // this object now holds the lock
    HeldByAnother,  // another running copy holds it: this start should end quietly
    Unavailable     // the lock could not be made at all (no writable place); run unguarded
};

// A per-user lock that belongs to the process holding it: it goes when the holder ends, crashes
// included, so a stale lock can never keep the program from starting.
class InstanceLock
{
public:
    virtual ~InstanceLock() = default;
    // Asking again after Acquired returns Acquired.
    virtual LockResult TryAcquire() = 0;
    virtual void Release() = 0;
};
