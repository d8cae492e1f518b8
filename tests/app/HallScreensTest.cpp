// The hall on a machine with two monitors: the laptop's (LEFT, 1920 x 1080) with the organiser's
// windows on it, and the projector (RIGHT, 1280 x 720) beside it. Offscreen, the platform builds
// both from two-screens.json; the same tests run on a real X server with a window manager.
#include "app/Shell.h"

#include "board/OutputDialogs.h"
#include "board/frmPairvaneMainForm.h"
#include "tests/support/RecordingWebBrowser.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/TestClock.h"
#include "tests/support/WindowTest.h"
#include "timer/TimerProjectorView.h"
#include "timer/frmEventTimer.h"
#include "uikit/QtMessageBoxes.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace velka {
namespace {

using test::control;

class CancelledPrint final : public PrintDialogs {
public:
    bool askPrinter(QPrinter&, QWidget*) override
    {
        ++asked;
        return false;
    }
    int asked = 0;
};

class CancelledSave final : public SaveFileDialogs {
public:
    QString askSaveFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
};

QString nameOf(const QWidget* window)
{
    return window ? window->objectName() : QStringLiteral("nobody");
}

// A key typed where the keyboard is.
void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget* focus = QApplication::focusWidget();
    if (!focus) {
        ADD_FAILURE() << "no widget has the keyboard";
        return;
    }
    QTest::keyClick(focus, key, modifiers);
}

class HallScreensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(viewScreens().size(), 2) << "the two monitors of two-screens.json";
        shell = std::make_unique<Shell>(Services{boxes, random, clock, browser});
        shell->start();
        ASSERT_TRUE(test::showActive(main()));
        ASSERT_EQ(screenOf(main())->name(), QStringLiteral("LEFT"));
        main()->outputs().useServices(files, printing, clock);
        QTest::mouseClick(control<QPushButton>(main(), QStringLiteral("cmdShow")), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(main(), QStringLiteral("cmdEventTimer")),
                          Qt::LeftButton);
        timer = shell->loadedEventTimer();
        ASSERT_NE(timer, nullptr);
        timer->move(main()->frameGeometry().right() + 20, 100); // beside it, on the laptop
        ASSERT_TRUE(QTest::qWaitForWindowExposed(timer));
        // The test moves time itself.
        control<QTimer>(timer, QStringLiteral("Timer1"))->stop();
    }
    void TearDown() override { shell.reset(); }

    frmPairvaneMainForm* main() const { return shell->loadedMainForm(); }

    // The keyboard is with the window, and its shortcuts reach it: F11, and on the main window
    // Ctrl+C (copy) and Ctrl+P (print).
    ::testing::AssertionResult keyboardWith(QWidget* window, bool tryCopyAndPrint)
    {
        QWidget* focus = QApplication::focusWidget();
        if (QApplication::activeWindow() != window || !focus || focus->window() != window) {
            return ::testing::AssertionFailure()
                   << "the keyboard is with " << nameOf(QApplication::activeWindow()).toStdString()
                   << ", not " << nameOf(window).toStdString();
        }
        if (!tryCopyAndPrint)
            return ::testing::AssertionSuccess();
        QSignalSpy copied(main()->outputs().copyAction(), &QAction::triggered);
        const int printed = printing.asked;
        type(Qt::Key_C, Qt::ControlModifier);
        type(Qt::Key_P, Qt::ControlModifier);
        if (copied.count() != 1 || printing.asked != printed + 1) {
            return ::testing::AssertionFailure()
                   << "Ctrl+C copied " << copied.count() << " times, Ctrl+P printed "
                   << printing.asked - printed << " times";
        }
        return ::testing::AssertionSuccess();
    }

    void startCountdown(const char* seconds)
    {
        control<QLineEdit>(timer, QStringLiteral("txtMinute"))->setText(QStringLiteral("0"));
        control<QLineEdit>(timer, QStringLiteral("txtSecound"))
            ->setText(QString::fromLatin1(seconds));
        control<QCheckBox>(timer, QStringLiteral("chkCountDownTimer"))->click();
    }

    QtMessageBoxes boxes;
    test::ScriptedRandom random{{}, 7};
    test::TestClock clock;
    test::RecordingWebBrowser browser;
    CancelledSave files;
    CancelledPrint printing;
    std::unique_ptr<Shell> shell;
    QPointer<frmEventTimer> timer;
};

