#include "timer/TimerProjectorView.h"
#include "tests/support/ScopedTimeZone.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TestClock.h"
#include "tests/support/WindowTest.h"
#include "tests/timer/HallDoubles.h"
#include "timer/HallTimerControls.h"
#include "timer/frmEventTimer.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>

// Readable failures.
void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
void PrintTo(const QColor& colour, std::ostream* out)
{
    *out << colour.name().toStdString();
}

namespace velka {
namespace {

using test::control;
using test::RecordingScreenSaver;
using test::RecordingSoundPlayer;
using test::TestClock;

constexpr std::int64_t kTen = 1717203600; // 2024-06-01 10:00:00 in Tokyo

// Where the text's ink lies in a rendering, in device pixels, and the brightest colour in it.
struct Ink {
    QRect box;
    QColor brightest;
    bool onlyTextColour = true; // every lit pixel a shade of the brightest colour
};

Ink inkOf(const QImage& image, const QColor& colour)
{
    Ink ink;
    int left = image.width(), right = -1, top = image.height(), bottom = -1;
    int best = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x] & 0xffffff;
            if (pixel == 0)
                continue;
            left = std::min(left, x);
            right = std::max(right, x);
            top = std::min(top, y);
            bottom = std::max(bottom, y);
            const int sum = qRed(pixel) + qGreen(pixel) + qBlue(pixel);
            if (sum > best) {
                best = sum;
                ink.brightest = QColor(pixel);
            }
            // An anti-aliased edge is the text colour blended with black: no channel of it may
            // be lit where the text colour has none.
            if ((colour.red() == 0 && qRed(pixel)) || (colour.green() == 0 && qGreen(pixel)) ||
                (colour.blue() == 0 && qBlue(pixel)))
                ink.onlyTextColour = false;
        }
    }
    if (right >= 0)
        ink.box = QRect(QPoint(left, top), QPoint(right, bottom));
    return ink;
}

QImage render(QWidget* view, QSize size, qreal ratio)
{
    view->resize(size);
    QImage image(size * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::blue); // a view that leaves pixels unpainted shows them
    view->render(&image);
    return image;
}

class TimerProjectorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        clock.time = kTen;
        window = std::make_unique<frmEventTimer>(clock, boxes, HallServices{&player, &screenSaver});
        // The test moves time itself: the window's own tick is fired by tick().
        timer1()->stop();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        tick();
    }
    QTimer* timer1() const { return control<QTimer>(window.get(), QStringLiteral("Timer1")); }
    // One tick of the window, as Timer1 gives it, and what it queued.
    void tick()
    {
        QMetaObject::invokeMethod(timer1(), "timeout");
        QApplication::processEvents();
    }
    void at(std::int64_t time)
    {
        clock.time = time;
        tick();
    }
    QLineEdit* display() const
    {
        return control<QLineEdit>(window.get(), QStringLiteral("txtEventTimer"));
    }
    QCheckBox* countDownBox() const
    {
        return control<QCheckBox>(window.get(), QStringLiteral("chkCountDownTimer"));
    }
    void startCountdown(const char* h, const char* m, const char* s)
    {
        control<QLineEdit>(window.get(), QStringLiteral("txtHour"))
            ->setText(QString::fromLatin1(h));
        control<QLineEdit>(window.get(), QStringLiteral("txtMinute"))
            ->setText(QString::fromLatin1(m));
        control<QLineEdit>(window.get(), QStringLiteral("txtSecound"))
            ->setText(QString::fromLatin1(s));
        countDownBox()->click();
        tick();
    }
    HallTimerControls& hall() { return window->hall(); }
    static void deleteClosed()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    TimerProjectorView* projector() { return hall().projectorView(); }

    test::ScopedTimeZone zone{"Asia/Tokyo"};
    TestClock clock;
    test::ScriptedMessageBoxes boxes;
    RecordingSoundPlayer player{clock};
    RecordingScreenSaver screenSaver;
    std::unique_ptr<frmEventTimer> window;
};

struct Screen {
    const char* name;
    QSize size;
    qreal ratio;
};

void PrintTo(const Screen& s, std::ostream* out)
{
    *out << s.name;
}

