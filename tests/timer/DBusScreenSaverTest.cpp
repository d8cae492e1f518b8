// The screen kept awake through a fake org.freedesktop.ScreenSaver (and a fake portal) on the
// private session bus of dbus-run-session. The fakes live in this process on a connection of
// their own, so the program's calls really travel through the bus daemon.
#include "timer/platform/linux/DBusScreenSaver.h"
#include "tests/support/ScopedTimeZone.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TestClock.h"
#include "tests/support/WindowTest.h"
#include "timer/frmEventTimer.h"

#include <QCheckBox>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <initializer_list>
#include <memory>
#include <set>
#include <utility>

namespace velka {
namespace {

using test::control;
using test::TestClock;

constexpr std::int64_t kTen = 1717203600;

// What a fake service heard: "Inhibit" and "UnInhibit <cookie>", and which cookies it holds.
struct Heard {
    QStringList calls;
    std::set<uint> held;
    std::size_t mostHeld = 0;
};

class FakeScreenSaver : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.ScreenSaver")

public:
    explicit FakeScreenSaver(Heard& heard, bool frozen)
        : heard_(heard)
        , frozen_(frozen)
    {}

public slots:
    uint Inhibit(const QString& application, const QString& reason)
    {
        heard_.calls << QStringLiteral("Inhibit");
        if (application.isEmpty() || reason.isEmpty())
            heard_.calls << QStringLiteral("(no application or reason)");
        if (frozen_) {
            setDelayedReply(true); // until answerHeld
            waiting_ << message();
            return 0;
        }
        heard_.held.insert(++lastCookie_);
        heard_.mostHeld = std::max(heard_.mostHeld, heard_.held.size());
        return lastCookie_;
    }
    void UnInhibit(uint cookie)
    {
        heard_.calls << QStringLiteral("UnInhibit %1").arg(cookie);
        heard_.held.erase(cookie);
    }

public:
    // The frozen service comes back and answers what it was asked.
    void answerHeld(const QDBusConnection& bus)
    {
        for (const QDBusMessage& call : std::exchange(waiting_, {})) {
            heard_.held.insert(++lastCookie_);
            bus.send(call.createReply(lastCookie_));
        }
    }

private:
    Heard& heard_;
    bool frozen_;
    uint lastCookie_ = 40;
    QList<QDBusMessage> waiting_;
};

class FakePortalRequest : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Request")

public:
    explicit FakePortalRequest(Heard& heard)
        : heard_(heard)
    {}

public slots:
    void Close()
    {
        heard_.calls << QStringLiteral("Close");
        heard_.held.clear();
    }

private:
    Heard& heard_;
};

class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")

public:
    explicit FakePortal(Heard& heard)
        : heard_(heard)
    {}

public slots:
    QDBusObjectPath Inhibit(const QString&, uint flags, const QVariantMap&)
    {
        heard_.calls << QStringLiteral("Inhibit flags %1").arg(flags);
        heard_.held.insert(1);
        return QDBusObjectPath(QStringLiteral("/org/freedesktop/portal/desktop/request/1_1/velka"));
    }

private:
    Heard& heard_;
};

class KeepAwakeOverDBus : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(QDBusConnection::sessionBus().isConnected()) << "run under dbus-run-session";
        clock.time = kTen;
    }
    void TearDown() override
    {
        window.reset();
        screenSaver.reset();
        fakeBus.unregisterObject(QStringLiteral("/org/freedesktop/ScreenSaver"));
        fakeBus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
        fakeBus.unregisterObject(
            QStringLiteral("/org/freedesktop/portal/desktop/request/1_1/velka"));
        fakeBus.unregisterService(QStringLiteral("org.freedesktop.ScreenSaver"));
        fakeBus.unregisterService(QStringLiteral("org.freedesktop.portal.Desktop"));
    }
    void offerScreenSaver(bool frozen)
    {
        fake = std::make_unique<FakeScreenSaver>(heard, frozen);
        ASSERT_TRUE(fakeBus.registerObject(QStringLiteral("/org/freedesktop/ScreenSaver"),
                                           fake.get(), QDBusConnection::ExportAllSlots));
        ASSERT_TRUE(fakeBus.registerService(QStringLiteral("org.freedesktop.ScreenSaver")));
    }
    void openWindow()
    {
        screenSaver = std::make_unique<DBusScreenSaver>();
        window =
            std::make_unique<frmEventTimer>(clock, boxes, HallServices{nullptr, screenSaver.get()});
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    QCheckBox* countDownBox() const
    {
        return control<QCheckBox>(window.get(), QStringLiteral("chkCountDownTimer"));
    }
    QTimer* timer1() const { return control<QTimer>(window.get(), QStringLiteral("Timer1")); }
    void tick()
    {
        QMetaObject::invokeMethod(timer1(), "timeout");
        QApplication::processEvents();
    }
    // Waits for the bus to carry the calls, as long as that takes: the bound only keeps a
    // broken test from hanging until its time-out.
    static constexpr int kBusBoundMs = 30000;
    bool heardSoon(std::initializer_list<const char*> calls)
    {
        QStringList expected;
        for (const char* call : calls)
            expected << QString::fromUtf8(call);
        return QTest::qWaitFor([&] { return heard.calls == expected; }, kBusBoundMs);
    }
    // The service's answer has come back: the cookie is held.
    bool heldSoon()
    {
        return QTest::qWaitFor([&] { return screenSaver->holding(); }, kBusBoundMs);
    }

    QDBusConnection fakeBus =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("fakes"));
    Heard heard;
    std::unique_ptr<FakeScreenSaver> fake;
    test::ScopedTimeZone zone{"Asia/Tokyo"};
    TestClock clock;
    test::ScriptedMessageBoxes boxes;
    std::unique_ptr<DBusScreenSaver> screenSaver;
    std::unique_ptr<frmEventTimer> window;
};

