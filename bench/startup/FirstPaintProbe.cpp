// Linked into a program built only for the start-up benchmark. When the first top-level window
// has painted and its frame has been handed on, the probe prints the monotonic clock and ends the
// process at once, so that the launcher reads the time of the first paint and the peak memory up
// to it, and the program's own command line stays untouched.
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <QWidget>

#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace {

long long monotonicNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000LL + now.tv_nsec;
}

class FirstPaintProbe final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (!seen_ && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->isWindow()) {
                seen_ = true;
                // The paint of the window and its children, and the flush of the frame, end
                // before the event loop runs the next timer.
                QTimer::singleShot(0, [] {
                    std::printf("first-paint %lld\n", monotonicNanoseconds());
                    std::fflush(stdout);
                    _exit(0);
                });
            }
        }
        return false;
    }

private:
    bool seen_ = false;
};

void installFirstPaintProbe()
{
    QCoreApplication::instance()->installEventFilter(
        new FirstPaintProbe(QCoreApplication::instance()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installFirstPaintProbe)
