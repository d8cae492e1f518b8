#include "swiss/SwissProjector.h"

#include "core/Clock.h"
#include "swiss/HallCountdown.h"
#include "uikit/AccessibleName.h"

#include <QAction>
#include <QMenu>
#include <QPushButton>

namespace velka {

namespace {

using Mode = SwissProjectorView::Mode;

// Fills menu with the items and the monitors present now.
void fillMenu(QMenu* menu, SwissProjector& projector)
{
    menu->addAction(projector.pairingsAction());
    menu->addAction(projector.standingsAction());
    if (QMenu* screens = projector.controller().addScreenMenu(menu))
        screens->setObjectName(QStringLiteral("mnuProjectorScreens"));
    if (QAction* corner = projector.controller().addressCornerAction())
        menu->addAction(corner);
}

} // namespace

SwissProjector::SwissProjector(SwissDraw& draw, QWidget* window)
    : QObject(window)
    , draw_(draw)
    , ownClock_(std::make_unique<SystemClock>())
    , clock_(ownClock_.get())
    , controller_(new ProjectorController(
          window, QStringLiteral("プロジェクターに表示"),
          [this](QWidget* parent) {
              auto* view = new SwissProjectorView(draw_, *clock_, countdown_, opening_, parent);
              // F11 opens the pairings again, whichever list showed last.
              connect(view, &FullScreenView::closed, this, [this] { opening_ = Mode::Pairings; });
              return view;
          }))
    , pairings_(new QAction(QStringLiteral("組み合わせを映す(&J)\tF11"), this))
    , standings_(new QAction(QStringLiteral("順位表を映す(&R)"), this))
{
    controller_->toggleAction()->setObjectName(QStringLiteral("actSwissProjector"));
    pairings_->setObjectName(QStringLiteral("actProjectPairings"));
    standings_->setObjectName(QStringLiteral("actProjectStandings"));
    for (QAction* action : {pairings_, standings_})
        action->setCheckable(true);
    connect(pairings_, &QAction::triggered, this, [this] { toggle(Mode::Pairings); });
    connect(standings_, &QAction::triggered, this, [this] { toggle(Mode::Standings); });
    // The toggle checks itself before F11 has opened or closed the view: the items show what
    // holds once it has (triggered comes after the controller's own handling).
    connect(controller_->toggleAction(), &QAction::toggled, this, &SwissProjector::showState);
    connect(controller_->toggleAction(), &QAction::triggered, this, &SwissProjector::showState);
}

SwissProjector::~SwissProjector()
{
    // The view watches the SwissDraw and the countdown: it goes first.
    delete controller_;
}

void SwissProjector::offerAddressCorner(const PublishedAddress& page)
{
    controller_->offerAddressCorner(page);
    controller_->addressCornerAction()->setObjectName(QStringLiteral("actSwissAddressCorner"));
}

SwissProjectorView* SwissProjector::view() const
{
    return qobject_cast<SwissProjectorView*>(controller_->view());
}

void SwissProjector::toggle(Mode mode)
{
    if (controller_->isOpen()) {
        if (view()->mode() == mode)
            controller_->close();
        else
            view()->setMode(mode);
    } else {
        opening_ = mode;
        controller_->open();
    }
    showState();
}

void SwissProjector::showState()
{
    const SwissProjectorView* shown = controller_->isOpen() ? view() : nullptr;
    pairings_->setChecked(shown && shown->mode() == Mode::Pairings);
    standings_->setChecked(shown && shown->mode() == Mode::Standings);
}

QMenu* SwissProjector::createMenu(QWidget* parent)
{
    auto* menu = new QMenu(parent);
    menu->setObjectName(QStringLiteral("mnuProjector"));
    fillMenu(menu, *this);
    return menu;
}

QPushButton* SwissProjector::createButton(QWidget* parent)
{
    auto* button = new QPushButton(QStringLiteral("プロジェクター(&H)"), parent);
    button->setObjectName(QStringLiteral("cmdProjector"));
    button->setAccessibleName(accessibleNameOf(button->text()));
    button->setAutoDefault(false);
    auto* menu = new QMenu(button);
    menu->setObjectName(QStringLiteral("mnuProjector"));
    // Built afresh each time, for the monitors present at that moment.
    connect(menu, &QMenu::aboutToShow, this, [this, menu] {
        menu->clear();
        qDeleteAll(menu->findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
        fillMenu(menu, *this);
    });
    button->setMenu(menu);
    return button;
}

} // namespace velka
