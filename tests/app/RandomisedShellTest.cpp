#include "app/Shell.h"

#include "about/frmVerInfo.h"
#include "board/frmPairvaneMainForm.h"
#include "bracket/BracketShape.h"
#include "draw/Draw.h"
#include "draw/frmNewGame.h"
#include "tests/support/BoardSnapshot.h"
#include "tests/support/BoxRule.h"
#include "tests/support/CheckBoxChange.h"
#include "tests/support/EntryNames.h"
#include "tests/support/RecordingWebBrowser.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/TestClock.h"
#include "tests/support/TestSeed.h"
#include "tests/support/WindowTest.h"
#include "timer/frmEventTimer.h"

#include <QAbstractItemModel>
#include <QCheckBox>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <deque>
#include <functional>
#include <iostream>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace velka {
namespace {

using test::control;

// Field sizes as an organiser might type them, and worse.
const char* const kFieldSizes[] = {"16",
                                   "2",
                                   "3",
                                   "5",
                                   "7",
                                   "8",
                                   "9",
                                   "15",
                                   "1",
                                   "0",
                                   "17",
                                   "-3",
                                   "1.5",
                                   "2.9999999999999999999",
                                   "1e1",
                                   "１６",
                                   "３",
                                   "７．９",
                                   "\u3000５",
                                   "5\u00A0",
                                   " 8 ",
                                   "+7",
                                   "−5",
                                   "",
                                   " ",
                                   "NaN",
                                   "inf",
                                   "0x10",
                                   "1 6",
                                   "٣",
                                   "9999999999999999999999",
                                   "1e999999999999",
                                   "-1e999999999999",
                                   "😀",
                                   "\u202E7",
                                   "1\u0301",
                                   "4e-0",
                                   ".9e1"};

// Pieces of names: plain, Japanese, emoji and other non-BMP characters, combining marks,
// right-to-left text, blanks and invisible characters.
const char* const kNamePieces[] = {
    "Ann",    "Ben",     "田中",
    "ｶﾀｶﾅ",   "😀",       "👩‍👩‍👧",
    "𠮷野家", "e\u0301", "\u05E9\u05DC\u05D5\u05DD",
    "مرحبا",  " ",       "\t",
    "\u00A0", "\u200B",  "\u202E",
    "x",      "参加者1", "O'Neil",
    "<b>",    "&amp;",   "%s%n",
    "\\",     "\"",      "#",
};

const char* const kTimerInputs[] = {"0",
                                    "1",
                                    "05",
                                    "00",
                                    "30",
                                    "59",
                                    "",
                                    "abc",
                                    "-5",
                                    "1.5",
                                    "１",
                                    "1e9",
                                    "99999999999999999999",
                                    "0.01",
                                    "NaN",
                                    "😀",
                                    "\u3000２",
                                    " 2 ",
                                    "-0",
                                    "1e-3"};

// Offscreen random walk through the program: the main window, the entry dialog, the version
// window and the event timer, one random user action at a time, with the invariants checked
// after every action. VELKA_TEST_SEED replays a run; VELKA_RANDOM_ACTIONS sets its length.
class RandomisedShell : public ::testing::TestWithParam<test::TestSeed> {
protected:
    void SetUp() override
    {
        QApplication::setQuitOnLastWindowClosed(false);
        shell = std::make_unique<Shell>(Services{boxes, random, clock, browser});
        shell->start();
        clock.time = 1'800'000'000;
    }
    void TearDown() override
    {
        shell.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QApplication::setQuitOnLastWindowClosed(true);
    }

    frmPairvaneMainForm* main() const { return shell->loadedMainForm(); }
    BracketBoard& board() const { return main()->board(); }

    template <typename Container>
    auto pick(const Container& items) -> decltype(*std::begin(items))
    {
        const auto count = static_cast<int>(std::size(items));
        return *(std::begin(items) + between(0, count - 1));
    }
    int between(int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); }
    bool chance(double p) { return std::bernoulli_distribution(p)(rng); }

    void note(std::string action)
    {
        ++actions;
        log.push_back(std::to_string(actions) + ": " + std::move(action));
        if (log.size() > 30)
            log.pop_front();
    }

    // A change of a check box's state, from any origin.
    void changeBox(QCheckBox* box, const std::string& what)
    {
        const test::BoxChange change = pick(test::kEveryBoxChange);
        note(std::string(test::nameOf(change)) + " on " + what);
        EXPECT_TRUE(test::changeBox(box, change));
    }

    std::string randomName()
    {
        std::string name;
        const int pieces = between(1, 4);
        for (int i = 0; i < pieces; ++i)
            name += pick(kNamePieces);
        return name;
    }

