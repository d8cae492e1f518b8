#include "board/BracketOutputs.h"
#include "board/BracketExport.h"
#include "board/BracketProjectorView.h"
#include "board/frmPairvaneMainForm.h"
#include "core/Clock.h"
#include "uikit/FileDialogs.h"
#include "uikit/PrintDialogs.h"
#include "uikit/WholeFile.h"

#include "tests/board/BracketTestSupport.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/WindowTest.h"

#include <QAction>
#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>

namespace velka {
namespace {

using test::control;

class FixedClock final : public Clock {
public:
    std::int64_t now() const override { return time; }
    std::int64_t time = 0;
};

// Answers the file dialog with a prepared path and records what it was asked.
class ScriptedSaveFileDialogs final : public SaveFileDialogs {
public:
    QString askSaveFileName(QWidget*, const QString& title, const QString& suggestedPath,
                            const QString& filter) override
    {
        asked.push_back({title, suggestedPath, filter});
        return answer;
    }

    struct Question {
        QString title;
        QString suggestedPath;
        QString filter;
    };
    QString answer;
    std::vector<Question> asked;
};

// Chooses "print to file" as the print dialog offers it where there is no printer.
class PrintToFile final : public PrintDialogs {
public:
    bool askPrinter(QPrinter& printer, QWidget*) override
    {
        ++asked;
        layout = printer.pageLayout();
        if (file.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        return true;
    }

    QString file; // empty: the organiser cancels
    int asked = 0;
    QPageLayout layout;
};

// Runs a command-line tool and gives what it printed; fails the test when it does not run.
QString run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    const bool finished = process.waitForFinished(30000);
    EXPECT_TRUE(finished && process.exitCode() == 0)
        << program.toStdString() << ": " << process.readAllStandardError().toStdString();
    return QString::fromUtf8(process.readAllStandardOutput());
}

// Text as a PDF reader gives it back, for comparing: Arabic comes out in its presentation forms
// and right-to-left runs between direction marks, and letters may be spaced out.
QString comparable(const QString& text)
{
    QString plain = text.normalized(QString::NormalizationForm_KC);
    plain.remove(QRegularExpression(QStringLiteral("[\\s\\x{200e}\\x{200f}\\x{202a}-\\x{202e}]")));
    return plain;
}

// The file names in a folder, to show that a failed save left nothing behind.
QStringList entriesOf(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
}

class BracketOutputsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        form = std::make_unique<frmPairvaneMainForm>(boxes);
        form->outputs().useServices(files, printing, clock);
        form->show();
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        clock.time = QDateTime(QDate(2026, 12, 7), QTime(15, 30, 42)).toSecsSinceEpoch();
        test::drawAndMark(form->board(), test::markedDraws().back());
    }

    QString path(const QString& name) const { return folder.filePath(name); }

    // The names as the bracket shows them: every caption in play, the long one cut short.
    QStringList shownNames() const
    {
        QStringList names;
        for (int i = 0; i < board::kSlotCount; ++i) {
            const QString name = QString::fromStdString(form->board().slotCaption(i));
            if (!name.isEmpty())
                names << (name.size() > 20 ? name.left(8) : name);
        }
        return names;
    }

    QMenu* openedMenu() const { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); }

    QTemporaryDir folder;
    test::ScriptedMessageBoxes boxes;
    ScriptedSaveFileDialogs files;
    PrintToFile printing;
    FixedClock clock;
    std::unique_ptr<frmPairvaneMainForm> form;
};

