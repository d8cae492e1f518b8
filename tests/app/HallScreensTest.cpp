// The hall on a machine with two monitors: the laptop's (LEFT, 1920 x 1080) with the organiser's
// windows on it, and the projector (RIGHT, 1280 x 720) beside it; and on a laptop alone, or one
// whose screen the projector mirrors: one monitor. Offscreen, the platform builds the monitors
// from two-screens.json or one-screen.json; the same tests run on a real X server with a window
// manager.
#include "app/Shell.h"

#include "board/frmPairvaneMainForm.h"
#include "tests/support/RecordingWebBrowser.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/TestClock.h"
#include "tests/support/WindowTest.h"
#include "timer/TimerProjectorView.h"
#include "timer/frmEventTimer.h"
#include "uikit/FileDialogs.h"
#include "uikit/PrintDialogs.h"
#include "uikit/QtMessageBoxes.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
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

// Cancels every save and print, and counts the prints asked for.
struct CancelledOutputs final : SaveFileDialogs, PrintDialogs {
    QString askSaveFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return {};
    }
    bool askPrinter(QPrinter&, QWidget*) override
    {
        ++printsAsked;
        return false;
    }
    int printsAsked = 0;
};

// A key typed where the keyboard is.
void type(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    if (QWidget* focus = QApplication::focusWidget())
        QTest::keyClick(focus, key, modifiers);
    else
        ADD_FAILURE() << "no widget has the keyboard";
}

class HallScreensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(oneScreen || viewScreens().size() == 2) << "one monitor or two";
        shell = std::make_unique<Shell>(Services{boxes, random, clock, browser});
        shell->start();
        ASSERT_TRUE(test::showActive(main()));
        if (!oneScreen) {
            ASSERT_EQ(screenOf(main())->name(), QStringLiteral("LEFT"));
        }
        main()->outputs().useServices(outputs, outputs, clock);
        QTest::mouseClick(control<QPushButton>(main(), QStringLiteral("cmdShow")), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(main(), QStringLiteral("cmdEventTimer")),
                          Qt::LeftButton);
        timer = shell->loadedEventTimer();
        ASSERT_NE(timer, nullptr);
        // Beside it on the laptop, or as near as the laptop's screen allows.
        const int right = screenOf(main())->geometry().right() - timer->frameGeometry().width();
        timer->move(std::min(main()->frameGeometry().right() + 20, right), 100);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(timer));
        control<QTimer>(timer, QStringLiteral("Timer1"))->stop(); // the test moves time itself
    }
    void TearDown() override { shell.reset(); }

    frmPairvaneMainForm* main() const { return shell->loadedMainForm(); }

    // The keyboard is with the window; on the main window Ctrl+C copies and Ctrl+P prints.
    ::testing::AssertionResult keyboardWith(QWidget* window)
    {
        const QWidget* active = QApplication::activeWindow();
        if (active != window || !QApplication::focusWidget()) {
            return ::testing::AssertionFailure()
                   << "the keyboard is with "
                   << (active ? active->objectName() : QStringLiteral("nobody")).toStdString();
        }
        if (window != main())
            return ::testing::AssertionSuccess();
        QSignalSpy copied(main()->outputs().copyAction(), &QAction::triggered);
        const int printed = outputs.printsAsked;
        type(Qt::Key_C, Qt::ControlModifier);
        type(Qt::Key_P, Qt::ControlModifier);
        if (copied.count() == 1 && outputs.printsAsked == printed + 1)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "Ctrl+C or Ctrl+P did nothing";
    }

    const bool oneScreen = viewScreens().size() == 1;
    QtMessageBoxes boxes;
    test::ScriptedRandom random{{}, 7};
    test::TestClock clock;
    test::RecordingWebBrowser browser;
    CancelledOutputs outputs;
    std::unique_ptr<Shell> shell;
    QPointer<frmEventTimer> timer;
};

