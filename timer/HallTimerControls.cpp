#include "timer/HallTimerControls.h"

#include "timer/TimerProjectorView.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QLineEdit>
#include <QMenu>
#include <QShortcut>

namespace velka {

namespace {

class Silence final : public SoundPlayer {
public:
    void play(RoundSound) override {}
};

class NoScreenSaver final : public ScreenSaver {
public:
    void inhibit() override {}
    void release() override {}
};

SoundPlayer& soundOf(const HallServices& services)
{
    static Silence silence;
    return services.sound ? *services.sound : silence;
}

ScreenSaver& screenSaverOf(const HallServices& services)
{
    static NoScreenSaver none;
    return services.screenSaver ? *services.screenSaver : none;
}

} // namespace

HallTimerControls::HallTimerControls(QWidget* window, QLineEdit* display, EventTimer& timer,
                                     const Clock& clock, HallServices services)
    : QObject(window)
    , window_(window)
    , display_(display)
    , timer_(timer)
    , sounds_(timer, clock, soundOf(services))
    , screenSaver_(screenSaverOf(services))
    , awake_(std::in_place, timer, screenSaver_)
{
    auto* f11 = new QShortcut(QKeySequence(Qt::Key_F11), window);
    connect(f11, &QShortcut::activated, this, &HallTimerControls::toggleProjector);
    // The keyboard's ways to a context menu. An input box keeps its own editing menu.
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto* shortcut = new QShortcut(keys, window);
        connect(shortcut, &QShortcut::activated, this, [this] {
            auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget());
            if (edit && edit != display_ && !edit->isReadOnly()) {
                const QPoint at = edit->rect().center();
                QContextMenuEvent event(QContextMenuEvent::Keyboard, at, edit->mapToGlobal(at));
                QApplication::sendEvent(edit, &event);
                return;
            }
            showContextMenu(display_->rect().center());
        });
    }
    display_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(display_, &QWidget::customContextMenuRequested, this,
            &HallTimerControls::showContextMenu);
    display_->installEventFilter(this);
    window_->installEventFilter(this);
}

HallTimerControls::~HallTimerControls()
{
    delete projector_.data();
}

bool HallTimerControls::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == display_ && event->type() == QEvent::MouseButtonDblClick) {
        toggleProjector();
        return true;
    }
    if (watched == window_) {
        if (event->type() == QEvent::Close) {
            // The window is unloaded: its view goes, and the screen saver is free again.
            closeProjector();
            awake_.reset();
        } else if (event->type() == QEvent::Show && !awake_) {
            awake_.emplace(timer_, screenSaver_);
        }
    }
    return QObject::eventFilter(watched, event);
}

TimerProjectorView* HallTimerControls::projectorView() const
{
    return projector_.data();
}

void HallTimerControls::toggleProjector()
{
    if (projector_ && projector_->isVisible())
        closeProjector();
    else
        openProjector();
}

void HallTimerControls::openProjector()
{
    if (!projector_) {
        // A child of the window, so that it never outlives it.
        projector_ = new TimerProjectorView(timer_, window_);
        projector_->setAttribute(Qt::WA_DeleteOnClose);
        projector_->setTimeUpShown(timeUpShown_);
    }
    projector_->showOn(screenChoice_.resolve(window_));
    // The organiser goes on working in the timer window; its boxes, the "Time Up!!" box
    // among them, stand over it and not on the projector.
    if (window_->isVisible())
        window_->activateWindow();
}

void HallTimerControls::closeProjector()
{
    if (projector_)
        projector_->close();
}

void HallTimerControls::timeUpShown(bool shown)
{
    timeUpShown_ = shown;
    if (projector_)
        projector_->setTimeUpShown(shown);
}

std::unique_ptr<QMenu> HallTimerControls::contextMenu()
{
    auto menu = std::make_unique<QMenu>(window_);
    menu->setObjectName(QStringLiteral("hallMenu"));
    QAction* projector = menu->addAction(QStringLiteral("プロジェクター表示(&P)"));
    projector->setObjectName(QStringLiteral("projectorAction"));
    projector->setShortcut(QKeySequence(Qt::Key_F11));
    projector->setCheckable(true);
    projector->setChecked(projector_ && projector_->isVisible());
    connect(projector, &QAction::triggered, this, &HallTimerControls::toggleProjector);

    // Choosing a monitor moves an open view there at once.
    screenChoice_.addScreenItems(menu.get(), window_, [this] {
        if (projector_ && projector_->isVisible())
            openProjector();
    });

    menu->addSeparator();
    QAction* warnings = menu->addAction(QStringLiteral("残り5分と1分で予告音を鳴らす(&W)"));
    warnings->setObjectName(QStringLiteral("warningsAction"));
    warnings->setCheckable(true);
    warnings->setChecked(sounds_.warningsOn());
    connect(warnings, &QAction::toggled, this, [this](bool on) { sounds_.setWarningsOn(on); });

    QAction* mute = menu->addAction(QStringLiteral("消音(&M)"));
    mute->setObjectName(QStringLiteral("muteAction"));
    mute->setCheckable(true);
    mute->setChecked(sounds_.muted());
    connect(mute, &QAction::toggled, this, [this](bool on) { sounds_.setMuted(on); });
    return menu;
}

void HallTimerControls::showContextMenu(const QPoint& atDisplay)
{
    const std::unique_ptr<QMenu> menu = contextMenu();
    menu->exec(display_->mapToGlobal(atDisplay));
}

} // namespace velka
