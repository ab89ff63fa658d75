// The single-instance guard as a lock file held with flock(2).
#pragma once

#include <filesystem>
#include <string>

#include "platform/instance_lock.h"

// Where the lock of `name` lives: $XDG_RUNTIME_DIR/<name>.lock, which is private to the user;
// without it, <tempDir>/<name>-<uid>.lock so that users sharing the temporary directory do not
// block each other. An empty or relative runtimeDir counts as unset.
std::filesystem::path InstanceLockPath(const std::string& name, const char* runtimeDir,
                                       const std::filesystem::path& tempDir, unsigned uid);
// The same for this process's environment and user.
std::filesystem::path DefaultInstanceLockPath(const std::string& name);

class LinuxInstanceLock final : public InstanceLock
{
public:
    explicit LinuxInstanceLock(std::filesystem::path path) : m_path(std::move(path)) {}
    ~LinuxInstanceLock() override;
    LinuxInstanceLock(const LinuxInstanceLock&) = delete;
    LinuxInstanceLock& operator=(const LinuxInstanceLock&) = delete;

    LockResult TryAcquire() override;
    void Release() override;

private:
    std::filesystem::path m_path;
    int m_fd = -1;
};
