#include "keep/TournamentFileActions.h"
#include "board/frmPairvaneMainForm.h"
#include "keep/TournamentFile.h"
#include "keep/TournamentKeeper.h"
#include "swiss/SwissDraw.h"
#include "uikit/FileDialogs.h"

#include "tests/keep/TournamentWalk.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TestClock.h"
#include "tests/support/TestSeed.h"
#include "tests/support/WindowTest.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <deque>
#include <filesystem>
#include <functional>
#include <sys/resource.h>

namespace velka {
namespace {

// Answers both file dialogs with one prepared path and records the save dialog's suggestion.
struct ScriptedFileDialogs final : SaveFileDialogs, OpenFileDialogs {
    QString askSaveFileName(QWidget*, const QString&, const QString& path,
                            const QString& filter) override
    {
        suggested << path << filter;
        return answer;
    }
    QString askOpenFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return answer;
    }
    QString answer;
    QStringList suggested; // path, filter, path, filter...
};

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
}

// A drawn tournament in progress mode, as a walk of the organiser's steps comes to it.
Tournament drawnInProgress(unsigned seed)
{
    for (const Tournament& t : test::walkTournaments(seed, 60)) {
        if (t.fieldSize > 0 && t.progressMode())
            return t;
    }
    ADD_FAILURE() << "no drawn tournament in progress mode";
    return {};
}

class TournamentFileActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        clock.time = QDateTime(QDate(2026, 12, 7), QTime(15, 30, 42)).toSecsSinceEpoch();
        openWindow();
    }
    // A main window as the program makes it, with the program's Swiss event, keeping in the
    // test's folder.
    void openWindow()
    {
        form = std::make_unique<frmPairvaneMainForm>(boxes);
        files().useServices(dialogs, dialogs, clock);
        files().includeSwissEvent(swiss);
        files().keepIn(path("kept"));
        ASSERT_TRUE(test::showActive(form.get()));
    }
    TournamentFileActions& files() { return form->tournamentFileActions(); }
    const BracketBoard& board() { return form->board(); }
    QString path(const char* name) const { return folder.filePath(QString::fromUtf8(name)); }
    // One pass of the event loop, and the writes it started.
    void pass()
    {
        QCoreApplication::processEvents();
        files().waitUntilKept();
    }
    void keys(Qt::Key key) { QTest::keyClick(form.get(), key, Qt::ControlModifier); }
    // Chooses the item in the board's menu as it is built now; false when it is disabled.
    bool choose(QAction* item)
    {
        const std::unique_ptr<QMenu> menu(form->outputs().createMenu(form.get()));
        EXPECT_TRUE(menu->actions().contains(item));
        const bool enabled = item->isEnabled();
        if (enabled)
            item->trigger();
        return enabled;
    }
    void mark(int box)
    {
        if (!board().progressMode())
            form->board().ToggleProgress();
        QTest::mouseClick(
            test::control<QCheckBox>(form.get(), QStringLiteral("chkTournament(%1)").arg(box)),
            Qt::LeftButton);
    }

    QTemporaryDir folder;
    test::ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    test::TestClock clock;
    test::ScriptedRandom pairing;
    SwissDraw swiss{pairing}; // outlives the windows, as the program's does
    std::unique_ptr<frmPairvaneMainForm> form;
};

// Random boards, progress mode on and off, saved with Ctrl+S under a name typed without its
// ending and opened with Ctrl+O onto a reset board: the same tournament and the same pixels.
class RoundTrip : public TournamentFileActionsTest,
                  public ::testing::WithParamInterface<test::TestSeed> {};

TEST_P(RoundTrip, SaveThenOpenGivesTheSameBoardAndPixels)
{
    const std::vector<Tournament> states = test::walkTournaments(test::announce(GetParam()), 12);
    for (std::size_t i = 0; i < states.size(); ++i) {
        SCOPED_TRACE(i);
        form->board().setTournament(states[i]);
        const QImage shown = form->grab().toImage();
        dialogs.answer = folder.filePath(QStringLiteral("t%1").arg(i));
        keys(Qt::Key_S);
        form->board().AllClear(); // no marks: nothing to ask
        dialogs.answer += QStringLiteral(".velka");
        keys(Qt::Key_O);
        EXPECT_TRUE(board().tournament() == states[i]);
        EXPECT_EQ(form->grab().toImage(), shown);
    }
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(QFileInfo(dialogs.suggested[0]).fileName(),
              QStringLiteral("大会_2026-12-07_1530.velka"));
    EXPECT_TRUE(QFileInfo(dialogs.suggested[0]).absoluteDir().exists());
    EXPECT_TRUE(dialogs.suggested[1].contains(QStringLiteral("(*.velka)")));
    EXPECT_EQ(QFileInfo(dialogs.suggested[2]).absolutePath(), folder.path())
        << "where the last went";
}

