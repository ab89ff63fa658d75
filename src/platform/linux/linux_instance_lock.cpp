// The single-instance guard through flock(2) on a per-user lock file.
#include "platform/linux/linux_instance_lock.h"

#include <cerrno>
#include <cstdlib>
#include <string>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

std::filesystem::path InstanceLockPath(const std::string& name, const char* runtimeDir,
                                       const std::filesystem::path& tempDir, unsigned uid)
{
    // A relative runtime directory would put the lock wherever the program was started from, and
    // two starts from different folders would both win.
    if (runtimeDir && *runtimeDir && std::filesystem::path(runtimeDir).is_absolute())
        return std::filesystem::path(runtimeDir) / (name + ".lock");
    return tempDir / (name + "-" + std::to_string(uid) + ".lock");
}

std::filesystem::path DefaultInstanceLockPath(const std::string& name)
{
    std::error_code ec;
    std::filesystem::path temp = std::filesystem::temp_directory_path(ec);
    if (ec)
        temp = "/tmp";
    return InstanceLockPath(name, std::getenv("XDG_RUNTIME_DIR"), temp, static_cast<unsigned>(getuid()));
}

LinuxInstanceLock::~LinuxInstanceLock()
{
    Release();
}

LockResult LinuxInstanceLock::TryAcquire()
{
    if (m_fd >= 0)
        return LockResult::Acquired;
    // O_NOFOLLOW: in a shared temporary directory someone else could plant a symbolic link under
    // our name and make us create or truncate a file of theirs.
    const int fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return LockResult::Unavailable;
    // flock rather than fcntl locks: flock belongs to the open file, so a second lock in the same
    // process conflicts too, and the kernel drops it when the last descriptor closes.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        return error == EWOULDBLOCK ? LockResult::HeldByAnother : LockResult::Unavailable;
    }
    m_fd = fd;
    // The holder's process id, for people and tests that want to know who runs; the lock itself
    // is the flock, so a failed write changes nothing.
    const std::string pid = std::to_string(getpid()) + "\n";
    if (::ftruncate(fd, 0) == 0) {
        [[maybe_unused]] const auto written = ::write(fd, pid.data(), pid.size());
    }
    return LockResult::Acquired;
}

void LinuxInstanceLock::Release()
{
    if (m_fd < 0)
        return;
    // The file stays: removing it would let a third start lock a fresh file while a second one
    // still holds the old, unlinked one.
    // Emptied first so the file never names a process that has let go.
    [[maybe_unused]] const int truncated = ::ftruncate(m_fd, 0);
    ::flock(m_fd, LOCK_UN);
    ::close(m_fd);
    m_fd = -1;
}
