// Notifications through the freedesktop notification service (org.freedesktop.Notifications on
// the session bus), with the program's icon and buttons.
#include "platform/desktop_notifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <map>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");

class FreedesktopNotifier final : public QObject, public DesktopNotifier
{
    Q_OBJECT
public:
    FreedesktopNotifier(QDBusConnection bus, std::chrono::milliseconds answerWithin)
        : m_bus(std::move(bus)), m_answerWithin(answerWithin)
    {
        m_bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                      SLOT(ActionInvoked(uint, QString)));
        m_bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                      SLOT(NotificationClosed(uint, uint)));
    }

    bool Notify(const Notification& notification, OnAction onAction, OnFailed onFailed) override
    {
        if (!ServiceThere())
            return false;
        QStringList actions;
        for (const Action& action : notification.actions)
            actions << QString::fromStdString(action.key) << QString::fromStdString(action.label);
        QVariantMap hints;
        hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("dniarz"));
        hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(notification.urgent ? 2 : 1));
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
        call << QStringLiteral("Dniarz") << 0u << QStringLiteral("dniarz")
             << QString::fromStdString(notification.summary) << QString::fromStdString(notification.body) << actions
             << hints << (notification.urgent ? 0 : -1);
        // Not waited for: the window goes on while the service answers, and the answer names the
        // notification so that its buttons find their way back. A service that is registered but
        // hung, or refuses, would otherwise swallow an alarm: the bus ends the call at the time-out.
        auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, static_cast<int>(m_answerWithin.count())),
                                                    this);
        connect(
            watcher, &QDBusPendingCallWatcher::finished, this,
            [this, onAction = std::move(onAction), onFailed = std::move(onFailed)](QDBusPendingCallWatcher* finished) {
                const QDBusPendingReply<uint> reply = *finished;
                finished->deleteLater();
                if (reply.isError()) {
                    if (onFailed)
                        onFailed();
                    return;
                }
                if (onAction)
                    m_actions[reply.value()] = onAction;
            });
        return true;
    }

private slots:
    void ActionInvoked(uint id, const QString& key)
    {
        const auto found = m_actions.find(id);
        if (found == m_actions.end())
            return;
        // Copied out: the action may notify again, which may change the map.
        const OnAction action = found->second;
        action(key.toStdString());
    }
    void NotificationClosed(uint id, uint /*reason*/) { m_actions.erase(id); }

private:
    // A running service, or one the bus starts on the first call.
    bool ServiceThere() const
    {
        QDBusConnectionInterface* bus = m_bus.interface();
        if (!bus)
            return false;
        if (bus->isServiceRegistered(kService))
            return true;
        const QDBusReply<QStringList> activatable = bus->activatableServiceNames();
        return activatable.isValid() && activatable.value().contains(kService);
    }

    QDBusConnection m_bus;
    std::chrono::milliseconds m_answerWithin;
    std::map<uint, OnAction> m_actions;
};

}  // namespace

std::unique_ptr<DesktopNotifier> MakeDesktopNotifier(const std::string& busAddress,
                                                     std::chrono::milliseconds answerWithin)
{
    QDBusConnection bus = busAddress.empty() ? QDBusConnection::sessionBus()
                                             : QDBusConnection::connectToBus(QString::fromStdString(busAddress),
                                                                             QStringLiteral("dniarz-notifications"));
    if (!bus.isConnected())
        return nullptr;
    return std::make_unique<FreedesktopNotifier>(bus, answerWithin);
}

#include "freedesktop_notifier.moc"
