// The window's own actions while phones follow the players' page: a marked result (a winner box
// clicked on the main window) and a draw of 16 from 200 entries (the entry dialog's start
// button), through the real widgets offscreen, each from the click to the end of its event
// handling, repaint and the page's publish included. The page is on at 127.0.0.1 with no phone,
// and with 200 event streams open from 127.0.0.2 .. 127.0.0.201; for comparison also with the
// page off. Between two actions the phones read the new state and a pause passes, neither
// timed: 100 ms by default, still far quicker than an organiser clicks. With a pause of 10 ms
// the processor stays warm and the times spread less, but the 200 streams' work just before
// each click leaves the caches cold for it in that setting alone (about 0.1 to 0.2 ms more
// for a marked result): for information, not the budget. The settings alternate in short
// blocks so that all three see the same machine. Budget: with 200 phones, the median of each
// action at most 1.1 times its median with none. Exits with 1 when over.
//
//   velka-players-page-window-bench [--blocks N] [--actions N] [--pause-ms N]
//
// With --pause-ms 0 the next action starts as soon as the last phone has the state, while the
// server's threads are still finishing the previous change: for information, not the budget.
#include "bench/EntrantNames.h"
#include "bench/Offscreen.h"
#include "bench/PlayersPageClients.h"
#include "board/frmPairvaneMainForm.h"
#include "core/Clock.h"
#include "core/RandomSource.h"
#include "draw/frmNewGame.h"
#include "playerspage/PagePublisher.h"
#include "uikit/Application.h"

#include <QApplication>
#include <QCheckBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

using namespace velka;
using Steady = std::chrono::steady_clock;

namespace {

class YesToEverything final : public MessagePresenter {
public:
    MessageAnswer show(QWidget*, const Message& message) override
    {
        return message.buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
    }
};

class NoAddresses final : public playerspage::AddressSource {
public:
    std::vector<playerspage::NetworkAddress> addresses() const override { return {}; }
};

void click(QWidget* window, const char* name)
{
    QTest::mouseClick(window->findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
}

double ms(Steady::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

double quantile(std::vector<double> v, double q)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1))];
}

double median(const std::vector<double>& v)
{
    return quantile(v, 0.5);
}

std::chrono::milliseconds pauseBetweenActions{100};

// The main window with its board on the page, in progress mode, and the page on or off.
struct Hall {
    YesToEverything boxes;
    ClockSeededRandom random;
    SystemClock clock;
    NoAddresses addresses;
    frmPairvaneMainForm form{boxes};
    playerspage::PagePublisher publisher{clock, addresses, {0, {}}};
    std::unique_ptr<bench::EventStreamClients> phones;
    QString paste = QString::fromStdString(bench::pastedText(bench::entrantNames(200)));

    explicit Hall(bool on)
    {
        publisher.watchBoard(&form.board(), &form);
        form.show();
        QApplication::processEvents();
        draw(); // a field of 16 to mark
        click(&form, "cmdProgress");
        QApplication::processEvents();
        if (on && !publisher.turnOn("127.0.0.1"))
            throw std::runtime_error(publisher.lastError());
    }

    void connect(int count)
    {
        phones = std::make_unique<bench::EventStreamClients>(publisher.server()->port(), count);
        settle();
    }

    // Every phone has the latest state, nothing is pending on the window thread, and the pause
    // between two of the organiser's actions has passed.
    void settle()
    {
        QApplication::processEvents();
        // The phones read on a thread of their own, as other devices would: not on the window's.
        bool all = true;
        if (phones) {
            std::thread reading([&] {
                all = phones->waitAll("event: state", std::chrono::seconds(20)).has_value();
            });
            reading.join();
        }
        if (!all)
            throw std::runtime_error("not every phone got the state");
        std::this_thread::sleep_for(pauseBetweenActions);
    }

    // The event handling to its end: the repaints, and the page's publish after them.
    void finish()
    {
        do
            QApplication::processEvents();
        while (publisher.publishPending());
    }

    double draw()
    {
        frmNewGame dialog(form.board(), random, boxes);
        dialog.show();
        dialog.findChild<QPlainTextEdit*>(QStringLiteral("txtEntry"))->setPlainText(paste);
        click(&dialog, "cmdEntry");
        QApplication::processEvents();
        const Steady::time_point start = Steady::now();
        click(&dialog, "cmdNewEventExec");
        finish();
        return ms(Steady::now() - start);
    }

    double mark()
    {
        auto* box = form.findChild<QCheckBox*>(QStringLiteral("chkTournament(5)"));
        const Steady::time_point start = Steady::now();
        QTest::mouseClick(box, Qt::LeftButton);
        finish();
        return ms(Steady::now() - start);
    }
};

} // namespace

int main(int argc, char** argv)
{
    velka::bench::useQuietOffscreenPlatform();
    QApplication app(argc, argv);
    setUpApplication(app);
    int blocks = 20;
    int actions = 8;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--blocks")
            blocks = std::atoi(argv[++i]);
        else if (std::string(argv[i]) == "--actions")
            actions = std::atoi(argv[++i]);
        else if (std::string(argv[i]) == "--pause-ms")
            pauseBetweenActions = std::chrono::milliseconds(std::atoi(argv[++i]));
    }

    struct Setting {
        const char* name;
        bool on;
        int phones;
    };
    const std::vector<Setting> settings = {
        {"page off", false, 0}, {"page on, no phone", true, 0}, {"page on, 200 phones", true, 200}};
    const std::vector<std::pair<const char*, double (Hall::*)()>> kinds = {
        {"marked result", &Hall::mark}, {"draw of 16 from 200 entries", &Hall::draw}};
    std::map<std::pair<std::string, std::string>, std::vector<double>> times;
    for (int b = 0; b < blocks; ++b) {
        for (const Setting& s : settings) {
            Hall hall(s.on);
            if (s.phones > 0) {
                hall.connect(s.phones);
                if (hall.publisher.server()->openStreams() != s.phones) {
                    std::fprintf(stderr, "%d streams open, not %d\n",
                                 hall.publisher.server()->openStreams(), s.phones);
                    return 1;
                }
            }
            for (const auto& [kind, action] : kinds) {
                for (int a = 0; a < actions; ++a) {
                    times[{kind, s.name}].push_back((hall.*action)());
                    hall.settle();
                }
            }
        }
    }

    bool within = true;
    std::printf("%d blocks of %d actions each, %lld ms apart; medians in ms:\n", blocks, actions,
                static_cast<long long>(pauseBetweenActions.count()));
    for (const auto& [kind, action] : kinds) {
        const double none = median(times[{kind, "page on, no phone"}]);
        const double many = median(times[{kind, "page on, 200 phones"}]);
        std::printf("  %-28s off %.3f   on, no phone %.3f   on, 200 phones %.3f   ratio %.3f\n",
                    kind, median(times[{kind, "page off"}]), none, many, many / none);
        within = within && many <= 1.1 * none;
        for (const Setting& s : settings) {
            const std::vector<double>& t = times[{kind, s.name}];
            std::printf("      %-20s quartiles %.3f %.3f %.3f\n", s.name, quantile(t, 0.25),
                        quantile(t, 0.5), quantile(t, 0.75));
        }
    }
    std::printf("Budget: with 200 phones at most 1.1 times the time with none: %s\n",
                within ? "within" : "OVER BUDGET");
    return within ? 0 : 1;
}
