#include "app/PlayersPageLink.h"

#include "app/Shell.h"
#include "board/frmPairvaneMainForm.h"
#include "playerspage/PagePublisher.h"
#include "playerspage/frmPlayersPage.h"
#include "timer/frmEventTimer.h"
#include "uikit/MessagePresenter.h"
#include "uikit/WindowPlacement.h"

namespace velka {

struct PlayersPageLink::Parts {
    MessagePresenter& messageBoxes;
    playerspage::SystemAddresses systemAddresses;
    playerspage::PagePublisher publisher;
    QPointer<playerspage::frmPlayersPage> window;

    Parts(const Services& services, const playerspage::PublisherSettings& settings)
        : messageBoxes(services.messageBoxes)
        , publisher(services.clock,
                    services.networkAddresses ? *services.networkAddresses : systemAddresses,
                    settings)
    {}
};

namespace {

playerspage::PublisherSettings settingsOf(const Services& services)
{
    playerspage::PublisherSettings settings;
    if (services.pagePort)
        settings.firstPort = *services.pagePort;
    if (!services.pageServerModule.empty())
        settings.serverModule = services.pageServerModule;
    return settings;
}

} // namespace

PlayersPageLink::PlayersPageLink(const Services& services, QObject* parent)
    : QObject(parent)
    , parts_(std::make_unique<Parts>(services, settingsOf(services)))
{}

PlayersPageLink::~PlayersPageLink()
{
    delete parts_->window.data();
}

void PlayersPageLink::attach(frmPairvaneMainForm& form)
{
    parts_->publisher.watchBoard(&form.board(), &form);
    form.outputs().offerPlayersPage(parts_->publisher.publishedAddress());
    connect(&form.outputs(), &BracketOutputs::playersPageRequested, this,
            [this, window = &form] { open(window); });
}

void PlayersPageLink::attach(frmEventTimer& window)
{
    playerspage::PagePublisher& publisher = parts_->publisher;
    publisher.watchTimer(&window.eventTimer(), &window);
    HallTimerControls& hall = window.hall();
    publisher.setTimeUpShown(hall.isTimeUpShown());
    hall.offerPlayersPage(publisher.publishedAddress());
    connect(&hall, &HallTimerControls::timeUpShownChanged, &publisher,
            &playerspage::PagePublisher::setTimeUpShown);
    connect(&hall, &HallTimerControls::playersPageRequested, this,
            [this, from = &window] { open(from); });
}

void PlayersPageLink::attach(SwissDraw& draw)
{
    parts_->publisher.watchSwiss(&draw);
}

void PlayersPageLink::open(QWidget* from)
{
    if (!parts_->window) {
        // The server comes with the page's window: a module that cannot be loaded is reported
        // over the window the organiser asked from, and the page's window does not open.
        std::string why;
        if (!playerspage::loadPageServerModule(parts_->publisher.settings().serverModule, &why)) {
            parts_->messageBoxes.show(from, errorMessage(playerspage::pageModuleMissingText(why)));
            return;
        }
        // No owner: the main window and the timer may each close while it stays open.
        parts_->window = new playerspage::frmPlayersPage(parts_->publisher);
        parts_->window->setAttribute(Qt::WA_DeleteOnClose);
        centreOver(parts_->window, from);
    }
    parts_->window->show();
    parts_->window->raise();
    parts_->window->activateWindow();
}

QWidget* PlayersPageLink::loadedWindow() const
{
    return parts_->window.data();
}

} // namespace velka

namespace velka {

const PublishedAddress* PlayersPageLink::publishedAddress() const
{
    return &parts_->publisher.publishedAddress();
}

} // namespace velka
