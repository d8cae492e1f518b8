// What a screen reader and a keyboard-only organiser find in the program's windows: every control
// that takes input has a name to speak, free of access-key marks, and the Tab key reaches it.

#include "about/frmVerInfo.h"
#include "board/frmPairvaneMainForm.h"
#include "bracket/BracketBoard.h"
#include "draw/frmNewGame.h"
#include "swiss/SwissDraw.h"
#include "swiss/frmSwissDraw.h"
#include "tests/support/RecordingWebBrowser.h"
#include "tests/support/ScopedTimeZone.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/TestClock.h"
#include "tests/support/WindowTest.h"
#include "timer/frmEventTimer.h"

#include <QAccessible>
#include <QAccessibleInterface>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace velka {
namespace {

using test::control;

constexpr std::int64_t kTen = 1717203600; // 2024-06-01 10:00:00 in Tokyo

// The windows, built through their own classes with test doubles behind them.
class Windows {
public:
    Windows()
    {
        board.Load();
        clock.time = kTen;
    }

    std::unique_ptr<QWidget> open(const std::string& name)
    {
        std::unique_ptr<QWidget> window;
        if (name == "frmPairvaneMainForm")
            window = std::make_unique<frmPairvaneMainForm>(boxes);
        else if (name == "frmNewGame")
            window = std::make_unique<frmNewGame>(board, random, boxes);
        else if (name == "frmEventTimer")
            window = std::make_unique<frmEventTimer>(clock, boxes);
        else if (name == "frmVerInfo")
            window = std::make_unique<frmVerInfo>(browser);
        else if (name == "frmSwissDraw")
            window = std::make_unique<frmSwissDraw>(swiss, board, boxes);
        if (!window)
            return nullptr;
        EXPECT_TRUE(test::showActive(window.get()));
        if (name == "frmPairvaneMainForm") {
            // Progress mode, so that the winner boxes show.
            QTest::mouseClick(control<QPushButton>(window.get(), QStringLiteral("cmdProgress")),
                              Qt::LeftButton);
        }
        return window;
    }

    test::ScopedTimeZone zone{"Asia/Tokyo"};
    test::TestClock clock;
    BracketBoard board;
    test::ScriptedRandom random;
    test::ScriptedMessageBoxes boxes;
    test::RecordingWebBrowser browser;
    SwissDraw swiss{random};
};

bool takesInput(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::EditableText:
    case QAccessible::List:
    case QAccessible::SpinBox:
    case QAccessible::ComboBox:
    case QAccessible::ButtonMenu:
    case QAccessible::ButtonDropDown:
    case QAccessible::Slider:
        return true;
    default:
        return false;
    }
}

struct Spoken {
    QString objectName;
    QAccessible::Role role;
    QString name;
    QString description;
};

// Every accessible element below the interface, depth first, as a screen reader walks it.
void walk(QAccessibleInterface* iface, std::vector<Spoken>& out, int depth = 0)
{
    ASSERT_LT(depth, 20) << "the accessible tree does not end";
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface* child = iface->child(i);
        if (!child)
            continue;
        out.push_back({child->object() ? child->object()->objectName() : QString(), child->role(),
                       child->text(QAccessible::Name), child->text(QAccessible::Description)});
        walk(child, out, depth + 1);
    }
}

std::vector<Spoken> inputControlsOf(QWidget* window)
{
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(window);
    EXPECT_NE(iface, nullptr);
    std::vector<Spoken> all;
    if (iface)
        walk(iface, all);
    std::erase_if(all, [](const Spoken& s) { return !takesInput(s.role); });
    return all;
}

// "(C)", "（Ｃ）": what Qt leaves of an access-key group when it only drops the "&".
bool hasAccessKeyMark(const QString& name)
{
    static const QRegularExpression keyGroup(
        QStringLiteral("[(（]\\s*[A-Za-z0-9Ａ-Ｚａ-ｚ０-９]\\s*[)）]"));
    return name.contains(u'&') || keyGroup.match(name).hasMatch();
}

struct WindowCase {
    const char* window;
    std::size_t inputControls; // at least this many
};

void PrintTo(const WindowCase& c, std::ostream* out)
{
    *out << c.window;
}

