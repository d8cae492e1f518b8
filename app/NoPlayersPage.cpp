// The players' page where its server is not built: nothing is offered.
#include "app/PlayersPageLink.h"

namespace velka {

struct PlayersPageLink::Parts {};

PlayersPageLink::PlayersPageLink(const Services&, QObject* parent)
    : QObject(parent)
{}

PlayersPageLink::~PlayersPageLink() = default;

void PlayersPageLink::attach(frmPairvaneMainForm&) {}

void PlayersPageLink::attach(frmEventTimer&) {}

void PlayersPageLink::attach(SwissDraw&) {}

void PlayersPageLink::open(QWidget*) {}

QWidget* PlayersPageLink::loadedWindow() const
{
    return nullptr;
}

const PublishedAddress* PlayersPageLink::publishedAddress() const
{
    return nullptr;
}

} // namespace velka
