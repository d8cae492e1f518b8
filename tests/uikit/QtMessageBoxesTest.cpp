#include "uikit/QtMessageBoxes.h"

#include "uikit/FullScreenView.h"

#include "tests/support/WindowTest.h"

#include <QFontMetrics>
#include <QMessageBox>
#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace velka {
namespace {

// Every box is wide enough for its whole title beside a title bar's icon and buttons, however
// short its text: a window manager would otherwise cut "Velka Tablewright" down to "Ve…ht".
TEST(QtMessageBoxes, EveryBoxIsWideEnoughForItsWholeTitle)
{
    const std::vector<Message> messages{
        {kApplicationTitle, "Time Up!!", MessageIcon::Information, MessageButtons::Ok},
        errorMessage("分の欄には数字を入力してください。"),
        {"トーナメント表の初期化を確認してください（この操作は元に戻せません）", "OK?",
         MessageIcon::Warning, MessageButtons::YesNo},
    };
    for (const Message& message : messages) {
        int width = 0;
        int screenWidth = 0;
        QString title;
        const auto watch = test::whenModalOpens([&](QWidget* modal) {
            width = modal->width();
            screenWidth = modal->screen()->availableGeometry().width();
            title = modal->windowTitle();
            QTest::keyClick(modal, Qt::Key_Escape);
        });
        QtMessageBoxes().show(nullptr, message);
        ASSERT_EQ(title, QString::fromStdString(message.title));
        QFont bold = QApplication::font("QMessageBox");
        bold.setBold(true);
        // The title itself, and at least 100 pixels for the icon and the buttons beside it; no
        // box grows wider than the screen.
        const int needed = QFontMetrics(bold).horizontalAdvance(title) + 100;
        EXPECT_GE(width, std::min(needed, screenWidth)) << message.text;
        EXPECT_GE(width,
                  std::min(titleBarWidth(title, QApplication::font("QMessageBox")), screenWidth))
            << message.text;
    }
}

// A box stands over the window it is given, and never on a full-screen view: given one, it goes
// over the window the view belongs to. Once answered, the keyboard is back with the window that
// had it, whichever window owned the box.
TEST(QtMessageBoxes, StandsOverItsOwnerNeverOnAFullScreenView)
{
    QWidget working;
    QWidget owner;
    owner.show();
    auto* ownersView = new FullScreenView(&owner);
    ownersView->showOn(owner.screen());
    FullScreenView loneView;
    loneView.showOn(owner.screen());
    const std::vector<std::tuple<const char*, QWidget*, QWidget*>> cases{
        {"a window", &owner, &owner},
        {"its full-screen view", ownersView, &owner},
        {"a view of no window", &loneView, nullptr},
    };
    for (const auto& [name, given, expected] : cases) {
        ASSERT_TRUE(test::showActive(&working));
        QWidget* parent = &working;
        const auto watch = test::whenModalOpens([&](QWidget* modal) {
            parent = modal->parentWidget();
            QTest::keyClick(modal, Qt::Key_Return);
        });
        QtMessageBoxes().show(given, errorMessage("Error"));
        EXPECT_EQ(parent, expected) << name;
        EXPECT_TRUE(QTest::qWaitFor([&] { return QApplication::activeWindow() == &working; }))
            << name;
    }
}

} // namespace
} // namespace velka
