#include "uikit/FullScreenView.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace velka {
namespace {

TEST(FullScreenView, CoversItsScreenExactlyWithoutAFrame)
{
    FullScreenView view;
    QScreen* screen = QGuiApplication::primaryScreen();
    view.showOn(screen);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    EXPECT_EQ(view.geometry(), screen->geometry());
    EXPECT_TRUE(view.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(view.windowHandle()->screen(), screen);
}

// Each way out closes the view once and says so.
TEST(FullScreenView, EscF11AndDoubleClickCloseIt)
{
    const std::vector<std::pair<const char*, std::function<void(QWidget*)>>> ways{
        {"Esc", [](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); }},
        {"F11", [](QWidget* w) { QTest::keyClick(w, Qt::Key_F11); }},
        {"double-click", [](QWidget* w) { QTest::mouseDClick(w, Qt::LeftButton); }},
    };
    for (const auto& [name, way] : ways) {
        FullScreenView view;
        QSignalSpy closed(&view, &FullScreenView::closed);
        view.showOn(QGuiApplication::primaryScreen());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        way(&view);
        EXPECT_FALSE(view.isVisible()) << name;
        EXPECT_EQ(closed.count(), 1) << name;
    }
}

TEST(FullScreenView, OtherKeysLeaveItOpen)
{
    FullScreenView view;
    view.showOn(QGuiApplication::primaryScreen());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    QTest::keyClick(&view, Qt::Key_A);
    QTest::keyClick(&view, Qt::Key_Space);
    EXPECT_TRUE(view.isVisible());
}

TEST(ScreenChoice, FallsBackToTheDefaultWhenTheChosenScreenIsGone)
{
    ScreenChoice choice;
    QWidget control;
    EXPECT_EQ(choice.resolve(&control), defaultViewScreen(&control));
    choice.choose(QGuiApplication::primaryScreen());
    EXPECT_EQ(choice.resolve(&control), QGuiApplication::primaryScreen());
    EXPECT_EQ(viewScreens(), QGuiApplication::screens()) << "one screen spans no other";
}

} // namespace
} // namespace velka
