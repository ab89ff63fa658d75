// Writing, syncing and replacing files through POSIX calls.
#include "platform/linux/posix_file.h"

#include <cerrno>
#include <cstdint>
#include <exception>
#include <random>
#include <string>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::error_code LastErrno()
{
    return {errno, std::generic_category()};
}

}  // namespace

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

bool ReadFromStart(int fd, std::uint64_t size, std::string& contents)
{
    contents.clear();
    try {
        contents.resize(static_cast<std::size_t>(size));
    } catch (const std::exception&) {
        errno = ENOMEM;
        return false;
    }
    std::size_t done = 0;
    while (done < contents.size()) {
        const ssize_t n = ::pread(fd, contents.data() + done, contents.size() - done, static_cast<off_t>(done));
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const int saved = errno;
            contents.clear();
            errno = saved;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    contents.resize(done);
    return true;
}

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

std::filesystem::path ReplacementTarget(const std::filesystem::path& path)
{
    // Followed by hand rather than by canonical(): a link whose file is gone still says where the
    // file belongs. The bound is the system's own for nested links.
    std::filesystem::path target = path;
    for (int depth = 0; depth < 40; ++depth) {
        std::error_code ec;
        if (!std::filesystem::is_symlink(target, ec))
            break;
        const std::filesystem::path next = std::filesystem::read_symlink(target, ec);
        if (ec)
            break;
        target = next.is_absolute() ? next : target.parent_path() / next;
    }
    return target;
}

namespace {

std::filesystem::path NewFileName(const std::filesystem::path& target, std::string_view suffix)
{
    std::filesystem::path file = target;
    file += ".new";
    file += suffix;
    return file;
}

// Six characters that no other replacement, here or in another process, is likely to draw; the
// exclusive creation catches the rest.
std::string RandomLetters()
{
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    thread_local std::mt19937_64 random([] {
        std::random_device device;
        return (static_cast<std::uint64_t>(device()) << 32) ^ device() ^ static_cast<std::uint64_t>(::getpid());
    }());
    std::string letters;
    for (int i = 0; i < 6; ++i)
        letters += kLetters[random() % (sizeof kLetters - 1)];
    return letters;
}

}  // namespace

void RemoveStaleReplacements(const std::filesystem::path& target)
{
    ::unlink(NewFileName(target, "").c_str());
    const std::string prefix = NewFileName(target, ".").filename().string();
    std::error_code ec;
    const std::filesystem::path dir = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0)
            ::unlink(it->path().c_str());
    }
}

void RemoveAbandonedReplacements(const std::filesystem::path& target)
{
    const std::string prefix = NewFileName(target, ".").filename().string();
    std::error_code ec;
    const std::filesystem::path dir = target.has_parent_path() ? target.parent_path() : std::filesystem::path(".");
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.size() != prefix.size() + 6 || name.compare(0, prefix.size(), prefix) != 0)
            continue;
        // Looked at before it is opened: opening a device may already do something.
        struct stat named
        {
        };
        if (::lstat(it->path().c_str(), &named) != 0 || !S_ISREG(named.st_mode))
            continue;
        const int fd = ::open(it->path().c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat held
        {
        };
        // The lock is free only when no replacement holds the file; the name must still be that
        // file when it goes, or a new replacement could have taken it meanwhile.
        if (::fstat(fd, &held) == 0 && S_ISREG(held.st_mode) && held.st_uid == ::geteuid()
            && ::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::lstat(it->path().c_str(), &named) == 0
            && named.st_dev == held.st_dev && named.st_ino == held.st_ino)
            ::unlink(it->path().c_str());
        ::close(fd);
    }
}

FileReplacement::FileReplacement(std::filesystem::path target, NameSuffixes suffixes)
    : m_target(std::move(target)), m_suffixes(suffixes ? std::move(suffixes) : NameSuffixes(RandomLetters))
{
}

FileReplacement::~FileReplacement()
{
    if (m_fd >= 0)
        ::close(m_fd);
    if (m_fd >= 0 && !m_committed)
        ::unlink(m_new.c_str());
}

std::error_code FileReplacement::Begin()
{
    struct stat old
    {
    };
    const bool hadTarget = ::stat(m_target.c_str(), &old) == 0;
    for (int attempt = 0; m_fd < 0; ++attempt) {
        m_new = NewFileName(m_target, "." + m_suffixes());
        m_fd = ::open(m_new.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (m_fd < 0 && (errno != EEXIST || attempt == 100))
            return LastErrno();
    }
    // Notes and settings may be private: a replacement must not make them readable to others.
    if (hadTarget && ::fchmod(m_fd, old.st_mode & 07777) != 0)
        return LastErrno();
    return {};
}

std::error_code FileReplacement::Write(std::string_view bytes)
{
    if (m_fd < 0)
        return std::make_error_code(std::errc::bad_file_descriptor);
    return WriteAll(m_fd, bytes) ? std::error_code() : LastErrno();
}

std::error_code FileReplacement::Commit()
{
    if (m_fd < 0)
        return std::make_error_code(std::errc::bad_file_descriptor);
    if (::fsync(m_fd) != 0 || ::rename(m_new.c_str(), m_target.c_str()) != 0)
        return LastErrno();
    m_committed = true;
    (void)SyncDirectoryOf(m_target);
    return {};
}

int FileReplacement::Release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

std::error_code ReplaceFileContents(const std::filesystem::path& path, std::string_view bytes)
{
    const std::filesystem::path target = ReplacementTarget(path);
    std::error_code error;
    if (target.has_parent_path())
        std::filesystem::create_directories(target.parent_path(), error);
    if (error)
        return error;
    FileReplacement replacement(target);
    if ((error = replacement.Begin()) || (error = replacement.Write(bytes)) || (error = replacement.Commit()))
        return error;
    return {};
}

namespace {

// Only a regular file or nothing may be replaced by an export; checked without following a link.
std::error_code CheckExportTarget(const std::filesystem::path& path)
{
    struct stat st
    {
    };
    if (::lstat(path.c_str(), &st) != 0)
        return errno == ENOENT ? std::error_code() : LastErrno();
    return S_ISREG(st.st_mode) ? std::error_code() : std::make_error_code(std::errc::invalid_argument);
}

}  // namespace

std::error_code ExportFileContents(const std::filesystem::path& path, std::string_view bytes)
{
    std::error_code error = CheckExportTarget(path);
    if (error)
        return error;
    const std::filesystem::path dir = path.has_parent_path() ? path.parent_path() : std::filesystem::path(".");
    struct stat folder
    {
    };
    if (::stat(dir.c_str(), &folder) != 0)
        return errno == ENOENT ? std::make_error_code(std::errc::not_a_directory) : LastErrno();
    if (!S_ISDIR(folder.st_mode))
        return std::make_error_code(std::errc::not_a_directory);
    RemoveAbandonedReplacements(path);
    FileReplacement replacement(path);
    if ((error = replacement.Begin()))
        return error;
    // Held while it is written, so that the next export knows it from one killed on the way.
    if (::flock(replacement.Descriptor(), LOCK_EX | LOCK_NB) != 0)
        return LastErrno();
    if ((error = replacement.Write(bytes)))
        return error;
    // Looked at again just before the rename: what took the name meanwhile is not replaced either.
    if ((error = CheckExportTarget(path)) || (error = replacement.Commit()))
        return error;
    return {};
}
