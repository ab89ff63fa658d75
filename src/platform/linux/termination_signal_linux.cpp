// SIGTERM and SIGINT through a self-pipe: the handler only writes one byte, which is all a
// signal handler may safely do.
#include "platform/termination_signal.h"

#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

int g_writeFd = -1;

extern "C" void OnTerminationSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(g_writeFd, &byte, 1);
    errno = saved;
}

}  // namespace

int InstallTerminationSignalPipe()
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0)
        return -1;
    g_writeFd = fds[1];
    struct sigaction action = {};
    action.sa_handler = OnTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (::sigaction(SIGTERM, &action, nullptr) != 0 || ::sigaction(SIGINT, &action, nullptr) != 0) {
        ::signal(SIGTERM, SIG_DFL);
        ::signal(SIGINT, SIG_DFL);
        ::close(fds[0]);
        ::close(fds[1]);
        g_writeFd = -1;
        return -1;
    }
    return fds[0];
}

void DrainTerminationSignalPipe(int fd)
{
    char buffer[16];
    while (::read(fd, buffer, sizeof buffer) > 0) {
    }
}

void LimitTimeToEnd(unsigned seconds)
{
    // SIGALRM's default action ends the process, and nothing in the program handles it.
    ::signal(SIGALRM, SIG_DFL);
    ::alarm(seconds);
}
