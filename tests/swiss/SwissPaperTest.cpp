#include "swiss/SwissPaper.h"

#include "board/frmPairvaneMainForm.h"
#include "core/Clock.h"
#include "swiss/HallListing.h"
#include "swiss/SwissDraw.h"
#include "swiss/frmSwissDraw.h"
#include "tests/support/PdfText.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/WindowTest.h"
#include "uikit/FileDialogs.h"
#include "uikit/PrintDialogs.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <numeric>
#include <ostream>
#include <sys/fsuid.h>
#include <tuple>

namespace velka {
namespace {

class FixedClock final : public Clock {
public:
    std::int64_t now() const override { return time; }
    std::int64_t time = QDateTime(QDate(2026, 12, 8), QTime(10, 5)).toSecsSinceEpoch();
};

struct ScriptedSaveFileDialogs final : SaveFileDialogs {
    QString askSaveFileName(QWidget*, const QString&, const QString& suggestedPath,
                            const QString&) override
    {
        suggested << QFileInfo(suggestedPath).fileName();
        return answer;
    }
    QString answer; // empty: the organiser cancels
    QStringList suggested;
};

// Chooses "print to file", as the print dialog offers it where there is no printer.
struct PrintToFile final : PrintDialogs {
    bool askPrinter(QPrinter& printer, QWidget*) override
    {
        ++asked;
        if (file.isEmpty())
            return false;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(file);
        return true;
    }
    QString file; // empty: the organiser cancels
    int asked = 0;
};

// Names that break careless paper: too long for any box, beyond the Basic Multilingual Plane,
// right to left, and one that a spreadsheet would take for a formula.
const QStringList kHostileNames{
    QStringLiteral("Wolfeschlegelsteinhausenbergerdorffvoralternwarengewissenhaft"),
    QStringLiteral("田中 𠮷男"),
    QStringLiteral("محمد بن عبد الله"),
    QStringLiteral("寿限無寿限無五劫の擦り切れ海砂利水魚の水行末雲来末風来末"),
    QStringLiteral("𩸽 Hokke 🃏"),
    QStringLiteral("דוד לוי"),
    QStringLiteral("=SUM(A1)"),
};

class SwissPaperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(folder.isValid());
        folder.setAutoRemove(false);
        boardWindow = std::make_unique<frmPairvaneMainForm>(boxes);
        window = std::make_unique<frmSwissDraw>(draw, boardWindow->board(), boxes);
        window->paper().useServices(files, printing, clock);
        ASSERT_TRUE(test::showActive(window.get()));
    }

    // An event of `players`, the first of them with the hostile names, paired into its second
    // round after a first with every result in.
    void runEvent(int players, MatchFormat match)
    {
        std::vector<PlayerEntry> entries;
        for (int i = 0; i < players; ++i) {
            const QString name =
                i < kHostileNames.size() ? kHostileNames[i] : QStringLiteral("選手%1").arg(i + 1);
            entries.push_back({name.toStdString(), ""});
        }
        ASSERT_FALSE(draw.addPlayers(entries));
        ASSERT_FALSE(draw.setSettings({3, match, TiebreakerSet::OmwGwOgw, 0}));
        ASSERT_FALSE(draw.pairNextRound());
        const auto& tables = draw.event().rounds.back().tables;
        for (std::size_t t = 0; t < tables.size(); ++t) {
            if (!tables[t].bye()) {
                ASSERT_FALSE(draw.setResult(static_cast<int>(t), resultsFor(match)[t % 3]));
            }
        }
        ASSERT_FALSE(draw.pairNextRound());
        ASSERT_EQ(window->shownRound(), 2);
    }

    // Chooses an item of the window's menu of sheets, as the organiser does: the menu opens and
    // shows what the event has, then the item is chosen.
    void choose(QAction* item)
    {
        QMenu* menu = window->paper().menu();
        menu->popup(window->mapToGlobal(QPoint(0, 0)));
        ASSERT_TRUE(item->isEnabled()) << item->text().toStdString();
        item->trigger();
        menu->close();
    }

    QString saved(SwissSheet sheet, const QString& name)
    {
        files.answer = folder.filePath(name);
        choose(window->paper().savePdfAction(sheet));
        return files.answer;
    }

