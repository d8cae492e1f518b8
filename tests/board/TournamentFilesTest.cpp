#include "board/TournamentFiles.h"
#include "board/OutputDialogs.h"
#include "board/frmPairvaneMainForm.h"
#include "keep/TournamentFile.h"
#include "keep/TournamentKeeper.h"

#include "tests/board/BracketTestSupport.h"
#include "tests/keep/TournamentWalk.h"
#include "tests/support/BoardSnapshot.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/TestClock.h"
#include "tests/support/TestSeed.h"
#include "tests/support/WindowTest.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/fsuid.h>
#include <sys/resource.h>

namespace velka {
namespace {

using test::control;

// Answers both file dialogs with prepared paths and records the save dialog's suggestion.
class ScriptedFileDialogs final : public SaveFileDialogs, public OpenFileDialogs {
public:
    QString askSaveFileName(QWidget*, const QString&, const QString& suggestedPath,
                            const QString& filter) override
    {
        suggested << suggestedPath;
        filters << filter;
        return answer;
    }
    QString askOpenFileName(QWidget*, const QString&, const QString&, const QString&) override
    {
        return answer;
    }
    QString answer;
    QStringList suggested, filters;
};

QByteArray bytesOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
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

QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

class TournamentFilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        clock.time = QDateTime(QDate(2026, 12, 7), QTime(15, 30, 42)).toSecsSinceEpoch();
        openWindow();
    }

    // A main window as the program makes it, keeping in the test's folder.
    void openWindow()
    {
        form = std::make_unique<frmPairvaneMainForm>(boxes);
        files().useServices(dialogs, dialogs, clock);
        files().keepIn(path(QStringLiteral("kept")));
        ASSERT_TRUE(test::showActive(form.get()));
    }
    TournamentFiles& files() { return form->tournamentFiles(); }
    QString path(const QString& name) const { return folder.filePath(name); }
    // One pass of the event loop, and the writes it started.
    void pass()
    {
        QCoreApplication::processEvents();
        files().waitUntilKept();
    }
    void keys(Qt::Key key) { QTest::keyClick(form.get(), key, Qt::ControlModifier); }
    // Chooses an item of the board's context menu with the mouse; false when it is disabled.
    bool choose(QAction* item)
    {
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_Menu);
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || !menu->actions().contains(item)) {
            ADD_FAILURE() << "the menu does not offer it";
            return false;
        }
        const bool enabled = item->isEnabled();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(item).center());
        if (menu->isVisible())
            menu->close();
        return enabled;
    }
    void mark(int box)
    {
        if (!form->board().progressMode())
            form->board().ToggleProgress();
        QTest::mouseClick(
            control<QCheckBox>(form.get(), QStringLiteral("chkTournament(%1)").arg(box)),
            Qt::LeftButton);
    }

    QTemporaryDir folder;
    test::ScriptedMessageBoxes boxes;
    ScriptedFileDialogs dialogs;
    test::TestClock clock;
    std::unique_ptr<frmPairvaneMainForm> form;
};

// Random boards, progress mode on and off, saved with Ctrl+S and opened with Ctrl+O onto a
// reset board: the same tournament and the same pixels come back.
class RoundTrip : public TournamentFilesTest,
                  public ::testing::WithParamInterface<test::TestSeed> {};