class EveryWindow : public ::testing::TestWithParam<WindowCase> {
protected:
    Windows windows;
};

TEST_P(EveryWindow, NamesEveryInputControlWithoutAccessKeyMarks)
{
    const std::unique_ptr<QWidget> window = windows.open(GetParam().window);
    ASSERT_NE(window, nullptr);
    const std::vector<Spoken> inputs = inputControlsOf(window.get());
    EXPECT_GE(inputs.size(), GetParam().inputControls) << "the walk missed controls";
    for (const Spoken& s : inputs) {
        const std::string who = s.objectName.toStdString() + " (role " + std::to_string(s.role) +
                                ", name \"" + s.name.toStdString() + "\")";
        EXPECT_FALSE(s.name.trimmed().isEmpty()) << who << " has no name";
        EXPECT_FALSE(hasAccessKeyMark(s.name)) << who << " speaks its access-key mark";
    }
}

TEST_P(EveryWindow, TabReachesEveryControlThatTakesFocus)
{
    const std::unique_ptr<QWidget> window = windows.open(GetParam().window);
    ASSERT_NE(window, nullptr);
    std::set<QWidget*> focusable;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // A widget with a focus proxy (a spin box's text, a tab widget) hands its focus on.
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window.get()) && w->isEnabled() &&
            !w->focusProxy())
            focusable.insert(w);
    }
    ASSERT_GE(focusable.size(), GetParam().inputControls / 2);

    std::set<QWidget*> reached;
    QWidget* at = QApplication::focusWidget();
    ASSERT_NE(at, nullptr);
    reached.insert(at);
    for (std::size_t i = 0; i < focusable.size() + 1; ++i) {
        QTest::keyClick(at, Qt::Key_Tab);
        at = QApplication::focusWidget();
        ASSERT_NE(at, nullptr);
        reached.insert(at);
    }
    for (QWidget* w : focusable)
        EXPECT_TRUE(reached.contains(w)) << w->objectName().toStdString() << " is never reached";
}

INSTANTIATE_TEST_SUITE_P(Windows, EveryWindow,
                         ::testing::Values(WindowCase{"frmPairvaneMainForm", 36},
                                           WindowCase{"frmNewGame", 8},
                                           WindowCase{"frmEventTimer", 6},
                                           WindowCase{"frmVerInfo", 2},
                                           WindowCase{"frmSwissDraw", 15}),
                         [](const auto& test) { return std::string(test.param.window); });

struct NameCase {
    const char* window;
    const char* control;
    const char* name;
    const char* description; // nullptr: not checked
};

void PrintTo(const NameCase& c, std::ostream* out)
{
    *out << c.window << "/" << c.control;
}

class SpokenName : public ::testing::TestWithParam<NameCase> {
protected:
    Windows windows;
};

TEST_P(SpokenName, IsTheCaptionOrWhatTheControlDoes)
{
    const NameCase& c = GetParam();
    const std::unique_ptr<QWidget> window = windows.open(c.window);
    ASSERT_NE(window, nullptr);
    auto* widget = control<QWidget>(window.get(), QString::fromLatin1(c.control));
    ASSERT_NE(widget, nullptr);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(widget);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->text(QAccessible::Name).toStdString(), c.name);
    if (c.description) {
        EXPECT_EQ(iface->text(QAccessible::Description).toStdString(), c.description);
    }
}

const char* const kPaletteToolTip = "メニューパレットの表示/非表示を切り替えます。";

