#include "board/frmPairvaneMainForm.h"

#include "tests/support/AccessKeys.h"
#include "tests/support/BoardSnapshot.h"
#include "tests/support/BoxRule.h"
#include "tests/support/CheckBoxChange.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/WindowTest.h"
#include "uikit/QtMessageBoxes.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

namespace velka {
namespace {

enum class Ink { None, Partial, Full };

void PrintTo(Ink ink, std::ostream* out)
{
    *out << (ink == Ink::None ? "no ink" : ink == Ink::Full ? "ink" : "partly ink (blurred)");
}

using test::control;
using test::snapshot;

class MainFormTest : public ::testing::Test {
protected:
    void open(MessagePresenter& messageBoxes)
    {
        form = std::make_unique<frmPairvaneMainForm>(messageBoxes);
        ASSERT_TRUE(test::showActive(form.get()));
    }
    void SetUp() override { open(boxes); }

    QCheckBox* box(int k) const
    {
        return control<QCheckBox>(form.get(), QStringLiteral("chkTournament(%1)").arg(k));
    }
    QPushButton* button(const char* name) const
    {
        return control<QPushButton>(form.get(), QString::fromLatin1(name));
    }
    QFrame* picture() const { return control<QFrame>(form.get(), QStringLiteral("Picture1")); }

    // How much of the board pixel (x, y), counted in logical pixels from the board's inner
    // corner, carries ink: on a scaled screen one logical pixel is several device pixels, and a
    // crisp line covers all of them or none.
    Ink inkAt(int x, int y) const { return inkIn(picture()->grab().toImage(), x, y); }
    Ink inkIn(const QImage& image, int x, int y) const
    {
        const int ratio = qRound(image.devicePixelRatio());
        const QPoint at = QPoint(x, y) + picture()->contentsRect().topLeft();
        int inked = 0;
        for (int dy = 0; dy < ratio; ++dy) {
            for (int dx = 0; dx < ratio; ++dx)
                inked += qGray(image.pixel(at.x() * ratio + dx, at.y() * ratio + dy)) < 100;
        }
        return inked == 0 ? Ink::None : inked == ratio * ratio ? Ink::Full : Ink::Partial;
    }
    // The first-round line k starts at pixel 126 and runs at row round((210 + 315 k) / 15).
    Ink firstRoundLine(int k) const { return inkAt(127, (210 + 315 * k + 7) / 15); }