INSTANTIATE_TEST_SUITE_P(Seeds, RoundTrip, ::testing::ValuesIn(test::testSeeds()), test::seedName);

// Each way a save fails: one "Error" box over the window naming the file and why, the folder
// as it was, and an earlier file of that name whole.
TEST_F(TournamentFileActionsTest, AFailedSaveIsReportedAndLeavesNoFile)
{
    writeBytes(path("blocked"), "a file where a folder should be");
    QDir().mkdir(path("full"));
    writeBytes(path("full/t.velka"), "this morning's");
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = unlimited;
    small.rlim_cur = 500; // smaller than the file, larger than what a flush has buffered
    form->board().setTournament(drawnInProgress(2));
    pass();
    const QStringList before = QDir(folder.path()).entryList();
    const auto fails = [&](const char* what, const QString& file) {
        SCOPED_TRACE(what);
        boxes.shown.clear();
        dialogs.answer = file;
        files().save();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, "Error");
        EXPECT_EQ(boxes.owners[0], form.get());
        const QStringList lines =
            QString::fromStdString(boxes.shown[0].text).split(QStringLiteral("\r\n"));
        EXPECT_TRUE(lines[0].contains(file)) << lines[0].toStdString();
        EXPECT_GT(lines.value(1).size(), 5) << "why";
    };
    fails("a folder that cannot exist", path("blocked/t.velka"));
    setrlimit(RLIMIT_FSIZE, &small);
    fails("a full disk over an earlier file", path("full/t.velka"));
    setrlimit(RLIMIT_FSIZE, &unlimited);
    for (int i = 0; i < board::kSlotCount; ++i)
        form->board().setSlotCaption(i, std::string(70000, 'x'));
    fails("names too long for a tournament file", path("long.velka"));
    EXPECT_EQ(QDir(folder.path()).entryList(), before);
    EXPECT_EQ(QDir(path("full")).entryList(QDir::Files | QDir::Hidden),
              QStringList{QStringLiteral("t.velka")});
    EXPECT_EQ(bytesOf(path("full/t.velka")), "this morning's");
}

// A refused file is reported over the window before anything is asked, and changes nothing.
// Opening asks first exactly when the board holds marks; No leaves the board, Yes replaces it.
TEST_F(TournamentFileActionsTest, OpenAsksOverMarksAndRefusesWhatItCannotRead)
{
    writeBytes(path("text.velka"), "round 3: Ana beat Ben");
    mark(4);
    const Tournament marked = board().tournament();
    for (const auto& [file, reason] :
         {std::pair{path("missing.velka"), "読めません"}, std::pair{path("text.velka"), "JSON"}}) {
        dialogs.answer = file;
        keys(Qt::Key_O);
        ASSERT_EQ(boxes.shown.size(), 1u) << "asked before reading";
        EXPECT_EQ(boxes.shown[0].title, "Error");
        EXPECT_EQ(boxes.owners[0], form.get());
        EXPECT_NE(boxes.shown[0].text.find(file.toStdString()), std::string::npos);
        EXPECT_NE(boxes.shown[0].text.find(reason), std::string::npos);
        EXPECT_TRUE(board().tournament() == marked);
        boxes.shown.clear();
    }

    const Tournament saved = drawnInProgress(5);
    ASSERT_FALSE(writeTournamentFile(toFilePath(path("good.velka")), saved, clock.time));
    dialogs.answer = path("good.velka");
    const auto opens = [&](const char* what, bool asks) {
        SCOPED_TRACE(what);
        const Tournament before = board().tournament();
        boxes.answers = {MessageAnswer::No, MessageAnswer::Yes};
        keys(Qt::Key_O);
        EXPECT_TRUE(board().tournament() == (asks ? before : saved));
        keys(Qt::Key_O);
        EXPECT_TRUE(board().tournament() == saved); // a draw on the board now: asked
        ASSERT_EQ(boxes.shown.size(), asks ? 2u : 1u);
        EXPECT_EQ(boxes.shown.back().buttons, MessageButtons::YesNo);
        EXPECT_EQ(boxes.shown.back().icon, MessageIcon::Warning);
        EXPECT_EQ(boxes.owners.back(), form.get());
        boxes.shown.clear();
        boxes.answers.clear();
    };
    opens("one mark", true);
    form->board().AllClear();
    opens("a drawn board reset", false);
    form->board().AllClear();
    form->board().ToggleProgress();
    opens("progress mode on a reset board", false);
    form->board().setTournament(drawnInProgress(7));
    opens("another draw", true);
}