TEST_F(BracketOutputsTest, SavesAPdfUnderADatedNameWithEveryNameAsText)
{
    files.answer = path(QStringLiteral("bracket.pdf"));
    form->outputs().savePdfAction()->trigger();

    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(QFileInfo(files.asked[0].suggestedPath).fileName(),
              QStringLiteral("トーナメント_2026-12-07_1530.pdf"));
    EXPECT_TRUE(QFileInfo(files.asked[0].suggestedPath).absoluteDir().exists())
        << "suggested in a folder that is there: " << files.asked[0].suggestedPath.toStdString();
    EXPECT_TRUE(files.asked[0].filter.contains(QStringLiteral("*.pdf")));
    EXPECT_TRUE(boxes.shown.empty());
    QFile saved(files.answer);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(saved.read(5) == "%PDF-");

    const QString text = run(QStringLiteral("pdftotext"), {files.answer, QStringLiteral("-")});
    for (const QString& name : shownNames()) {
        EXPECT_TRUE(comparable(text).contains(comparable(name)))
            << name.toStdString() << " not in\n"
            << text.toStdString();
    }
    EXPECT_TRUE(text.contains(QStringLiteral("…"))) << "the long name is cut with an ellipsis";
    EXPECT_FALSE(text.contains(QStringLiteral("Wolfeschlegelsteinhausenbergerdorff")));
    EXPECT_TRUE(text.contains(QStringLiteral("2026-12-07 15:30")));
    EXPECT_TRUE(text.contains(QStringLiteral("Velka Tablewright")));
}

// A name with characters beyond the Basic Multilingual Plane is painted by Qt's PDF writer, but
// the writer gives those glyphs no character: the saved PDF still holds every such name whole
// as text, to be found and copied, and readers still read and rasterise the file.
TEST_F(BracketOutputsTest, NamesBeyondTheBasicPlaneAreWholeInThePdfText)
{
    const QStringList names{QStringLiteral("田中 𠮷男"), QStringLiteral("𩸽 Hokke"),
                            QStringLiteral("Bob 🃏"), QStringLiteral("Emi 😀")};
    for (int i = 0; i < names.size(); ++i)
        form->board().setSlotCaption(i, names[i].toStdString());
    files.answer = path(QStringLiteral("bracket.pdf"));
    form->outputs().savePdfAction()->trigger();
    ASSERT_TRUE(boxes.shown.empty());

    const QString text = run(QStringLiteral("pdftotext"), {files.answer, QStringLiteral("-")});
    for (const QString& name : names)
        EXPECT_TRUE(text.contains(name)) << name.toStdString() << " not in\n" << text.toStdString();
    EXPECT_EQ(text.count(QStringLiteral("𠮷")), 1) << "once, where the name is";
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QStringLiteral("20"), QStringLiteral("-png"), files.answer,
         path(QStringLiteral("page"))});
}

// The PDF rasterised as a reader shows it: every line and connector of each draw is on the
// page exactly where the board shows it.
class PdfPageTest : public BracketOutputsTest,
                    public ::testing::WithParamInterface<test::MarkedDraw> {};

TEST_P(PdfPageTest, RasterisedPageShowsTheLinesAsTheBoard)
{
    test::drawAndMark(form->board(), GetParam());
    const QString pdf = path(QStringLiteral("page.pdf"));
    const std::optional<QByteArray> bytes = bracketPdf(form->board(), QDateTime::currentDateTime());
    ASSERT_TRUE(bytes);
    ASSERT_FALSE(writeWholeFile(pdf, *bytes));
    const int dpi = 150;
    run(QStringLiteral("pdftoppm"),
        {QStringLiteral("-r"), QString::number(dpi), QStringLiteral("-png"),
         QStringLiteral("-singlefile"), pdf, path(QStringLiteral("page"))});
    const QImage page(path(QStringLiteral("page.png")));
    ASSERT_FALSE(page.isNull());
    EXPECT_NEAR(page.width(), 297 / 25.4 * dpi, 2); // A4 landscape
    EXPECT_NEAR(page.height(), 210 / 25.4 * dpi, 2);

    // The writer's page: 10 mm margins, painted at its own resolution.
    const int writerDpi = 1200;
    const QRect printable(0, 0, qRound(277 / 25.4 * writerDpi), qRound(190 / 25.4 * writerDpi));
    const QTransform toPage =
        bracketPagePlacement(printable, writerDpi, form->board()) *
        QTransform::fromTranslate(10 / 25.4 * writerDpi, 10 / 25.4 * writerDpi) *
        QTransform::fromScale(double(dpi) / writerDpi, double(dpi) / writerDpi);
    for (const test::ShownElement& e : test::shownElements(form->board())) {
        const QPoint at = toPage.map(test::samplePoint(e.line)).toPoint();
        EXPECT_EQ(test::inkNear(page, at, 1), e.shown) << e.what;
    }
    // Nothing grey: every pixel away from the names is white or the ink of a line.
    int grey = 0;
    for (int y = 0; y < page.height(); y += 3) {
        for (int x = page.width() / 3; x < page.width(); x += 3) {
            const int g = qGray(page.pixel(x, y));
            grey += g > 40 && g < 215 && !test::inkNear(page, QPoint(x, y), 2);
        }
    }
    EXPECT_EQ(grey, 0);
}

