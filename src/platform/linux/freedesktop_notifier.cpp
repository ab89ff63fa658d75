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
#include <string>

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
        hints.insert(QStringLiteral("desktop-entry"), QStringLiteral(DNIARZ_APP_ID));
        hints.insert(QStringLiteral("urgency"), QVariant::fromValue<uchar>(notification.urgent ? 2 : 1));
        // The tag's last notification is replaced, so that a second ring shows one notification,
        // not two; a server that no longer shows it makes a new one.
        uint replaces = 0;
        const std::string& tag = notification.tag;
        if (!tag.empty()) {
            Tagged& tagged = m_tagged[tag];
            replaces = tagged.id;
            tagged.closeOnReply = false;
            ++tagged.pending;
        }
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
        call << QStringLiteral("Dniarz") << replaces << QStringLiteral("dniarz")
             << QString::fromStdString(notification.summary) << QString::fromStdString(notification.body) << actions
             << hints << (notification.urgent ? 0 : -1);
        // Not waited for: the window goes on while the service answers, and the answer only
        // names the notification so that its buttons find their way back. A service that is
        // registered but hung, or refuses, would otherwise swallow an alarm: the bus ends the call
        // at the time-out, and the caller falls back to the tray.
        auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call, static_cast<int>(m_answerWithin.count())),
                                                    this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, tag, onAction = std::move(onAction),
                 onFailed = std::move(onFailed)](QDBusPendingCallWatcher* finished) {
                    const QDBusPendingReply<uint> reply = *finished;
                    finished->deleteLater();
                    bool closeNow = false;
                    if (!tag.empty()) {
                        Tagged& tagged = m_tagged[tag];
                        --tagged.pending;
                        if (!reply.isError()) {
                            // Two calls crossed before the first was named: the older one goes.
                            if (tagged.id != 0 && tagged.id != reply.value())
                                CloseId(tagged.id);
                            tagged.id = reply.value();
                        }
                        closeNow = tagged.closeOnReply && tagged.pending == 0;
                    }
                    if (reply.isError()) {
                        if (onFailed && !closeNow)
                            onFailed();
                        return;
                    }
                    if (closeNow) {
                        // Closed before the service named it: it goes as soon as it has a name.
                        CloseNow(tag);
                        return;
                    }
                    if (onAction)
                        m_actions[reply.value()] = onAction;
                });
        return true;
    }

    void Close(const std::string& tag) override
    {
        const auto found = m_tagged.find(tag);
        if (found == m_tagged.end())
            return;
        // One still on its way replaces the one shown and goes when it is named.
        if (found->second.pending > 0)
            found->second.closeOnReply = true;
        else
            CloseNow(tag);
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
    void NotificationClosed(uint id, uint /*reason*/)
    {
        m_actions.erase(id);
        for (auto& [tag, tagged] : m_tagged)
            if (tagged.id == id)
                tagged.id = 0;
    }

private:
    // The server's name for a tag's notification, and the calls still on their way.
    struct Tagged
    {
        uint id = 0;  // 0: none shown
        int pending = 0;
        bool closeOnReply = false;
    };

    void CloseNow(const std::string& tag)
    {
        // The id is kept for the next notification of the tag to replace: a server that still
        // shows it, against the close, then shows one and not two.
        if (const uint id = m_tagged[tag].id)
            CloseId(id);
    }

    void CloseId(uint id)
    {
        m_actions.erase(id);
        QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService,
                                                           QStringLiteral("CloseNotification"));
        call << id;
        // A notification the server has already let go of answers with an error that changes nothing.
        m_bus.call(call, QDBus::NoBlock);
    }

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
    std::map<std::string, Tagged> m_tagged;
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