INSTANTIATE_TEST_SUITE_P(
    Controls, SpokenName,
    ::testing::Values(
        NameCase{"frmPairvaneMainForm", "cmdClear", "初期化", nullptr},
        NameCase{"frmPairvaneMainForm", "cmdNew", "新規トーナメント開始...", nullptr},
        NameCase{"frmPairvaneMainForm", "cmdProgress", "トーナメント進行", nullptr},
        NameCase{"frmPairvaneMainForm", "cmdShow", "メニューパレットの表示/非表示",
                 kPaletteToolTip},
        NameCase{"frmPairvaneMainForm", "chkTournament(2)", "1回戦 3番の勝ち上がり", nullptr},
        NameCase{"frmPairvaneMainForm", "chkTournament(16)", "2回戦 1番の勝ち上がり", nullptr},
        NameCase{"frmPairvaneMainForm", "chkTournament(27)", "3回戦 4番の勝ち上がり", nullptr},
        NameCase{"frmPairvaneMainForm", "chkTournament(29)", "決勝 2番の勝ち上がり", nullptr},
        NameCase{"frmNewGame", "cmdEntry", "Enter", nullptr},
        NameCase{"frmNewGame", "cmdNewEventExec", "新規トーナメント開始", nullptr},
        NameCase{"frmNewGame", "cmdDeleteList", "選択メンバーを削除", nullptr},
        NameCase{"frmNewGame", "txtMenber", "当選人数", nullptr},
        NameCase{"frmNewGame", "Label1", "当選人数", nullptr},
        NameCase{"frmNewGame", "chkSeed", "シード(当選人数奇数のときのみ有効)", nullptr},
        NameCase{"frmNewGame", "txtSeed", "シードする人の名前", nullptr},
        NameCase{"frmEventTimer", "chkCountDownTimer", "カウントダウンタイマー起動", nullptr},
        NameCase{"frmEventTimer", "cmdCtlShow", "入力欄の表示/非表示", kPaletteToolTip},
        NameCase{"frmEventTimer", "txtHour", "時間", nullptr},
        NameCase{"frmEventTimer", "txtSecound", "秒", nullptr},
        NameCase{"frmVerInfo", "cmdOK", "OK", nullptr},
        NameCase{"frmVerInfo", "Text1", "クレジット", nullptr},
        NameCase{"frmSwissDraw", "txtEntry", "追加する名前（1行に1人、貼り付けもできます）",
                 nullptr},
        NameCase{"frmSwissDraw", "tblPlayers", "参加者一覧",
                 "名前とふりがなは、ダブルクリックか F2 で直せます。"},
        NameCase{"frmSwissDraw", "spnRounds", "回戦数", nullptr},
        NameCase{"frmSwissDraw", "tblTables", "卓と結果", nullptr},
        NameCase{"frmSwissDraw", "cmdPair", "第1回戦の組み合わせを作る", nullptr}),
    [](const auto& test) {
        std::string name = std::string(test.param.window) + "_" + test.param.control;
        std::erase_if(name, [](char c) { return c == '(' || c == ')'; });
        return name;
    });

// The display's accessible value is its text, and the text interface reads the same, so a
// screen reader that asks for it hears the time that is shown. (The text-update events that
// QLineEdit sends on each change need an active platform accessibility bridge, which the
// offscreen platform does not have.)
TEST(TimerDisplay, SpeaksTheTimeItShows)
{
    Windows windows;
    const std::unique_ptr<QWidget> window = windows.open("frmEventTimer");
    ASSERT_NE(window, nullptr);
    auto* display = control<QLineEdit>(window.get(), QStringLiteral("txtEventTimer"));
    ASSERT_NE(display, nullptr);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(display);
    ASSERT_NE(iface, nullptr);
    EXPECT_EQ(iface->text(QAccessible::Name), QStringLiteral("時刻表示"));
    EXPECT_TRUE(iface->state().readOnly);
    ASSERT_NE(iface->textInterface(), nullptr);

    const auto spoken = [&] {
        return std::pair{iface->text(QAccessible::Value),
                         iface->textInterface()->text(0, iface->textInterface()->characterCount())};
    };
    auto* timer = static_cast<frmEventTimer*>(window.get());
    const QString times[] = {QStringLiteral("10 : 00 : 00"), QStringLiteral("10 : 01 : 01")};
    for (const QString& time : times) {
        timer->tick();
        ASSERT_EQ(display->text(), time);
        EXPECT_EQ(spoken(), std::pair(time, time));
        windows.clock.time += 61;
    }

    // A countdown is spoken as it is shown, too.
    control<QCheckBox>(window.get(), QStringLiteral("chkCountDownTimer"))->click();
    timer->tick();
    ASSERT_EQ(display->text(), QStringLiteral("0 : 05 : 00"));
    EXPECT_EQ(spoken(), std::pair(display->text(), display->text()));
}

} // namespace
} // namespace velka