INSTANTIATE_TEST_SUITE_P(Draws, PdfPageTest, ::testing::ValuesIn(test::markedDraws()),
                         [](const auto& drawInfo) {
                             return "Field" + std::to_string(drawInfo.param.fieldSize);
                         });

TEST_F(BracketOutputsTest, CtrlPPrintsOneLandscapePageThroughTheDialog)
{
    printing.file = path(QStringLiteral("printed.pdf"));
    QTest::keyClick(form.get(), Qt::Key_P, Qt::ControlModifier);

    EXPECT_EQ(printing.asked, 1);
    EXPECT_EQ(printing.layout.orientation(), QPageLayout::Landscape);
    EXPECT_EQ(printing.layout.pageSize().id(), QPageSize::A4);
    EXPECT_TRUE(boxes.shown.empty());
    const QString info = run(QStringLiteral("pdfinfo"), {printing.file});
    EXPECT_TRUE(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QStringLiteral("842 x 595 pts (A4)"))) << info.toStdString();
    const QString text = run(QStringLiteral("pdftotext"), {printing.file, QStringLiteral("-")});
    for (const QString& name : shownNames())
        EXPECT_TRUE(comparable(text).contains(comparable(name))) << name.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("2026-12-07 15:30")));
    EXPECT_TRUE(text.contains(QStringLiteral("Velka Tablewright")));
}

TEST_F(BracketOutputsTest, APrintJobThatCannotStartIsReported)
{
    printing.file = path(QStringLiteral("no-such-folder/printed.pdf"));
    form->outputs().printAction()->trigger();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_TRUE(entriesOf(folder.path()).isEmpty());
}

TEST_F(BracketOutputsTest, ACancelledDialogWritesNothing)
{
    form->outputs().printAction()->trigger(); // printing.file is empty: cancelled
    files.answer.clear();
    form->outputs().savePdfAction()->trigger();
    form->outputs().savePictureAction()->trigger();
    EXPECT_EQ(printing.asked, 1);
    EXPECT_EQ(files.asked.size(), 2u);
    EXPECT_TRUE(entriesOf(folder.path()).isEmpty());
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(BracketOutputsTest, SavesThePictureAtThreeTimesTheBoard)
{
    files.answer = path(QStringLiteral("for-posting")); // no suffix typed
    form->outputs().savePictureAction()->trigger();

    ASSERT_EQ(files.asked.size(), 1u);
    EXPECT_EQ(QFileInfo(files.asked[0].suggestedPath).fileName(),
              QStringLiteral("トーナメント_2026-12-07_1530.png"));
    const QImage saved(path(QStringLiteral("for-posting.png")), "PNG");
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(),
              bracketArea(form->board(), paperStyle().font, kPictureScale).size() * 3);
    EXPECT_EQ(saved.convertToFormat(QImage::Format_RGB32), bracketPicture(form->board()));
    // The next dialog starts where the last file went. It asked about "for-posting" only: the
    // picture of that name is replaced after a question here.
    boxes.answers = {MessageAnswer::No};
    form->outputs().savePictureAction()->trigger();
    EXPECT_EQ(QFileInfo(files.asked[1].suggestedPath).absolutePath(), folder.path());
    EXPECT_TRUE(boxes.answers.empty());
}

