// Notifications, with the tray's message in reserve.
#include "app/ui/announce.h"

#include "app/ui/tray_icon.h"

#include <QPointer>
#include <QString>

void Announce(DesktopNotifier* notifier, TTrayNotifyIcon* tray, const DesktopNotifier::Notification& notification,
              DesktopNotifier::OnAction onAction, const std::string& trayBody)
{
    const QString title = QString::fromStdString(notification.summary);
    const QString body = QString::fromStdString(trayBody.empty() ? notification.body : trayBody);
    // The tray may be gone by the time a service that failed to answer gives up.
    const QPointer<TTrayNotifyIcon> trayLater(tray);
    const auto fallBack = [trayLater, title, body] {
        if (trayLater)
            trayLater->ShowMessage(title, body);
    };
    if (notifier && notifier->Notify(notification, std::move(onAction), fallBack))
        return;
    fallBack();
}
