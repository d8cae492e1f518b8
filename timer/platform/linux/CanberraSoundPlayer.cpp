#include "timer/platform/linux/CanberraSoundPlayer.h"

#include <canberra.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <thread>

namespace velka {

// What the player and its thread share. The thread keeps it alive for as long as it runs,
// which may be longer than the player.
struct CanberraSoundPlayer::Shared {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<RoundSound> queue;
    bool stopping = false;
    bool ended = false;

    // Held while the handler runs, so that the destructor can take the handler away.
    std::mutex handlerMutex;
    Finished finished;

    void report(RoundSound sound, int result)
    {
        const std::lock_guard lock(handlerMutex);
        if (finished)
            finished(sound, result);
    }
};

CanberraSoundPlayer::CanberraSoundPlayer()
    : shared_(std::make_shared<Shared>())
{
    std::thread([shared = shared_] { run(shared); }).detach();
}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    {
        const std::lock_guard lock(shared_->handlerMutex);
        shared_->finished = nullptr;
    }
    std::unique_lock lock(shared_->mutex);
    shared_->stopping = true;
    shared_->changed.notify_all();
    shared_->changed.wait_for(lock, kQuitWait, [this] { return shared_->ended; });
}

const char* CanberraSoundPlayer::eventId(RoundSound sound)
{
    switch (sound) {
    case RoundSound::FiveMinutesLeft:
        return "complete";
    case RoundSound::OneMinuteLeft:
        return "dialog-warning";
    case RoundSound::TimeUp:
        break;
    }
    return "alarm-clock-elapsed";
}

const char* CanberraSoundPlayer::description(RoundSound sound)
{
    switch (sound) {
    case RoundSound::FiveMinutesLeft:
        return "残り5分";
    case RoundSound::OneMinuteLeft:
        return "残り1分";
    case RoundSound::TimeUp:
        break;
    }
    return "Time Up!!";
}

void CanberraSoundPlayer::play(RoundSound sound)
{
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->queue.push_back(sound);
    }
    shared_->changed.notify_all();
}

void CanberraSoundPlayer::setFinishedHandler(Finished finished)
{
    const std::lock_guard lock(shared_->handlerMutex);
    shared_->finished = std::move(finished);
}

void CanberraSoundPlayer::run(const std::shared_ptr<Shared>& shared)
{
    ca_context* context = nullptr;
    if (ca_context_create(&context) != CA_SUCCESS)
        context = nullptr;
    if (context) {
        ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Velka Tablewright",
                                CA_PROP_APPLICATION_ID, "velka-tablewright", nullptr);
    }
    std::unique_lock lock(shared->mutex);
    for (;;) {
        shared->changed.wait(lock, [&] { return shared->stopping || !shared->queue.empty(); });
        if (shared->stopping)
            break;
        const RoundSound sound = shared->queue.front();
        shared->queue.pop_front();
        lock.unlock();

        int result = CA_ERROR_NOTAVAILABLE;
        if (context) {
            ca_proplist* properties = nullptr;
            ca_proplist_create(&properties);
            ca_proplist_sets(properties, CA_PROP_EVENT_ID, eventId(sound));
            ca_proplist_sets(properties, CA_PROP_EVENT_DESCRIPTION, description(sound));
            ca_proplist_sets(properties, CA_PROP_MEDIA_ROLE, "event");
            ca_proplist_sets(properties, CA_PROP_CANBERRA_CACHE_CONTROL, "volatile");
            // The sound travels as the play's id, so that nothing is allocated per play. The
            // shared state outlives the context, whose destruction below runs the last
            // callbacks.
            result = ca_context_play_full(
                context, static_cast<std::uint32_t>(sound), properties,
                [](ca_context*, std::uint32_t id, int error, void* state) {
                    static_cast<Shared*>(state)->report(static_cast<RoundSound>(id), error);
                },
                shared.get());
            ca_proplist_destroy(properties);
        }
        if (result != CA_SUCCESS)
            shared->report(sound, result);
        lock.lock();
    }
    lock.unlock();
    // Cancels what still plays; the finish callbacks run before it returns.
    if (context)
        ca_context_destroy(context);
    lock.lock();
    shared->ended = true;
    shared->changed.notify_all();
}

} // namespace velka
