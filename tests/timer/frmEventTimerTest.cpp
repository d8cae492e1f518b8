#include "timer/frmEventTimer.h"

#include "tests/support/AccessKeys.h"
#include "tests/support/CheckBoxChange.h"
#include "tests/support/ScopedTimeZone.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TestClock.h"
#include "tests/support/WindowTest.h"
#include "timer/DisplayFont.h"
#include "uikit/Fonts.h"
#include "uikit/QtMessageBoxes.h"

#include <QCheckBox>
#include <QFontInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>

namespace velka {
namespace {

using test::control;
using test::ScopedTimeZone;
using test::TestClock;

constexpr std::int64_t kTen = 1717203600; // 2024-06-01 10:00:00 in Tokyo

const QColor kWhite(255, 255, 255);
const QColor kGreen(0, 192, 0);
const QColor kRed(255, 0, 0);

class EventTimerWindowTest : public ::testing::Test {
protected:
    // Opens the window with its Timer1 stopped: the tests move the clock and run the tick
    // themselves, so that nothing waits for real time.
    void open(MessagePresenter& messageBoxes)
    {
        window = std::make_unique<frmEventTimer>(clock, messageBoxes);
        ASSERT_TRUE(test::showActive(window.get()));
        timer1()->stop();
    }
    void SetUp() override
    {
        clock.time = kTen;
        open(boxes);
    }

    QLineEdit* edit(const char* name) const
    {
        return control<QLineEdit>(window.get(), QString::fromLatin1(name));
    }
    QLineEdit* display() const { return edit("txtEventTimer"); }
    QCheckBox* countDownBox() const
    {
        return control<QCheckBox>(window.get(), QStringLiteral("chkCountDownTimer"));
    }
    QPushButton* ctlShow() const
    {
        return control<QPushButton>(window.get(), QStringLiteral("cmdCtlShow"));
    }
    QTimer* timer1() const { return control<QTimer>(window.get(), QStringLiteral("Timer1")); }
    QColor displayColour() const { return display()->palette().color(QPalette::Text); }
    ::testing::AssertionResult shows(const QString& text, const QColor& colour) const
    {
        if (display()->text() == text && displayColour() == colour)
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "shows " << display()->text().toStdString()
                                             << " in " << displayColour().name().toStdString();
    }
    // One tick of Timer1, then what the tick left for the event loop (the "Time Up!!" message).
    void tick()
    {
        window->tick();
        QCoreApplication::processEvents();
    }

    ScopedTimeZone zone{"Asia/Tokyo"};
    TestClock clock;
    test::ScriptedMessageBoxes boxes;
    std::unique_ptr<frmEventTimer> window;
};

TEST_F(EventTimerWindowTest, OpensWithOnlyTheDisplayShowingTheTimeOfDay)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Velka EventTimer"));
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(window->size(), QSize(484, 106)); // 7260 x 1590 twips
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    const Qt::WindowFlags flags = window->windowFlags();
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(window->testAttribute(Qt::WA_DeleteOnClose));

    EXPECT_EQ(edit("txtHour")->text(), QStringLiteral("0"));
    EXPECT_EQ(edit("txtMinute")->text(), QStringLiteral("05"));
    EXPECT_EQ(edit("txtSecound")->text(), QStringLiteral("00"));
    EXPECT_FALSE(countDownBox()->isChecked());
    EXPECT_GE(edit("txtHour")->geometry().top(), window->height()) << "the row is cut off";
    EXPECT_EQ(QApplication::focusWidget(), ctlShow());

    EXPECT_EQ(display()->palette().color(QPalette::Base), QColor(Qt::black));
    tick();
    EXPECT_TRUE(shows(QStringLiteral("10 : 00 : 00"), kWhite));
}

TEST_F(EventTimerWindowTest, Timer1TicksFromTheStart)
{
    frmEventTimer fresh(clock, boxes);
    auto* timer = control<QTimer>(&fresh, QStringLiteral("Timer1"));
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 100);

    // Made to fire on every pass of the event loop, it shows the time of day without waiting.
    timer->setInterval(0);
    auto* shown = control<QLineEdit>(&fresh, QStringLiteral("txtEventTimer"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown->text() == QStringLiteral("10 : 00 : 00"); }));
}

struct Place {
    const char* name;
    QRect pixels;
};

void PrintTo(const Place& p, std::ostream* out)
{
    *out << p.name;
}