// A mark is kept within one pass of the event loop. A second window keeping in the same folder
// (as a second copy of the program would) writes nothing there and says so in its menu; a window
// that opens and closes again without a change leaves the kept file as it was. The next run's
// 「前回の続きを開く」 brings the board back exactly, also after that run kept changes of its
// own; a last run's file that cannot be read is reported only then, and left as it is. A folder
// that cannot be written shows on the menu's last line, never in a box.
TEST_F(TournamentFileActionsTest, TheLastRunComesBackExactly)
{
    EXPECT_FALSE(choose(files().lastRunAction())) << "nothing kept yet";
    form->board().setTournament(drawnInProgress(3));
    mark(6);
    pass();
    const TournamentReading afterMark = readKeptTournament(toFilePath(files().keptFile()));
    ASSERT_TRUE(afterMark.saved) << "kept within one pass";
    EXPECT_TRUE(afterMark.saved->tournament == board().tournament());
    EXPECT_FALSE(choose(files().lastRunAction())) << "no run before this one";
    const Tournament kept = board().tournament();
    const QByteArray keptBytes = bytesOf(files().keptFile());
    {
        frmPairvaneMainForm second(boxes);
        second.tournamentFileActions().keepIn(path("kept"));
        second.board().setTournament(drawnInProgress(8));
        QCoreApplication::processEvents();
        second.tournamentFileActions().waitUntilKept();
        EXPECT_TRUE(second.tournamentFileActions().keepingTrouble().value_or(QString()).contains(
            QStringLiteral("別に起動した")));
    }
    for (int run = 0; run < 2; ++run) {
        EXPECT_EQ(bytesOf(files().keptFile()), keptBytes) << "run " << run;
        form.reset();
        openWindow();
        pass();
    }
    EXPECT_EQ(bytesOf(files().keptFile()), keptBytes) << "opening a window is no change";
    mark(2); // this run's own change: the last run's state is now in the copy beside
    pass();
    boxes.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(choose(files().lastRunAction()));
    EXPECT_TRUE(boxes.answers.empty()) << "asked over the mark";
    EXPECT_TRUE(board().tournament() == kept);
    EXPECT_TRUE(boxes.shown.size() == 1u);

    const QString previous = files().lastRunFile();
    writeBytes(previous, "{\"format\":\"velka-tour");
    EXPECT_TRUE(choose(files().lastRunAction()));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].title, "Error");
    EXPECT_NE(boxes.shown[1].text.find(previous.toStdString()), std::string::npos);
    EXPECT_TRUE(board().tournament() == kept);
    EXPECT_EQ(bytesOf(previous), "{\"format\":\"velka-tour");

    EXPECT_FALSE(files().keepingTrouble());
    writeBytes(path("not-a-folder"), "");
    files().keepIn(path("not-a-folder"));
    mark(3);
    pass();
    ASSERT_TRUE(files().keepingTrouble());
    const std::unique_ptr<QMenu> menu(form->outputs().createMenu(form.get()));
    EXPECT_EQ(menu->actions().constLast()->text(), *files().keepingTrouble());
    EXPECT_EQ(boxes.shown.size(), 2u) << "no box for the trouble";
}

// The dialog returns a name as it confirmed it: when the ending had to be added, a file of the
// final name is replaced only after a question over the window. A name that ends otherwise
// ("第3回.v2") gets the ending too; one that has it, in any case, is saved as it is.
TEST_F(TournamentFileActionsTest, SaveAsksBeforeReplacingAFileTheDialogDidNotAskAbout)
{
    writeBytes(path("大会.velka"), "this morning's");
    form->board().setTournament(drawnInProgress(2));
    using A = MessageAnswer;
    const std::vector<std::tuple<const char*, std::deque<A>, const char*>> saves{
        {"大会", {A::No}, "大会.velka"},
        {"大会", {A::Yes}, "大会.velka"},
        {"第3回.v2", {}, "第3回.v2.velka"},
        {"大会.VELKA", {}, "大会.VELKA"}};
    for (const auto& [typed, answers, savedAs] : saves) {
        SCOPED_TRACE(typed);
        boxes.shown.clear();
        boxes.answers = answers;
        dialogs.answer = path(typed);
        keys(Qt::Key_S);
        ASSERT_EQ(boxes.shown.size(), answers.size());
        if (!answers.empty()) {
            EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
            EXPECT_NE(boxes.shown[0].text.find("「大会.velka」"), std::string::npos);
            EXPECT_EQ(boxes.owners[0], form.get());
        }
        const bool saved = answers.empty() || answers[0] == A::Yes;
        EXPECT_EQ(readTournamentFile(toFilePath(path(savedAs))).saved.has_value(), saved);
    }
    EXPECT_FALSE(QFileInfo::exists(path("第3回.v2")));
}

