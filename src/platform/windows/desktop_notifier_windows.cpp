// Windows shows a program's notifications through its notification-area icon, which Qt's tray
// message already does; there is no separate service to reach.
#include "platform/desktop_notifier.h"

std::unique_ptr<DesktopNotifier> MakeDesktopNotifier(const std::string&, std::chrono::milliseconds)
{
    return nullptr;
}
