#include "swiss/SwissProjectorView.h"

#include "board/frmPairvaneMainForm.h"
#include "swiss/HallCountdown.h"
#include "swiss/SwissDraw.h"
#include "swiss/SwissProjector.h"
#include "swiss/frmSwissDraw.h"
#include "tests/support/ScriptedMessageBoxes.h"
#include "tests/support/ScriptedRandom.h"
#include "tests/support/TestClock.h"
#include "tests/support/WindowTest.h"
#include "uikit/AddressCorner.h"

#include <QAction>
#include <QFontMetricsF>
#include <QTableView>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <ostream>
#include <set>
#include <string>

namespace velka {
namespace {

using Mode = SwissProjectorView::Mode;

// Names as a hall has them: long ones, Latin ones, ones with characters beyond the Basic
// Multilingual Plane, short ones; each made unique by its number.
std::vector<PlayerEntry> hallNames(int count)
{
    static const char* const kStems[] = {
        "寿限無寿限無五劫の擦り切れ海砂利水魚の水行末雲来末風来末",
        "𠮷野𩸽太郎",
        "Maximilian Alexander von Wittelsbach-Hohenzollern",
        "林",
        "さいとう　みさき",
        "🀄麻雀𠀋𡈽𡌛",
    };
    std::vector<PlayerEntry> entries;
    for (int i = 0; i < count; ++i) {
        const std::string stem = kStems[i % std::size(kStems)];
        entries.push_back({stem + std::to_string(i + 1), i % 2 ? "" : "ん" + std::to_string(i)});
    }
    return entries;
}

QrCode someCode()
{
    QrCode code;
    code.width = 25;
    code.dark.assign(25 * 25, 1);
    return code;
}

class FixedCountdown final : public HallCountdown {
public:
    QString timeLeft() const override { return text; }
    void set(const QString& shown)
    {
        text = shown;
        emit changed();
    }
    QString text;
};

// Everything a layout must hold on the view's screen: every line on some page, inside the
// lines' area and clear of the corner, none over another, no text cut, no type too small.
void expectSoundLayout(SwissProjectorView& view, const QSize& screen, const QRect& corner)
{
    const HallLayout& layout = view.layout();
    const QFont font = view.lineFont();
    const QFontMetricsF metrics(font);
    const std::vector<QStringList>& lines = view.lines();
    const QString what = QStringLiteral("%1 lines on %2x%3")
                             .arg(lines.size())
                             .arg(screen.width())
                             .arg(screen.height());
    SCOPED_TRACE(what.toStdString());
    EXPECT_GE(font.pixelSize(), (screen.height() + 29) / 30);
    EXPECT_GE(metrics.height(), screen.height() / 30.0);
    ASSERT_EQ(layout.lines.size(), lines.size());
    const QRect screenRect(QPoint(0, 0), screen);
    EXPECT_TRUE(screenRect.contains(layout.heading));
    EXPECT_FALSE(layout.heading.intersects(layout.body));
    EXPECT_FALSE(layout.body.intersects(corner));
    EXPECT_TRUE(screenRect.contains(layout.body));
    for (int column = 1; column < layout.columns; ++column)
        EXPECT_GE(layout.columnLeft(column), layout.columnLeft(column - 1) + layout.columnWidth);
    const int fields = static_cast<int>(view.captions().size());
    for (int f = 1; f < fields; ++f)
        EXPECT_GE(layout.fieldLeft[f], layout.fieldLeft[f - 1] + layout.fieldWidth[f - 1]);

    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int line = static_cast<int>(i);
        const QRect area = layout.lineRect(line);
        ASSERT_LT(layout.lines[i].page, layout.pages);
        ASSERT_TRUE(layout.body.contains(area))
            << "line " << i << " at " << area.top() << "+" << area.height();
        // Laid out one after another down a column, and the columns side by side.
        if (i > 0 && layout.lines[i - 1].page == layout.lines[i].page &&
            layout.lines[i - 1].column == layout.lines[i].column) {
            ASSERT_GE(area.top(), layout.lineRect(line - 1).bottom() + 1) << "line " << i;
        }
        for (int f = 0; f < fields; ++f) {
            const QString& text = lines[i][f];
            const QRect field = layout.fieldRect(line, f);
            ASSERT_LE(field.right(), area.right()) << "line " << i << " field " << f;
            const QStringList rows = wrapToWidth(text, font, field.width(), layout.lines[i].rows);
            ASSERT_EQ(rows.join(QString()), text);
            ASSERT_LE(rows.size(), layout.lines[i].rows)
                << text.toStdString() << " wraps onto more rows than its line has";
            for (const QString& row : rows)
                ASSERT_LE(metrics.horizontalAdvance(row), field.width())
                    << row.toStdString() << " is cut";
        }
    }
}

struct LayoutCase {
    int players;
    QSize screen;
};

void PrintTo(const LayoutCase& c, std::ostream* out)
{
    *out << c.players << " players on " << c.screen.width() << "x" << c.screen.height();
}

class SwissProjectorLayoutTest : public ::testing::TestWithParam<LayoutCase> {};

// Both lists of every field size on every screen, with the players' page's address in the
// corner: every name whole, large enough, on some page.
TEST_P(SwissProjectorLayoutTest, EveryNameIsWholeLargeEnoughAndOnSomePage)
{
    const LayoutCase& c = GetParam();
    test::ScriptedRandom random{{}, 11};
    SwissDraw draw(random);
    ASSERT_EQ(draw.addPlayers(hallNames(c.players)), std::nullopt);
    ASSERT_EQ(draw.pairNextRound(), std::nullopt);
    ASSERT_EQ(draw.setResult(0, {2, 1, 0}), std::nullopt);
    test::TestClock clock;
    PublishedAddress page;
    page.publish(QStringLiteral("http://192.0.2.1:8765/"), someCode());
    SwissProjectorView view(draw, clock, nullptr);
    view.resize(c.screen);
    view.showAddressCorner(&page, true);
    const QRect corner = view.addressCorner().area;
    ASSERT_FALSE(corner.isEmpty());

    for (const Mode mode : {Mode::Pairings, Mode::Standings}) {
        view.setMode(mode);
        SCOPED_TRACE(mode == Mode::Pairings ? "pairings" : "standings");
        ASSERT_EQ(view.lines().size(), static_cast<std::size_t>(c.players));
        std::set<QString> names;
        for (const QStringList& line : view.lines())
            names.insert(line[mode == Mode::Pairings ? 0 : 1]);
        EXPECT_EQ(names.size(), static_cast<std::size_t>(c.players));
        expectSoundLayout(view, c.screen, corner);
        const HallLayout& layout = view.layout();
        // Pages only when the smallest type cannot hold everything on one.
        if (layout.pages > 1) {
            EXPECT_EQ(layout.pixelSize, smallestHallPixelSize(c.screen.height()));
        }
        if (c.players <= 9) {
            EXPECT_EQ(layout.pages, 1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    FieldsAndScreens, SwissProjectorLayoutTest, ::testing::ValuesIn([] {
        std::vector<LayoutCase> cases;
        for (const int players : {4, 9, 33, 128, 256})
            for (const QSize screen : {QSize(1280, 720), QSize(1920, 1080), QSize(3840, 2160)})
                cases.push_back({players, screen});
        return cases;
    }()),
    [](const ::testing::TestParamInfo<LayoutCase>& param) {
        return std::to_string(param.param.players) + "_on_" +
               std::to_string(param.param.screen.height());
    });

// A name too wide for the screen even alone wraps onto further rows; none is cut.
TEST(SwissProjectorLayout, ANameWiderThanTheScreenWraps)
{
    test::ScriptedRandom random{{}, 3};
    SwissDraw draw(random);
    std::vector<PlayerEntry> entries = hallNames(5);
    entries[0].name = std::string(40, 'W') + "𠮷" + std::string(40, 'M');
    entries[1].name.clear();
    for (int i = 0; i < 30; ++i)
        entries[1].name += "寿限無";
    ASSERT_EQ(draw.addPlayers(entries), std::nullopt);
    ASSERT_EQ(draw.pairNextRound(), std::nullopt);
    test::TestClock clock;
    SwissProjectorView view(draw, clock, nullptr);
    const QSize screen(1280, 720);
    view.resize(screen);
    expectSoundLayout(view, screen, {});
    const HallLayout& layout = view.layout();
    EXPECT_GT(std::max_element(layout.lines.begin(), layout.lines.end(),
                               [](const HallLine& a, const HallLine& b) { return a.rows < b.rows; })
                  ->rows,
              1);
}

// The view over the Swiss window: its two items, F11, and what the organiser enters showing at
// once; the pages turning on the test clock.
class SwissProjectorWindowTest : public ::testing::Test {
public:
    void SetUp() override
    {
        boardWindow = std::make_unique<frmPairvaneMainForm>(boxes);
        window = std::make_unique<frmSwissDraw>(draw, boardWindow->board(), boxes);
        window->projector().useClock(clock);
        window->projector().useCountdown(&countdown);
        ASSERT_TRUE(test::showActive(window.get()));
    }
    void TearDown() override
    {
        window.reset();
        boardWindow.reset();
    }
    SwissProjectorView* view() const { return window->projector().view(); }
    QAction* pairings() const { return window->projector().pairingsAction(); }
    QAction* standings() const { return window->projector().standingsAction(); }
    // The pairings line of a player, by name.
    QStringList lineOf(const QString& name) const
    {
        for (const QStringList& line : view()->lines()) {
            if (line.value(0) == name)
                return line;
        }
        return {};
    }

    test::ScriptedMessageBoxes boxes;
    test::ScriptedRandom random{{}, 5};
    test::TestClock clock;
    FixedCountdown countdown;
    SwissDraw draw{random};
    std::unique_ptr<frmPairvaneMainForm> boardWindow;
    std::unique_ptr<frmSwissDraw> window;
};

TEST_F(SwissProjectorWindowTest, TheItemsOpenSwitchAndCloseOneView)
{
    const auto f11OnWindow = [](SwissProjectorWindowTest& t) {
        ASSERT_TRUE(test::showActive(t.window.get()));
        QTest::keyClick(t.window.get(), Qt::Key_F11);
    };
    struct Step {
        const char* what;
        std::function<void(SwissProjectorWindowTest&)> act;
        Mode mode;
        bool open;
        bool sameView; // the view of the step before, switched
    };
    const Step steps[] = {
        {"the pairings item opens the pairings", [](auto& t) { t.pairings()->trigger(); },
         Mode::Pairings, true, false},
        {"the standings item switches the view", [](auto& t) { t.standings()->trigger(); },
         Mode::Standings, true, true},
        {"the pairings item switches it back", [](auto& t) { t.pairings()->trigger(); },
         Mode::Pairings, true, true},
        {"the pairings item again closes it", [](auto& t) { t.pairings()->trigger(); },
         Mode::Pairings, false, false},
        {"the standings item opens the standings", [](auto& t) { t.standings()->trigger(); },
         Mode::Standings, true, false},
        {"F11 on the view closes it", [](auto& t) { QTest::keyClick(t.view(), Qt::Key_F11); },
         Mode::Standings, false, false},
        {"F11 on the window opens the pairings", f11OnWindow, Mode::Pairings, true, false},
        {"F11 on the window closes them", f11OnWindow, Mode::Pairings, false, false},
        {"the standings item opens the standings", [](auto& t) { t.standings()->trigger(); },
         Mode::Standings, true, false},
        {"Esc on the view closes it", [](auto& t) { QTest::keyClick(t.view(), Qt::Key_Escape); },
         Mode::Standings, false, false},
    };
    QPointer<SwissProjectorView> before;
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        step.act(*this);
        ASSERT_EQ(window->projector().controller().isOpen(), step.open);
        EXPECT_EQ(pairings()->isChecked(), step.open && step.mode == Mode::Pairings);
        EXPECT_EQ(standings()->isChecked(), step.open && step.mode == Mode::Standings);
        if (step.open) {
            EXPECT_EQ(view()->mode(), step.mode);
            if (step.sameView) {
                EXPECT_EQ(view(), before.data());
            }
        }
        before = view();
    }
}

TEST_F(SwissProjectorWindowTest, AResultOrARoundShowsAtOnceAndThePagesTurnOnTheClock)
{
    ASSERT_EQ(draw.addPlayers(hallNames(128)), std::nullopt);
    ASSERT_EQ(draw.pairNextRound(), std::nullopt);
    window->projector().toggle(Mode::Pairings);
    ASSERT_NE(view(), nullptr);
    view()->resize(1920, 1080);
    EXPECT_EQ(view()->title(), QStringLiteral("第1回戦　組み合わせ"));
    view()->grab(); // painted once before the result comes in

    // A result typed on the window's selected table shows on the view, from both sides.
    const SwissTable table = draw.event().rounds[0].tables[0];
    const auto nameOf = [&](int player) {
        return QString::fromStdString(draw.event().players[player].name);
    };
    auto* tables = window->findChild<QTableView*>(QStringLiteral("tblTables"));
    tables->setCurrentIndex(tables->model()->index(0, 0));
    tables->setFocus();
    QTest::keyClick(tables, Qt::Key_2);
    QTest::keyClick(tables, Qt::Key_1);
    ASSERT_TRUE(draw.event().rounds[0].tables[0].result);
    EXPECT_EQ(lineOf(nameOf(table.playerA)),
              QStringList({nameOf(table.playerA), QStringLiteral("1"), nameOf(*table.playerB),
                           QStringLiteral("2-1")}));
    EXPECT_EQ(lineOf(nameOf(*table.playerB)).value(3), QStringLiteral("1-2"));
    // The view repaints only those lines, over the page as it was painted: the same picture as
    // a view that paints it all afresh.
    SwissProjectorView fresh(draw, clock, &countdown);
    fresh.resize(view()->size());
    EXPECT_EQ(view()->grab().toImage(), fresh.grab().toImage());

    // The pages turn every ten seconds of the clock, round and round, with their number shown.
    const int pages = view()->layout().pages;
    ASSERT_GT(pages, 1);
    const std::int64_t start = clock.time;
    for (int second = 0; second <= 10 * pages + 10; ++second) {
        clock.time = start + second;
        view()->tick();
        const int expected = (second / 10) % pages;
        ASSERT_EQ(view()->page(), expected) << "at " << second << " s";
        ASSERT_EQ(view()->pageText(), QStringLiteral("%1/%2").arg(expected + 1).arg(pages));
    }

    // The time left follows the countdown given.
    EXPECT_EQ(view()->timeLeft(), QString());
    countdown.set(QStringLiteral("0 : 12 : 34"));
    EXPECT_EQ(view()->timeLeft(), QStringLiteral("0 : 12 : 34"));

    // The next round, paired, takes the view at once.
    for (std::size_t t = 1; t < draw.event().rounds[0].tables.size(); ++t)
        ASSERT_EQ(draw.setResult(static_cast<int>(t), {2, 0, 0}), std::nullopt);
    ASSERT_EQ(draw.pairNextRound(), std::nullopt);
    EXPECT_EQ(view()->title(), QStringLiteral("第2回戦　組み合わせ"));
    EXPECT_EQ(lineOf(nameOf(table.playerA)).value(3), QString()) << "no result yet";
}

} // namespace
} // namespace velka