// Each way a save can fail, in the writing or in the painting: the organiser is told which file
// and why, nothing is left behind, and a file that was there already keeps its contents.
TEST_F(BracketOutputsTest, AFailedSaveShowsAnErrorAndLeavesNothingBehind)
{
    struct Failure {
        const char* what;
        QString folder;
        QString name;
        std::function<void()> before;
        std::function<void()> after;
        QAction* (BracketOutputs::*action)() const = &BracketOutputs::savePdfAction;
        BracketRendering rendering = {};
    };
    BracketRendering noPdf;
    noPdf.pdf = [](const BracketBoard&, const QDateTime&) { return std::nullopt; };
    BracketRendering halfAPdf;
    halfAPdf.pdf = [](const BracketBoard& board, const QDateTime& when) {
        const QByteArray whole = bracketPdf(board, when).value_or(QByteArray());
        return std::optional(whole.left(whole.size() / 2));
    };
    BracketRendering noPicture;
    noPicture.picture = [](const BracketBoard&) { return QImage(); };
    const auto picture = &BracketOutputs::savePictureAction;
    const QString blocked = path(QStringLiteral("blocked"));
    const QString readOnly = path(QStringLiteral("read-only"));
    const QString full = path(QStringLiteral("full"));
    QFile(blocked).open(QIODevice::WriteOnly); // a regular file where a folder should be
    QDir().mkdir(readOnly);
    QFile::setPermissions(readOnly,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    QDir().mkdir(full);
    {
        QFile earlier(full + QStringLiteral("/bracket.pdf"));
        ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
        earlier.write("the bracket saved this morning");
    }
    rlimit limit{};
    getrlimit(RLIMIT_FSIZE, &limit);
    const rlimit unlimited = limit;

    const std::vector<Failure> failures{
        {"a folder that cannot exist", blocked, QStringLiteral("bracket.pdf"), {}, {}},
        {"a name too long for the file system",
         folder.path(),
         QString(300, QLatin1Char('x')) + QStringLiteral(".pdf"),
         {},
         {}},
        // Root may write anywhere; as any other user it may not write here.
        {"a read-only folder", readOnly, QStringLiteral("bracket.pdf"), [] { setfsuid(65534); },
         [] { setfsuid(0); }},
        {"a full disk over an earlier file", full, QStringLiteral("bracket.pdf"),
         [&] {
             std::signal(SIGXFSZ, SIG_IGN);
             rlimit small = unlimited;
             small.rlim_cur = 2000;
             setrlimit(RLIMIT_FSIZE, &small);
         },
         [&] { setrlimit(RLIMIT_FSIZE, &unlimited); }},
        {"a picture into a read-only folder", readOnly, QStringLiteral("bracket.png"),
         [] { setfsuid(65534); }, [] { setfsuid(0); }, picture},
        {"a picture onto a full disk", full, QStringLiteral("bracket.png"),
         [&] {
             rlimit small = unlimited;
             small.rlim_cur = 2000;
             setrlimit(RLIMIT_FSIZE, &small);
         },
         [&] { setrlimit(RLIMIT_FSIZE, &unlimited); }, picture},
        {"a PDF that cannot be painted",
         folder.path(),
         QStringLiteral("bracket.pdf"),
         {},
         {},
         &BracketOutputs::savePdfAction,
         noPdf},
        {"a PDF drawn only in part",
         folder.path(),
         QStringLiteral("bracket.pdf"),
         {},
         {},
         &BracketOutputs::savePdfAction,
         halfAPdf},
        {"a picture that cannot be painted",
         folder.path(),
         QStringLiteral("bracket.png"),
         {},
         {},
         picture,
         noPicture},
    };
    for (const Failure& f : failures) {
        SCOPED_TRACE(f.what);
        boxes.shown.clear();
        const QStringList entries = f.folder == blocked ? QStringList() : entriesOf(f.folder);
        files.answer = f.folder + QLatin1Char('/') + f.name;
        form->outputs().useRendering(f.rendering);
        if (f.before)
            f.before();
        (form->outputs().*f.action)()->trigger();
        if (f.after)
            f.after();

        ASSERT_EQ(boxes.shown.size(), 1u);
        const Message& shown = boxes.shown[0];
        EXPECT_EQ(shown.title, "Error");
        EXPECT_EQ(shown.icon, MessageIcon::Warning);
        const QStringList lines = QString::fromStdString(shown.text).split(QStringLiteral("\r\n"));
        ASSERT_EQ(lines.size(), 3) << shown.text;
        EXPECT_EQ(lines[1], files.answer);
        EXPECT_FALSE(lines[2].isEmpty()) << "the reason";
        if (f.folder != blocked) {
            EXPECT_EQ(entriesOf(f.folder), entries);
        }
    }
    EXPECT_FALSE(pngBytes(QImage())) << "no bytes for a picture that is not there";
    EXPECT_TRUE(QFileInfo(blocked).isFile());
    QFile earlier(full + QStringLiteral("/bracket.pdf"));
    ASSERT_TRUE(earlier.open(QIODevice::ReadOnly));
    EXPECT_EQ(earlier.readAll(), QByteArray("the bracket saved this morning"));
}

TEST_F(BracketOutputsTest, CtrlCPutsThePictureOnTheClipboard)
{
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier);
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(),
              bracketArea(form->board(), paperStyle().font, kPictureScale).size() * 3);
    EXPECT_EQ(copied.convertToFormat(QImage::Format_RGB32), bracketPicture(form->board()));

    // A picture that cannot be painted is reported, and what was copied before stays.
    BracketRendering noPicture;
    noPicture.picture = [](const BracketBoard&) { return QImage(); };
    form->outputs().useRendering(noPicture);
    QTest::keyClick(form.get(), Qt::Key_C, Qt::ControlModifier);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].title, "Error");
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), copied.size());
}

