// Responsiveness through the real widgets, offscreen: the time from the click to the end of
// the event handling, repaint included.
#include "bench/EntrantNames.h"
#include "board/frmPairvaneMainForm.h"
#include "draw/RandomSource.h"
#include "draw/frmNewGame.h"
#include "uikit/Application.h"

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <benchmark/benchmark.h>

#include <memory>

namespace velka {
namespace {

class YesToEverything final : public MessageBoxes {
public:
    MessageAnswer show(const Message& message) override
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

} // namespace
} // namespace velka

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    velka::setUpApplication(app);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
