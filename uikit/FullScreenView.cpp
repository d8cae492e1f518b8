#include "uikit/FullScreenView.h"

#include <QActionGroup>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace velka {

QList<QScreen*> viewScreens()
{
    const QList<QScreen*> all = QGuiApplication::screens();
    QList<QScreen*> monitors;
    for (QScreen* screen : all) {
        const QRect area = screen->geometry();
        const bool spansOthers = std::any_of(all.begin(), all.end(), [&](const QScreen* other) {
            return other != screen && area.contains(other->geometry()) && area != other->geometry();
        });
        if (!spansOthers)
            monitors.append(screen);
    }
    return monitors;
}

QScreen* screenOf(const QWidget* window)
{
    const QPoint centre = window->frameGeometry().center();
    for (QScreen* screen : viewScreens()) {
        if (screen->geometry().contains(centre))
            return screen;
    }
    return window->screen() ? window->screen() : QGuiApplication::primaryScreen();
}

QScreen* defaultViewScreen(const QWidget* controlWindow)
{
    QScreen* own = controlWindow ? screenOf(controlWindow) : QGuiApplication::primaryScreen();
    for (QScreen* screen : viewScreens()) {
        if (screen != own)
            return screen;
    }
    return own;
}

QString screenLabel(const QScreen* screen)
{
    const QSize size = screen->geometry().size();
    return QStringLiteral("%1 (%2 × %3)").arg(screen->name()).arg(size.width()).arg(size.height());
}

QScreen* ScreenChoice::resolve(const QWidget* controlWindow) const
{
    for (QScreen* screen : viewScreens()) {
        if (screen->name() == name_ && screen->geometry() == geometry_)
            return screen;
    }
    return defaultViewScreen(controlWindow);
}

void ScreenChoice::choose(const QScreen* screen)
{
    name_ = screen->name();
    geometry_ = screen->geometry();
}

void ScreenChoice::addScreenItems(QMenu* menu, const QWidget* controlWindow,
                                  const std::function<void()>& chosen)
{
    const QList<QScreen*> screens = viewScreens();
    if (screens.size() < 2)
        return;
    const QScreen* current = resolve(controlWindow);
    auto* group = new QActionGroup(menu);
    for (QScreen* screen : screens) {
        QAction* item = menu->addAction(screenLabel(screen));
        item->setCheckable(true);
        item->setChecked(screen == current);
        group->addAction(item);
        // The menu lives only while it shows; the screen is looked up again when chosen.
        QObject::connect(item, &QAction::triggered, menu,
                         [this, screen = QPointer(screen), chosen] {
                             if (!screen)
                                 return;
                             choose(screen);
                             if (chosen)
                                 chosen();
                         });
    }
}

FullScreenView::FullScreenView(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAutoFillBackground(false);
    setCursor(Qt::BlankCursor);
    setFocusPolicy(Qt::StrongFocus);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    // A monitor that is unplugged takes its view with it; one that changes size is covered again.
    connect(qApp, &QGuiApplication::screenRemoved, this, [this](QScreen* removed) {
        if (removed == screen_)
            close();
    });
}

void FullScreenView::showOn(QScreen* screen)
{
    if (!screen)
        return;
    if (screen_ != screen) {
        if (screen_)
            disconnect(screen_, nullptr, this, nullptr);
        screen_ = screen;
        connect(screen, &QScreen::geometryChanged, this,
                [this](const QRect& area) { setGeometry(area); });
    }
    winId(); // the native window must exist before it is given a screen
    windowHandle()->setScreen(screen);
    setGeometry(screen->geometry());
    show();
    raise();
}

void FullScreenView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape || event->key() == Qt::Key_F11) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FullScreenView::mouseDoubleClickEvent(QMouseEvent*)
{
    close();
}

void FullScreenView::closeEvent(QCloseEvent* event)
{
    QWidget::closeEvent(event);
    emit closed();
}

} // namespace velka
