// The floor for the projector view's idle cost: a Qt Widgets program that writes the time of day
// every 100 ms into a label of the given size and font pixel size, white on black, and nothing
// else.
//
//   bare-fullscreen-label-idle <seconds> <width> <height> <font pixels>
#include "bench/startup/IdleMeter.h"

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QPalette>
#include <QTime>
#include <QTimer>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    if (argc < 5)
        return 2;
    QLabel label;
    label.setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    label.setGeometry(0, 0, std::atoi(argv[2]), std::atoi(argv[3]));
    label.setAutoFillBackground(true);
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    label.setPalette(palette);
    label.setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("IPAPGothic"));
    font.setBold(true);
    font.setPixelSize(std::atoi(argv[4]));
    label.setFont(font);
    QTimer tick;
    tick.setInterval(100);
    QObject::connect(&tick, &QTimer::timeout, &label, [&label] {
        label.setText(QTime::currentTime().toString(QStringLiteral("h : mm : ss")));
    });
    tick.start();
    label.show();
    velka::bench::measureIdleCpu(argc, argv);
    return QApplication::exec();
}
