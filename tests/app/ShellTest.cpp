#include "app/Shell.h"

#include "about/VersionInfo.h"
#include "about/frmVerInfo.h"
#include "board/frmPairvaneMainForm.h"
#include "core/ProgramVersion.h"
#include "draw/frmNewGame.h"
#include "keep/TournamentFile.h"
#include "keep/TournamentFileActions.h"
#include "keep/TournamentKeeper.h"
#include "swiss/SwissDraw.h"
#include "swiss/SwissProjector.h"
#include "swiss/frmSwissDraw.h"
#include "tests/keep/TournamentWalk.h"
#include "tests/support/BoardSnapshot.h"
#include "tests/support/RecordingWebBrowser.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/TestClock.h"
#include "tests/support/WindowTest.h"
#include "timer/frmEventTimer.h"
#include "uikit/FileDialogs.h"
#include "uikit/PrintDialogs.h"
#include "uikit/QtMessageBoxes.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>

namespace velka {
namespace {

using test::control;
using test::whenModalOpens;

// Makes the timer window's Timer1 fire on every pass of the event loop, so that a test that
// moves the clock sees the display follow without waiting for real time.
void tickOnEveryPass(QWidget* timerWindow)
{
    control<QTimer>(timerWindow, QStringLiteral("Timer1"))->setInterval(0);
}

void clickButton(const QWidget* window, const char* name)
{
    QTest::mouseClick(control<QPushButton>(window, QString::fromLatin1(name)), Qt::LeftButton);
}

// A click as the window system delivers it, so that a modal window can block it.
void clickThroughWindow(QWidget* window, const char* name)
{
    auto* widget = control<QWidget>(window, QString::fromLatin1(name));
    const QPoint centre = widget->mapTo(window, widget->rect().center());
    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, centre);
}

class ShellTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        shell = std::make_unique<Shell>(Services{boxes, random, clock, browser});
        shell->start();
        ASSERT_TRUE(test::showActive(main()));
        clickButton(main(), "cmdShow"); // the palette, where the other windows open from
    }
    void TearDown() override { shell.reset(); }

    frmPairvaneMainForm* main() const { return shell->loadedMainForm(); }

    // Opens the entry dialog from the palette and runs fill inside it; returns when it closed.
    void withEntryDialog(const std::function<void(frmNewGame*)>& fill)
    {
        bool opened = false;
        const auto watch = whenModalOpens([&](QWidget* modal) {
            auto* dialog = qobject_cast<frmNewGame*>(modal);
            opened = dialog != nullptr;
            if (dialog)
                fill(dialog);
            if (modal->isVisible())
                modal->close();
        });
        clickButton(main(), "cmdNew");
        EXPECT_TRUE(opened);
    }

    test::ScriptedMessageBoxes boxes;
    test::ScriptedRandom random{{}, 7};
    test::TestClock clock;
    test::RecordingWebBrowser browser;
    std::unique_ptr<Shell> shell;
};

void typeEntries(frmNewGame* dialog, std::initializer_list<const char*> names)
{
    auto* input = control<QPlainTextEdit>(dialog, QStringLiteral("txtEntry"));
    input->setFocus();
    for (const char* name : names) {
        QTest::keyClicks(input, QString::fromLatin1(name));
        QTest::keyClick(input, Qt::Key_Return);
    }
    clickButton(dialog, "cmdEntry");
}

void setText(frmNewGame* dialog, const char* box, const char* text)
{
    auto* edit = control<QLineEdit>(dialog, QString::fromLatin1(box));
    edit->setFocus();
    edit->selectAll();
    QTest::keyClicks(edit, QString::fromLatin1(text));
}