// The context menu opens by the mouse, the Menu key and Shift+F10, and offers every output.
TEST_F(BracketOutputsTest, TheBoardsContextMenuOffersEveryOutput)
{
    QWidget* board = control<QWidget>(form.get(), QStringLiteral("Picture1"));
    const std::vector<std::pair<const char*, std::function<void()>>> ways{
        {"right-click",
         [board] {
             QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(50, 50),
                                     board->mapToGlobal(QPoint(50, 50)));
             QApplication::sendEvent(board, &click);
         }},
        {"Menu key", [this] { QTest::keyClick(form.get(), Qt::Key_Menu); }},
        {"Shift+F10", [this] { QTest::keyClick(form.get(), Qt::Key_F10, Qt::ShiftModifier); }},
    };
    const QList<QAction*> expected{form->outputs().projectorAction(),
                                   form->outputs().printAction(),
                                   form->outputs().savePdfAction(),
                                   form->outputs().savePictureAction(),
                                   form->outputs().copyAction(),
                                   form->tournamentFileActions().saveAction(),
                                   form->tournamentFileActions().openAction(),
                                   form->tournamentFileActions().lastRunAction(),
                                   form->tournamentFileActions().historyAction()};
    for (const auto& [way, open] : ways) {
        // The offscreen platform leaves no window active once a popup has closed.
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        open();
        QMenu* menu = openedMenu();
        ASSERT_NE(menu, nullptr) << way;
        QList<QAction*> offered;
        for (QAction* action : menu->actions()) {
            if (!action->isSeparator())
                offered << action;
        }
        EXPECT_EQ(offered, expected) << way;
        // Every access key of the menu, its submenu's included, is its own.
        QSet<QChar> accessKeys;
        for (QAction* action : menu->actions()) {
            const qsizetype amp = action->text().indexOf(QLatin1Char('&'));
            if (amp < 0)
                continue;
            const QChar key = action->text().at(amp + 1).toUpper();
            EXPECT_FALSE(accessKeys.contains(key)) << way << ": " << action->text().toStdString();
            accessKeys.insert(key);
        }
        menu->close();
        QTest::qWait(0);
        EXPECT_EQ(openedMenu(), nullptr) << way << ": one menu only";
    }
    EXPECT_EQ(form->outputs().projectorAction()->shortcut(), QKeySequence(Qt::Key_F11));
    EXPECT_EQ(form->outputs().printAction()->shortcut(), QKeySequence::Print);
    EXPECT_EQ(form->outputs().copyAction()->shortcut(), QKeySequence::Copy);
    EXPECT_EQ(form->tournamentFileActions().saveAction()->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_EQ(form->tournamentFileActions().openAction()->shortcut(),
              QKeySequence(Qt::CTRL | Qt::Key_O));
}

