// The notes journal's file through POSIX calls.
#include "platform/linux/linux_journal_file.h"

#include "platform/linux/posix_file.h"
#include "platform/read_file.h"

#include <cerrno>
#include <cstring>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A pack by another writer renames a new file over the name between our open and our lock; each
// round of that costs the other writer a whole pack, so a few rounds are all there can be.
constexpr int kLockAttempts = 100;

}  // namespace

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
    return ReadJournalFile(path, contents, m_lastError,
                           [](const std::error_code& error) { return std::string(std::strerror(error.value())); });
}

JournalFile::OpenStatus LinuxJournalFile::OpenLocked(const std::filesystem::path& path, int& fd)
{
    fd = ::open(path.c_str(), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        Fail(errno);
        return OpenStatus::Failed;
    }
    const auto fail = [&](int error) {
        ::close(fd);
        fd = -1;
        if (error)
            Fail(error);
        return OpenStatus::Failed;
    };
    struct stat opened
    {
    };
    if (::fstat(fd, &opened) != 0)
        return fail(errno);
    // A FIFO or a device in the file's place would block every read or never end.
    if (!S_ISREG(opened.st_mode)) {
        m_lastError = kJournalNotRegular;
        return fail(0);
    }
    // Two copies appending to one journal would lose notes. The lock goes with the process.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno;
        if (error != EWOULDBLOCK)
            return fail(error);
        fail(0);
        m_lastError = "plik jest używany przez inną kopię programu";
        return OpenStatus::HeldByAnother;
    }
    // The lock counts only if the file locked is still the one under the name: a pack by the
    // other writer may have renamed a new file over it since the open, and a lock on the old,
    // nameless file would let every later save go where nobody reads.
    struct stat named
    {
    };
    if (::stat(path.c_str(), &named) != 0 || named.st_dev != opened.st_dev || named.st_ino != opened.st_ino) {
        ::close(fd);
        fd = -1;
        return OpenStatus::Ok;  // nothing locked: the caller tries again
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return OpenStatus::Ok;
}

JournalFile::OpenStatus LinuxJournalFile::OpenAndRead(const std::filesystem::path& path, std::string& contents)
{
    Close();
    contents.clear();
    for (int attempt = 0; attempt < kLockAttempts; ++attempt) {
        int fd = -1;
        if (const OpenStatus status = OpenLocked(path, fd); status != OpenStatus::Ok)
            return status;
        if (fd < 0)
            continue;
        // Only the lock holder packs, so a new file beside the journal now is what a crash
        // in the middle of a pack left.
        RemoveStaleReplacements(ReplacementTarget(path));
        const auto fail = [&](int error) {
            ::close(fd);
            Fail(error);
            return OpenStatus::Failed;
        };
        // Read under the lock, so that nothing another writer appended before it is missed.
        struct stat opened
        {
        };
        if (::fstat(fd, &opened) != 0)
            return fail(errno);
        // More than the journal can hold in memory is no notes file the program wrote.
        if (static_cast<std::uint64_t>(opened.st_size) > kNotesLimit) {
            m_lastError = kJournalTooLarge;
            ::close(fd);
            return OpenStatus::TooLarge;
        }
        if (!ReadFromStart(fd, static_cast<std::uint64_t>(opened.st_size), contents))
            return fail(errno);
        // Not fatal: the name of a new, still empty file is all a crash could lose here.
        if (contents.empty())
            (void)SyncDirectoryOf(path);
        m_fd = fd;
        m_path = path;
        return OpenStatus::Ok;
    }
    m_lastError = "the file keeps being replaced";
    return OpenStatus::Failed;
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
    FileReplacement next(ReplacementTarget(m_path));
    std::error_code error = next.Begin();
    // The new file is locked before it gets the name, so that no other copy can slip in between;
    // its handle becomes the append handle, so that nothing can fail once the rename is done.
    const int fd = next.Descriptor();
    if (!error && (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_APPEND) != 0))
        error = std::error_code(errno, std::generic_category());
    if (!error)
        error = next.Write(contents);
    if (!error)
        error = next.Commit();
    if (error)
        return Fail(error.value());
    // The old handle points at the replaced file; keeping it would write notes nobody reads.
    ::close(m_fd);
    m_fd = next.Release();
    return true;
}

bool LinuxJournalFile::WriteCopy(const std::filesystem::path& path, std::string_view contents)
{
    FileReplacement copy(ReplacementTarget(path));
    std::error_code error = copy.Begin();
    if (!error)
        error = copy.Write(contents);
    if (!error)
        error = copy.Commit();
    return !error || Fail(error.value());
}

void LinuxJournalFile::Close()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
}