TEST_F(ShellTest, TheWholeRoadFromThePaletteToTheBracket)
{
    withEntryDialog([](frmNewGame* dialog) {
        typeEntries(dialog, {"Ann", "Ben", "Cid", "Dot", "Eve", "Fay", "Gus", "Hal"});
        setText(dialog, "txtMenber", "7");
        QTest::mouseClick(control<QCheckBox>(dialog, QStringLiteral("chkSeed")), Qt::LeftButton);
        setText(dialog, "txtSeed", "Champion");
        clickButton(dialog, "cmdNewEventExec");
    });

    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(shell->loadedNewGame(), nullptr) << "a successful draw unloads the dialog";
    const BracketBoard& board = main()->board();
    const std::set<std::string> entered = {"Ann", "Ben", "Cid", "Dot", "Eve", "Fay", "Gus", "Hal"};
    std::set<std::string> drawn;
    for (int slot = 0; slot < 6; ++slot)
        drawn.insert(board.slotCaption(slot));
    EXPECT_EQ(drawn.size(), 6u);
    EXPECT_TRUE(std::includes(entered.begin(), entered.end(), drawn.begin(), drawn.end()));
    EXPECT_EQ(board.slotCaption(6), "Champion");
    EXPECT_EQ(board.slotCaption(7), "");
    EXPECT_EQ(control<QLabel>(main(), QStringLiteral("lblMenber(6)"))->text(),
              QStringLiteral("Champion"));
    EXPECT_EQ(board.connector(3).y2, 2270) << "the seed's bye";
    EXPECT_FALSE(board.lineVisible(8));
    EXPECT_FALSE(board.lineVisible(30));

    // The next opening starts afresh: the two names left over are gone.
    withEntryDialog([](frmNewGame* dialog) {
        EXPECT_EQ(dialog->entries().count(), 0);
        EXPECT_EQ(control<QLineEdit>(dialog, QStringLiteral("txtMenber"))->text(),
                  QStringLiteral("16"));
        EXPECT_FALSE(control<QCheckBox>(dialog, QStringLiteral("chkSeed"))->isChecked());
        EXPECT_TRUE(control<QLineEdit>(dialog, QStringLiteral("txtSeed"))->text().isEmpty());
    });
}

TEST_F(ShellTest, ARefusedDrawOrTheCloseBoxLeavesAMarkedBoardAlone)
{
    clickButton(main(), "cmdProgress");
    QTest::mouseClick(control<QCheckBox>(main(), QStringLiteral("chkTournament(4)")),
                      Qt::LeftButton);
    const auto marked = test::snapshot(main()->board());

    bool stayedOpen = false;
    int entries = -1;
    withEntryDialog([&](frmNewGame* dialog) {
        typeEntries(dialog, {"Ann", "Ben", "Cid"});
        clickButton(dialog, "cmdNewEventExec"); // 16 players from three
        stayedOpen = dialog->isVisible();
        entries = dialog->entries().count();
        // then the close box
    });

    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(entries, 3);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, "人数が足りません。");
    EXPECT_EQ(test::snapshot(main()->board()), marked);
    EXPECT_EQ(shell->loadedNewGame(), nullptr);
}

TEST_F(ShellTest, TheEventTimerOpensOnceAndIsNotRaised)
{
    clickButton(main(), "cmdEventTimer");
    QPointer<frmEventTimer> timer = shell->loadedEventTimer();
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isVisible());
    EXPECT_FALSE(timer->isModal());

    ASSERT_TRUE(test::showActive(main()));
    clickButton(main(), "cmdEventTimer");
    // A raise or an activation would arrive from the platform within these passes.
    for (int pass = 0; pass < 3; ++pass)
        QCoreApplication::processEvents();
    EXPECT_EQ(shell->loadedEventTimer(), timer.data());
    EXPECT_EQ(QApplication::activeWindow(), main()) << "the open timer is left where it is";
    int timers = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        timers += qobject_cast<frmEventTimer*>(w) ? 1 : 0;
    EXPECT_EQ(timers, 1);

    // Closed, it is unloaded; the next press loads it afresh.
    control<QLineEdit>(timer, QStringLiteral("txtMinute"))->setText(QStringLiteral("30"));
    timer->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return timer.isNull(); }));
    EXPECT_EQ(shell->loadedEventTimer(), nullptr);
    clickButton(main(), "cmdEventTimer");
    ASSERT_NE(shell->loadedEventTimer(), nullptr);
    EXPECT_EQ(control<QLineEdit>(shell->loadedEventTimer(), QStringLiteral("txtMinute"))->text(),
              QStringLiteral("05"));
}

