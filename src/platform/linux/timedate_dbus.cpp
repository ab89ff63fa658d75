// The time service on Linux: systemd-timedated's org.freedesktop.timedate1 SetTime, relative and
// interactive.
#include "platform/time_service.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QEventLoop>

namespace {

// Long enough for a user to read the authorisation dialog, find the password and type it. The
// window keeps working meanwhile; giving up early would report a failure for a change the
// service may still make once the user has answered.
constexpr int kAuthorisationTimeoutMs = 600000;

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
    // The authorisation dialog may stay open for minutes: the window must not freeze meanwhile,
    // so its events, input included, go on (callers guard against a second change while this one
    // waits).
    QDBusPendingCall pending = bus.asyncCall(call, kAuthorisationTimeoutMs);
    if (!pending.isFinished()) {
        QEventLoop loop;
        QDBusPendingCallWatcher watcher(pending);
        QObject::connect(&watcher, &QDBusPendingCallWatcher::finished, &loop, &QEventLoop::quit);
        loop.exec();
    }
    // The program is ending and left the wait early: the change may or may not come.
    if (!pending.isFinished())
        return {ClockChangeError::Failed, "no answer from the time service"};
    const QDBusMessage reply = pending.reply();
    if (reply.type() != QDBusMessage::ErrorMessage)
        return {};
    return {Classify(reply.errorName()),
            (reply.errorName() + QStringLiteral(": ") + reply.errorMessage()).toStdString()};
}