class ProjectorRendering : public TimerProjectorTest, public ::testing::WithParamInterface<Screen> {
protected:
    // The text's ink fits inside the margin, centred both ways, in the colour of the display.
    void expectFitsCentred(const QColor& colour)
    {
        const Screen& s = GetParam();
        const QImage image = render(projector(), s.size, s.ratio);
        const Ink ink = inkOf(image, colour);
        ASSERT_FALSE(ink.box.isNull()) << "nothing drawn";
        const int width = image.width(), height = image.height();
        const QString text = projector()->shownText();
        // Not less than 4 % free on every side; centred to within 1 % of the screen.
        EXPECT_GE(ink.box.left(), width * 0.04) << text.toStdString();
        EXPECT_LE(ink.box.right(), width * 0.96) << text.toStdString();
        EXPECT_GE(ink.box.top(), height * 0.04) << text.toStdString();
        EXPECT_LE(ink.box.bottom(), height * 0.96) << text.toStdString();
        EXPECT_NEAR(ink.box.left(), width - 1 - ink.box.right(), width * 0.01)
            << text.toStdString();
        EXPECT_NEAR(ink.box.top(), height - 1 - ink.box.bottom(), height * 0.01)
            << text.toStdString();
        // Large: the text spans most of the width (the widest text is measured for the margin).
        EXPECT_GE(ink.box.width(), width * 0.6) << text.toStdString();
        EXPECT_EQ(ink.brightest, colour) << text.toStdString();
        EXPECT_TRUE(ink.onlyTextColour) << text.toStdString();
        EXPECT_EQ(image.pixelColor(0, 0), QColor(Qt::black));
    }
};

TEST_P(ProjectorRendering, TimeOfDayFillsTheScreenAtOneSizeAllDay)
{
    hall().openProjector();
    ASSERT_NE(projector(), nullptr);
    std::optional<int> pixelSize;
    // From midnight through the day: the size is measured on the widest time, so it stays.
    for (const std::int64_t offset :
         {-10 * 3600, -8 * 3600 + 8 * 60 + 8, 10 * 3600 + 8 * 60 + 8, 13 * 3600 + 59 * 60 + 59}) {
        at(kTen + offset);
        SCOPED_TRACE(projector()->shownText().toStdString());
        EXPECT_EQ(projector()->shownText(), display()->text());
        expectFitsCentred(QColor(255, 255, 255));
        const int size = projector()->textFont().pixelSize();
        if (pixelSize) {
            EXPECT_EQ(size, *pixelSize) << "the size jumped";
        }
        pixelSize = size;
    }
}

TEST_P(ProjectorRendering, HundredHourCountdownFitsInGreenAndRed)
{
    hall().openProjector();
    startCountdown("100", "0", "0");
    ASSERT_EQ(projector()->shownText(), QStringLiteral("100 : 00 : 00"));
    expectFitsCentred(QColor(255, 0, 0)); // the first minute of an hour is red
    const int size = projector()->textFont().pixelSize();
    at(kTen + 60);
    ASSERT_EQ(projector()->shownText(), QStringLiteral("99 : 59 : 00"));
    expectFitsCentred(QColor(0, 192, 0));
    EXPECT_EQ(projector()->textFont().pixelSize(), size) << "the hours lost a digit, not the size";
}

