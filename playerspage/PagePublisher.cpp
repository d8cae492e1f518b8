#include "playerspage/PagePublisher.h"

#include "swiss/ReadingOrder.h"
#include "swiss/SwissDraw.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace velka::playerspage {

namespace {
constexpr int kSecond = 1000;
} // namespace

std::vector<NetworkAddress> SystemAddresses::addresses() const
{
    const PageServerModule* module = loadPageServerModule(kPageServerModuleFile);
    return module ? module->connectedAddresses() : std::vector<NetworkAddress>{};
}

PagePublisher::PagePublisher(const Clock& clock, const AddressSource& addresses,
                             PublisherSettings settings, QObject* parent)
    : QObject(parent)
    , clock_(clock)
    , addresses_(addresses)
    , settings_(std::move(settings))
    , second_(new QTimer(this))
{
    second_->setInterval(kSecond);
    connect(second_, &QTimer::timeout, this, &PagePublisher::tick);
}

PagePublisher::~PagePublisher()
{
    // The program ends: its servers are stopped before the clock they read goes.
    retire();
    for (Retiring& r : retiring_)
        r.thread.join();
}

void PagePublisher::watchBoard(BracketBoard* board, QObject* owner)
{
    disconnect(boardOwnerGone_);
    board_ = board;
    boardSubscription_ = board ? board->subscribe([this](auto) {
        swissStale_ = true;
        schedulePublish();
    })
                               : Subscription();
    if (board && owner) {
        // The owner's destruction is announced after the board has gone: no publish runs between.
        boardOwnerGone_ = connect(owner, &QObject::destroyed, this, [this] {
            board_ = nullptr;
            boardSubscription_.reset();
        });
    }
    schedulePublish();
}

void PagePublisher::watchTimer(EventTimer* timer, QObject* owner)
{
    disconnect(timerOwnerGone_);
    timer_ = timer;
    timeUpShown_ = false;
    timerSubscription_ =
        timer ? timer->subscribe([this](auto) { schedulePublish(); }) : Subscription();
    if (timer && owner) {
        timerOwnerGone_ = connect(owner, &QObject::destroyed, this, [this] {
            timer_ = nullptr;
            timerSubscription_.reset();
            timeUpShown_ = false;
            schedulePublish();
        });
    }
    schedulePublish();
}

void PagePublisher::watchSwiss(SwissDraw* draw)
{
    swiss_ = draw;
    swissStale_ = true;
    swissSubscription_ = draw ? draw->subscribe([this] {
        swissStale_ = true;
        schedulePublish();
    })
                              : Subscription();
    schedulePublish();
}

void PagePublisher::setTimeUpShown(bool shown)
{
    if (shown == timeUpShown_)
        return;
    timeUpShown_ = shown;
    schedulePublish();
}

std::vector<NetworkAddress> PagePublisher::offeredAddresses() const
{
    return orderAddresses(addresses_.addresses());
}

std::string PagePublisher::address() const
{
    return server_ ? server_->address() : std::string();
}

std::string PagePublisher::url() const
{
    return server_ ? server_->url() : std::string();
}

std::shared_ptr<const PageSnapshot> PagePublisher::snapshot()
{
    if (board_)
        lastTournament_ = board_->tournament();
    const Tournament& tournament = lastTournament_ ? *lastTournament_ : Tournament{};
    if (swissStale_) {
        swissStale_ = false;
        swissState_.reset();
        // The players are put in order only while the event is on the page.
        const SwissEvent* event = swiss_ ? &swiss_->event() : nullptr;
        if (event && !event->rounds.empty() && !topCutOnBoard(*event, tournament))
            swissState_ = swissPageState(*event, tournament, readingOrder(event->players));
    }
    return makeSnapshot(tournament, swissState_, timer_, timeUpShown_, clock_, steady_);
}

void PagePublisher::schedulePublish()
{
    if (!server_ || publishPending_)
        return;
    publishPending_ = true;
    postPublish(false);
}

// The publish goes last in the pass: its event goes twice round the low-priority events, which
// the windows' repaints are, so that the repaints a change queues, even after it, come first.
// The organiser sees the change before the phones' threads compete for the processor.
void PagePublisher::postPublish(bool lastRound)
{
    QCoreApplication::postEvent(this,
                                new QEvent(lastRound ? publishLastRound() : publishFirstRound()),
                                Qt::LowEventPriority);
}

void PagePublisher::customEvent(QEvent* event)
{
    if (event->type() == publishFirstRound()) {
        postPublish(true);
    } else if (event->type() == publishLastRound()) {
        publishPending_ = false;
        publishNow();
    }
}

QEvent::Type PagePublisher::publishFirstRound()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

QEvent::Type PagePublisher::publishLastRound()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

void PagePublisher::publishNow()
{
    if (server_)
        server_->publish(snapshot());
}

bool PagePublisher::turnOn(const std::string& address)
{
    chosen_ = address;
    if (server_ && server_->address() == address)
        return true;
    retire();
    // The same address again: its last server must have let go of the port first, or the page
    // would move to the next port and the phones' address with it.
    for (Retiring& r : retiring_) {
        if (r.address == address && r.thread.joinable())
            r.thread.join();
    }
    std::erase_if(retiring_, [](Retiring& r) {
        if (!r.done->load())
            return false;
        if (r.thread.joinable())
            r.thread.join();
        return true;
    });

    std::string why;
    const PageServerModule* module = loadPageServerModule(settings_.serverModule, &why);
    std::unique_ptr<PageService> server =
        module ? module->makeServer(steady_, settings_.server) : nullptr;
    if (server)
        server->publish(snapshot());
    if (!server || !server->start(address, settings_.firstPort)) {
        lastError_ = server ? server->lastError() : pageModuleMissingText(why);
        connected_ = 0;
        published_.withdraw();
        second_->stop();
        emit changed();
        return false;
    }
    server_ = std::move(server);
    lastError_.clear();
    connected_ = 0;
    const std::string link = server_->url();
    published_.publish(QString::fromStdString(link), module->encodeQrCode(link));
    second_->start();
    emit changed();
    return true;
}

void PagePublisher::turnOff()
{
    if (!server_ && lastError_.empty())
        return;
    retire();
    lastError_.clear();
    connected_ = 0;
    published_.withdraw();
    second_->stop();
    emit changed();
}

void PagePublisher::retire()
{
    if (!server_)
        return;
    auto done = std::make_shared<std::atomic<bool>>(false);
    std::string address = server_->address();
    retiring_.push_back({std::move(address),
                         std::thread([server = std::move(server_), done]() mutable {
                             server.reset();
                             done->store(true);
                         }),
                         done});
}

void PagePublisher::tick()
{
    if (!server_)
        return;
    publishNow();
    const int count = server_->connectedCount();
    if (count != connected_) {
        connected_ = count;
        emit changed();
    }
}

} // namespace velka::playerspage