TEST_P(RoundTrip, SaveThenOpenGivesTheSameBoardAndPixels)
{
    const std::vector<Tournament> states = test::walkTournaments(test::announce(GetParam()), 12);
    for (std::size_t i = 0; i < states.size(); ++i) {
        SCOPED_TRACE(i);
        form->board().setTournament(states[i]);
        const QImage shown = form->grab().toImage();
        dialogs.answer = path(QStringLiteral("t%1.velka").arg(i));
        keys(Qt::Key_S);
        form->board().AllClear(); // nothing to ask about
        keys(Qt::Key_O);
        EXPECT_TRUE(form->board().tournament() == states[i]);
        EXPECT_EQ(form->grab().toImage(), shown);
    }
    EXPECT_TRUE(boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Seeds, RoundTrip, ::testing::ValuesIn(test::testSeeds()), test::seedName);

TEST_F(TournamentFilesTest, SaveSuggestsADatedNameAndAddsTheEnding)
{
    form->board().setTournament(drawnInProgress(1));
    dialogs.answer = path(QStringLiteral("for-the-hall"));
    keys(Qt::Key_S);
    ASSERT_EQ(dialogs.suggested.size(), 1);
    EXPECT_EQ(QFileInfo(dialogs.suggested[0]).fileName(),
              QStringLiteral("大会_2026-12-07_1530.velka"));
    EXPECT_TRUE(QFileInfo(dialogs.suggested[0]).absoluteDir().exists());
    EXPECT_TRUE(dialogs.filters[0].contains(QStringLiteral("(*.velka)")));
    const TournamentReading read = readTournamentFile(toFilePath(dialogs.answer + ".velka"));
    ASSERT_TRUE(read.saved);
    EXPECT_TRUE(read.saved->tournament == form->board().tournament());
    EXPECT_EQ(read.saved->savedAt, clock.time);
    keys(Qt::Key_S);
    EXPECT_EQ(QFileInfo(dialogs.suggested[1]).absolutePath(), folder.path())
        << "where the last went";
}

// Each way a save fails: one "Error" box over the window naming the file and why, and the
// folder as it was, an earlier file of that name whole.
TEST_F(TournamentFilesTest, AFailedSaveIsReportedAndLeavesNoFile)
{
    const QString blocked = path(QStringLiteral("blocked")), readOnly = path(QStringLiteral("ro")),
                  full = path(QStringLiteral("full"));
    QFile(blocked).open(QIODevice::WriteOnly);
    QDir().mkdir(readOnly);
    QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ExeOwner);
    QDir().mkdir(full);
    QFile earlier(full + QStringLiteral("/t.velka"));
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly) && earlier.write("this morning's") > 0);
    earlier.close();
    rlimit unlimited{};
    getrlimit(RLIMIT_FSIZE, &unlimited);
    std::signal(SIGXFSZ, SIG_IGN);
    struct Failure {
        const char* what;
        QString folder;
        std::function<void()> before, after;
    };
    const std::vector<Failure> failures{
        {"a folder that cannot exist", blocked, [] {}, [] {}},
        {"a read-only folder", readOnly, [] { setfsuid(65534); }, [] { setfsuid(0); }},
        {"a full disk over an earlier file", full,
         [&] {
             rlimit small = unlimited;
             small.rlim_cur = 500;
             setrlimit(RLIMIT_FSIZE, &small);
         },
         [&] { setrlimit(RLIMIT_FSIZE, &unlimited); }},
        {"names too long for a tournament file", folder.path(),
         [this] {
             for (int i = 0; i < board::kSlotCount; ++i)
                 form->board().setSlotCaption(i, std::string(70000, 'x'));
         },
         [] {}},
    };
    form->board().setTournament(drawnInProgress(2));
    pass();
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.what);
        boxes.shown.clear();
        const QStringList before = f.folder == blocked ? QStringList() : entriesOf(f.folder);
        dialogs.answer = f.folder + QStringLiteral("/t.velka");
        f.before();
        files().save();
        f.after();
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, "Error");
        EXPECT_EQ(boxes.owners[0], form.get());
        const QStringList lines = QString::fromStdString(boxes.shown[0].text).split("\r\n");
        EXPECT_TRUE(lines[0].contains(dialogs.answer)) << lines[0].toStdString();
        EXPECT_GT(lines.value(1).size(), 5) << "why";
        if (f.folder != blocked) {
            EXPECT_EQ(entriesOf(f.folder), before);
        }
    }
    EXPECT_EQ(bytesOf(full + QStringLiteral("/t.velka")), "this morning's");
}

