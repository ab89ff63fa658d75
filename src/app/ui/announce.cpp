// Notifications, with the tray's message in reserve.
#include "app/ui/announce.h"

#include "app/ui/tray_icon.h"

#include <QString>

void Announce(DesktopNotifier* notifier, TTrayNotifyIcon* tray, const DesktopNotifier::Notification& notification,
              DesktopNotifier::OnAction onAction, const std::string& trayBody)
{
    if (notifier && notifier->Notify(notification, std::move(onAction)))
        return;
    if (tray)
        tray->ShowMessage(QString::fromStdString(notification.summary),
                          QString::fromStdString(trayBody.empty() ? notification.body : trayBody));
}
