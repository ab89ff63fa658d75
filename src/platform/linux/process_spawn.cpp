// fork/exec with an exec-status pipe, and a small output capture with a deadline.
#include "platform/linux/process_spawn.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace {

std::vector<char*> ArgvPointers(const std::vector<std::string>& argv)
{
    std::vector<char*> pointers;
    for (const std::string& a : argv)
        pointers.push_back(const_cast<char*>(a.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

void WaitFor(pid_t pid)
{
    while (::waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
}

void RedirectToNull(int fd)
{
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    if (null >= 0) {
        ::dup2(null, fd);
        ::close(null);
    }
}

}  // namespace

bool SpawnDetached(const std::vector<std::string>& argv)
{
    if (argv.empty() || argv.front().empty())
        return false;
    // Built before the fork: the children may only make async-signal-safe calls.
    std::vector<char*> pointers = ArgvPointers(argv);
    int status[2];
    if (::pipe2(status, O_CLOEXEC) != 0)
        return false;
    const pid_t middle = ::fork();
    if (middle < 0) {
        ::close(status[0]);
        ::close(status[1]);
        return false;
    }
    if (middle == 0) {
        // The middle process ends at once, so the program is adopted by init and never becomes
        // a zombie of ours; its own session keeps it apart from our terminal and signals.
        ::setsid();
        const pid_t program = ::fork();
        if (program == 0) {
            RedirectToNull(STDIN_FILENO);
            ::execvp(pointers[0], pointers.data());
            const int error = errno;
            (void)::write(status[1], &error, sizeof error);
            ::_exit(127);
        }
        if (program < 0) {
            const int error = errno;
            (void)::write(status[1], &error, sizeof error);
        }
        ::_exit(0);
    }
    ::close(status[1]);
    WaitFor(middle);
    // The pipe closes on a successful exec; a failed one writes its errno first.
    int error = 0;
    ssize_t n;
    do {
        n = ::read(status[0], &error, sizeof error);
    } while (n < 0 && errno == EINTR);
    ::close(status[0]);
    return n == 0;
}

std::optional<std::string> CaptureOutput(const std::vector<std::string>& argv, std::chrono::milliseconds timeout)
{
    if (argv.empty() || argv.front().empty())
        return std::nullopt;
    std::vector<char*> pointers = ArgvPointers(argv);
    int out[2];
    if (::pipe2(out, O_CLOEXEC) != 0)
        return std::nullopt;
    const pid_t child = ::fork();
    if (child < 0) {
        ::close(out[0]);
        ::close(out[1]);
        return std::nullopt;
    }
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        RedirectToNull(STDIN_FILENO);
        RedirectToNull(STDERR_FILENO);
        ::execvp(pointers[0], pointers.data());
        ::_exit(127);
    }
    ::close(out[1]);
    std::string output;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    bool timedOut = false;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline
                                                                                - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            timedOut = true;
            break;
        }
        pollfd p{out[0], POLLIN, 0};
        const int ready = ::poll(&p, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0) {
            timedOut = true;
            break;
        }
        char buffer[4096];
        const ssize_t n = ::read(out[0], buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        if (output.size() < 65536)
            output.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    if (timedOut)
        ::kill(child, SIGKILL);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (timedOut || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return output;
}
