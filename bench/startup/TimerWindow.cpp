// The event timer window as the organiser leaves it running: the real window on the system clock,
// ticking every 100 ms, measured for its idle CPU time.
#include "bench/startup/IdleMeter.h"
#include "core/Clock.h"
#include "timer/frmEventTimer.h"
#include "uikit/Application.h"
#include "uikit/QtMessageBoxes.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    velka::setUpApplication(app);
    velka::SystemClock clock;
    velka::QtMessageBoxes messageBoxes;
    velka::frmEventTimer window(clock, messageBoxes);
    window.show();
    velka::bench::measureIdleCpu(argc, argv);
    return QApplication::exec();
}