class EventTimerPlaces : public EventTimerWindowTest,
                         public ::testing::WithParamInterface<Place> {};

TEST_P(EventTimerPlaces, StandWhereDesigned)
{
    auto* widget = control<QWidget>(window.get(), QString::fromLatin1(GetParam().name));
    ASSERT_NE(widget, nullptr);
    EXPECT_EQ(widget->geometry(), GetParam().pixels);
}

INSTANTIATE_TEST_SUITE_P(Controls, EventTimerPlaces,
                         ::testing::Values(Place{"txtEventTimer", {0, 0, 484, 106}},
                                           Place{"cmdCtlShow", {452, 91, 29, 12}},
                                           Place{"txtHour", {7, 114, 22, 18}},
                                           Place{"txtMinute", {35, 114, 22, 18}},
                                           Place{"txtSecound", {63, 114, 22, 18}},
                                           Place{"chkCountDownTimer", {91, 112, 176, 22}},
                                           Place{"Label1", {343, 116, 134, 15}}),
                         [](const auto& test) { return std::string(test.param.name); });

// The columns of the display that carry ink of the text, inside its frame, in logical pixels
// whatever the scale of the screen.
std::pair<int, int> inkColumns(QLineEdit* display)
{
    const QImage image = display->grab().toImage();
    const int ratio = qRound(image.devicePixelRatio());
    const int frame = 3 * ratio;
    int first = image.width();
    int last = -1;
    for (int x = frame; x < image.width() - frame; ++x) {
        for (int y = frame; y < image.height() - frame; ++y) {
            if (qGray(image.pixel(x, y)) > 60 || qRed(image.pixel(x, y)) > 60) {
                first = std::min(first, x);
                last = std::max(last, x);
                break;
            }
        }
    }
    return {first / ratio, last / ratio};
}

TEST_F(EventTimerWindowTest, WidestTimesStandWholeAndCentredIn72PointBold)
{
    const QFont font = display()->font();
    EXPECT_EQ(font.pointSizeF(), 72);
    EXPECT_TRUE(QFontInfo(font).bold());
    EXPECT_EQ(QFontInfo(font).family(), QStringLiteral("IPAPGothic"));

    clock.time = kTen + 13 * 3600 + 59 * 60 + 59;
    tick();
    ASSERT_TRUE(shows(QStringLiteral("23 : 59 : 59"), kWhite));
    const auto [first, last] = inkColumns(display());
    EXPECT_GT(first, 3);
    EXPECT_LT(last, 480);
    EXPECT_NEAR(first, display()->width() - 1 - last, 4) << "a text too wide scrolls off centre";

    edit("txtHour")->setText(QStringLiteral("25"));
    edit("txtMinute")->setText(QStringLiteral("0"));
    countDownBox()->click();
    tick();
    ASSERT_TRUE(shows(QStringLiteral("25 : 00 : 00"), kRed));
    const auto [redFirst, redLast] = inkColumns(display());
    EXPECT_GT(redFirst, 3);
    EXPECT_LT(redLast, 480);
}

struct FitCase {
    int width;
    bool keepsSize;
};

void PrintTo(const FitCase& c, std::ostream* out)
{
    *out << c.width << " px";
}

class DisplayFont : public ::testing::TestWithParam<FitCase> {};

TEST_P(DisplayFont, FitsTheWidestTimeShrinkingOnlyWhenBlanksAreNotEnough)
{
    const QFont designed = japaneseGothic(72, QFont::Bold);
    const QString widest = widestDisplayTime(designed);
    const QFont fitted = fitDisplayFont(designed, GetParam().width);
    EXPECT_LE(QFontMetrics(fitted).horizontalAdvance(widest), GetParam().width);
    if (GetParam().keepsSize) {
        EXPECT_EQ(fitted.pointSizeF(), 72);
        return;
    }
    QFont larger = fitted;
    larger.setPointSizeF(fitted.pointSizeF() + 1);
    EXPECT_GT(QFontMetrics(larger).horizontalAdvance(widest), GetParam().width);
}

INSTANTIATE_TEST_SUITE_P(Widths, DisplayFont,
                         ::testing::Values(FitCase{477, true}, FitCase{430, true},
                                           FitCase{300, false}));