TEST_F(KeepAwakeOverDBus, OneInhibitPerCountdownReleasedAtTimeUpClearRestartAndClose)
{
    offerScreenSaver(false);
    openWindow();
    timer1()->stop();

    countDownBox()->click(); // 5 minutes
    ASSERT_TRUE(heardSoon({"Inhibit"})) << heard.calls.join(u',').toStdString();
    clock.time = kTen + 300;
    tick(); // time up
    ASSERT_TRUE(heardSoon({"Inhibit", "UnInhibit 41"})) << heard.calls.join(u',').toStdString();

    heard.calls.clear();
    countDownBox()->click();
    ASSERT_TRUE(heardSoon({"Inhibit"}));
    countDownBox()->click(); // cleared
    ASSERT_TRUE(heardSoon({"Inhibit", "UnInhibit 42"})) << heard.calls.join(u',').toStdString();

    heard.calls.clear();
    countDownBox()->click();
    ASSERT_TRUE(heardSoon({"Inhibit"}));
    ASSERT_TRUE(heldSoon());
    countDownBox()->setFocus();
    QTest::keyClick(countDownBox(), Qt::Key_Return); // restarts
    ASSERT_TRUE(heardSoon({"Inhibit", "UnInhibit 43", "Inhibit"}))
        << heard.calls.join(u',').toStdString();
    ASSERT_TRUE(heldSoon());

    window->close();
    ASSERT_TRUE(heardSoon({"Inhibit", "UnInhibit 43", "Inhibit", "UnInhibit 44"}))
        << heard.calls.join(u',').toStdString();
    EXPECT_TRUE(heard.held.empty());
    EXPECT_EQ(heard.mostHeld, 1U) << "never two at once";
    EXPECT_TRUE(boxes.shown.size() == 1) << "only the Time Up!! box";
}

// A countdown cleared before the service has answered: the cookie that comes later is given back.
TEST_F(KeepAwakeOverDBus, AReleaseBeforeTheAnswerGivesTheLateCookieBack)
{
    offerScreenSaver(false);
    DBusScreenSaver direct;
    direct.inhibit();
    direct.release();
    direct.inhibit(); // still asking: no second Inhibit
    direct.release();
    ASSERT_TRUE(heardSoon({"Inhibit", "UnInhibit 41"})) << heard.calls.join(u',').toStdString();
    EXPECT_FALSE(direct.holding());
    EXPECT_TRUE(heard.held.empty());
}

TEST_F(KeepAwakeOverDBus, ThePortalStandsInWhenNoScreenSaverIsThere)
{
    FakePortal portal(heard);
    FakePortalRequest request(heard);
    ASSERT_TRUE(fakeBus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                                       QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(
        fakeBus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop/request/1_1/velka"),
                               &request, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(fakeBus.registerService(QStringLiteral("org.freedesktop.portal.Desktop")));
    openWindow();
    timer1()->stop();
    countDownBox()->click();
    ASSERT_TRUE(heardSoon({"Inhibit flags 8"})) << heard.calls.join(u',').toStdString();
    countDownBox()->click();
    ASSERT_TRUE(heardSoon({"Inhibit flags 8", "Close"})) << heard.calls.join(u',').toStdString();
}

// With nobody on the bus, or a service that has stopped answering, starting and clearing
// countdowns never waits for the bus: the frozen service answers only after every click has
// returned, and that late answer is still taken. A click that had waited for the answer would
// have given up on it (and asked again at the next start). The ticks go on and nothing is shown.
class SilentBus : public KeepAwakeOverDBus, public ::testing::WithParamInterface<const char*> {};

TEST_P(SilentBus, StartsAndClearsNeverWaitForTheBus)
{
    const bool frozen = std::string(GetParam()) == "frozen service";
    if (frozen)
        offerScreenSaver(true);
    openWindow();
    timer1()->stop();
    auto* display = control<QLineEdit>(window.get(), QStringLiteral("txtEventTimer"));
    for (int round = 0; round < 3; ++round) {
        countDownBox()->click(); // starts: an Inhibit goes out
        clock.time += 1;
        tick();
        EXPECT_EQ(display->text(), QStringLiteral("0 : 04 : 59")) << round;
        countDownBox()->click(); // cleared
        tick();
        EXPECT_FALSE(window->eventTimer().countingDown()) << round;
    }
    countDownBox()->click(); // and one left running
    EXPECT_FALSE(screenSaver->holding());
    if (frozen) {
        ASSERT_TRUE(heardSoon({"Inhibit"})) << heard.calls.join(u',').toStdString();
        fake->answerHeld(fakeBus);
        EXPECT_TRUE(heldSoon()) << "the late answer was thrown away";
    }
    EXPECT_TRUE(boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Services, SilentBus, ::testing::Values("no service", "frozen service"),
                         [](const auto& param) {
                             return std::string(param.param) == "frozen service" ? "Frozen"
                                                                                 : "NoService";
                         });

} // namespace
} // namespace velka

#include "DBusScreenSaverTest.moc"