// A clock set back during a round leaves more time than the period, with more digits of hours
// than the font was fitted to; the digits still stay inside the margin.
TEST_P(ProjectorRendering, ClockSetBackDuringACountdownStaysInside)
{
    hall().openProjector();
    startCountdown("9", "59", "59");
    for (const auto& [back, text] : std::vector<std::pair<std::int64_t, const char*>>{
             {2 * 3600, "11 : 59 : 59"}, {100 * 3600, "109 : 59 : 59"}}) {
        at(kTen - back);
        ASSERT_EQ(projector()->shownText(), QString::fromLatin1(text));
        expectFitsCentred(QColor(0, 192, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Screens, ProjectorRendering,
                         ::testing::Values(Screen{"VGA", {640, 480}, 1},
                                           Screen{"FullHD", {1920, 1080}, 1},
                                           Screen{"UHD", {3840, 2160}, 1},
                                           Screen{"VGAAtRatio2", {640, 480}, 2},
                                           Screen{"FullHDAtRatio2", {1920, 1080}, 2},
                                           Screen{"Portrait", {1080, 1920}, 1}));

TEST_F(TimerProjectorTest, FollowsTheTimerSecondBySecond)
{
    hall().openProjector();
    startCountdown("0", "1", "2");
    QImage before = render(projector(), {640, 480}, 1);
    for (const auto& [after, text, colour] :
         std::vector<std::tuple<int, const char*, QColor>>{{1, "0 : 01 : 01", QColor(0, 192, 0)},
                                                           {2, "0 : 01 : 00", QColor(0, 192, 0)},
                                                           {3, "0 : 00 : 59", QColor(255, 0, 0)}}) {
        at(kTen + after);
        EXPECT_EQ(projector()->shownText(), QString::fromLatin1(text));
        EXPECT_EQ(projector()->shownColour(), colour) << text;
        const QImage now = render(projector(), {640, 480}, 1);
        EXPECT_NE(now, before) << "the picture did not change at " << text;
        EXPECT_EQ(inkOf(now, colour).brightest, colour) << text;
        before = now;
    }
}

// A new second repaints only the characters that changed: what is on the screen afterwards is
// exactly what a full paint gives, with no digit of an earlier second left behind.
TEST_F(TimerProjectorTest, RepaintingOnlyTheChangedDigitsLeavesNothingStale)
{
    hall().openProjector();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(projector()));
    startCountdown("10", "0", "5");
    QApplication::processEvents();
    // Seconds of a countdown, then the changes of mode: cleared (the clock, another size), a
    // 100-hour and a 100000-hour countdown (smaller digits), and a short one (larger, red).
    const std::vector<std::function<void()>> steps{
        [&] { at(kTen + 1); },
        [&] { at(kTen + 2); },
        [&] { at(kTen + 6); },
        [&] { at(kTen + 65); },
        [&] { at(kTen + 3600 + 6); },
        [&] { at(kTen + 9 * 3600 + 6); },
        [&] {
            countDownBox()->click();
            tick();
        },
        [&] { startCountdown("100", "0", "0"); },
        [&] { at(clock.time + 1); },
        [&] {
            countDownBox()->click();
            tick();
            startCountdown("100000", "0", "0"); // much smaller digits than the clock's
        },
        [&] {
            countDownBox()->click();
            startCountdown("0", "0", "30");
        },
    };
    for (const auto& step : steps) {
        step();
        QApplication::processEvents();
        const QImage onScreen = projector()
                                    ->screen()
                                    ->grabWindow(projector()->winId())
                                    .toImage()
                                    .convertToFormat(QImage::Format_RGB32);
        const QImage full = projector()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (onScreen.size() != full.size() && projector()->devicePixelRatio() != 1)
            GTEST_SKIP() << "the offscreen platform grabs the screen in logical pixels here";
        ASSERT_EQ(onScreen.size(), full.size());
        EXPECT_TRUE(onScreen == full) << projector()->shownText().toStdString();
    }
}

TEST_F(TimerProjectorTest, ShowsTimeUpWhileTheBoxIsOpenThenTheClockAgain)
{
    hall().openProjector();
    startCountdown("0", "0", "2");
    std::optional<QString> shownWhileOpen;
    std::optional<QColor> colourWhileOpen;
    QString windowWhileOpen;
    boxes.onShow = [&] {
        shownWhileOpen = projector()->shownText();
        colourWhileOpen = projector()->shownColour();
        windowWhileOpen = display()->text();
    };
    at(kTen + 2);
    ASSERT_EQ(boxes.shown.size(), 1U);
    EXPECT_EQ(shownWhileOpen, QStringLiteral("Time Up!!"));
    EXPECT_EQ(colourWhileOpen, QColor(255, 0, 0));
    EXPECT_EQ(windowWhileOpen, QStringLiteral("0 : 00 : 00")) << "the window goes on as designed";
    tick();
    EXPECT_EQ(projector()->shownText(), QStringLiteral("10 : 00 : 02"));
    EXPECT_EQ(projector()->shownColour(), QColor(255, 255, 255));

    // Opened while the box is up, the view shows the end at once.
    hall().closeProjector();
    startCountdown("0", "0", "1");
    boxes.onShow = [&] {
        hall().openProjector();
        shownWhileOpen = projector()->shownText();
    };
    at(clock.time + 1);
    EXPECT_EQ(shownWhileOpen, QStringLiteral("Time Up!!"));
}

TEST_F(TimerProjectorTest, F11DoubleClickAndMenuOpenItAndClosingTheTimerClosesIt)
{
    QTest::keyClick(window.get(), Qt::Key_F11);
    ASSERT_NE(projector(), nullptr);
    EXPECT_TRUE(projector()->isVisible());
    EXPECT_TRUE(projector()->windowFlags() & Qt::FramelessWindowHint);
    QTest::keyClick(projector(), Qt::Key_Escape);
    deleteClosed();
    EXPECT_EQ(projector(), nullptr) << "a closed view is deleted";

    QTest::mouseDClick(display(), Qt::LeftButton);
    ASSERT_NE(projector(), nullptr);
    QTest::mouseDClick(projector(), Qt::LeftButton);
    deleteClosed();
    EXPECT_EQ(projector(), nullptr);

    std::unique_ptr<QMenu> menu = hall().contextMenu();
    QAction* item = nullptr;
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QLatin1String("projectorAction"))
            item = action;
    }
    ASSERT_NE(item, nullptr);
    EXPECT_FALSE(item->isChecked());
    item->trigger();
    ASSERT_NE(projector(), nullptr);
    QSignalSpy closed(projector(), &FullScreenView::closed);
    window->close();
    EXPECT_EQ(closed.count(), 1);
    deleteClosed();
    EXPECT_EQ(projector(), nullptr);
}

