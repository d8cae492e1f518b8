// The hall on a machine with two monitors: the laptop's (LEFT, 1920 x 1080) with the organiser's
// windows on it, and the projector (RIGHT, 1280 x 720) beside it. Offscreen, the platform builds
// both from two-screens.json; the same tests run on a real X server with a window manager.
#include "app/Shell.h"

#include "board/PrintDialogs.h"
#include "board/frmPairvaneMainForm.h"
#include "tests/support/RecordingWebBrowser.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/TestClock.h"
#include "tests/support/WindowTest.h"
#include "timer/TimerProjectorView.h"
#include "timer/frmEventTimer.h"
#include "uikit/FileDialogs.h"
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
        ASSERT_EQ(viewScreens().size(), 2) << "the two monitors of two-screens.json";
        shell = std::make_unique<Shell>(Services{boxes, random, clock, browser});
        shell->start();
        ASSERT_TRUE(test::showActive(main()));
        ASSERT_EQ(screenOf(main())->name(), QStringLiteral("LEFT"));
        main()->outputs().useServices(outputs, outputs, clock);
        QTest::mouseClick(control<QPushButton>(main(), QStringLiteral("cmdShow")), Qt::LeftButton);
        QTest::mouseClick(control<QPushButton>(main(), QStringLiteral("cmdEventTimer")),
                          Qt::LeftButton);
        timer = shell->loadedEventTimer();
        ASSERT_NE(timer, nullptr);
        timer->move(main()->frameGeometry().right() + 20, 100); // beside it, on the laptop
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

    QtMessageBoxes boxes;
    test::ScriptedRandom random{{}, 7};
    test::TestClock clock;
    test::RecordingWebBrowser browser;
    CancelledOutputs outputs;
    std::unique_ptr<Shell> shell;
    QPointer<frmEventTimer> timer;
};

// Each way of opening either view (F11, which is also the item in the window's menu, and the
// double-click on the display) puts it on the projector and leaves the keyboard with the window
// it was opened from, whose own F11 then closes the view again.
TEST_F(HallScreensTest, OpeningAProjectorViewLeavesTheKeyboardWithItsWindow)
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
        EXPECT_EQ(screenOf(view)->name(), QStringLiteral("RIGHT"));
        EXPECT_EQ(view->parentWidget(), opener);
        QCoreApplication::processEvents();
        EXPECT_TRUE(keyboardWith(opener));
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
    control<QLineEdit>(timer, QStringLiteral("txtMinute"))->setText(QStringLiteral("0"));
    control<QLineEdit>(timer, QStringLiteral("txtSecound"))->setText(QStringLiteral("1"));
    control<QCheckBox>(timer, QStringLiteral("chkCountDownTimer"))->click();
    ASSERT_TRUE(test::showActive(main()));
    type(Qt::Key_F11);
    BracketProjectorView* view = main()->outputs().projector();
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
    EXPECT_TRUE(view->isVisible()) << "the bracket stays on the projector";
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == main(); }));
    EXPECT_TRUE(keyboardWith(main())) << "after the box";
}

} // namespace
} // namespace velka
