// Windows ends a window program through its messages (WM_QUERYENDSESSION, WM_CLOSE), which the
// window's event loop sees itself; there are no signals to turn into events.
#include "platform/termination_signal.h"

#include <windows.h>

#include <thread>

int InstallTerminationSignalPipe()
{
    return -1;
}

void DrainTerminationSignalPipe(int)
{
}

void LimitTimeToEnd(unsigned seconds)
{
    std::thread([seconds] {
        Sleep(seconds * 1000);
        TerminateProcess(GetCurrentProcess(), 1);
    }).detach();
}