    QString nameOf(int player) const
    {
        return QString::fromStdString(draw.event().players[static_cast<std::size_t>(player)].name);
    }

    // Every name missing from a PDF's text. A name wrapped onto two lines beside a shorter cell
    // comes out of the reading order with that cell between its lines: it is looked for in the
    // order the text was written in, too.
    QStringList missing(const QString& path, const std::vector<int>& players) const
    {
        const QString read = test::comparable(test::pdfText(path));
        const QString written = test::comparable(test::runTool(
            QStringLiteral("pdftotext"), {QStringLiteral("-raw"), path, QStringLiteral("-")}));
        QStringList absent;
        for (const int player : players) {
            const QString name = test::comparable(nameOf(player));
            if (!read.contains(name) && !written.contains(name))
                absent << nameOf(player);
        }
        return absent;
    }

    QTemporaryDir folder;
    test::ScriptedMessageBoxes boxes;
    test::ScriptedRandom random{{}, 5};
    SwissDraw draw{random};
    ScriptedSaveFileDialogs files;
    PrintToFile printing;
    FixedClock clock;
    std::unique_ptr<frmPairvaneMainForm> boardWindow;
    std::unique_ptr<frmSwissDraw> window;
};

struct Field {
    int players;
    MatchFormat match;
};

void PrintTo(const Field& field, std::ostream* os)
{
    *os << field.players << " players";
}

class SwissPaperFields : public SwissPaperTest, public ::testing::WithParamInterface<Field> {};

