// Opens the event timer and its projector view on a real display, the way the organiser does,
// and reports the native windows so that a script can check where they landed:
//
//   projector-probe [--screen NAME] [--countdown H M S] [--time-up] [--seconds S]
//
// --screen chooses the monitor through the display's context menu (default: none chosen).
// Prints "timer 0x<id>", "view 0x<id> <x> <y> <w> <h>" and "pid <process id>" once the view is
// exposed, then keeps running until it is killed, or for S seconds when --seconds is given.
#include "core/Clock.h"
#include "timer/TimerProjectorView.h"
#include "timer/frmEventTimer.h"
#include "uikit/Application.h"
#include "uikit/QtMessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    velka::setUpApplication(app);
    QString screenName;
    QStringList countdown;
    bool timeUp = false;
    int seconds = 0;
    const QStringList args = QCoreApplication::arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--screen") && i + 1 < args.size())
            screenName = args[++i];
        else if (args[i] == QLatin1String("--countdown") && i + 3 < args.size())
            countdown = args.mid(i + 1, 3), i += 3;
        else if (args[i] == QLatin1String("--time-up"))
            timeUp = true;
        else if (args[i] == QLatin1String("--seconds") && i + 1 < args.size())
            seconds = args[++i].toInt();
    }

    velka::SystemClock clock;
    velka::QtMessageBoxes boxes;
    velka::frmEventTimer window(clock, boxes);
    window.show();
    if (!QTest::qWaitForWindowExposed(&window))
        return 1;
    if (countdown.size() == 3) {
        window.findChild<QLineEdit*>(QStringLiteral("txtHour"))->setText(countdown[0]);
        window.findChild<QLineEdit*>(QStringLiteral("txtMinute"))->setText(countdown[1]);
        window.findChild<QLineEdit*>(QStringLiteral("txtSecound"))->setText(countdown[2]);
        window.findChild<QCheckBox*>(QStringLiteral("chkCountDownTimer"))->click();
    }

    // The same menu the organiser opens on the display.
    const auto trigger = [&](const std::function<bool(QAction*)>& wanted) {
        const std::unique_ptr<QMenu> menu = window.hall().contextMenu();
        // The menu's own items and those of its monitor submenu.
        for (QAction* action : menu->actions() + menu->findChildren<QAction*>()) {
            if (wanted(action)) {
                action->trigger();
                return true;
            }
        }
        return false;
    };
    if (!screenName.isEmpty() &&
        !trigger([&](QAction* a) { return a->text().startsWith(screenName + QLatin1Char(' ')); })) {
        std::fprintf(stderr, "no menu item for the screen %s\n", qPrintable(screenName));
        return 1;
    }
    trigger([](QAction* a) { return a->objectName() == QLatin1String("projectorAction"); });
    velka::TimerProjectorView* view = window.hall().projectorView();
    if (!view || !QTest::qWaitForWindowExposed(view))
        return 1;
    if (timeUp)
        window.hall().timeUpShown(true);
    const QRect area = view->geometry();
    std::printf("timer 0x%llx\nview 0x%llx %d %d %d %d\npid %lld\n",
                static_cast<unsigned long long>(window.winId()),
                static_cast<unsigned long long>(view->winId()), area.x(), area.y(), area.width(),
                area.height(), static_cast<long long>(QCoreApplication::applicationPid()));
    std::fflush(stdout);
    if (seconds > 0)
        QTimer::singleShot(seconds * 1000, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
