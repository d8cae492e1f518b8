#pragma once

#include "timer/KeepScreenAwake.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <optional>

class QDBusPendingCallWatcher;

namespace velka {

// Keeps the screen awake through the session bus: org.freedesktop.ScreenSaver's Inhibit, or,
// where no one owns that name, the desktop portal's Inhibit with the idle flag. Every call is
// asynchronous with a short timeout and nothing waits for an answer, so a frozen service cannot
// hold up the caller; without a bus or a service nothing happens and nothing is said.
//
// The session bus is connected at the first inhibit, not when the program starts: a connection
// costs a thread and a round trip to the bus, and most runs never count down.
//
// It holds at most one inhibition. A release that comes while the inhibition is still being
// asked for is carried out when the answer arrives; so it must outlive the windows that use it
// (the program keeps one for the whole run).
class DBusScreenSaver final : public QObject, public ScreenSaver {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DBusScreenSaver)

public:
    static constexpr int kCallTimeoutMs = 2000;

    // Without a bus: the session bus, connected when it is first needed.
    explicit DBusScreenSaver(std::optional<QDBusConnection> bus = std::nullopt,
                             QObject* parent = nullptr);
    ~DBusScreenSaver() override;

    void inhibit() override;
    void release() override;

    // Held now: a cookie of the screen saver or a request of the portal.
    bool holding() const { return cookie_.has_value() || portalRequest_.has_value(); }

private:
    void askScreenSaver();
    void askPortal();
    void answered(QDBusPendingCallWatcher* call, bool portal);
    void releaseHeld();
    QDBusConnection& bus();

    std::optional<QDBusConnection> bus_;
    bool wanted_ = false;
    bool asking_ = false;
    std::optional<uint> cookie_;
    std::optional<QString> portalRequest_;
};

} // namespace velka