    // Runs handler in the next modal window's own event loop, looking for the window on every
    // pass of the loop rather than every 10 ms: the walk opens thousands of them.
    [[nodiscard]] static test::ModalWatch whenModal(std::function<void(QWidget*)> handler,
                                                    const char* file = __builtin_FILE(),
                                                    int line = __builtin_LINE())
    {
        return test::whenModalOpens(std::move(handler), std::chrono::seconds(5),
                                    std::chrono::milliseconds(0), file, line);
    }

    void settle()
    {
        for (int i = 0; i < 3; ++i)
            QCoreApplication::processEvents();
    }

    void checkMainWindow()
    {
        if (!main())
            return;
        const BracketBoard& b = board();
        EXPECT_TRUE(test::boxRuleHolds(b));
        for (int k = 0; k < board::kBoxCount; ++k) {
            auto* box = main()->findChild<QCheckBox*>(QStringLiteral("chkTournament(%1)").arg(k));
            EXPECT_EQ(box->isChecked(), b.boxChecked(k)) << "box " << k;
            EXPECT_EQ(box->isVisibleTo(main()), b.boxVisible(k)) << "box " << k;
        }
        for (int i = 0; i < board::kSlotCount; ++i) {
            auto* label = main()->findChild<QLabel*>(QStringLiteral("lblMenber(%1)").arg(i));
            EXPECT_EQ(label->text().toStdString(), b.slotCaption(i)) << "slot " << i;
        }
    }

