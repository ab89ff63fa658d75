// Opening, inspecting and reading files through POSIX calls, for the safe reader.
#include "platform/read_file_system.h"

#include "platform/file_problem.h"

#include <cerrno>
#include <cstdint>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class PosixOpenedFile final : public OpenedFile
{
public:
    explicit PosixOpenedFile(int fd) : m_fd(fd) {}
    ~PosixOpenedFile() override { ::close(m_fd); }

    std::error_code Inspect(bool& regular, std::uint64_t& size) override
    {
        struct stat st
        {
        };
        if (::fstat(m_fd, &st) != 0)
            return {errno, std::generic_category()};
        regular = S_ISREG(st.st_mode);
        size = static_cast<std::uint64_t>(st.st_size);
        return {};
    }

    std::error_code ReadAt(std::uint64_t offset, char* buffer, std::size_t count, std::size_t& got) override
    {
        for (;;) {
            const ssize_t n = ::pread(m_fd, buffer, count, static_cast<off_t>(offset));
            if (n >= 0) {
                got = static_cast<std::size_t>(n);
                return {};
            }
            if (errno != EINTR)
                return {errno, std::generic_category()};
        }
    }

private:
    int m_fd;
};

}  // namespace

std::unique_ptr<OpenedFile> OpenForReading(const std::filesystem::path& path, std::error_code& error)
{
    // Without blocking: opening a FIFO for reading would otherwise wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = {errno, std::generic_category()};
        return nullptr;
    }
    return std::make_unique<PosixOpenedFile>(fd);
}

FileProblem SystemFileProblem(int code)
{
    // The system category's numbers are errno's here.
    return FileProblemOf({code, std::generic_category()});
}

void AdviseLargeBuffer(char* data, std::size_t size)
{
    // Only whole huge pages inside the buffer; the allocator's pages around them are not ours.
    constexpr std::uintptr_t kHuge = 2 * 1024 * 1024;
    const auto begin = reinterpret_cast<std::uintptr_t>(data);
    const std::uintptr_t first = (begin + kHuge - 1) & ~(kHuge - 1);
    const std::uintptr_t last = (begin + size) & ~(kHuge - 1);
    // A refusal only leaves the pages as they would have been.
    if (last > first)
        (void)::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
}
