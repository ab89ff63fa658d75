// Reading whole files through POSIX calls.
#include "platform/read_file.h"

#include <cerrno>
#include <new>
#include <stdexcept>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

std::error_code ReadFileSafely(const std::filesystem::path& path, std::uint64_t limit, std::string& contents)
{
    contents.clear();
    // Without blocking: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return {errno, std::generic_category()};
    std::error_code error;
    struct stat st
    {
    };
    if (::fstat(fd, &st) != 0)
        error = {errno, std::generic_category()};
    else if (!S_ISREG(st.st_mode))
        error = std::make_error_code(std::errc::invalid_argument);
    else if (static_cast<std::uint64_t>(st.st_size) > limit)
        error = std::make_error_code(std::errc::file_too_large);
    if (error) {
        ::close(fd);
        return error;
    }
    try {
        contents.resize(static_cast<std::size_t>(st.st_size));
    } catch (const std::bad_alloc&) {
        error = std::make_error_code(std::errc::not_enough_memory);
    } catch (const std::length_error&) {
        error = std::make_error_code(std::errc::not_enough_memory);
    }
    // No further than the size at the open: a file growing meanwhile cannot make the read endless.
    std::size_t done = 0;
    while (!error && done < contents.size()) {
        const ssize_t n = ::pread(fd, contents.data() + done, contents.size() - done, static_cast<off_t>(done));
        if (n == 0)
            break;
        if (n < 0 && errno != EINTR)
            error = {errno, std::generic_category()};
        else if (n > 0)
            done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (error) {
        std::string().swap(contents);
        return error;
    }
    contents.resize(done);
    return {};
}