    void checkInstances()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        int mains = 0, dialogs = 0, timers = 0, versions = 0;
        for (QWidget* w : QApplication::topLevelWidgets()) {
            mains += qobject_cast<frmPairvaneMainForm*>(w) ? 1 : 0;
            dialogs += qobject_cast<frmNewGame*>(w) ? 1 : 0;
            timers += qobject_cast<frmEventTimer*>(w) ? 1 : 0;
            versions += qobject_cast<frmVerInfo*>(w) ? 1 : 0;
        }
        EXPECT_LE(mains, 1);
        EXPECT_LE(dialogs, 1);
        EXPECT_LE(timers, 1);
        EXPECT_LE(versions, 1);
    }

    int timeUps() const
    {
        return static_cast<int>(
            std::count_if(boxes.shown.begin(), boxes.shown.end(),
                          [](const Message& m) { return m.text == "Time Up!!"; }));
    }

    void checkTimer()
    {
        const int announced = timeUps() - timeUpsSeen;
        timeUpsSeen += announced;
        EXPECT_LE(announced, 1) << "one countdown announced twice";
        frmEventTimer* window = shell->loadedEventTimer();
        if (!window)
            return;
        const EventTimer& timer = window->eventTimer();
        static const QRegularExpression format(
            QStringLiteral("^(0|[1-9][0-9]*) : [0-5][0-9] : [0-5][0-9]$"));
        const QString shown = control<QLineEdit>(window, QStringLiteral("txtEventTimer"))->text();
        EXPECT_TRUE(format.match(shown).hasMatch()) << shown.toStdString();
        EXPECT_EQ(control<QCheckBox>(window, QStringLiteral("chkCountDownTimer"))->isChecked(),
                  timer.countingDown());
        if (announced == 1) {
            EXPECT_FALSE(timer.countingDown());
            EXPECT_GE(clock.time, timer.countDownEnd()) << "announced before the end";
        }
        if (timer.countingDown()) {
            EXPECT_LT(clock.time, timer.countDownEnd()) << "the end passed unannounced";
        }
    }

    void checkAll()
    {
        checkMainWindow();
        checkInstances();
        checkTimer();
    }

    void clickPalette(const char* name)
    {
        QTest::mouseClick(control<QPushButton>(main(), QString::fromLatin1(name)), Qt::LeftButton);
    }

    void mainWindowAction()
    {
        const bool paletteOpen = main()->paletteOpen();
        switch (between(0, 13)) {
        case 0:
        case 1:
        case 2: {
            if (!board().progressMode())
                break;
            const int k = between(0, board::kBoxCount - 1);
            changeBox(control<QCheckBox>(main(), QStringLiteral("chkTournament(%1)").arg(k)),
                      "box " + std::to_string(k));
            break;
        }
        case 3:
            note("palette button");
            QTest::mouseClick(control<QPushButton>(main(), QStringLiteral("cmdShow")),
                              Qt::LeftButton);
            break;
        case 4:
        case 5:
            if (!paletteOpen)
                break;
            note("progress");
            clickPalette("cmdProgress");
            break;
        case 6: {
            if (!paletteOpen)
                break;
            const bool yes = chance(0.5);
            note(std::string("clear, answered ") + (yes ? "Yes" : "No"));
            const auto before = test::snapshot(board());
            boxes.answers.push_back(yes ? MessageAnswer::Yes : MessageAnswer::No);
            clickPalette("cmdClear");
            EXPECT_TRUE(boxes.answers.empty()) << "the question was not asked";
            if (yes) {
                BracketBoard cleared;
                cleared.Load();
                cleared.AllClear();
                auto expected = test::snapshot(cleared);
                expected.connectorVisible = before.connectorVisible; // AllClear leaves them
                EXPECT_EQ(test::snapshot(board()), expected);
            } else {
                EXPECT_EQ(test::snapshot(board()), before);
            }
            break;
        }
        case 7:
        case 8:
        case 9:
            if (!paletteOpen)
                break;
            entryDialogSession();
            break;
        case 10:
        case 11:
            if (!paletteOpen)
                break;
            note("open the event timer");
            clickPalette("cmdEventTimer");
            if (QTimer* tick =
                    shell->loadedEventTimer()->findChild<QTimer*>(QStringLiteral("Timer1")))
                tick->setInterval(0); // ticks on every pass of the event loop: no waiting
            break;
        case 12: {
            if (!paletteOpen)
                break;
            note("version window, OK");
            const auto watch = whenModal([](QWidget* modal) {
                if (auto* ok = modal->findChild<QPushButton*>(QStringLiteral("cmdOK")))
                    QTest::mouseClick(ok, Qt::LeftButton);
                else
                    modal->close();
            });
            clickPalette("cmdVerInfo");
            break;
        }
        default:
            if (chance(0.05)) {
                note("close and reopen the main window");
                main()->close();
                QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                EXPECT_EQ(shell->loadedMainForm(), nullptr);
                shell->start();
            }
            break;
        }
    }

    void timerAction()
    {
        frmEventTimer* window = shell->loadedEventTimer();
        if (!window) {
            mainWindowAction();
            return;
        }
        switch (between(0, 7)) {
        case 0:
        case 1: {
            const char* names[] = {"txtHour", "txtMinute", "txtSecound"};
            const char* name = pick(names);
            const char* text = pick(kTimerInputs);
            note(std::string("timer: ") + name + " = [" + text + "]");
            control<QLineEdit>(window, QString::fromLatin1(name))->setText(QString::fromUtf8(text));
            break;
        }
        case 2:
            changeBox(control<QCheckBox>(window, QStringLiteral("chkCountDownTimer")),
                      "the countdown box");
            break;
        case 3: {
            note("timer: a character typed on the countdown box");
            auto* box = control<QCheckBox>(window, QStringLiteral("chkCountDownTimer"));
            box->setFocus();
            QTest::keyClick(box, Qt::Key_A);
            break;
        }
        case 4:
            note("timer: palette button");
            QTest::mouseClick(control<QPushButton>(window, QStringLiteral("cmdCtlShow")),
                              Qt::LeftButton);
            break;
        case 5:
        case 6: {
            const std::int64_t step = chance(0.9)   ? between(0, 400)
                                      : chance(0.5) ? between(-3600, 3600)
                                                    : between(-1'000'000, 1'000'000) * 1000LL;
            note("clock moves " + std::to_string(step) + " s");
            clock.time += step;
            break;
        }
        default:
            if (chance(0.2)) {
                note("timer: close");
                window->close();
            }
            break;
        }
    }

    // Inside the entry dialog's own loop: random actions until a draw succeeds or the dialog is
    // closed with its close box.
    void dialogSession(frmNewGame* dialog)
    {
        auto* input = control<QPlainTextEdit>(dialog, QStringLiteral("txtEntry"));
        auto* size = control<QLineEdit>(dialog, QStringLiteral("txtMenber"));
        auto* seed = control<QCheckBox>(dialog, QStringLiteral("chkSeed"));
        auto* seedName = control<QLineEdit>(dialog, QStringLiteral("txtSeed"));
        auto* list = control<QListView>(dialog, QStringLiteral("lstEntry"));
        const auto entries = [dialog] { return test::namesIn(dialog->entries()); };
        // The lines typed since the last Enter, as the organiser typed them.
        QStringList typed{QString()};

        const int steps = between(1, 40);
        for (int step = 0; step < steps && !::testing::Test::HasFailure(); ++step) {
            switch (between(0, 9)) {
            case 0:
            case 1: {
                const std::string name = randomName();
                note("type [" + name + "]");
                input->setFocus();
                input->moveCursor(QTextCursor::End);
                if (!typed.back().isEmpty() || chance(0.2)) {
                    QTest::keyClick(input, Qt::Key_Return,
                                    chance(0.2) ? Qt::ShiftModifier : Qt::NoModifier);
                    typed.push_back(QString());
                }
                QInputMethodEvent commit;
                commit.setCommitString(QString::fromStdString(name));
                QApplication::sendEvent(input, &commit);
                typed.back() += QString::fromStdString(name);
                break;
            }
            case 2: {
                const int lines = chance(0.5) ? between(10, 300) : between(1, 10);
                note("paste " + std::to_string(lines) + " lines");
                QString paste;
                const char* breaks[] = {"\n", "\r\n", "\r"};
                for (int i = 0; i < lines; ++i) {
                    const QString name = QString::fromStdString(randomName());
                    paste += (i == 0 ? QString() : QString::fromLatin1(pick(breaks))) + name;
                    if (i > 0)
                        typed.push_back(QString());
                    typed.back() += name;
                }
                input->moveCursor(QTextCursor::End);
                input->insertPlainText(paste);
                break;
            }
            case 3:
            case 4: {
                note("Enter");
                const auto before = entries();
                std::vector<std::string> expected = before;
                for (const QString& line : typed) {
                    if (!line.isEmpty())
                        expected.push_back(line.toStdString());
                }
                QTest::mouseClick(control<QPushButton>(dialog, QStringLiteral("cmdEntry")),
                                  Qt::LeftButton);
                if (expected.size() <= static_cast<std::size_t>(EntryList::kCapacity)) {
                    EXPECT_EQ(entries(), expected) << "the names entered, byte for byte";
                    EXPECT_TRUE(input->document()->isEmpty());
                    typed = QStringList{QString()};
                } else {
                    EXPECT_EQ(entries(), before) << "an Enter past the capacity changed the list";
                    EXPECT_FALSE(input->document()->isEmpty());
                }
                EXPECT_EQ(list->model()->rowCount(), dialog->entries().count());
                break;
            }
            case 5: {
                if (dialog->entries().count() == 0)
                    break;
                const int row = between(0, dialog->entries().count() - 1);
                note("delete entry " + std::to_string(row));
                auto before = entries();
                list->setCurrentIndex(list->model()->index(row, 0));
                QTest::mouseClick(control<QPushButton>(dialog, QStringLiteral("cmdDeleteList")),
                                  Qt::LeftButton);
                before.erase(before.begin() + row);
                EXPECT_EQ(entries(), before);
                break;
            }
            case 6: {
                // Half the time a size that can be drawn when there are names enough.
                const std::string text =
                    chance(0.5) ? std::to_string(between(2, 16)) : std::string(pick(kFieldSizes));
                note("field size [" + text + "]");
                size->setText(QString::fromStdString(text));
                break;
            }
            case 7:
                changeBox(seed, "the seed box");
                if (chance(0.7)) {
                    const std::string name = chance(0.8) ? randomName() : std::string();
                    note("seed name [" + name + "]");
                    seedName->setText(QString::fromStdString(name));
                }
                break;
            default:
                if (startTournament(dialog))
                    return;
                break;
            }
        }
        if (dialog->isVisible()) {
            note("close box of the entry dialog");
            dialog->close();
        }
    }

    // Presses the start button; true when the draw went ahead and closed the dialog.
    bool startTournament(frmNewGame* dialog)
    {
        const auto size = control<QLineEdit>(dialog, QStringLiteral("txtMenber"))->text();
        const bool seed = control<QCheckBox>(dialog, QStringLiteral("chkSeed"))->isChecked();
        const std::string seedName =
            control<QLineEdit>(dialog, QStringLiteral("txtSeed"))->text().toStdString();
        note("start: size [" + size.toStdString() + "], " +
             std::to_string(dialog->entries().count()) + " entries" +
             (seed ? ", seed [" + seedName + "]" : std::string()));
        const std::vector<std::string> listBefore = test::namesIn(dialog->entries());
        const auto before = test::snapshot(board());
        const std::size_t messages = boxes.shown.size();
        const QString textBefore =
            control<QPlainTextEdit>(dialog, QStringLiteral("txtEntry"))->document()->toRawText();

        QTest::mouseClick(control<QPushButton>(dialog, QStringLiteral("cmdNewEventExec")),
                          Qt::LeftButton);

        if (boxes.shown.size() > messages) {
            ++refusedDraws;
            EXPECT_EQ(boxes.shown.back().title, "Error");
            EXPECT_TRUE(dialog->isVisible());
            EXPECT_EQ(test::snapshot(board()), before) << "a refused draw changed the board";
            EXPECT_EQ(dialog->entries().count(), static_cast<int>(listBefore.size()));
            EXPECT_EQ(control<QLineEdit>(dialog, QStringLiteral("txtMenber"))->text(), size);
            EXPECT_EQ(control<QPlainTextEdit>(dialog, QStringLiteral("txtEntry"))
                          ->document()
                          ->toRawText(),
                      textBefore);
            return false;
        }
        ++draws;
        EXPECT_FALSE(dialog->isVisible());
        const int taken = static_cast<int>(listBefore.size()) - dialog->entries().count();
        const std::optional<int> n = readFieldSize(size.toStdString());
        EXPECT_TRUE(n && *n >= 2 && *n <= 16) << size.toStdString();
        if (!n || *n < 2 || *n > 16)
            return true;

        BracketBoard shaped;
        shaped.Load();
        ShapeBracket(shaped, *n);
        auto expected = test::snapshot(shaped);
        expected.captions = test::snapshot(board()).captions;
        EXPECT_EQ(test::snapshot(board()), expected) << "not the bracket of " << *n;

        std::vector<std::string> drawn;
        for (int slot = 0; slot < board::kSlotCount; ++slot) {
            if (slot < *n)
                drawn.push_back(board().slotCaption(slot));
            else
                EXPECT_EQ(board().slotCaption(slot), "");
        }
        if (seed) {
            EXPECT_EQ(board().slotCaption(*n - 1), seedName);
            drawn.pop_back();
        }
        EXPECT_EQ(taken, static_cast<int>(drawn.size())) << "each name drawn leaves the list";
        std::vector<std::string> pool = listBefore;
        std::sort(pool.begin(), pool.end());
        std::sort(drawn.begin(), drawn.end());
        EXPECT_TRUE(std::includes(pool.begin(), pool.end(), drawn.begin(), drawn.end()))
            << "a name on the board that was not entered";
        return true;
    }

    void entryDialogSession()
    {
        note("open the entry dialog");
        const auto before = test::snapshot(board());
        bool drawn = false;
        const int drawsBefore = draws;
        const auto watch = whenModal([&](QWidget* modal) {
            auto* dialog = qobject_cast<frmNewGame*>(modal);
            EXPECT_NE(dialog, nullptr);
            if (dialog)
                dialogSession(dialog);
            else
                modal->close();
        });
        clickPalette("cmdNew");
        drawn = draws > drawsBefore;
        if (!drawn) {
            EXPECT_EQ(test::snapshot(board()), before) << "the dialog closed without a draw";
        }
    }

    test::ScriptedMessageBoxes boxes;
    test::ScriptedRandom random{{}, 7};
    test::TestClock clock;
    test::RecordingWebBrowser browser;
    std::unique_ptr<Shell> shell;

    std::mt19937_64 rng;
    int actions = 0;
    int draws = 0;
    int refusedDraws = 0;
    int timeUpsSeen = 0;
    std::deque<std::string> log;
};