    test::ScriptedMessageBoxes boxes;
    std::unique_ptr<frmPairvaneMainForm> form;
};

TEST_F(MainFormTest, StartsWithTheClearedBoardAndThePaletteClosed)
{
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Velka Pairvane for Tournament Special"));
    EXPECT_EQ(form->size(), QSize(371, 358)); // 5565 x 5370 twips of client area
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_FALSE(form->windowIcon().isNull());
    for (int i = 0; i < 16; ++i) {
        auto* slot = control<QLabel>(form.get(), QStringLiteral("lblMenber(%1)").arg(i));
        EXPECT_EQ(slot->text(), QStringLiteral("参加者%1").arg(i + 1));
        EXPECT_TRUE(slot->alignment() & Qt::AlignRight);
    }
    for (int k = 0; k < 30; ++k) {
        EXPECT_FALSE(box(k)->isVisible()) << k;
        EXPECT_TRUE(box(k)->isChecked()) << k;
    }
    EXPECT_EQ(QApplication::focusWidget(), button("cmdShow"));
}

TEST_F(MainFormTest, PaintsEveryLineAndConnectorOnWholePixels)
{
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(firstRoundLine(k), Ink::Full) << "line " << k;
    // Line 16 lies at 370 twips: pixel row 25, not 24.
    EXPECT_EQ(inkAt(170, 25), Ink::Full);
    EXPECT_EQ(inkAt(170, 24), Ink::None);
    EXPECT_EQ(inkAt(170, 26), Ink::None);
    // Later rounds, the champion line and connectors from every round.
    EXPECT_EQ(inkAt(220, 46), Ink::Full);  // line 24
    EXPECT_EQ(inkAt(260, 84), Ink::Full);  // line 28 at 1263 twips
    EXPECT_EQ(inkAt(310, 168), Ink::Full); // line 30
    EXPECT_EQ(inkAt(168, 20), Ink::Full);  // connector 0
    EXPECT_EQ(inkAt(210, 50), Ink::Full);  // connector 8
    EXPECT_EQ(inkAt(252, 100), Ink::Full); // connector 12
    EXPECT_EQ(inkAt(294, 200), Ink::Full); // connector 14
    EXPECT_EQ(inkAt(150, 100), Ink::None); // open board between the lines
}

TEST_F(MainFormTest, LinesStayOnWholePixelsOnAScreenOfDoubleResolution)
{
    // Painted as for a screen that Qt scales by 2, whatever the screen of this run is.
    QImage image(picture()->size() * 2, QImage::Format_RGB32);
    image.setDevicePixelRatio(2);
    image.fill(Qt::white);
    picture()->render(&image);

    // Line 16 at 370 twips fills logical row 25, that is device rows 50 and 51, and no more.
    EXPECT_EQ(inkIn(image, 170, 25), Ink::Full);
    EXPECT_EQ(inkIn(image, 170, 24), Ink::None);
    EXPECT_EQ(inkIn(image, 170, 26), Ink::None);
    // Connector 8 at 3150 twips fills logical column 210.
    EXPECT_EQ(inkIn(image, 210, 50), Ink::Full);
    EXPECT_EQ(inkIn(image, 209, 50), Ink::None);
    EXPECT_EQ(inkIn(image, 211, 50), Ink::None);
    // Both ends of line 0 are painted: 1890 to 2535 twips are columns 126 to 169.
    EXPECT_EQ(inkIn(image, 126, 14), Ink::Full);
    EXPECT_EQ(inkIn(image, 169, 14), Ink::Full);
    EXPECT_EQ(inkIn(image, 125, 14), Ink::None);
}

struct Place {
    const char* name;
    QRect pixels; // in the window, or on the board from its inner corner
    bool onBoard;
};

void PrintTo(const Place& p, std::ostream* out)
{
    *out << p.name;
}

class MainFormPlaces : public MainFormTest, public ::testing::WithParamInterface<Place> {};

TEST_P(MainFormPlaces, StandWhereDesigned)
{
    const Place& p = GetParam();
    auto* widget = control<QWidget>(form.get(), QString::fromLatin1(p.name));
    ASSERT_NE(widget, nullptr);
    QRect at = widget->geometry();
    if (p.onBoard)
        at.translate(-picture()->contentsRect().topLeft());
    EXPECT_EQ(at, p.pixels);
}

INSTANTIATE_TEST_SUITE_P(Controls, MainFormPlaces,
                         ::testing::Values(Place{"cmdClear", {371, 7, 176, 22}, false},
                                           Place{"cmdNew", {371, 42, 176, 22}, false},
                                           Place{"cmdProgress", {371, 70, 176, 22}, false},
                                           Place{"cmdEventTimer", {371, 105, 176, 22}, false},
                                           Place{"cmdVerInfo", {371, 140, 176, 22}, false},
                                           Place{"Label1", {371, 336, 176, 15}, false},
                                           Place{"Picture1", {7, 7, 358, 344}, false},
                                           Place{"cmdShow", {322, 326, 29, 12}, true},
                                           Place{"lblMenber(0)", {7, 7, 113, 15}, true},
                                           Place{"lblMenber(15)", {7, 322, 113, 15}, true},
                                           Place{"chkTournament(0)", {140, 7, 15, 15}, true},
                                           Place{"chkTournament(16)", {182, 18, 15, 15}, true},
                                           Place{"chkTournament(28)", {266, 77, 15, 15}, true},
                                           Place{"chkTournament(29)", {266, 252, 15, 15}, true}),
                         [](const auto& test) {
                             std::string name = test.param.name;
                             std::erase_if(name, [](char c) { return c == '(' || c == ')'; });
                             return name;
                         });

TEST_F(MainFormTest, CaptionsCarryTheirAccessKeys)
{
    EXPECT_EQ(button("cmdClear")->text(), QStringLiteral("初期化(&C)"));
    EXPECT_EQ(button("cmdNew")->text(), QStringLiteral("新規トーナメント開始(&E)..."));
    EXPECT_EQ(button("cmdProgress")->text(), QStringLiteral("トーナメント進行(&T)"));
    EXPECT_EQ(button("cmdEventTimer")->text(), QStringLiteral("イベントタイマー起動(&E)..."));
    EXPECT_EQ(button("cmdVerInfo")->text(), QStringLiteral("VTWについて(&V)..."));
    EXPECT_TRUE(button("cmdShow")->text().isEmpty());
    EXPECT_EQ(button("cmdShow")->toolTip(),
              QStringLiteral("メニューパレットの表示/非表示を切り替えます。"));
    EXPECT_EQ(control<QLabel>(form.get(), QStringLiteral("Label1"))->text(),
              QStringLiteral("Velka Tablewright"));
}

TEST_F(MainFormTest, ClickOnABoxShowsAndHidesItsLineAndNothingElse)
{
    QTest::mouseClick(button("cmdProgress"), Qt::LeftButton);
    ASSERT_TRUE(box(5)->isVisible());
    const auto before = snapshot(form->board());

    QTest::mouseClick(box(5), Qt::LeftButton);
    EXPECT_FALSE(box(5)->isChecked());
    EXPECT_EQ(firstRoundLine(5), Ink::None);
    EXPECT_EQ(firstRoundLine(4), Ink::Full);
    auto expected = before;
    expected.boxChecked[5] = false;
    expected.lineVisible[5] = false;
    EXPECT_EQ(snapshot(form->board()), expected);

    QTest::mouseClick(box(5), Qt::LeftButton);
    EXPECT_EQ(firstRoundLine(5), Ink::Full);
    EXPECT_EQ(snapshot(form->board()), before);
}

TEST_F(MainFormTest, KeysOnAFocusedBoxKeepItsLineInStep)
{
    QTest::mouseClick(button("cmdProgress"), Qt::LeftButton);
    box(7)->setFocus();
    QTest::keyClick(box(7), Qt::Key_Space);
    EXPECT_FALSE(form->board().boxChecked(7));
    EXPECT_EQ(firstRoundLine(7), Ink::None);

    // Any other key released on the box applies the rule again.
    form->board().setLineVisible(7, true);
    QTest::keyClick(box(7), Qt::Key_A);
    EXPECT_FALSE(form->board().lineVisible(7));
    QTest::keyClick(box(7), Qt::Key_Space, Qt::ShiftModifier);
    EXPECT_TRUE(form->board().boxChecked(7));
    EXPECT_EQ(firstRoundLine(7), Ink::Full);
}

class MainFormBoxChange : public MainFormTest,
                          public ::testing::WithParamInterface<test::BoxChange> {};

TEST_P(MainFormBoxChange, TheLineFollowsItsBoxAndAResetUndoesTheMarks)
{
    QTest::mouseClick(button("cmdProgress"), Qt::LeftButton);
    const auto before = snapshot(form->board());
    std::vector<std::pair<BracketBoard::Part, int>> heard;
    Subscription observer = form->board().subscribe(
        [&](BracketBoard::Change change) { heard.emplace_back(change.part, change.index); });

    ASSERT_TRUE(test::changeBox(box(5), GetParam()));
    EXPECT_FALSE(box(5)->isChecked());
    EXPECT_EQ(firstRoundLine(5), Ink::None);
    auto expected = before;
    expected.boxChecked[5] = false;
    expected.lineVisible[5] = false;
    EXPECT_EQ(snapshot(form->board()), expected);
    const std::vector<std::pair<BracketBoard::Part, int>> once = {
        {BracketBoard::Part::BoxState, 5}, {BracketBoard::Part::LineVisible, 5}};
    EXPECT_EQ(heard, once) << "one change of the box is one change of the board";

    ASSERT_TRUE(test::changeBox(box(5), GetParam()));
    EXPECT_TRUE(box(5)->isChecked());
    EXPECT_EQ(firstRoundLine(5), Ink::Full);
    EXPECT_EQ(snapshot(form->board()), before);

    // Marked again, then reset: the board must know of the marks to undo them.
    for (int k : {5, 20, 29})
        ASSERT_TRUE(test::changeBox(box(k), GetParam())) << "box " << k;
    EXPECT_FALSE(form->board().lineVisible(29));
    boxes.answers = {MessageAnswer::Yes};
    QTest::mouseClick(button("cmdClear"), Qt::LeftButton);
    for (int k = 0; k < board::kBoxCount; ++k) {
        EXPECT_TRUE(box(k)->isChecked()) << "box " << k;
        EXPECT_FALSE(box(k)->isVisible()) << "box " << k;
    }
    for (int k = 0; k < board::kLineCount; ++k)
        EXPECT_TRUE(form->board().lineVisible(k)) << "line " << k;
    EXPECT_EQ(firstRoundLine(5), Ink::Full);
    EXPECT_TRUE(test::boxRuleHolds(form->board()));
}

INSTANTIATE_TEST_SUITE_P(Origins, MainFormBoxChange, ::testing::ValuesIn(test::kEveryBoxChange),
                         test::boxChangeName);

TEST_F(MainFormTest, ASecondObserverOfTheBoardHearsEveryChangeWhileTheWindowStillShowsIt)
{
    std::vector<std::pair<BracketBoard::Part, int>> heard;
    Subscription second = form->board().subscribe(
        [&](BracketBoard::Change change) { heard.emplace_back(change.part, change.index); });

    QTest::mouseClick(button("cmdProgress"), Qt::LeftButton);
    QTest::mouseClick(box(5), Qt::LeftButton);
    EXPECT_EQ(firstRoundLine(5), Ink::None) << "the window no longer follows its board";
    const auto heardFive = [&](BracketBoard::Part part) {
        return std::count(heard.begin(), heard.end(), std::pair{part, 5});
    };
    EXPECT_EQ(heardFive(BracketBoard::Part::BoxVisible), 1);
    EXPECT_EQ(heardFive(BracketBoard::Part::BoxState), 1);
    EXPECT_EQ(heardFive(BracketBoard::Part::LineVisible), 1);
    EXPECT_EQ(heard.size(), 30u + 2u) << "30 boxes shown, then box 5 and its line";

    second.reset();
    heard.clear();
    QTest::mouseClick(box(5), Qt::LeftButton);
    EXPECT_TRUE(heard.empty());
    EXPECT_EQ(firstRoundLine(5), Ink::Full);
}

// A tournament set on the board in one go shows exactly as the same board reached step by step.
TEST_F(MainFormTest, ShowsATournamentSetAtOnceAsIfReachedStepByStep)
{
    frmPairvaneMainForm stepwise(boxes);
    BracketBoard& b = stepwise.board();
    b.ToggleProgress();
    for (int k : {2, 9, 17, 30 - 2})
        b.setBoxChecked(k, false);
    b.setSlotCaption(4, "山田");
    b.setSlotCaption(15, "");
    b.setConnectorVisible(11, false);
    b.setConnectorY2(13, 3882);
    b.setLineVisible(board::kChampionLine, false);

    form->board().setTournament(b.tournament());

    // The board's picture holds the names and the boxes as well as the lines.
    EXPECT_EQ(picture()->grab().toImage(),
              control<QFrame>(&stepwise, QStringLiteral("Picture1"))->grab().toImage());
}

// The width is the window's alone: the board, and whatever keeps or publishes it, hears nothing.
TEST_F(MainFormTest, PaletteButtonTwiceReturnsToTheFormerWidth)
{
    int heard = 0;
    const Subscription subscription = form->board().subscribe([&heard](auto) { ++heard; });
    auto* show = button("cmdShow");
    QTest::mouseClick(show, Qt::LeftButton);
    EXPECT_EQ(form->size(), QSize(553, 358)); // 8295 twips
    EXPECT_TRUE(form->paletteOpen());
    QTest::mouseClick(show, Qt::LeftButton);
    EXPECT_EQ(form->size(), QSize(371, 358));
    EXPECT_EQ(show->toolTip(), QStringLiteral("メニューパレットの表示/非表示を切り替えます。"));
    EXPECT_EQ(heard, 0);
}

TEST_F(MainFormTest, AccessKeysWorkWhileThePaletteIsCutOff)
{
    ASSERT_FALSE(form->paletteOpen());
    QTest::keyClick(form.get(), Qt::Key_T, Qt::AltModifier);
    test::finishAccessKeyPresses(form.get());
    EXPECT_TRUE(form->board().progressMode());
    EXPECT_TRUE(box(0)->isVisible());

    boxes.answers = {MessageAnswer::No};
    QTest::keyClick(form.get(), Qt::Key_C, Qt::AltModifier);
    test::finishAccessKeyPresses(form.get());
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], BracketBoard::clearQuestion());
    EXPECT_TRUE(form->board().progressMode());
}