// Each sheet read back as a reader reads it: every player of the round on both pairings, every
// player on the standings, and one slip for each table of two (none for the bye), eight to a
// page, with both players' names whole, from the PDF saved and from the printer's file alike.
TEST_P(SwissPaperFields, EveryNameOnTheSheetsAndOneSlipPerTable)
{
    runEvent(GetParam().players, GetParam().match);
    const SwissEvent& event = draw.event();
    const std::vector<SwissTable>& tables = event.rounds.back().tables;
    std::vector<int> paired;
    std::vector<int> atTables;
    for (const Seat& seat : seatsOf(event, 2)) {
        paired.push_back(seat.player);
        if (seat.opponent)
            atTables.push_back(seat.player);
    }
    std::vector<int> everyone(event.players.size());
    std::iota(everyone.begin(), everyone.end(), 0);

    for (const auto& [sheet, file, who] :
         {std::tuple{SwissSheet::PairingsByName, "by-name.pdf", paired},
          std::tuple{SwissSheet::PairingsByTable, "by-table.pdf", paired},
          std::tuple{SwissSheet::Standings, "standings.pdf", everyone}}) {
        SCOPED_TRACE(file);
        const QString path = saved(sheet, QString::fromLatin1(file));
        const QString text = test::pdfText(path);
        EXPECT_TRUE(missing(path, who).isEmpty()) << missing(path, who).join(u'|').toStdString();
        EXPECT_TRUE(text.contains(QStringLiteral("2026-12-08 10:05")));
    }
    EXPECT_TRUE(boxes.shown.empty());

    const int slips = static_cast<int>(
        std::count_if(tables.begin(), tables.end(), [](const SwissTable& t) { return !t.bye(); }));
    printing.file = folder.filePath(QStringLiteral("printed-slips.pdf"));
    choose(window->paper().printAction(SwissSheet::ResultSlips));
    for (const QString& path :
         {saved(SwissSheet::ResultSlips, QStringLiteral("slips.pdf")), printing.file}) {
        SCOPED_TRACE(path.toStdString());
        const QString text = test::pdfText(path);
        EXPECT_EQ(text.count(QStringLiteral("番卓")), slips);
        for (int t = 0; t < static_cast<int>(tables.size()); ++t) {
            EXPECT_EQ(text.contains(QStringLiteral("%1番卓").arg(t + 1)), !tables[t].bye())
                << "table " << t + 1;
        }
        EXPECT_EQ(test::pdfPages(path), (slips + kSlipsPerPage - 1) / kSlipsPerPage);
        EXPECT_TRUE(missing(path, atTables).isEmpty())
            << missing(path, atTables).join(u'|').toStdString();
        // The boxes for the result: a third game's in 2本先取; in 1本勝負 a draw's, which the
        // note under the boxes names too, as it names the signatures.
        if (GetParam().match == MatchFormat::BestOfThree)
            EXPECT_EQ(text.count(QStringLiteral("3本目")), slips);
        else
            EXPECT_EQ(text.count(QStringLiteral("引分")), 2 * slips);
        EXPECT_EQ(text.count(QStringLiteral("署名")), 2 * slips);
    }
    EXPECT_TRUE(boxes.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, SwissPaperFields,
    ::testing::Values(Field{4, MatchFormat::SingleGame}, Field{9, MatchFormat::BestOfThree},
                      Field{33, MatchFormat::SingleGame}, Field{100, MatchFormat::BestOfThree}),
    [](const auto& p) {
        return std::to_string(p.param.players) +
               (p.param.match == MatchFormat::BestOfThree ? "_BestOfThree" : "_SingleGame");
    });

// A PDF or a printer's file that cannot be written is reported over the window with where and
// why, and leaves nothing behind; a cancelled dialog does nothing. Before the first round only
// the standings can be had from the window's menu of sheets.
TEST_F(SwissPaperTest, FailuresAreReportedAndNothingIsLeftBehind)
{
    SwissPaper& paper = window->paper();
    // Offered on a button of the window's own.
    auto* button = test::control<QPushButton>(window.get(), QStringLiteral("cmdPaper"));
    EXPECT_EQ(button->menu(), paper.menu());
    ASSERT_FALSE(draw.addPlayers({{"Ana", ""}, {"Bo", ""}, {"Cy", ""}, {"Di", ""}, {"Ed", ""}}));
    paper.menu()->popup(window->mapToGlobal(QPoint(0, 0)));
    EXPECT_FALSE(paper.savePdfAction(SwissSheet::ResultSlips)->isEnabled());
    EXPECT_FALSE(paper.printAction(SwissSheet::PairingsByName)->isEnabled());
    EXPECT_TRUE(paper.savePdfAction(SwissSheet::Standings)->isEnabled());
    paper.menu()->close();
    ASSERT_FALSE(draw.pairNextRound());

    const QString readOnly = folder.filePath(QStringLiteral("read-only"));
    QDir().mkdir(readOnly);
    QFile::setPermissions(readOnly,
                          QFile::ReadOwner | QFile::ExeOwner | QFile::ReadOther | QFile::ExeOther);
    struct Case {
        const char* what;
        QString pdf;     // answered in the save dialog; empty when printing
        QString printed; // the printer's output file; empty when saving
        const char* says;
    };
    const std::vector<Case> cases{
        {"a PDF into a read-only folder",
         readOnly + QStringLiteral("/slips.pdf"),
         {},
         "ファイルを保存できませんでした。"},
        {"printing into a file in a read-only folder",
         {},
         readOnly + QStringLiteral("/slips.pdf"),
         "印刷できませんでした。"},
        {"the save dialog cancelled", {}, {}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.shown.clear();
        files.answer = c.pdf;
        printing.file = c.printed;
        // Root may write anywhere; as any other user it may not write there.
        setfsuid(65534);
        choose(c.printed.isEmpty() ? paper.savePdfAction(SwissSheet::ResultSlips)
                                   : paper.printAction(SwissSheet::ResultSlips));
        setfsuid(0);
        EXPECT_TRUE(QDir(readOnly).isEmpty());
        if (!c.says) {
            EXPECT_TRUE(boxes.shown.empty());
            continue;
        }
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].title, "Error");
        EXPECT_EQ(boxes.owners.back(), window.get());
        EXPECT_TRUE(
            QString::fromStdString(boxes.shown[0].text).startsWith(QString::fromUtf8(c.says)))
            << boxes.shown[0].text;
        if (!c.pdf.isEmpty()) {
            EXPECT_TRUE(QString::fromStdString(boxes.shown[0].text).contains(c.pdf));
        }
    }
    EXPECT_EQ(files.suggested.last(), QStringLiteral("スイスドロー_第1回戦_結果記入票.pdf"));
}

} // namespace
} // namespace velka
