#include "uikit/WindowPlacement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace velka {

namespace {

void centreIn(QWidget* window, const QRect& area)
{
    // The frame is known only once the window manager has framed the window; until then the
    // client size is the best measure there is.
    const QSize outer = window->frameGeometry().size().expandedTo(window->size());
    window->move(area.center().x() - outer.width() / 2, area.center().y() - outer.height() / 2);
}

} // namespace

void centreOnScreen(QWidget* window)
{
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (screen)
        centreIn(window, screen->availableGeometry());
}

void centreOver(QWidget* window, const QWidget* other)
{
    if (other)
        centreIn(window, other->frameGeometry());
    else
        centreOnScreen(window);
}

} // namespace velka