int actionCount()
{
    if (const char* given = std::getenv("VELKA_RANDOM_ACTIONS"))
        return std::atoi(given);
#if defined(__SANITIZE_ADDRESS__)
    return 15000; // the sanitizers slow every widget down a few times
#else
    return 20000;
#endif
}

TEST_P(RandomisedShell, ThousandsOfUserActionsKeepEveryInvariant)
{
    const unsigned seed = test::announce(GetParam());
    rng.seed(seed);
    random = test::ScriptedRandom{{}, seed};
    const int wanted = actionCount();
    while (actions < wanted && !HasFailure()) {
        if (shell->loadedEventTimer() && chance(0.35))
            timerAction();
        else
            mainWindowAction();
        settle();
        checkAll();
    }
    std::cout << "randomised run: seed " << seed << ", " << actions << " actions, " << draws
              << " draws, " << refusedDraws << " refused draws, " << timeUps()
              << " time-up announcements" << std::endl;
    if (HasFailure()) {
        std::cout << "replay with VELKA_TEST_SEED=" << seed << "; the last actions:\n";
        for (const std::string& line : log)
            std::cout << "  " << line << '\n';
    }
    EXPECT_GE(actions, wanted);
    EXPECT_GT(draws, 0);
}

// Each seed is a test of its own, so that each walk has the whole time limit of a test.
INSTANTIATE_TEST_SUITE_P(Seeds, RandomisedShell, ::testing::ValuesIn(test::testSeeds()),
                         test::seedName);

} // namespace
} // namespace velka
