#include "timer/DBusScreenSaver.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace velka {

namespace {

const QString kScreenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString kScreenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kPortalInhibit = QStringLiteral("org.freedesktop.portal.Inhibit");
constexpr uint kPortalIdleFlag = 8;

const QString kApplication = QStringLiteral("Velka Tablewright");
const QString kReason = QStringLiteral("カウントダウン中");

bool nobodyThere(const QDBusError& error)
{
    return error.type() == QDBusError::ServiceUnknown || error.type() == QDBusError::UnknownObject;
}

} // namespace

DBusScreenSaver::DBusScreenSaver(std::optional<QDBusConnection> bus, QObject* parent)
    : QObject(parent)
    , bus_(std::move(bus))
{}

DBusScreenSaver::~DBusScreenSaver()
{
    releaseHeld();
}

void DBusScreenSaver::inhibit()
{
    wanted_ = true;
    if (asking_ || holding() || !bus().isConnected())
        return;
    askScreenSaver();
}

void DBusScreenSaver::release()
{
    wanted_ = false;
    releaseHeld();
}

void DBusScreenSaver::askScreenSaver()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        kScreenSaverService, kScreenSaverPath, kScreenSaverService, QStringLiteral("Inhibit"));
    call << kApplication << kReason;
    asking_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* w) { answered(w, false); });
}

void DBusScreenSaver::askPortal()
{
    QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, kPortalPath, kPortalInhibit,
                                                       QStringLiteral("Inhibit"));
    call << QString() << kPortalIdleFlag << QVariantMap{{QStringLiteral("reason"), kReason}};
    asking_ = true;
    auto* watcher = new QDBusPendingCallWatcher(bus().asyncCall(call, kCallTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher* w) { answered(w, true); });
}

void DBusScreenSaver::answered(QDBusPendingCallWatcher* call, bool portal)
{
    call->deleteLater();
    asking_ = false;
    if (call->isError()) {
        // No screen saver on the bus: the portal may stand in for it. Any other failure (no
        // answer in time, a refusal) gives up quietly for this countdown.
        if (!portal && wanted_ && nobodyThere(call->error()))
            askPortal();
        return;
    }
    if (portal) {
        const QDBusPendingReply<QDBusObjectPath> reply = *call;
        portalRequest_ = reply.value().path();
    } else {
        const QDBusPendingReply<uint> reply = *call;
        cookie_ = reply.value();
    }
    if (!wanted_)
        releaseHeld(); // released while it was being asked for
}

QDBusConnection& DBusScreenSaver::bus()
{
    if (!bus_)
        bus_ = QDBusConnection::sessionBus();
    return *bus_;
}

void DBusScreenSaver::releaseHeld()
{
    // Sent without waiting for an answer; there is nothing to do with one.
    if (cookie_) {
        QDBusMessage call =
            QDBusMessage::createMethodCall(kScreenSaverService, kScreenSaverPath,
                                           kScreenSaverService, QStringLiteral("UnInhibit"));
        call << *cookie_;
        bus().send(call);
        cookie_.reset();
    }
    if (portalRequest_) {
        const QDBusMessage call = QDBusMessage::createMethodCall(
            kPortalService, *portalRequest_, QStringLiteral("org.freedesktop.portal.Request"),
            QStringLiteral("Close"));
        bus().send(call);
        portalRequest_.reset();
    }
}

} // namespace velka