// A lock that its program no longer refreshes is taken over after five minutes, whatever it
// holds: nothing (a kill between its making and its writing), another computer's name, or the
// number of a running program of this name. One refreshed since is not; the holder refreshes
// its own.
TEST_F(TournamentFileActionsTest, AStaleLockIsTakenOverAndAFreshOneIsNot)
{
    const QString kept = files().keptFile();
    const QString lock = kept + QStringLiteral(".lock");
    const QByteArray elsewhere = "4242\nvelka\nanother-host\n";
    const QByteArray here = QByteArray::number(QCoreApplication::applicationPid()) + '\n' +
                            QCoreApplication::applicationName().toUtf8() + '\n' +
                            QSysInfo::machineHostName().toUtf8() + '\n';
    const auto age = [&lock](int minutes) {
        std::filesystem::last_write_time(toFilePath(lock),
                                         std::filesystem::file_time_type::clock::now() -
                                             std::chrono::minutes(minutes));
    };
    const std::vector<std::tuple<const char*, QByteArray, int, bool>> locks{
        {"empty", "", 6, true},
        {"another computer's", elsewhere, 6, true},
        {"a running program of this name", here, 6, true},
        {"another computer's, refreshed", elsewhere, 4, false}};
    for (const auto& [what, content, minutesOld, taken] : locks) {
        SCOPED_TRACE(what);
        form.reset();
        QFile::remove(kept);
        writeBytes(lock, content);
        age(minutesOld);
        openWindow();
        EXPECT_EQ(files().keepingTrouble().has_value(), !taken);
        mark(3);
        pass();
        EXPECT_EQ(readKeptTournament(toFilePath(kept)).saved.has_value(), taken);
    }
    form.reset();
    QFile::remove(lock);
    openWindow();
    // The first try for the lock runs off the window's thread: wait until it has settled.
    ASSERT_FALSE(files().keepingTrouble().has_value());
    age(10);
    files().refreshLock();
    EXPECT_LT(QFileInfo(lock).lastModified().secsTo(QDateTime::currentDateTime()), 60);
}

// A second program in the same folder keeps nothing while the first runs. It tries the lock at
// every change and at its close, and keeps from the moment the first has closed; the first's
// last board goes into the history when the second's first write replaces it.
TEST_F(TournamentFileActionsTest, ASecondCopyKeepsOnceTheFirstCloses)
{
    const auto kept = [this] {
        return readKeptTournament(toFilePath(path("kept/last.velka"))).saved.value().tournament;
    };
    form->board().setTournament(drawnInProgress(3));
    pass();
    const Tournament first = board().tournament();
    auto second = std::make_unique<frmPairvaneMainForm>(boxes);
    TournamentFileActions& secondFiles = second->tournamentFileActions();
    secondFiles.keepIn(path("kept"));
    const auto change = [&](const std::function<void()>& action, bool firstOpen) {
        action();
        QCoreApplication::processEvents();
        secondFiles.waitUntilKept();
        EXPECT_EQ(secondFiles.keepingTrouble().has_value(), firstOpen);
        EXPECT_TRUE(kept() == (firstOpen ? first : second->board().tournament()));
    };
    change([&] { second->board().setTournament(drawnInProgress(8)); }, true);
    form.reset();
    change([&] { second->board().ToggleProgress(); }, false);
    ASSERT_EQ(secondFiles.history().size(), 1u);
    EXPECT_TRUE(readKeptTournament(secondFiles.history()[0].file).saved->tournament == first);

    openWindow(); // a third, while the second keeps
    form->board().setTournament(drawnInProgress(5));
    pass();
    EXPECT_TRUE(files().keepingTrouble());
    second.reset();
    const Tournament third = board().tournament();
    form.reset(); // no change since the second closed
    EXPECT_TRUE(kept() == third);
}