// The height is the window's alone: the timer, and whatever watches it, hears nothing of it.
TEST_F(EventTimerWindowTest, PaletteButtonTogglesTheRowAndLeavesTheCountdownRunning)
{
    int heard = 0;
    const Subscription subscription = window->eventTimer().subscribe([&heard](auto) { ++heard; });
    QTest::mouseClick(ctlShow(), Qt::LeftButton);
    EXPECT_EQ(window->height(), 137); // 2055 twips
    EXPECT_EQ(heard, 0);
    QTest::mouseClick(countDownBox(), Qt::LeftButton);
    ASSERT_TRUE(window->eventTimer().countingDown());
    tick();
    ASSERT_TRUE(shows(QStringLiteral("0 : 05 : 00"), kGreen));

    QTest::mouseClick(ctlShow(), Qt::LeftButton);
    EXPECT_EQ(window->height(), 106);
    clock.time += 10;
    tick();
    EXPECT_TRUE(shows(QStringLiteral("0 : 04 : 50"), kGreen));
    QTest::mouseClick(ctlShow(), Qt::LeftButton);
    EXPECT_EQ(window->height(), 137);
    EXPECT_TRUE(countDownBox()->isChecked());
    EXPECT_EQ(window->eventTimer().countDownEnd(), kTen + 300);
}

// Hours, minutes and seconds as a Japanese input method commits them, each after an optional
// composition, and the time the countdown starts from.
struct InputMethodCase {
    const char* hour[2]; // composition, committed text
    const char* minute[2];
    const char* second[2];
    const char* shown;
};

void PrintTo(const InputMethodCase& c, std::ostream* out)
{
    *out << c.hour[1] << " h " << c.minute[1] << " min " << c.second[1] << " s";
}

class EventTimerInputMethod : public EventTimerWindowTest,
                              public ::testing::WithParamInterface<InputMethodCase> {};

TEST_P(EventTimerInputMethod, CountsDownFromTheCommittedNumbers)
{
    const InputMethodCase& c = GetParam();
    QTest::mouseClick(ctlShow(), Qt::LeftButton);
    const std::pair<const char*, const char* const*> inputs[] = {
        {"txtHour", c.hour}, {"txtMinute", c.minute}, {"txtSecound", c.second}};
    for (const auto& [name, typed] : inputs) {
        QLineEdit* box = edit(name);
        box->setFocus();
        box->selectAll();
        test::commitThroughInputMethod(box, QString::fromUtf8(typed[1]),
                                       QString::fromUtf8(typed[0]));
        EXPECT_EQ(box->text(), QString::fromUtf8(typed[1])) << name;
    }
    QTest::mouseClick(countDownBox(), Qt::LeftButton);
    ASSERT_TRUE(window->eventTimer().countingDown()) << "the start was refused";
    tick();
    EXPECT_EQ(display()->text(), QString::fromUtf8(c.shown));
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, EventTimerInputMethod,
    ::testing::Values(
        InputMethodCase{{"", "１．５"}, {"", "０"}, {"", "０"}, "1 : 30 : 00"},
        InputMethodCase{{"いってんご", "１．５"}, {"", "０"}, {"", "００"}, "1 : 30 : 00"},
        InputMethodCase{{"", "０"}, {"じゅうに", "１２"}, {"", "０５"}, "0 : 12 : 05"},
        InputMethodCase{{"", "１"}, {"", "０"}, {"さんじゅう", "３０"}, "1 : 00 : 30"},
        InputMethodCase{{"", "0"}, {"", "－１"}, {"", "９０"}, "0 : 00 : 30"}));

TEST_F(EventTimerWindowTest, RowCutOffStillAnswersAltCAndTab)
{
    ASSERT_EQ(window->height(), 106);
    QTest::keyClick(window.get(), Qt::Key_C, Qt::AltModifier);
    test::finishAccessKeyPresses(window.get());
    ASSERT_TRUE(countDownBox()->isChecked());
    EXPECT_TRUE(window->eventTimer().countingDown());
    tick();
    EXPECT_TRUE(shows(QStringLiteral("0 : 05 : 00"), kGreen));

    clock.time += 1;
    QTest::keyClick(window.get(), Qt::Key_C, Qt::AltModifier);
    test::finishAccessKeyPresses(window.get());
    ASSERT_FALSE(countDownBox()->isChecked());
    EXPECT_FALSE(window->eventTimer().countingDown());
    tick();
    EXPECT_TRUE(shows(QStringLiteral("10 : 00 : 01"), kWhite));

    ctlShow()->setFocus();
    QTest::keyClick(ctlShow(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), edit("txtHour"));
}

