// Responsiveness through the real widgets, offscreen: the time from the click to the end of
// the event handling, repaint included. After the run every action is held against its budget:
// one frame (16 ms) for everything at up to 200 entries, 100 ms for the Enter of a full list and
// the draw from it. The program exits with 1 when an action is over its budget.
#include "bench/BudgetReporter.h"
#include "bench/EntrantNames.h"
#include "bench/Offscreen.h"
#include "bench/SwissEventOf256.h"
#include "board/frmPairvaneMainForm.h"
#include "core/Clock.h"
#include "core/RandomSource.h"
#include "draw/frmNewGame.h"
#include "swiss/SwissProjectorView.h"
#include "swiss/frmSwissDraw.h"
#include "timer/TimerProjectorView.h"
#include "timer/frmEventTimer.h"
#include "uikit/Application.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace velka {
namespace {

class YesToEverything final : public MessagePresenter {
public:
    MessageAnswer show(QWidget*, const Message& message) override
    {
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
};

QString pasteOf(int count)
{
    return QString::fromStdString(bench::pastedText(bench::entrantNames(count)));
}

void click(QWidget* window, const char* name)
{
    QTest::mouseClick(window->findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
}

struct DialogWithBoard {
    YesToEverything boxes;
    ClockSeededRandom random;
    BracketBoard board;
    std::unique_ptr<frmNewGame> dialog;

    DialogWithBoard()
    {
        board.Load();
        dialog = std::make_unique<frmNewGame>(board, random, boxes);
        dialog->show();
        QApplication::processEvents();
    }
    void type(const QString& text)
    {
        dialog->findChild<QPlainTextEdit*>(QStringLiteral("txtEntry"))->setPlainText(text);
        QApplication::processEvents();
    }
};

void BM_EnterPaste(benchmark::State& state)
{
    const QString text = pasteOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        DialogWithBoard window;
        window.type(text);
        state.ResumeTiming();
        click(window.dialog.get(), "cmdEntry");
        QApplication::processEvents();
        state.PauseTiming();
        if (window.dialog->entries().count() != state.range(0))
            state.SkipWithError("the names did not all arrive");
        window.dialog.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EnterPaste)->Arg(200)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_StartDraw(benchmark::State& state)
{
    const QString text = pasteOf(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        DialogWithBoard window;
        window.type(text);
        click(window.dialog.get(), "cmdEntry");
        QApplication::processEvents();
        state.ResumeTiming();
        click(window.dialog.get(), "cmdNewEventExec");
        QApplication::processEvents();
        state.PauseTiming();
        if (window.dialog->isVisible())
            state.SkipWithError("the draw was refused");
        window.dialog.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartDraw)->Arg(200)->Arg(32767)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MainWindowClicks(benchmark::State& state, const char* what)
{
    YesToEverything boxes;
    frmPairvaneMainForm form(boxes);
    form.show();
    QApplication::processEvents();
    click(&form, "cmdProgress");
    QApplication::processEvents();
    auto* box = form.findChild<QCheckBox*>(QStringLiteral("chkTournament(5)"));
    const bool clear = std::string(what) == "clear";
    for (auto _ : state) {
        if (clear)
            click(&form, "cmdClear");
        else
            QTest::mouseClick(box, Qt::LeftButton);
        QApplication::processEvents();
        if (clear) {
            state.PauseTiming();
            click(&form, "cmdProgress"); // boxes shown again, so the reset has work to do
            QApplication::processEvents();
            state.ResumeTiming();
        }
    }
}
BENCHMARK_CAPTURE(BM_MainWindowClicks, AllClear, "clear")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MainWindowClicks, BoxClick, "box")->Unit(benchmark::kMicrosecond);

// A marked result, a click on a winner box, with the last tournament kept after every change
// (its file in a temporary folder) and without: what keeping costs the action. The writes run
// on the keeper's own thread; the click pays for handing the tournament over.
void BM_MarkWithKeeping(benchmark::State& state, bool keeping)
{
    YesToEverything boxes;
    QTemporaryDir folder;
    frmPairvaneMainForm form(boxes);
    if (keeping)
        form.tournamentFileActions().keepIn(folder.path());
    form.show();
    form.board().ToggleProgress();
    QApplication::processEvents();
    auto* box = form.findChild<QCheckBox*>(QStringLiteral("chkTournament(5)"));
    for (auto _ : state) {
        QTest::mouseClick(box, Qt::LeftButton);
        QApplication::processEvents();
    }
    form.tournamentFileActions().waitUntilKept();
    if (keeping && !QFileInfo::exists(form.tournamentFileActions().keptFile()))
        state.SkipWithError("nothing was kept");
}
BENCHMARK_CAPTURE(BM_MarkWithKeeping, Off, false)->Unit(benchmark::kMicrosecond)->UseRealTime();
BENCHMARK_CAPTURE(BM_MarkWithKeeping, On, true)->Unit(benchmark::kMicrosecond)->UseRealTime();

// A button that toggles something on the main window, pressed again and again: the palette's
// cmdShow widens and narrows the window, cmdProgress shows and hides the 30 boxes.
void BM_MainWindowToggle(benchmark::State& state, const char* button)
{
    YesToEverything boxes;
    frmPairvaneMainForm form(boxes);
    form.show();
    QApplication::processEvents();
    for (auto _ : state) {
        click(&form, button);
        QApplication::processEvents();
    }
}
BENCHMARK_CAPTURE(BM_MainWindowToggle, Palette, "cmdShow")->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_MainWindowToggle, Progress, "cmdProgress")->Unit(benchmark::kMicrosecond);

// Opening the entry dialog: building it, showing it and its first paint.
void BM_OpenEntryDialog(benchmark::State& state)
{
    for (auto _ : state) {
        DialogWithBoard window;
        state.PauseTiming();
        window.dialog.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenEntryDialog)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_DeleteEntry(benchmark::State& state)
{
    DialogWithBoard window;
    auto* list = window.dialog->findChild<QListView*>(QStringLiteral("lstEntry"));
    for (auto _ : state) {
        state.PauseTiming();
        if (window.dialog->entries().count() == 0) {
            window.type(pasteOf(static_cast<int>(state.range(0))));
            click(window.dialog.get(), "cmdEntry");
        }
        list->setCurrentIndex(list->model()->index(0, 0));
        QApplication::processEvents();
        state.ResumeTiming();
        click(window.dialog.get(), "cmdDeleteList");
        QApplication::processEvents();
    }
}
BENCHMARK(BM_DeleteEntry)->Arg(200)->Unit(benchmark::kMicrosecond)->UseRealTime();

class FixedClock final : public Clock {
public:
    std::int64_t now() const override { return 1'700'000'000; }
};

// The event timer's controls: starting and stopping a countdown with its box, and opening and
// closing the input row with cmdCtlShow.
void BM_TimerWindowClicks(benchmark::State& state, const char* control)
{
    YesToEverything boxes;
    FixedClock clock;
    frmEventTimer window(clock, boxes);
    window.show();
    QApplication::processEvents();
    auto* target = window.findChild<QWidget*>(QString::fromLatin1(control));
    for (auto _ : state) {
        QTest::mouseClick(target, Qt::LeftButton);
        QApplication::processEvents();
    }
}
BENCHMARK_CAPTURE(BM_TimerWindowClicks, CountDownBox, "chkCountDownTimer")
    ->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BM_TimerWindowClicks, InputRow, "cmdCtlShow")->Unit(benchmark::kMicrosecond);

// One repaint of the projector view as the second changes, the way the event loop delivers it:
// the view is full screen, the text a new second's in its full size. Budget 4 ms.
class SteppingClock final : public Clock {
public:
    std::int64_t now() const override { return time; }
    std::int64_t time = 1'700'000'000;
};

void BM_ProjectorRepaint(benchmark::State& state)
{
    SteppingClock clock;
    EventTimer timer(clock);
    TimerProjectorView view(timer);
    view.setGeometry(0, 0, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        ++clock.time;
        timer.TimerTick(); // the view asks for the repaint it needs
        QApplication::processEvents();
    }
}
BENCHMARK(BM_ProjectorRepaint)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The whole screen painted at once, as when the view opens, is uncovered or changes mode.
void BM_ProjectorWholeScreenPaint(benchmark::State& state)
{
    SteppingClock clock;
    EventTimer timer(clock);
    TimerProjectorView view(timer);
    view.setGeometry(0, 0, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        ++clock.time;
        timer.TimerTick();
        view.repaint();
    }
}
BENCHMARK(BM_ProjectorWholeScreenPaint)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// A result typed on the Swiss window at the largest field: 256 players in round 9 after eight
// rounds, the two keys of a 2-1 on the selected table, the window's update (tables, standings,
// players) and its repaint. Each iteration starts from the same table without a result. Budget
// one frame (16 ms).
void BM_SwissResult(benchmark::State& state)
{
    YesToEverything boxes;
    bench::SeededRandom random;
    SwissDraw draw(random);
    if (draw.load(bench::eightRoundsOf256()) || draw.pairNextRound()) {
        state.SkipWithError("the event of 256 could not be set up");
        return;
    }
    BracketBoard board;
    board.Load();
    frmSwissDraw window(draw, board, boxes);
    window.show();
    QApplication::processEvents();
    auto* tables = window.findChild<QTableView*>(QStringLiteral("tblTables"));
    tables->setFocus();
    const int table = 60;
    for (auto _ : state) {
        state.PauseTiming();
        draw.clearResult(table);
        tables->setCurrentIndex(tables->model()->index(table, 0));
        QApplication::processEvents();
        state.ResumeTiming();
        QTest::keyClick(tables, Qt::Key_2);
        QTest::keyClick(tables, Qt::Key_1);
        QApplication::processEvents();
    }
    if (!draw.event().rounds.back().tables[table].result)
        state.SkipWithError("the typed result did not arrive");
}
BENCHMARK(BM_SwissResult)->Unit(benchmark::kMillisecond)->UseRealTime();

// The pairings of 256 players on a 3840 x 2160 projector, offscreen, repainted synchronously
// (`repaint`). The repaint after a result came in for a table on the page shown (the view reads
// the event again, and paints that table's two lines): budget one frame (16 ms). The whole page
// painted afresh, as when the page turns every ten seconds: reported, with a budget of 100 ms.
bool setUpPairingsOf256(benchmark::State& state, SwissDraw& draw)
{
    if (draw.load(bench::eightRoundsOf256()) || draw.pairNextRound()) {
        state.SkipWithError("the event of 256 could not be set up");
        return false;
    }
    return true;
}

void BM_SwissPairingsRepaint(benchmark::State& state)
{
    bench::SeededRandom random;
    SwissDraw draw(random);
    if (!setUpPairingsOf256(state, draw))
        return;
    SteppingClock clock;
    SwissProjectorView view(draw, clock, nullptr);
    view.setGeometry(0, 0, 3840, 2160);
    view.show();
    QApplication::processEvents();
    view.repaint();
    // The table of the first name on the first page.
    const int table = view.lines().front().value(1).toInt() - 1;
    bool entered = false;
    for (auto _ : state) {
        entered = !entered;
        if (entered)
            draw.setResult(table, {2, 1, 0});
        else
            draw.clearResult(table);
        view.repaint();
    }
    if (view.layout().pages < 2 || view.page() != 0)
        state.SkipWithError("256 players should need more than one page");
}
BENCHMARK(BM_SwissPairingsRepaint)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SwissPairingsPageTurn(benchmark::State& state)
{
    bench::SeededRandom random;
    SwissDraw draw(random);
    if (!setUpPairingsOf256(state, draw))
        return;
    SteppingClock clock;
    SwissProjectorView view(draw, clock, nullptr);
    view.setGeometry(0, 0, 3840, 2160);
    view.show();
    QApplication::processEvents();
    for (auto _ : state) {
        clock.time += SwissProjectorView::kPageSeconds;
        view.tick();
        view.repaint();
    }
}
BENCHMARK(BM_SwissPairingsPageTurn)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace velka

int main(int argc, char** argv)
{
    velka::bench::useQuietOffscreenPlatform();
    QApplication app(argc, argv);
    velka::setUpApplication(app);
    benchmark::Initialize(&argc, argv);
    velka::BudgetReporter reporter([](const std::string& name) {
        if (name.find("BM_ProjectorRepaint") != std::string::npos)
            return 4.0;
        if (name.find("BM_SwissPairingsPageTurn") != std::string::npos)
            return 100.0;
        return name.find("/32767") != std::string::npos ? 100.0 : 16.0;
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double off = reporter.milliseconds("BM_MarkWithKeeping/Off/real_time");
    const double on = reporter.milliseconds("BM_MarkWithKeeping/On/real_time");
    if (off > 0 && on > 0)
        std::printf("\nA marked result with keeping on / off: %.3f ms / %.3f ms = %.2f\n", on, off,
                    on / off);
    return reporter.checkBudgets() ? 0 : 1;
}