// A marked draw survives two restarts that each made one harmless change: it stands in
// 「以前の表(&H)」 with when it was replaced, its field and how far it had gone. Choosing it asks
// over marks as Open does, and the board it replaces goes into the history in turn; the newest
// twenty stay, newest first.
TEST_F(TournamentFileActionsTest, TheHistoryBringsBackABoardAfterTwoRestarts)
{
    const auto entries = [this] {
        const std::unique_ptr<QMenu> menu(form->outputs().createMenu(form.get()));
        EXPECT_TRUE(menu->actions().contains(files().historyAction()));
        return files().historyAction()->menu()->actions();
    };
    EXPECT_FALSE(files().historyAction()->isEnabled());
    test::drawPlayers(form->board(), 8, "A");
    for (const int box : {1, 3, 17})
        mark(box);
    pass();
    const Tournament marked = board().tournament();
    for (int run = 0; run < 2; ++run) {
        form.reset();
        openWindow();
        form->board().ToggleProgress();
        pass();
    }
    ASSERT_EQ(entries().size(), 1);
    EXPECT_TRUE(files().historyAction()->isEnabled());
    EXPECT_EQ(entries()[0]->text(), QStringLiteral("12/07 15:30　8人・決勝まで"));

    form->board().setTournament(drawnInProgress(7));
    pass();
    boxes.answers = {MessageAnswer::No, MessageAnswer::Yes};
    entries()[0]->trigger();
    EXPECT_FALSE(board().tournament() == marked);
    entries()[0]->trigger();
    EXPECT_TRUE(board().tournament() == marked);
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_EQ(boxes.shown[1].title, "以前の表を開く");
    EXPECT_EQ(boxes.owners[1], form.get());
    pass();
    EXPECT_EQ(entries().size(), 2);

    for (int i = 0; i < 20; ++i) {
        clock.time += 60;
        test::drawPlayers(form->board(), 2 + i % 15, std::to_string(i));
        pass();
    }
    const std::vector<HistoryEntry> listed = files().history();
    ASSERT_EQ(listed.size(), 20u);
    EXPECT_EQ(entries().size(), 20);
    EXPECT_EQ(listed[0].fieldSize, 2 + 18 % 15) << "the draw that the last one replaced";
    EXPECT_GT(listed[0].replacedAt, listed[19].replacedAt);
    EXPECT_EQ(QDir(path("kept/history")).entryList(QDir::Files).size(), 20);
}

// The Swiss event goes with the board: saved with Ctrl+S, kept, opened back with Ctrl+O. An event
// with players that a new one replaces goes into the history, named first in its line. Opening
// over an event that holds results asks first, naming the Swiss event; No keeps both, Yes puts
// the file's in place, and a file without an event leaves none.
TEST_F(TournamentFileActionsTest, TheSwissEventIsSavedKeptAndOpenedWithTheBoard)
{
    const SwissEvent played = test::playedSwissEvent();
    ASSERT_EQ(swiss.load(played), std::nullopt);
    test::drawPlayers(form->board(), 8, "A");
    pass();
    EXPECT_TRUE(readKeptTournament(toFilePath(files().keptFile())).saved.value().swiss == played);
    dialogs.answer = path("swiss.velka");
    keys(Qt::Key_S);
    const Tournament drawn = board().tournament();

    swiss.clear();
    form->board().AllClear();
    pass();
    ASSERT_EQ(files().history().size(), 1u);
    EXPECT_EQ(TournamentFileActions::historyLabel(files().history()[0]),
              QStringLiteral("12/07 15:30　スイスドロー 8人・第2回戦まで　8人・1回戦まで"));
    keys(Qt::Key_O);
    EXPECT_TRUE(boxes.shown.empty()) << "nothing to lose: no marks, no results";
    EXPECT_TRUE(swiss.event() == played);
    EXPECT_TRUE(board().tournament() == drawn);
    pass();

    ASSERT_FALSE(writeTournamentFile(toFilePath(path("board.velka")), drawnInProgress(4), 0));
    dialogs.answer = path("board.velka");
    boxes.answers = {MessageAnswer::No, MessageAnswer::Yes};
    keys(Qt::Key_O);
    EXPECT_TRUE(swiss.event() == played);
    EXPECT_TRUE(board().tournament() == drawn);
    keys(Qt::Key_O);
    EXPECT_TRUE(swiss.event() == SwissEvent{});
    EXPECT_TRUE(board().tournament() == drawnInProgress(4));
    ASSERT_EQ(boxes.shown.size(), 2u);
    EXPECT_NE(boxes.shown[0].text.find("スイスドロー"), std::string::npos);
    EXPECT_EQ(boxes.owners[0], form.get());
    pass();
    ASSERT_EQ(files().history().size(), 2u) << "the opened event, replaced by the open";
    EXPECT_EQ(files().history()[0].swissReached, "第2回戦まで");
}

} // namespace
} // namespace velka
