// The notes journal's file through POSIX calls.
#include "platform/linux/linux_journal_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
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
    std::filesystem::path temp = m_path;
    temp += ".new";
    const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return Fail(errno);
    if (!WriteAll(fd, contents) || ::fsync(fd) != 0) {
        const int error = errno;
        ::close(fd);
        ::unlink(temp.c_str());
        return Fail(error);
    }
    if (::close(fd) != 0 || ::rename(temp.c_str(), m_path.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        return Fail(error);
    }
    // From here the new file is in place; an unsynced directory could only bring back the old
    // one after a power cut, which holds the same live notes.
    (void)SyncDirectoryOf(m_path);
    const int newFd = ::open(m_path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
    ::close(m_fd);
    m_fd = -1;
    // The old handle now points at the replaced file; keeping it would write notes nobody reads.
    if (newFd < 0)
        return Fail(errno);
    m_fd = newFd;
    return true;
}

void LinuxJournalFile::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}
