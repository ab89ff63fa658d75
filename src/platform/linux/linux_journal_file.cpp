// The notes journal's file through POSIX calls.
#include "platform/linux/linux_journal_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool WriteAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t n = ::write(fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0) {
            errno = ENOSPC;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

// A rename or a newly created name reaches the disk only when its directory is synced too.
bool SyncDirectoryOf(const std::filesystem::path& path)
{
    const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    const int saved = errno;
    ::close(fd);
    errno = saved;
    return ok;
}

} // namespace

LinuxJournalFile::~LinuxJournalFile()
{
    Close();
}

bool LinuxJournalFile::Fail(int error)
{
    m_lastError = std::strerror(error);
    return false;
}

JournalFile::ReadStatus LinuxJournalFile::ReadAll(const std::filesystem::path& path, std::string& contents)
{
    contents.clear();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        Fail(error);
        return error == ENOENT ? ReadStatus::Missing : ReadStatus::Failed;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        contents.reserve(static_cast<std::size_t>(st.st_size));
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno);
            ::close(fd);
            contents.clear();
            return ReadStatus::Failed;
        }
        contents.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return ReadStatus::Ok;
}

bool LinuxJournalFile::OpenForAppend(const std::filesystem::path& path)
{
    Close();
    const bool existed = ::access(path.c_str(), F_OK) == 0;
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0)
        return Fail(errno);
    // Two copies appending to one journal would lose notes: a pack by one leaves the other
    // writing to a file that no longer has a name. The lock goes with the process.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        ::close(fd);
        if (error == EWOULDBLOCK) {
            m_lastError = "plik jest używany przez inną kopię programu";
            return false;
        }
        return Fail(error);
    }
    // Not fatal: the name of a new, still empty file is all a crash could lose here.
    if (!existed)
        (void)SyncDirectoryOf(path);
    m_fd = fd;
    m_path = path;
    return true;
}

bool LinuxJournalFile::Append(std::string_view bytes)
{
    if (m_fd < 0)
        return Fail(EBADF);
    return WriteAll(m_fd, bytes) || Fail(errno);
}

bool LinuxJournalFile::Truncate(std::uint64_t size)
{
    if (m_fd < 0)
        return Fail(EBADF);
    return ::ftruncate(m_fd, static_cast<off_t>(size)) == 0 || Fail(errno);
}

bool LinuxJournalFile::Sync()
{
    if (m_fd < 0)
        return Fail(EBADF);
    return ::fdatasync(m_fd) == 0 || Fail(errno);
}

bool LinuxJournalFile::Replace(std::string_view contents)
{
    if (m_fd < 0)
        return Fail(EBADF);
    // A journal kept behind a symbolic link (say, in a synchronised folder) is replaced where it
    // really lives, and keeps its permissions: notes may be private.
    std::error_code ec;
    std::filesystem::path target = std::filesystem::canonical(m_path, ec);
    if (ec)
        target = m_path;
    std::filesystem::path temp = target;
    temp += ".new";
    struct stat old {};
    const mode_t mode = ::fstat(m_fd, &old) == 0 ? (old.st_mode & 07777) : 0644;
    // The new file's own handle becomes the append handle, so that nothing can fail once the
    // rename has put it in place.
    const int fd = ::open(temp.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0)
        return Fail(errno);
    if (::fchmod(fd, mode) != 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0 || !WriteAll(fd, contents)
        || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return Fail(error);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return Fail(error);
    }
    // The old handle points at the replaced file; keeping it would write notes nobody reads.
    ::close(m_fd);
    m_fd = fd;
    // Not fatal: until the directory reaches the disk a power cut could bring the old file back.
    (void)SyncDirectoryOf(target);
    return true;
}

void LinuxJournalFile::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}
