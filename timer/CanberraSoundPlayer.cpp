#include "timer/CanberraSoundPlayer.h"

#include <canberra.h>
#include <dlfcn.h>

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace velka {

namespace {

// The library's functions that the player calls, looked up in the library loaded at run time.
struct Canberra {
    decltype(&ca_context_create) contextCreate = nullptr;
    decltype(&ca_context_change_props) changeProps = nullptr;
    decltype(&ca_context_play_full) playFull = nullptr;
    decltype(&ca_context_destroy) contextDestroy = nullptr;
    decltype(&ca_proplist_create) proplistCreate = nullptr;
    decltype(&ca_proplist_sets) proplistSets = nullptr;
    decltype(&ca_proplist_destroy) proplistDestroy = nullptr;
};

template <typename Function>
bool lookUp(void* library, const char* name, Function& function)
{
    function = reinterpret_cast<Function>(::dlsym(library, name));
    return function != nullptr;
}

// Loaded once, by the first player's thread, and never unloaded; null when the library (its
// ABI 0, as Debian's libcanberra0 ships it) is not installed.
const Canberra* canberra()
{
    static const std::optional<Canberra> loaded = []() -> std::optional<Canberra> {
        void* library = ::dlopen("libcanberra.so.0", RTLD_NOW | RTLD_LOCAL);
        Canberra c;
        if (!library || !lookUp(library, "ca_context_create", c.contextCreate) ||
            !lookUp(library, "ca_context_change_props", c.changeProps) ||
            !lookUp(library, "ca_context_play_full", c.playFull) ||
            !lookUp(library, "ca_context_destroy", c.contextDestroy) ||
            !lookUp(library, "ca_proplist_create", c.proplistCreate) ||
            !lookUp(library, "ca_proplist_sets", c.proplistSets) ||
            !lookUp(library, "ca_proplist_destroy", c.proplistDestroy))
            return std::nullopt;
        return c;
    }();
    return loaded ? &*loaded : nullptr;
}

} // namespace

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
{}

CanberraSoundPlayer::~CanberraSoundPlayer()
{
    {
        const std::lock_guard lock(shared_->handlerMutex);
        shared_->finished = nullptr;
    }
    if (!started_)
        return;
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
    if (!started_) {
        started_ = true;
        std::thread([shared = shared_] { run(shared); }).detach();
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
    const Canberra* const ca = canberra();
    ca_context* context = nullptr;
    if (!ca || ca->contextCreate(&context) != CA_SUCCESS)
        context = nullptr;
    if (context) {
        ca->changeProps(context, CA_PROP_APPLICATION_NAME, "Velka Tablewright",
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
            ca->proplistCreate(&properties);
            ca->proplistSets(properties, CA_PROP_EVENT_ID, eventId(sound));
            ca->proplistSets(properties, CA_PROP_EVENT_DESCRIPTION, description(sound));
            ca->proplistSets(properties, CA_PROP_MEDIA_ROLE, "event");
            ca->proplistSets(properties, CA_PROP_CANBERRA_CACHE_CONTROL, "volatile");
            // The sound travels as the play's id, so that nothing is allocated per play. The
            // shared state outlives the context, whose destruction below runs the last
            // callbacks.
            result = ca->playFull(
                context, static_cast<std::uint32_t>(sound), properties,
                [](ca_context*, std::uint32_t id, int error, void* state) {
                    static_cast<Shared*>(state)->report(static_cast<RoundSound>(id), error);
                },
                shared.get());
            ca->proplistDestroy(properties);
        }
        if (result != CA_SUCCESS)
            shared->report(sound, result);
        lock.lock();
    }
    lock.unlock();
    // Cancels what still plays; the finish callbacks run before it returns.
    if (context)
        ca->contextDestroy(context);
    lock.lock();
    shared->ended = true;
    shared->changed.notify_all();
}

} // namespace velka