// Every way of opening either view leaves the keyboard with the window it was opened from, whose
// own F11 then closes the view again.
TEST_F(HallScreensTest, OpeningAProjectorViewLeavesTheKeyboardWithItsWindow)
{
    const auto menuItem = [](QMenu* menu, const char* name) {
        for (QAction* action : menu->actions()) {
            if (action->objectName() == QLatin1String(name))
                return action;
        }
        ADD_FAILURE() << "no menu item " << name;
        return new QAction(menu);
    };
    struct Way {
        const char* name;
        QWidget* opener;
        std::function<void()> open;
        std::function<FullScreenView*()> view;
    };
    const auto bracketView = [this]() -> FullScreenView* { return main()->outputs().projector(); };
    const auto timerView = [this]() -> FullScreenView* { return timer->hall().projectorView(); };
    const std::vector<Way> ways{
        {"F11 on the main window", main(), [] { type(Qt::Key_F11); }, bracketView},
        {"the board's menu", main(),
         [&] {
             const std::unique_ptr<QMenu> menu(main()->outputs().createMenu(main()));
             menuItem(menu.get(), "actProjector")->trigger();
         },
         bracketView},
        {"F11 on the timer", timer, [] { type(Qt::Key_F11); }, timerView},
        {"a double-click on the display", timer,
         [&] {
             QTest::mouseDClick(control<QLineEdit>(timer, QStringLiteral("txtEventTimer")),
                                Qt::LeftButton);
         },
         timerView},
        {"the display's menu", timer,
         [&] {
             const std::unique_ptr<QMenu> menu = timer->hall().contextMenu();
             menuItem(menu.get(), "projectorAction")->trigger();
         },
         timerView},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        ASSERT_TRUE(test::showActive(way.opener));
        way.open();
        const QPointer<FullScreenView> view = way.view();
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
        EXPECT_EQ(screenOf(view)->name(), QStringLiteral("RIGHT"));
        EXPECT_EQ(view->parentWidget(), way.opener);
        QCoreApplication::processEvents();
        EXPECT_TRUE(keyboardWith(way.opener, way.opener == main()));
        type(Qt::Key_F11);
        EXPECT_FALSE(view && view->isVisible()) << "F11 did not reach the window";
        if (view)
            view->close();
    }
}

// A round runs; the organiser works on the bracket and puts it on the projector. The "Time Up!!"
// box opens over the timer window on the laptop, never on the projector, and once it is answered
// the main window has the keyboard and its shortcuts again.
TEST_F(HallScreensTest, TimeUpWhileTheBracketIsOnTheProjector)
{
    startCountdown("1");
    ASSERT_TRUE(test::showActive(main()));
    type(Qt::Key_F11);
    BracketProjectorView* view = main()->outputs().projector();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    ASSERT_EQ(screenOf(view)->name(), QStringLiteral("RIGHT"));
    QCoreApplication::processEvents();
    EXPECT_TRUE(keyboardWith(main(), true)) << "with the bracket on the projector";

    QString text;
    QWidget* owner = nullptr;
    QString boxScreen;
    bool handled = false;
    const auto watch = test::whenModalOpens([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            text = box->text();
        owner = modal->parentWidget();
        boxScreen = screenOf(modal)->name();
        QTest::keyClick(modal, Qt::Key_Return);
        handled = true;
    });
    clock.time += 1;
    QMetaObject::invokeMethod(control<QTimer>(timer, QStringLiteral("Timer1")), "timeout");
    ASSERT_TRUE(QTest::qWaitFor([&] { return handled; }));

    EXPECT_EQ(text, QStringLiteral("Time Up!!"));
    EXPECT_EQ(owner, timer.data()) << "owned by " << nameOf(owner).toStdString();
    EXPECT_FALSE(qobject_cast<FullScreenView*>(owner));
    EXPECT_EQ(boxScreen, screenOf(timer)->name());
    EXPECT_TRUE(view->isVisible()) << "the bracket stays on the projector";
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == main(); }));
    EXPECT_TRUE(keyboardWith(main(), true)) << "after the box";
}

} // namespace
} // namespace velka