TEST_F(EventTimerWindowTest, EndShowsRedZeroAndClearsTheBoxBeforeAnnouncingOnce)
{
    QString shownText;
    QColor shownColour;
    bool boxChecked = true;
    boxes.onShow = [&] {
        shownText = display()->text();
        shownColour = displayColour();
        boxChecked = countDownBox()->isChecked();
    };
    edit("txtMinute")->setText(QStringLiteral("0"));
    edit("txtSecound")->setText(QStringLiteral("2"));
    countDownBox()->click();
    tick();
    ASSERT_TRUE(shows(QStringLiteral("0 : 00 : 02"), kRed));

    clock.time += 2;
    tick();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(shownText, QStringLiteral("0 : 00 : 00"));
    EXPECT_EQ(shownColour, kRed);
    EXPECT_FALSE(boxChecked);
    EXPECT_EQ(boxes.shown.front(), EventTimer::timeUpMessage());
    tick();
    EXPECT_TRUE(shows(QStringLiteral("10 : 00 : 02"), kWhite));
    for (int i = 0; i < 3; ++i)
        tick();
    EXPECT_EQ(boxes.shown.size(), 1u);
}

TEST_F(EventTimerWindowTest, ASecondObserverOfTheTimerHearsEveryChangeWhileTheWindowStillShowsIt)
{
    std::vector<std::string> displays;
    int flagChanges = 0;
    Subscription second = window->eventTimer().subscribe([&](EventTimer::Part part) {
        if (part == EventTimer::Part::Display)
            displays.push_back(window->eventTimer().displayText());
        flagChanges += part == EventTimer::Part::CountingDown;
    });

    countDownBox()->click();
    EXPECT_EQ(flagChanges, 1);
    tick();
    EXPECT_EQ(display()->text(), QStringLiteral("0 : 05 : 00"));
    EXPECT_EQ(displayColour(), kGreen);
    clock.time += 1;
    tick();
    EXPECT_EQ(display()->text(), QStringLiteral("0 : 04 : 59"));
    ASSERT_GE(displays.size(), 2u);
    EXPECT_EQ(displays.back(), "0 : 04 : 59");
    EXPECT_EQ(displays[displays.size() - 2], "0 : 05 : 00");
}

TEST_F(EventTimerWindowTest, TimeUpBoxLeavesTheClockRunningWhileItIsOpen)
{
    QtMessageBoxes real;
    open(real);
    // Timer1 itself, firing on every pass of the event loop: the message box's own loop must
    // keep serving it, and nothing waits for real time.
    timer1()->start(0);
    const auto showing = [this](const char* text, const QColor& colour) {
        return QTest::qWaitFor([&] { return shows(QString::fromLatin1(text), colour); });
    };
    QString title, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    bool clockShownWhileOpen = false;
    bool handled = false;
    const auto timeUp = test::whenModalOpens([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            title = box->windowTitle();
            text = box->text();
            icon = box->icon();
        }
        clock.time += 5;
        clockShownWhileOpen = showing("10 : 00 : 08", kWhite);
        QTest::keyClick(modal, Qt::Key_Return);
        handled = true;
    });
    edit("txtMinute")->setText(QStringLiteral("0"));
    edit("txtSecound")->setText(QStringLiteral("3"));
    countDownBox()->click();
    ASSERT_TRUE(showing("0 : 00 : 03", kRed));
    clock.time += 3;
    ASSERT_TRUE(QTest::qWaitFor([&] { return handled; }));

    EXPECT_EQ(title, QStringLiteral("Velka Tablewright"));
    EXPECT_EQ(text, QStringLiteral("Time Up!!"));
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_TRUE(clockShownWhileOpen);

    // The ticks that follow stay in clock mode: a second box would be closed here and counted.
    int secondBoxes = 0;
    QTimer closer;
    closer.setInterval(0);
    QObject::connect(&closer, &QTimer::timeout, [&secondBoxes] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            ++secondBoxes;
            modal->close();
        }
    });
    closer.start();
    for (int pass = 0; pass < 20; ++pass)
        QCoreApplication::processEvents();
    EXPECT_EQ(secondBoxes, 0) << "announced a second time";
}

