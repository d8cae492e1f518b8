// The players' page when its server module cannot be loaded (removed, or from another version):
// each menu that offers the page says so in a box over the window it was chosen in, and no
// page window opens.
#include "app/Shell.h"

#include "board/frmPairvaneMainForm.h"
#include "tests/support/RecordingWebBrowser.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/TestClock.h"
#include "timer/frmEventTimer.h"

#include <QAction>
#include <QMenu>

#include <gtest/gtest.h>

#include <memory>

namespace velka {
namespace {

void choose(const QMenu& menu, const char* item)
{
    for (QAction* action : menu.actions()) {
        if (action->objectName() == QLatin1String(item)) {
            action->trigger();
            return;
        }
    }
    ADD_FAILURE() << "no item " << item;
}

TEST(PlayersPageModule, AMissingModuleIsReportedOverTheWindowItWasAskedFrom)
{
    test::ScriptedMessageBoxes boxes;
    test::ScriptedRandom random;
    test::TestClock clock;
    test::RecordingWebBrowser browser;
    Shell shell({.messageBoxes = boxes,
                 .random = random,
                 .clock = clock,
                 .browser = browser,
                 .pagePort = 0,
                 .pageServerModule = "libvelka-tablewright-no-page.so"});
    shell.start();
    shell.OpenEventTimer();
    frmPairvaneMainForm* board = shell.loadedMainForm();
    frmEventTimer* timer = shell.loadedEventTimer();

    const std::unique_ptr<QMenu> boardMenu(board->outputs().createMenu(board));
    choose(*boardMenu, "actPlayersPage");
    choose(*timer->hall().contextMenu(), "playersPageAction");

    EXPECT_EQ(boxes.owners, (std::vector<const QWidget*>{board, timer}));
    for (const Message& message : boxes.shown) {
        EXPECT_EQ(message.title, "Error");
        EXPECT_EQ(message.text.rfind("スマートフォンで見るための部品を読み込めませんでした。", 0),
                  0u)
            << message.text;
        EXPECT_NE(message.text.find("libvelka-tablewright-no-page.so"), std::string::npos)
            << message.text;
    }
    EXPECT_EQ(shell.loadedPlayersPage(), nullptr);
}

} // namespace
} // namespace velka
