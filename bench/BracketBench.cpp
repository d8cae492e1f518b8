// The bracket off the screen, offscreen: the PDF and the picture for posting as the organiser
// saves them (everything but the disk), and the projector view's repaint after a winner box
// changed, at 1920 x 1080 and 3840 x 2160. After the run each is held against its budget: 200 ms
// for the PDF and the picture, one frame (16 ms) for a repaint. The program exits with 1 when
// one is over its budget.
#include "bench/BudgetReporter.h"
#include "board/BracketExport.h"
#include "board/BracketProjectorView.h"
#include "board/frmPairvaneMainForm.h"
#include "bracket/BracketBoard.h"
#include "bracket/BracketShape.h"
#include "core/Message.h"
#include "uikit/Application.h"
#include "uikit/MessagePresenter.h"

#include <QApplication>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace velka {
namespace {

// A draw of 16 with names of several scripts and the first round marked.
BracketBoard markedBoard()
{
    static const char* const names[] = {
        "Alice", "山田太郎", "ابراهيم", "Bob 🃏",
        "שרה",   "佐藤花子", "Charlie", "鈴木一郎",
        "Dana",  "高橋",     "Eve",     "伊藤",
        "Frank", "渡辺",     "Grace",   "Maximiliane Wolfeschlegelsteinhausenbergerdorff"};
    BracketBoard board;
    board.Load();
    for (int i = 0; i < board::kSlotCount; ++i)
        board.setSlotCaption(i, names[i]);
    ShapeBracket(board, 16);
    for (int k = 0; k < 16; k += 2)
        board.setBoxChecked(k, false);
    return board;
}

void BM_SavePdf(benchmark::State& state)
{
    const BracketBoard board = markedBoard();
    const QDateTime printed = QDateTime::currentDateTime();
    std::size_t bytes = 0;
    for (auto _ : state)
        bytes = bracketPdf(board, printed).value_or(QByteArray()).size();
    state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_SavePdf)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_SavePicture(benchmark::State& state)
{
    const BracketBoard board = markedBoard();
    for (auto _ : state)
        benchmark::DoNotOptimize(bracketPng(board));
}
BENCHMARK(BM_SavePicture)->Unit(benchmark::kMillisecond)->UseRealTime();

// One winner box changes on the main window; the view is told and paints the whole bracket
// again at the size of the projector.
void BM_ProjectorRepaint(benchmark::State& state)
{
    BracketBoard board = markedBoard();
    BracketProjectorView view(board);
    view.setGeometry(0, 0, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    view.show();
    QApplication::processEvents();
    bool checked = false;
    for (auto _ : state) {
        board.setBoxChecked(5, checked = !checked);
        view.repaint();
    }
}
BENCHMARK(BM_ProjectorRepaint)
    ->Args({1920, 1080})
    ->Args({3840, 2160})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Sixteen names of 100,000 characters each (Japanese, emoji, a combining accent): the board
// window repaints its names and lines, and the renderer paints the picture, each name cut to its
// slot.
class SilentBoxes final : public MessagePresenter {
public:
    MessageAnswer show(QWidget*, const Message&) override { return MessageAnswer::Ok; }
};

void setLongNames(BracketBoard& board)
{
    QString name;
    for (int i = 0; i < 25'000; ++i)
        name += QStringLiteral("名😀e\u0301");
    for (int i = 0; i < board::kSlotCount; ++i)
        board.setSlotCaption(i, (QString::number(i) + name).toStdString());
}

void BM_WindowRepaintLongNames(benchmark::State& state)
{
    SilentBoxes boxes;
    frmPairvaneMainForm window(boxes);
    setLongNames(window.board());
    window.show();
    QApplication::processEvents();
    for (auto _ : state)
        window.repaint();
}
BENCHMARK(BM_WindowRepaintLongNames)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_PictureLongNames(benchmark::State& state)
{
    BracketBoard board = markedBoard();
    setLongNames(board);
    for (auto _ : state)
        benchmark::DoNotOptimize(bracketPicture(board));
}
BENCHMARK(BM_PictureLongNames)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace velka

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    velka::setUpApplication(app);
    benchmark::Initialize(&argc, argv);
    velka::BudgetReporter reporter([](const std::string& name) {
        return name.find("Repaint") != std::string::npos ? 16.0 : 200.0;
    });
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    return reporter.checkBudgets() ? 0 : 1;
}