// Each way of opening either view (F11, which is also the item in the window's menu, and the
// double-click on the display). With a projector beside the laptop the view goes there and leaves
// the keyboard with the window it was opened from, whose own F11 then closes the view again. On
// one monitor the view covers that window and takes the keyboard: Esc closes it, and the window
// has the keyboard again.
TEST_F(HallScreensTest, AViewTakesTheKeyboardOnlyWhereItCoversItsWindow)
{
    const auto f11 = [] { type(Qt::Key_F11); };
    const auto doubleClick = [this] {
        QTest::mouseDClick(control<QLineEdit>(timer, QStringLiteral("txtEventTimer")),
                           Qt::LeftButton);
    };
    const std::vector<std::tuple<const char*, QWidget*, std::function<void()>>> ways{
        {"F11 on the main window", main(), f11},
        {"F11 on the timer", timer, f11},
        {"a double-click on the display", timer, doubleClick},
    };
    for (const auto& [name, opener, open] : ways) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(test::showActive(opener));
        open();
        const QPointer<FullScreenView> view =
            opener == main() ? static_cast<FullScreenView*>(main()->outputs().projector())
                             : timer->hall().projectorView();
        ASSERT_NE(view, nullptr);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
        EXPECT_EQ(view->parentWidget(), opener);
        QCoreApplication::processEvents();
        if (oneScreen) {
            EXPECT_TRUE(view->geometry().contains(opener->frameGeometry()));
            EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == view; }))
                << "the keyboard stayed with the window under the view";
            type(Qt::Key_Escape);
        } else {
            EXPECT_EQ(screenOf(view)->name(), QStringLiteral("RIGHT"));
            EXPECT_TRUE(keyboardWith(opener));
            type(Qt::Key_F11);
        }
        EXPECT_FALSE(view && view->isVisible()) << "the key did not reach the view";
        if (view)
            view->close();
        EXPECT_TRUE(
            QTest::qWaitFor([window = opener] { return QApplication::activeWindow() == window; }));
        EXPECT_TRUE(keyboardWith(opener)) << "once the view is closed";
    }
}

// A round runs; the organiser works on the bracket and puts it on the projector. The "Time Up!!"
// box opens over the timer window on the laptop, never on the projector, and once it is answered
// the main window has the keyboard and its shortcuts again. On one monitor the bracket covers the
// main window: the keyboard goes back to the bracket, whose Esc gives it to the main window.
TEST_F(HallScreensTest, TimeUpWhileTheBracketIsOnTheProjector)
{
    control<QLineEdit>(timer, QStringLiteral("txtMinute"))->setText(QStringLiteral("0"));
    control<QLineEdit>(timer, QStringLiteral("txtSecound"))->setText(QStringLiteral("1"));
    control<QCheckBox>(timer, QStringLiteral("chkCountDownTimer"))->click();
    ASSERT_TRUE(test::showActive(main()));
    type(Qt::Key_F11);
    const QPointer<BracketProjectorView> view = main()->outputs().projector();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));

    QString text;
    QWidget* owner = nullptr;
    QScreen* boxScreen = nullptr;
    bool handled = false;
    const auto watch = test::whenModalOpens([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            text = box->text();
        owner = modal->parentWidget();
        boxScreen = screenOf(modal);
        QTest::keyClick(modal, Qt::Key_Return);
        handled = true;
    });
    clock.time += 1;
    QMetaObject::invokeMethod(control<QTimer>(timer, QStringLiteral("Timer1")), "timeout");
    ASSERT_TRUE(QTest::qWaitFor([&] { return handled; }));

    EXPECT_EQ(text, QStringLiteral("Time Up!!"));
    EXPECT_EQ(owner, timer.data())
        << "owned by " << (owner ? owner->metaObject()->className() : "nobody");
    EXPECT_EQ(boxScreen, screenOf(timer));
    EXPECT_TRUE(view && view->isVisible()) << "the bracket stays on the projector";
    if (oneScreen) {
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == view; }));
        type(Qt::Key_Escape);
        EXPECT_FALSE(view && view->isVisible());
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == main(); }));
    EXPECT_TRUE(keyboardWith(main())) << "after the box";
}

} // namespace
} // namespace velka
