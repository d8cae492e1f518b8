// The projector view as it runs in the hall: the event timer on the system clock, ticking every
// 100 ms, shown full screen at the size given, measured for its idle CPU time.
//
//   projector-idle <seconds> <width> <height>      measures, prints "idle-cpu …"
//   projector-idle --font <width> <height>         prints the text's pixel size and ends
#include "bench/startup/IdleMeter.h"
#include "core/Clock.h"
#include "timer/EventTimer.h"
#include "timer/TimerProjectorView.h"
#include "uikit/Application.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    velka::setUpApplication(app);
    if (argc < 4)
        return 2;
    const int width = std::atoi(argv[2]);
    const int height = std::atoi(argv[3]);
    velka::SystemClock clock;
    velka::EventTimer timer(clock);
    velka::TimerProjectorView view(timer);
    view.setGeometry(0, 0, width, height);
    timer.TimerTick();
    if (std::strcmp(argv[1], "--font") == 0) {
        std::printf("font-pixels %d\n", view.textFont().pixelSize());
        return 0;
    }
    QTimer tick;
    tick.setInterval(100);
    QObject::connect(&tick, &QTimer::timeout, &view, [&timer] { timer.TimerTick(); });
    tick.start();
    view.show();
    velka::bench::measureIdleCpu(argc, argv);
    return QApplication::exec();
}