TEST_F(ShellTest, ClosingTheMainWindowLeavesTheTimerRunningUntilItClosesToo)
{
    clickButton(main(), "cmdEventTimer");
    QPointer<frmEventTimer> timer = shell->loadedEventTimer();
    tickOnEveryPass(timer);
    auto* display = control<QLineEdit>(timer, QStringLiteral("txtEventTimer"));
    constexpr std::int64_t kClosed = 1'800'000'000;
    clock.time = kClosed;
    const TimeOfDay later = localTimeOfDay(kClosed + 61);
    const QString expected = QStringLiteral("%1 : %2 : %3")
                                 .arg(later.hour)
                                 .arg(later.minute, 2, 10, QLatin1Char('0'))
                                 .arg(later.second, 2, 10, QLatin1Char('0'));

    // The program's own event loop ends when its last window has closed, and only then. Once
    // the main window has gone, the clock moves on and the timer must show it by itself.
    bool timerRanAlone = false;
    QTimer::singleShot(0, main(), [this] { main()->close(); });
    QTimer alone;
    alone.setInterval(0);
    QObject::connect(&alone, &QTimer::timeout, [&] {
        if (shell->loadedMainForm() != nullptr || timer.isNull())
            return;
        if (clock.time == kClosed) {
            clock.time += 61;
        } else if (display->text() == expected) {
            timerRanAlone = timer->isVisible();
            alone.stop();
            timer->close();
        }
    });
    alone.start();
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    giveUp.start(5000);
    EXPECT_EQ(QApplication::exec(), 0) << "the loop did not end when the timer closed";
    EXPECT_TRUE(timerRanAlone);
}

// 「スイスドロー(&W)...」 in the board's menu, its key the menu's only W; one window at a time,
// whose event stays with the program when it closes, and which goes with the board.
TEST_F(ShellTest, TheSwissWindowOpensFromTheBoardsMenuAndItsEventOutlivesIt)
{
    const auto swissItem = [this](QMenu* menu) -> QAction* {
        QAction* found = nullptr;
        QStringList keys;
        for (QAction* action : menu->actions()) {
            const QString text = action->text();
            const qsizetype amp = text.indexOf(u'&');
            if (amp >= 0 && amp + 1 < text.size())
                keys << text.mid(amp + 1, 1).toUpper();
            if (action->objectName() == QStringLiteral("actSwissDraw"))
                found = action;
        }
        EXPECT_EQ(keys.count(QStringLiteral("W")), 1) << keys.join(u' ').toStdString();
        EXPECT_EQ(keys.removeDuplicates(), 0) << "an access key twice in the board's menu";
        return found;
    };
    std::unique_ptr<QMenu> menu(main()->outputs().createMenu(main()));
    QAction* open = swissItem(menu.get());
    ASSERT_NE(open, nullptr);
    EXPECT_EQ(open->text(), QStringLiteral("スイスドロー(&W)..."));

    open->trigger();
    QPointer<frmSwissDraw> window = shell->loadedSwissDraw();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("スイスドロー"));
    ASSERT_EQ(shell->swissDraw().addPlayers({{"Ann", ""}, {"Ben", ""}, {"Cid", ""}, {"Dot", ""}}),
              std::nullopt);
    open->trigger();
    EXPECT_EQ(shell->loadedSwissDraw(), window.data()) << "one instance";

    window->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }));
    open->trigger();
    window = shell->loadedSwissDraw();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(control<QTableView>(window, QStringLiteral("tblPlayers"))->model()->rowCount(), 4)
        << "a closed window loses nothing";

    menu.reset(); // it belongs to the main window
    main()->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return window.isNull(); }))
        << "the Swiss window goes with the board it seats its top cut on";
}

