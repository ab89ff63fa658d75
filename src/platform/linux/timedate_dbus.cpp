// The time service on Linux: systemd-timedated's org.freedesktop.timedate1 SetTime, relative and
// interactive.
#include "platform/time_service.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>

namespace {

// Long enough for a user to read the authorisation dialog and type a password.
constexpr int kAuthorisationTimeoutMs = 120000;

ClockChangeError Classify(const QString& name)
{
    if (name == QLatin1String("org.freedesktop.timedate1.AutomaticTimeSyncEnabled"))
        return ClockChangeError::AutomaticSync;
    if (name == QLatin1String("org.freedesktop.DBus.Error.AccessDenied")
        || name == QLatin1String("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired")
        || name.startsWith(QLatin1String("org.freedesktop.PolicyKit1.Error.")))
        return ClockChangeError::Refused;
    if (name == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown")
        || name == QLatin1String("org.freedesktop.DBus.Error.NoServer")
        || name == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner")
        || name.startsWith(QLatin1String("org.freedesktop.DBus.Error.Spawn")))
        return ClockChangeError::NoPrivilege;
    return ClockChangeError::Failed;
}

}  // namespace

ClockChange ShiftThroughTimeService(std::chrono::microseconds delta)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return {ClockChangeError::NoPrivilege, "no system bus"};
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("/org/freedesktop/timedate1"),
        QStringLiteral("org.freedesktop.timedate1"), QStringLiteral("SetTime"));
    // usec_utc, relative, interactive
    call << static_cast<qlonglong>(delta.count()) << true << true;
    call.setInteractiveAuthorizationAllowed(true);
    const QDBusMessage reply = bus.call(call, QDBus::Block, kAuthorisationTimeoutMs);
    if (reply.type() != QDBusMessage::ErrorMessage)
        return {};
    return {Classify(reply.errorName()),
            (reply.errorName() + QStringLiteral(": ") + reply.errorMessage()).toStdString()};
}
