// The projector view on a machine with two monitors: the laptop's (LEFT, 1920 x 1080) with the
// main window on it, and the projector (RIGHT, 1280 x 720) beside it. The offscreen platform
// builds both from two-screens.json.
#include "board/BracketProjectorView.h"
#include "board/frmPairvaneMainForm.h"

#include "tests/board/BracketTestSupport.h"
#include "tests/support/ScriptedMessageBoxes.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace velka {
namespace {

class TwoScreensTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(viewScreens().size(), 2) << "the two monitors of two-screens.json";
        form = std::make_unique<frmPairvaneMainForm>(boxes);
        form->move(100, 100);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        test::drawAndMark(form->board(), test::markedDraws()[1]);
    }

    static QScreen* screenNamed(const QString& name)
    {
        for (QScreen* screen : viewScreens()) {
            if (screen->name() == name)
                return screen;
        }
        ADD_FAILURE() << "no screen " << name.toStdString();
        return nullptr;
    }

    // The screen items of the board's context menu, by their text, with the one checked.
    struct ScreenItems {
        QList<QAction*> items;
        QString checked;
    };
    ScreenItems screenItems(QMenu* menu) const
    {
        ScreenItems found;
        auto* screens = menu->findChild<QMenu*>(QStringLiteral("BracketScreenMenu"));
        if (!screens)
            return found;
        for (QAction* item : screens->actions()) {
            found.items << item;
            if (item->isChecked())
                found.checked = item->text();
        }
        return found;
    }

    test::ScriptedMessageBoxes boxes;
    std::unique_ptr<frmPairvaneMainForm> form;
};

TEST_F(TwoScreensTest, F11PutsTheBracketOnTheOtherMonitor)
{
    QTest::keyClick(form.get(), Qt::Key_F11);
    BracketProjectorView* view = form->outputs().projector();
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view));
    EXPECT_EQ(view->geometry(), QRect(1920, 0, 1280, 720));
    EXPECT_EQ(view->windowHandle()->screen(), screenNamed(QStringLiteral("RIGHT")));
    EXPECT_FALSE(view->geometry().intersects(form->frameGeometry()));
}

TEST_F(TwoScreensTest, TheMenuMovesTheViewAndRemembersTheChoice)
{
    form->outputs().openProjector();
    BracketProjectorView* view = form->outputs().projector();
    ASSERT_NE(view, nullptr);

    std::unique_ptr<QMenu> menu(form->outputs().createMenu(form.get()));
    ScreenItems items = screenItems(menu.get());
    ASSERT_EQ(items.items.size(), 2);
    EXPECT_EQ(items.checked, screenLabel(screenNamed(QStringLiteral("RIGHT"))));
    for (QAction* item : items.items) {
        if (item->text() == screenLabel(screenNamed(QStringLiteral("LEFT"))))
            item->trigger();
    }
    EXPECT_EQ(view->geometry(), QRect(0, 0, 1920, 1080)) << "moved while open";
    EXPECT_EQ(view->windowHandle()->screen(), screenNamed(QStringLiteral("LEFT")));
    EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == view; }))
        << "over the main window, the view takes the keyboard";

    // Closed and opened again, it goes where it was put.
    view->close();
    QTest::qWait(0);
    form->outputs().openProjector();
    ASSERT_NE(form->outputs().projector(), nullptr);
    EXPECT_EQ(form->outputs().projector()->geometry(), QRect(0, 0, 1920, 1080));
    menu.reset(form->outputs().createMenu(form.get()));
    EXPECT_EQ(screenItems(menu.get()).checked, screenLabel(screenNamed(QStringLiteral("LEFT"))));
}

} // namespace
} // namespace velka