// The Swiss window's projector view shows the event timer's time left, the very text of the
// timer's display, while it counts down; nothing otherwise, nor once the timer has closed.
TEST_F(ShellTest, TheSwissProjectorShowsTheTimersTimeLeftAsTheTimerDoes)
{
    shell->OpenSwissDraw();
    SwissProjector& projector = shell->loadedSwissDraw()->projector();
    projector.toggle(SwissProjectorView::Mode::Pairings);
    QPointer<SwissProjectorView> view = projector.view();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->timeLeft(), QString());

    clickButton(main(), "cmdEventTimer");
    QPointer<frmEventTimer> timer = shell->loadedEventTimer();
    auto* display = control<QLineEdit>(timer, QStringLiteral("txtEventTimer"));
    clock.time = 1'800'000'000;
    timer->tick();
    EXPECT_EQ(view->timeLeft(), QString()) << "the time of day is no time left";
    control<QCheckBox>(timer, QStringLiteral("chkCountDownTimer"))->click();
    for (int second = 0; second < 3; ++second) {
        clock.time += 1;
        timer->tick();
        ASSERT_EQ(view->timeLeft(), display->text());
    }
    EXPECT_EQ(view->timeLeft(), QStringLiteral("0 : 04 : 57"));

    timer->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return timer.isNull(); }));
    EXPECT_EQ(view->timeLeft(), QString());
}

TEST_F(ShellTest, TheVersionWindowIsModalOverEveryOtherWindow)
{
    clickButton(main(), "cmdEventTimer");
    QPointer<frmEventTimer> timer = shell->loadedEventTimer();
    tickOnEveryPass(timer);
    auto* display = control<QLineEdit>(timer, QStringLiteral("txtEventTimer"));
    const QSize timerSize = timer->size();

    for (int opening = 0; opening < 2; ++opening) {
        QString label;
        QString tickedDisplay;
        QString before;
        const auto watch = whenModalOpens([&](QWidget* modal) {
            if (auto* window = qobject_cast<frmVerInfo*>(modal))
                label = control<QLabel>(window, QStringLiteral("lblVerinfo"))->text();
            // Clicks on the other windows are blocked...
            clickThroughWindow(main(), "cmdProgress");
            clickThroughWindow(timer, "cmdCtlShow");
            // ...while the timer goes on ticking.
            clock.time += 3600;
            if (QTest::qWaitFor([&] { return display->text() != before; }))
                tickedDisplay = display->text();
            clickButton(modal, "cmdOK");
        });
        before = display->text();
        clickButton(main(), "cmdVerInfo");

        EXPECT_EQ(label,
                  QString::fromStdString(BuildVersionLabel(
                      kProgramVersion.major, kProgramVersion.minor, kProgramVersion.revision)));
        EXPECT_FALSE(main()->board().progressMode());
        EXPECT_EQ(timer->size(), timerSize);
        EXPECT_NE(tickedDisplay, before) << "the clock moved an hour while the window was open";
        EXPECT_TRUE(QTest::qWaitFor([&] { return shell->loadedVerInfo() == nullptr; }));
    }
    // The same clicks go through once no modal window is open.
    clickThroughWindow(main(), "cmdProgress");
    EXPECT_TRUE(main()->board().progressMode());
    clickThroughWindow(timer, "cmdCtlShow");
    EXPECT_NE(timer->size(), timerSize);
}