TEST_F(MainFormTest, InitialiseAnsweredNoChangesNothingAndYesResets)
{
    QTest::mouseClick(button("cmdProgress"), Qt::LeftButton);
    QTest::mouseClick(box(3), Qt::LeftButton);
    const auto marked = snapshot(form->board());

    boxes.answers = {MessageAnswer::No};
    QTest::mouseClick(button("cmdClear"), Qt::LeftButton);
    EXPECT_EQ(snapshot(form->board()), marked);
    EXPECT_TRUE(box(3)->isVisible());
    EXPECT_FALSE(box(3)->isChecked());

    boxes.answers = {MessageAnswer::Yes};
    QTest::mouseClick(button("cmdClear"), Qt::LeftButton);
    EXPECT_FALSE(box(3)->isVisible());
    EXPECT_TRUE(box(3)->isChecked());
    EXPECT_EQ(firstRoundLine(3), Ink::Full);
    EXPECT_FALSE(form->board().progressMode());
    QTest::mouseClick(button("cmdProgress"), Qt::LeftButton);
    EXPECT_TRUE(box(3)->isVisible());
}

TEST_F(MainFormTest, TabReachesTheButtonsThenTheShownBoxesInOrder)
{
    const auto tabFrom = [](QWidget* from) {
        QTest::keyClick(from, Qt::Key_Tab);
        return QApplication::focusWidget();
    };
    const char* palette[] = {"cmdClear", "cmdNew", "cmdProgress", "cmdEventTimer", "cmdVerInfo"};
    QWidget* at = button("cmdShow");
    for (const char* name : palette) {
        at = tabFrom(at);
        EXPECT_EQ(at, button(name)) << name;
    }
    EXPECT_EQ(tabFrom(at), button("cmdShow")) << "hidden boxes take no focus";

    QTest::mouseClick(button("cmdProgress"), Qt::LeftButton);
    at = button("cmdVerInfo");
    at->setFocus();
    for (int k = 0; k < 30; ++k) {
        at = tabFrom(at);
        EXPECT_EQ(at, box(k)) << k;
    }
}