// Opening asks first exactly when the board holds marks; No leaves the board, Yes replaces it.
// A refused file is reported before anything is asked and changes nothing.
TEST_F(TournamentFilesTest, OpenAsksOverMarksAndRefusesWhatItCannotRead)
{
    const Tournament other = test::walkTournaments(5, 3).back();
    const QString good = path(QStringLiteral("good.velka"));
    ASSERT_FALSE(writeTournamentFile(toFilePath(good), other, clock.time));
    QFile notJson(path(QStringLiteral("text.velka")));
    ASSERT_TRUE(notJson.open(QIODevice::WriteOnly) && notJson.write("round 3: Ana beat Ben") > 0);
    notJson.close();
    struct Case {
        const char* what;
        std::function<void(frmPairvaneMainForm&)> setUp;
        bool asks;
    };
    const std::vector<Case> cases{
        {"the board as it starts", [](frmPairvaneMainForm&) {}, false},
        {"a drawn board reset",
         [](frmPairvaneMainForm& f) {
             test::drawAndMark(f.board(), {9, {}});
             f.board().AllClear();
         },
         false},
        {"progress mode on a reset board",
         [](frmPairvaneMainForm& f) { f.board().ToggleProgress(); }, false},
        {"a draw",
         [](frmPairvaneMainForm& f) {
             test::drawAndMark(f.board(), {9, {}});
         },
         true},
        {"one mark", [this](frmPairvaneMainForm&) { mark(4); }, true},
    };
    const std::vector<std::pair<QString, const char*>> refused{
        {path(QStringLiteral("missing.velka")), "読めません"},
        {notJson.fileName(), "JSON"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        form->board().AllClear();
        c.setUp(*form);
        const Tournament before = form->board().tournament();
        for (const auto& [file, reason] : refused) {
            boxes.shown.clear();
            dialogs.answer = file;
            keys(Qt::Key_O);
            ASSERT_EQ(boxes.shown.size(), 1u);
            EXPECT_EQ(boxes.shown[0].title, "Error");
            EXPECT_NE(boxes.shown[0].text.find(file.toStdString()), std::string::npos);
            EXPECT_NE(boxes.shown[0].text.find(reason), std::string::npos) << boxes.shown[0].text;
            EXPECT_TRUE(form->board().tournament() == before);
        }
        boxes.shown.clear();
        dialogs.answer = good;
        for (const MessageAnswer answer : {MessageAnswer::No, MessageAnswer::Yes}) {
            boxes.answers = {answer};
            keys(Qt::Key_O);
            EXPECT_EQ(boxes.answers.empty(), c.asks);
            if (c.asks && answer == MessageAnswer::No) {
                EXPECT_TRUE(form->board().tournament() == before);
            }
            if (!c.asks)
                break;
        }
        EXPECT_TRUE(form->board().tournament() == other);
        ASSERT_EQ(boxes.shown.size(), c.asks ? 2u : 0u);
        if (c.asks) {
            EXPECT_EQ(boxes.shown[0].buttons, MessageButtons::YesNo);
            EXPECT_EQ(boxes.shown[0].icon, MessageIcon::Warning);
            EXPECT_EQ(boxes.owners[0], form.get());
        }
        boxes.answers.clear();
    }
}

// A mark is kept within one pass of the event loop; a window that opens and closes again
// without a change leaves the kept file as it was; the next run's 「前回の続きを開く」 brings the
// board back exactly, also after that run has kept changes of its own.
TEST_F(TournamentFilesTest, TheLastRunComesBackExactly)
{
    EXPECT_FALSE(choose(files().lastRunAction())) << "nothing kept yet";
    form->board().setTournament(drawnInProgress(3));
    pass();
    mark(6);
    pass();
    const TournamentReading afterMark = readKeptTournament(toFilePath(files().keptFile()));
    ASSERT_TRUE(afterMark.saved) << "kept within one pass";
    EXPECT_TRUE(afterMark.saved->tournament == form->board().tournament());
    EXPECT_FALSE(choose(files().lastRunAction())) << "no run before this one";
    const Tournament kept = form->board().tournament();
    const QImage shown = form->grab().toImage();
    const QString keptFile = files().keptFile();
    const QByteArray keptBytes = bytesOf(keptFile);

    for (int run = 0; run < 2; ++run) {
        form.reset();
        openWindow();
        pass();
        EXPECT_EQ(bytesOf(keptFile), keptBytes) << "opening a window is no change";
    }
    mark(2); // this run's own change: the last run's state is now the copy beside
    pass();
    boxes.answers = {MessageAnswer::Yes};
    EXPECT_TRUE(choose(files().lastRunAction()));
    EXPECT_TRUE(boxes.answers.empty()) << "asked over the mark";
    EXPECT_TRUE(form->board().tournament() == kept);
    EXPECT_EQ(form->grab().toImage(), shown);
}

// A kept file that cannot be read says nothing at start-up, is reported when asked for and
// stays byte for byte as it was.
TEST_F(TournamentFilesTest, AnUnreadableKeptFileIsReportedWhenAskedAndLeftAsItIs)
{
    const QString keptFile = files().keptFile();
    form.reset();
    QFile damaged(keptFile);
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly) &&
                damaged.write("{\"format\":\"velka-tour") > 0);
    damaged.close();
    openWindow();
    pass();
    EXPECT_TRUE(boxes.shown.empty());
    const Tournament before = form->board().tournament();
    EXPECT_TRUE(choose(files().lastRunAction()));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_NE(boxes.shown[0].text.find(keptFile.toStdString()), std::string::npos);
    EXPECT_TRUE(form->board().tournament() == before);
    EXPECT_EQ(bytesOf(keptFile), "{\"format\":\"velka-tour");
}

// What keeps the keeping from working shows in the menu, never in a box: a second window
// keeping in the same folder (as a second copy of the program would), or a folder that cannot
// be written.
TEST_F(TournamentFilesTest, KeepingTroubleShowsInTheMenuOnly)
{
    mark(3);
    pass();
    const QByteArray firstBytes = bytesOf(files().keptFile());
    auto second = std::make_unique<frmPairvaneMainForm>(boxes);
    second->tournamentFiles().keepIn(path(QStringLiteral("kept")));
    test::drawAndMark(second->board(), {7, {}});
    QCoreApplication::processEvents();
    second->tournamentFiles().waitUntilKept();
    EXPECT_EQ(bytesOf(files().keptFile()), firstBytes) << "the second copy wrote over the first";
    ASSERT_TRUE(second->tournamentFiles().keepingTrouble());
    EXPECT_TRUE(second->tournamentFiles().keepingTrouble()->contains(QStringLiteral("別に起動した")));
    EXPECT_FALSE(files().keepingTrouble());

    QFile(path(QStringLiteral("not-a-folder"))).open(QIODevice::WriteOnly);
    files().keepIn(path(QStringLiteral("not-a-folder")));
    mark(3);
    pass();
    ASSERT_TRUE(files().keepingTrouble());
    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form.get(), Qt::Key_Menu);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(menu, nullptr);
    auto* line = menu->findChild<QAction*>(QStringLiteral("actKeepingTrouble"));
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->text(), *files().keepingTrouble());
    menu->close();
    EXPECT_TRUE(boxes.shown.empty());
}

} // namespace
} // namespace velka