// Alt+E is the access key of two buttons in the main window and of two in the entry dialog:
// each press moves the focus to the other button and presses neither.
TEST_F(ShellTest, AltEMovesTheFocusBetweenItsTwoButtonsAndPressesNeither)
{
    const auto pressTwice = [](QWidget* window, QPushButton* one, QPushButton* other) {
        for (int press = 0; press < 2; ++press) {
            // Access keys go to the window that has the keyboard.
            EXPECT_TRUE(QTest::qWaitFor([window] {
                return QApplication::activeWindow() == window &&
                       QGuiApplication::focusWindow() == window->windowHandle();
            }));
            QWidget* before = QApplication::focusWidget();
            QTest::keyClick(window, Qt::Key_E, Qt::AltModifier);
            QWidget* now = QApplication::focusWidget();
            const std::string where = window->objectName().toStdString();
            EXPECT_TRUE(now == one || now == other) << where << ", press " << press;
            EXPECT_NE(now, before) << where << ", press " << press;
            EXPECT_FALSE(one->isDown() || other->isDown()) << where << ", press " << press;
        }
    };
    pressTwice(main(), control<QPushButton>(main(), QStringLiteral("cmdNew")),
               control<QPushButton>(main(), QStringLiteral("cmdEventTimer")));
    QCoreApplication::processEvents();
    EXPECT_EQ(shell->loadedEventTimer(), nullptr);

    int entries = -1;
    int enteredBySpace = -1;
    bool stayedOpen = false;
    withEntryDialog([&](frmNewGame* dialog) {
        typeEntries(dialog, {"Ann", "Ben"});
        auto* input = control<QPlainTextEdit>(dialog, QStringLiteral("txtEntry"));
        input->setPlainText(QStringLiteral("Cid"));
        input->setFocus();
        auto* enter = control<QPushButton>(dialog, QStringLiteral("cmdEntry"));
        pressTwice(dialog, enter, control<QPushButton>(dialog, QStringLiteral("cmdNewEventExec")));
        QCoreApplication::processEvents();
        entries = dialog->entries().count();
        stayedOpen = dialog->isVisible();
        // The space bar presses the button that the key brought the focus to.
        if (QApplication::focusWidget() != enter)
            QTest::keyClick(dialog, Qt::Key_E, Qt::AltModifier);
        QTest::keyClick(enter, Qt::Key_Space);
        enteredBySpace = dialog->entries().count();
    });
    EXPECT_EQ(entries, 2) << "Enter was not pressed";
    EXPECT_TRUE(stayedOpen) << "the start button was not pressed";
    EXPECT_EQ(enteredBySpace, 3);
    EXPECT_TRUE(boxes.shown.empty());
}

// Every box stands over the window whose operation shows it: the main window's question and
// export errors, the entry dialog's refusals, the timer's refusals (its "Time Up!!" is in
// HallScreensTest).
TEST_F(ShellTest, EveryBoxStandsOverTheWindowThatShowsIt)
{
    struct NowhereToSave final : SaveFileDialogs, PrintDialogs {
        QString askSaveFileName(QWidget*, const QString&, const QString&, const QString&) override
        {
            return QStringLiteral("/nonexistent/folder/bracket.png");
        }
        bool askPrinter(QPrinter&, QWidget*) override { return false; }
    } nowhere;
    main()->outputs().useServices(nowhere, nowhere, clock);
    clickButton(main(), "cmdEventTimer");
    frmEventTimer* timer = shell->loadedEventTimer();
    ASSERT_NE(timer, nullptr);
    QWidget* dialog = nullptr;
    const std::vector<std::pair<const char*, std::function<QWidget*()>>> cases{
        {"the reset question",
         [&] {
             boxes.answers.push_back(MessageAnswer::No);
             clickButton(main(), "cmdProgress");
             clickButton(main(), "cmdClear");
             return main();
         }},
        {"a failed save",
         [&] {
             main()->outputs().saveAsPicture();
             return main();
         }},
        {"a refused draw",
         [&] {
             withEntryDialog([&](frmNewGame* opened) {
                 dialog = opened;
                 typeEntries(opened, {"Ann", "Ben", "Cid"});
                 clickButton(opened, "cmdNewEventExec");
             });
             return dialog;
         }},
        {"a refused countdown",
         [&] {
             control<QLineEdit>(timer, QStringLiteral("txtHour"))->setText(QStringLiteral("x"));
             control<QCheckBox>(timer, QStringLiteral("chkCountDownTimer"))->click();
             QCoreApplication::processEvents();
             return timer;
         }},
    };
    for (const auto& [name, show] : cases) {
        const std::size_t before = boxes.shown.size();
        QWidget* expected = show();
        ASSERT_EQ(boxes.shown.size(), before + 1) << name;
        EXPECT_EQ(boxes.owners.back(), expected) << name;
    }
}