TEST_F(MainFormTest, ConfirmationIsAJapaneseWarningWithYesAsDefault)
{
    QtMessageBoxes real;
    open(real);
    QString title, text, yesText, noText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool yesIsDefault = false;
    const auto question = test::whenModalOpens([&](QWidget* modal) {
        auto* box = qobject_cast<QMessageBox*>(modal);
        if (!box) {
            modal->close();
            return;
        }
        title = box->windowTitle();
        text = box->text();
        icon = box->icon();
        yesText = box->button(QMessageBox::Yes) ? box->button(QMessageBox::Yes)->text() : QString();
        noText = box->button(QMessageBox::No) ? box->button(QMessageBox::No)->text() : QString();
        yesIsDefault = box->defaultButton() == box->button(QMessageBox::Yes);
        QTest::keyClick(box, Qt::Key_Escape); // answers No
    });
    QTest::mouseClick(button("cmdProgress"), Qt::LeftButton);
    QTest::mouseClick(button("cmdClear"), Qt::LeftButton);

    EXPECT_EQ(title, QStringLiteral("初期化"));
    EXPECT_EQ(text, QStringLiteral("初期化するとすべてのデータは失われます。\nよろしいですか？"));
    EXPECT_EQ(icon, QMessageBox::Warning);
    EXPECT_EQ(yesText, QStringLiteral("はい(&Y)"));
    EXPECT_EQ(noText, QStringLiteral("いいえ(&N)"));
    EXPECT_TRUE(yesIsDefault);
    EXPECT_TRUE(form->board().progressMode()) << "No must change nothing";

    const auto again =
        test::whenModalOpens([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Return); });
    QTest::mouseClick(button("cmdClear"), Qt::LeftButton);
    EXPECT_FALSE(form->board().progressMode()) << "Return answers Yes, which resets";
}

} // namespace
} // namespace velka