// The right click, Shift+F10 and the Menu key open the display's menu; an input box that has
// the focus keeps its own editing menu.
TEST_F(TimerProjectorTest, RightClickShiftF10AndMenuKeyOpenTheDisplayMenu)
{
    auto* hour = control<QLineEdit>(window.get(), QStringLiteral("txtHour"));
    struct Way {
        const char* name;
        std::function<void()> open;
        bool displayMenu;
    };
    for (const auto& [name, open, displayMenu] : std::vector<Way>{
             {"right click",
              [&] {
                  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(10, 10),
                                          display()->mapToGlobal(QPoint(10, 10)));
                  QApplication::sendEvent(display(), &event);
              },
              true},
             {"Shift+F10", [&] { QTest::keyClick(window.get(), Qt::Key_F10, Qt::ShiftModifier); },
              true},
             {"Menu key", [&] { QTest::keyClick(window.get(), Qt::Key_Menu); }, true},
             {"Menu key in the hours' box",
              [&] {
                  if (!hour->isVisible())
                      control<QPushButton>(window.get(), QStringLiteral("cmdCtlShow"))->click();
                  hour->setFocus();
                  QTest::keyClick(hour, Qt::Key_Menu);
              },
              false}}) {
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        // Polls for the menu, bounded, so that a menu that never opens fails instead of hanging.
        QStringList items;
        const QPointer<QTimer> poll = new QTimer(window.get());
        int left = 200;
        QObject::connect(poll, &QTimer::timeout, poll, [&] {
            QWidget* popup = QApplication::activePopupWidget();
            if (popup) {
                for (QAction* action : popup->actions())
                    items << action->objectName();
                popup->close();
            }
            if (popup || --left <= 0)
                poll->deleteLater();
        });
        poll->start(10);
        open();
        delete poll.data();
        // The input box's menu pops up without a loop of its own: it is open now.
        if (QWidget* popup = QApplication::activePopupWidget()) {
            for (QAction* action : popup->actions())
                items << action->objectName();
            popup->close();
        }
        ASSERT_FALSE(items.isEmpty()) << name << ": no menu opened";
        EXPECT_EQ(items.contains(QStringLiteral("projectorAction")), displayMenu) << name;
        EXPECT_EQ(items.contains(QStringLiteral("muteAction")), displayMenu) << name;
    }
}

TEST_F(TimerProjectorTest, ChimeAtTimeUpWarningsAndMuteFromTheMenu)
{
    using Played = RecordingSoundPlayer::Played;
    // Refused: no sound, nothing held.
    startCountdown("x", "0", "0");
    ASSERT_FALSE(countDownBox()->isChecked());
    at(kTen + 400);
    EXPECT_TRUE(player.played.empty());
    EXPECT_TRUE(screenSaver.calls.empty());

    {
        std::unique_ptr<QMenu> menu = hall().contextMenu();
        auto* warnings = menu->findChild<QAction*>(QStringLiteral("warningsAction"));
        ASSERT_NE(warnings, nullptr);
        EXPECT_FALSE(warnings->isChecked()) << "off by default";
        warnings->trigger();
    }
    EXPECT_TRUE(hall().sounds().warningsOn());
    startCountdown("0", "1", "30");
    const std::int64_t start = clock.time;
    for (int second = 1; second <= 90; ++second)
        at(start + second);
    EXPECT_EQ(player.played, (std::vector<Played>{{RoundSound::OneMinuteLeft, start + 30},
                                                  {RoundSound::TimeUp, start + 90}}));
    EXPECT_EQ(boxes.shown.size(), 2U) << "the refusal and the end";
    EXPECT_EQ(screenSaver.calls, (std::vector<std::string>{"inhibit", "release"}));

    {
        std::unique_ptr<QMenu> menu = hall().contextMenu();
        menu->findChild<QAction*>(QStringLiteral("muteAction"))->trigger();
    }
    startCountdown("0", "0", "5");
    at(clock.time + 5);
    EXPECT_EQ(player.played.size(), 2U) << "muted";
}

TEST_F(TimerProjectorTest, ClosingTheWindowReleasesTheScreen)
{
    startCountdown("0", "10", "0");
    EXPECT_EQ(screenSaver.calls, std::vector<std::string>{"inhibit"});
    window->close();
    EXPECT_EQ(screenSaver.calls, (std::vector<std::string>{"inhibit", "release"}));
}

} // namespace
} // namespace velka
