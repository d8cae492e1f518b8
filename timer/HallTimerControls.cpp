#include "timer/HallTimerControls.h"

#include "timer/TimerProjectorView.h"
#include "uikit/MenuKey.h"

#include <QLineEdit>
#include <QMenu>

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
    , projector_(new ProjectorController(window, QStringLiteral("プロジェクター表示(&P)"),
                                         [this](QWidget* parent) {
                                             auto* view = new TimerProjectorView(timer_, parent);
                                             view->setTimeUpShown(timeUpShown_);
                                             return view;
                                         }))
{
    projector_->toggleAction()->setObjectName(QStringLiteral("projectorAction"));
    addMenuKey(window, this, [this] { showContextMenu(display_->rect().center()); });
    display_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(display_, &QWidget::customContextMenuRequested, this,
            &HallTimerControls::showContextMenu);
    display_->installEventFilter(this);
    window_->installEventFilter(this);
}

HallTimerControls::~HallTimerControls()
{
    // The view watches the timer, which goes with the window.
    delete projector_;
}

bool HallTimerControls::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == display_ && event->type() == QEvent::MouseButtonDblClick) {
        toggleProjector();
        return true;
    }
    if (watched == window_) {
        if (event->type() == QEvent::Close) {
            // The window is unloaded: the screen saver is free again (its view goes too).
            awake_.reset();
        } else if (event->type() == QEvent::Show && !awake_) {
            awake_.emplace(timer_, screenSaver_);
        }
    }
    return QObject::eventFilter(watched, event);
}

TimerProjectorView* HallTimerControls::projectorView() const
{
    return qobject_cast<TimerProjectorView*>(projector_->view());
}

void HallTimerControls::toggleProjector()
{
    projector_->toggle();
}

void HallTimerControls::openProjector()
{
    projector_->open();
}

void HallTimerControls::closeProjector()
{
    projector_->close();
}

void HallTimerControls::timeUpShown(bool shown)
{
    if (shown == timeUpShown_)
        return;
    timeUpShown_ = shown;
    if (TimerProjectorView* view = projectorView())
        view->setTimeUpShown(shown);
    emit timeUpShownChanged(shown);
}

void HallTimerControls::offerPlayersPage(const PublishedAddress& page)
{
    projector_->offerAddressCorner(page);
    projector_->addressCornerAction()->setObjectName(QStringLiteral("addressCornerAction"));
    if (!playersPageAction_) {
        playersPageAction_ = new QAction(QStringLiteral("スマートフォンで見る(&F)..."), this);
        playersPageAction_->setObjectName(QStringLiteral("playersPageAction"));
        connect(playersPageAction_, &QAction::triggered, this,
                &HallTimerControls::playersPageRequested);
    }
}

std::unique_ptr<QMenu> HallTimerControls::contextMenu()
{
    auto menu = std::make_unique<QMenu>(window_);
    menu->setObjectName(QStringLiteral("hallMenu"));
    menu->addAction(projector_->toggleAction());
    projector_->addScreenMenu(menu.get());
    if (QAction* corner = projector_->addressCornerAction())
        menu->addAction(corner);

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
    if (playersPageAction_) {
        menu->addSeparator();
        menu->addAction(playersPageAction_);
    }
    return menu;
}

void HallTimerControls::showContextMenu(const QPoint& atDisplay)
{
    const std::unique_ptr<QMenu> menu = contextMenu();
    menu->exec(display_->mapToGlobal(atDisplay));
}

} // namespace velka