class ProjectorTest : public BracketOutputsTest {
protected:
    BracketProjectorView* openWithF11()
    {
        form->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QTest::keyClick(form.get(), Qt::Key_F11);
        BracketProjectorView* view = form->outputs().projector();
        EXPECT_NE(view, nullptr);
        if (view) {
            EXPECT_TRUE(QTest::qWaitForWindowExposed(view));
        }
        return view;
    }
    // Whether the view shows light where line k lies.
    bool lineShown(BracketProjectorView* view, const BoardLine& line) const
    {
        const QImage shot = view->grab().toImage();
        const qreal ratio = shot.devicePixelRatio();
        const QPointF at = BracketProjectorView::placement(view->size(), form->board())
                               .map(test::samplePoint(line));
        return qGray(shot.pixel((at * ratio).toPoint())) > 128;
    }
};

TEST_F(ProjectorTest, F11ShowsTheBracketOverAWholeScreen)
{
    BracketProjectorView* view = openWithF11();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->windowHandle()->screen(), defaultViewScreen(form.get()));
    EXPECT_EQ(view->geometry(), view->windowHandle()->screen()->geometry());
    const QRectF placed = BracketProjectorView::placedBracket(
        BracketProjectorView::placement(view->size(), form->board()), form->board());
    EXPECT_TRUE(QRectF(view->rect()).contains(placed));
    EXPECT_GT(placed.height(), view->height() * 0.85) << "the bracket fills the screen";
    for (const test::ShownElement& e : test::shownElements(form->board()))
        EXPECT_EQ(lineShown(view, e.line), e.shown) << e.what;

    QTest::keyClick(view, Qt::Key_F11);
    QTest::qWait(0);
    EXPECT_EQ(form->outputs().projector(), nullptr) << "closed and gone";
    ASSERT_NE(openWithF11(), nullptr) << "F11 on the main window opens it again";
    // Over its window the view has the keyboard: F11 there closes it too.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return QApplication::activeWindow() == form->outputs().projector(); }));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_F11);
    EXPECT_FALSE(form->outputs().projector() && form->outputs().projector()->isVisible());
}

TEST_F(ProjectorTest, FollowsEveryBoxChangeOnTheMainWindow)
{
    BracketProjectorView* view = openWithF11();
    ASSERT_NE(view, nullptr);
    const BoardLine line5 = form->board().line(5);
    ASSERT_FALSE(lineShown(view, line5)); // box 5 lost in the marked draw

    form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    QTest::mouseClick(control<QWidget>(form.get(), QStringLiteral("cmdProgress")), Qt::LeftButton);
    auto* box5 = control<QCheckBox>(form.get(), QStringLiteral("chkTournament(5)"));
    QTest::mouseClick(box5, Qt::LeftButton);
    ASSERT_TRUE(form->board().lineVisible(5));
    EXPECT_TRUE(lineShown(view, line5));
    QTest::mouseClick(box5, Qt::LeftButton);
    EXPECT_FALSE(lineShown(view, line5));

    // A new draw is shown whole: names and lines alike.
    test::drawAndMark(form->board(), test::markedDraws().front());
    for (const test::ShownElement& e : test::shownElements(form->board()))
        EXPECT_EQ(lineShown(view, e.line), e.shown) << e.what;
}

TEST_F(ProjectorTest, GoesAwayWithTheMainWindow)
{
    QPointer<BracketProjectorView> view = openWithF11();
    ASSERT_TRUE(view);
    form.reset();
    EXPECT_FALSE(view);
}

} // namespace
} // namespace velka