TEST_F(EventTimerWindowTest, CharacterKeysRestartACountdownAndOtherKeysDoNot)
{
    QCheckBox* box = countDownBox();
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Space);
    ASSERT_TRUE(box->isChecked());
    clock.time += 100;
    tick();
    ASSERT_TRUE(shows(QStringLiteral("0 : 03 : 20"), kGreen));
    QTest::keyClick(box, Qt::Key_Return);
    tick();
    EXPECT_TRUE(shows(QStringLiteral("0 : 05 : 00"), kGreen));

    clock.time += 10;
    QTest::keyClick(box, Qt::Key_F2);
    tick();
    EXPECT_TRUE(shows(QStringLiteral("0 : 04 : 50"), kGreen));
    QTest::keyClick(box, Qt::Key_A);
    tick();
    EXPECT_TRUE(shows(QStringLiteral("0 : 05 : 00"), kGreen));

    // A refused restart keeps the round and swallows the key: the box stays checked.
    edit("txtSecound")->setText(QStringLiteral("abc"));
    clock.time += 10;
    QTest::keyClick(box, Qt::Key_Space);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], errorMessage("秒の欄には数字を入力してください。"));
    EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(box->isDown());
    tick();
    EXPECT_TRUE(shows(QStringLiteral("0 : 04 : 50"), kGreen));

    // Space on the checked box restarts as it is pressed, then clears the box.
    edit("txtSecound")->setText(QStringLiteral("00"));
    QTest::keyClick(box, Qt::Key_Space);
    EXPECT_FALSE(box->isChecked());
    EXPECT_EQ(window->eventTimer().countDownEnd(), clock.time + 300);
    tick();
    EXPECT_TRUE(shows(QStringLiteral("10 : 02 : 00"), kWhite));
}

TEST_F(EventTimerWindowTest, RefusedStartClearsTheBoxAgainAndSaysWhy)
{
    edit("txtHour")->clear();
    countDownBox()->click();
    QCoreApplication::processEvents(); // the message waits for the event loop
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0], errorMessage("時間の欄には数字を入力してください。"));
    EXPECT_FALSE(countDownBox()->isChecked());
    EXPECT_FALSE(window->eventTimer().countingDown());
}

class CountDownBoxChange : public EventTimerWindowTest,
                           public ::testing::WithParamInterface<test::BoxChange> {};

TEST_P(CountDownBoxChange, StartsTheFullPeriodAndClearingReturnsToTheClock)
{
    ASSERT_TRUE(test::changeBox(countDownBox(), GetParam()));
    EXPECT_TRUE(countDownBox()->isChecked());
    EXPECT_TRUE(window->eventTimer().countingDown());
    tick();
    EXPECT_TRUE(shows(QStringLiteral("0 : 05 : 00"), kGreen));

    clock.time += 10;
    ASSERT_TRUE(test::changeBox(countDownBox(), GetParam()));
    EXPECT_FALSE(countDownBox()->isChecked());
    EXPECT_FALSE(window->eventTimer().countingDown());
    tick();
    EXPECT_TRUE(shows(QStringLiteral("10 : 00 : 10"), kWhite));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_P(CountDownBoxChange, AnInputThatIsNoNumberIsRefusedOnceAndTheBoxCleared)
{
    edit("txtMinute")->setText(QStringLiteral("abc"));
    ASSERT_TRUE(test::changeBox(countDownBox(), GetParam()));
    EXPECT_FALSE(countDownBox()->isChecked());
    EXPECT_FALSE(window->eventTimer().countingDown());
    for (int i = 0; i < 3; ++i)
        tick();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_EQ(boxes.shown[0], errorMessage("分の欄には数字を入力してください。"));
    EXPECT_TRUE(shows(QStringLiteral("10 : 00 : 00"), kWhite));

    // Corrected, the same change starts the countdown.
    edit("txtMinute")->setText(QStringLiteral("1"));
    ASSERT_TRUE(test::changeBox(countDownBox(), GetParam()));
    EXPECT_TRUE(window->eventTimer().countingDown());
    EXPECT_EQ(window->eventTimer().countDownEnd(), kTen + 60);
}

INSTANTIATE_TEST_SUITE_P(Origins, CountDownBoxChange, ::testing::ValuesIn(test::kEveryBoxChange),
                         test::boxChangeName);

} // namespace
} // namespace velka