TEST_F(ShellTest, TheTimeUpBoxHoldsEveryWindowUntilOk)
{
    QtMessageBoxes realBoxes;
    shell = std::make_unique<Shell>(Services{realBoxes, random, clock, browser});
    shell->start();
    ASSERT_TRUE(QTest::qWaitForWindowActive(main()));
    clickButton(main(), "cmdShow");
    clickButton(main(), "cmdEventTimer");
    QPointer<frmEventTimer> timer = shell->loadedEventTimer();
    ASSERT_NE(timer, nullptr);
    const QSize timerSize = timer->size();
    control<QLineEdit>(timer, QStringLiteral("txtMinute"))->setText(QStringLiteral("0"));
    control<QLineEdit>(timer, QStringLiteral("txtSecound"))->setText(QStringLiteral("1"));
    control<QCheckBox>(timer, QStringLiteral("chkCountDownTimer"))->click();

    QString text;
    bool handled = false;
    const auto watch = whenModalOpens([&](QWidget* modal) {
        if (auto* box = qobject_cast<QMessageBox*>(modal))
            text = box->text();
        clickThroughWindow(main(), "cmdProgress");
        clickThroughWindow(timer, "cmdCtlShow");
        QTest::keyClick(modal, Qt::Key_Return);
        handled = true;
    });
    clock.time += 1;
    QMetaObject::invokeMethod(timer->findChild<QTimer*>(QStringLiteral("Timer1")), "timeout");
    ASSERT_TRUE(QTest::qWaitFor([&] { return handled; }));

    EXPECT_EQ(text, QStringLiteral("Time Up!!"));
    EXPECT_FALSE(main()->board().progressMode());
    EXPECT_EQ(timer->size(), timerSize);
    // OK given, both windows take clicks again.
    clickThroughWindow(main(), "cmdProgress");
    EXPECT_TRUE(main()->board().progressMode());
    clickThroughWindow(timer, "cmdCtlShow");
    EXPECT_NE(timer->size(), timerSize);
}

// The program's one argument: a tournament file, opened onto the board and the Swiss event at
// start and kept from then on; a refused one leaves the board as designed and no event, with one
// "Error" box over the main window, and keeps nothing.
TEST_F(ShellTest, StartsWithTheTournamentFileItIsGiven)
{
    QTemporaryDir folder;
    BracketBoard design;
    design.Load();
    const Tournament drawn = test::walkTournaments(7, 4).back();
    const QString good = folder.filePath(QStringLiteral("good.velka"));
    const QString refused = folder.filePath(QStringLiteral("empty.velka"));
    const SwissEvent played = test::playedSwissEvent();
    ASSERT_FALSE(writeTournamentFile(toFilePath(good), drawn, 0, played));
    QFile(refused).open(QIODevice::WriteOnly);
    const std::vector<std::tuple<QString, Tournament, SwissEvent, std::size_t>> starts{
        {good, drawn, played, 0}, {refused, design.tournament(), SwissEvent{}, 1}};
    for (const auto& [file, expected, event, errors] : starts) {
        boxes.shown.clear();
        shell = std::make_unique<Shell>(Services{boxes, random, clock, browser});
        shell->keepTournamentsIn(folder.filePath(QStringLiteral("kept")));
        shell->start(file);
        EXPECT_TRUE(main()->board().tournament() == expected) << file.toStdString();
        EXPECT_TRUE(shell->swissDraw().event() == event);
        ASSERT_EQ(boxes.shown.size(), errors);
        if (errors) {
            EXPECT_EQ(boxes.shown[0].title, "Error");
            EXPECT_EQ(boxes.owners[0], main());
        }
    }
    const TournamentReading kept =
        readKeptTournament(toFilePath(main()->tournamentFileActions().keptFile()));
    ASSERT_TRUE(kept.saved);
    EXPECT_TRUE(kept.saved->tournament == drawn);
    EXPECT_TRUE(kept.saved->swiss == played);
}

} // namespace
} // namespace velka
