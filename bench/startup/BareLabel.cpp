// The floor for the event timer's idle cost: a Qt Widgets program that writes the time of day
// into a label every 100 ms, in the font of the timer's display, and nothing else.
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
    QLabel label;
    label.setFixedSize(484, 106);
    label.setAutoFillBackground(true);
    QPalette palette = label.palette();
    palette.setColor(QPalette::Window, Qt::black);
    palette.setColor(QPalette::WindowText, Qt::white);
    label.setPalette(palette);
    label.setAlignment(Qt::AlignCenter);
    QFont font(QStringLiteral("IPAPGothic"), 72, QFont::Bold);
    label.setFont(font);
    QTimer tick;
    tick.setInterval(100);
    QObject::connect(&tick, &QTimer::timeout, &label, [&label] {
        label.setText(QTime::currentTime().toString(QStringLiteral("hh : mm : ss")));
    });
    tick.start();
    label.show();
    velka::bench::measureIdleCpu(argc, argv);
    return QApplication::exec();
}
