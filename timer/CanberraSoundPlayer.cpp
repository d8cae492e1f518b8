#include "timer/CanberraSoundPlayer.h"

#include <canberra.h>

#include <cstdint>

namespace velka {

CanberraSoundPlayer::CanberraSoundPlayer()
    : worker_([this] { run(); })
{}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    worker_.join();
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

void CanberraSoundPlayer::play(RoundSound sound)
{
    {
        const std::lock_guard lock(mutex_);
        queue_.push_back(sound);
    }
    wake_.notify_one();
}

void CanberraSoundPlayer::setFinishedHandler(Finished finished)
{
    const std::lock_guard lock(mutex_);
    finished_ = std::move(finished);
}

void CanberraSoundPlayer::finished(RoundSound sound, int result)
{
    Finished handler;
    {
        const std::lock_guard lock(mutex_);
        handler = finished_;
    }
    if (handler)
        handler(sound, result);
}

void CanberraSoundPlayer::run()
{
    ca_context* context = nullptr;
    if (ca_context_create(&context) != CA_SUCCESS)
        context = nullptr;
    if (context) {
        ca_context_change_props(context, CA_PROP_APPLICATION_NAME, "Velka Tablewright",
                                CA_PROP_APPLICATION_ID, "velka-tablewright", nullptr);
    }
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stopping_ || !queue_.empty(); });
        if (stopping_)
            break;
        const RoundSound sound = queue_.front();
        queue_.pop_front();
        lock.unlock();

        int result = CA_ERROR_NOTAVAILABLE;
        if (context) {
            ca_proplist* properties = nullptr;
            ca_proplist_create(&properties);
            ca_proplist_sets(properties, CA_PROP_EVENT_ID, eventId(sound));
            ca_proplist_sets(properties, CA_PROP_EVENT_DESCRIPTION, "Time Up!!");
            ca_proplist_sets(properties, CA_PROP_MEDIA_ROLE, "event");
            ca_proplist_sets(properties, CA_PROP_CANBERRA_CACHE_CONTROL, "volatile");
            // The sound travels as the play's id, so that nothing is allocated per play.
            result = ca_context_play_full(
                context, static_cast<std::uint32_t>(sound), properties,
                [](ca_context*, std::uint32_t id, int error, void* player) {
                    static_cast<CanberraSoundPlayer*>(player)->finished(static_cast<RoundSound>(id),
                                                                        error);
                },
                this);
            ca_proplist_destroy(properties);
        }
        if (result != CA_SUCCESS)
            finished(sound, result);
        lock.lock();
    }
    lock.unlock();
    // Cancels what still plays; the finish callbacks run before it returns.
    if (context)
        ca_context_destroy(context);
}

} // namespace velka
