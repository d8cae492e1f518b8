#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

namespace velka {

namespace detail {

// What a notifier and its subscriptions share: the callbacks, in the order they subscribed. A
// slot that unsubscribes during a notification is only marked; the outermost notification
// removes it when it ends, so that no slot is erased from under a running loop.
struct SubscriberSlots {
    std::vector<std::shared_ptr<void>> callbacks; // the typed callback of each slot
    std::vector<std::shared_ptr<bool>> active;
    int notifying = 0;
    bool removedWhileNotifying = false;

    void removeInactive()
    {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < active.size(); ++i) {
            if (!*active[i])
                continue;
            callbacks[kept] = std::move(callbacks[i]);
            active[kept] = std::move(active[i]);
            ++kept;
        }
        callbacks.resize(kept);
        active.resize(kept);
        removedWhileNotifying = false;
    }
};

} // namespace detail

// A subscriber's hold on a Notifier: the callback is called while this object lives and never
// after it has been destroyed or reset. Outliving the notifier is harmless.
class [[nodiscard]] Subscription {
public:
    Subscription() = default;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    Subscription(Subscription&& other) noexcept
        : slots_(std::move(other.slots_))
        , active_(std::move(other.active_))
    {}
    Subscription& operator=(Subscription&& other) noexcept
    {
        if (this != &other) {
            reset();
            slots_ = std::move(other.slots_);
            active_ = std::move(other.active_);
        }
        return *this;
    }
    ~Subscription() { reset(); }

    // Stops the callback at once, also in the middle of a notification: subscribers later in
    // that notification are still called, this one no more.
    void reset()
    {
        if (!active_)
            return;
        *active_ = false;
        active_.reset();
        if (auto shared = slots_.lock()) {
            if (shared->notifying > 0)
                shared->removedWhileNotifying = true;
            else
                shared->removeInactive();
        }
        slots_.reset();
    }

    bool subscribed() const { return active_ && *active_; }

private:
    template <typename... Args>
    friend class Notifier;

    Subscription(std::weak_ptr<detail::SubscriberSlots> shared, std::shared_ptr<bool> active)
        : slots_(std::move(shared))
        , active_(std::move(active))
    {}

    std::weak_ptr<detail::SubscriberSlots> slots_;
    std::shared_ptr<bool> active_;
};

// Tells any number of subscribers of a change, in the order they subscribed. A subscriber may
// subscribe or unsubscribe others, or itself, while it is being told; one that subscribes during
// a notification is told from the next one on. A copy of a notifier starts with no subscribers:
// subscribers watch one object, not its copies.
template <typename... Args>
class Notifier {
public:
    using Callback = std::function<void(Args...)>;

    Notifier() = default;
    Notifier(const Notifier&) {}
    Notifier& operator=(const Notifier&) { return *this; }

    Subscription subscribe(Callback callback)
    {
        auto active = std::make_shared<bool>(true);
        slots_->callbacks.push_back(std::make_shared<Callback>(std::move(callback)));
        slots_->active.push_back(active);
        return Subscription(slots_, std::move(active));
    }

    void notify(Args... args) const
    {
        // Held for the whole loop: a callback may destroy the object that owns this notifier.
        const auto shared = slots_;
        ++shared->notifying;
        const std::size_t count = shared->callbacks.size();
        for (std::size_t i = 0; i < count; ++i) {
            if (!*shared->active[i])
                continue;
            // A copy of the pointer keeps the callback alive if it unsubscribes itself.
            const auto callback = std::static_pointer_cast<Callback>(shared->callbacks[i]);
            (*callback)(args...);
        }
        if (--shared->notifying == 0 && shared->removedWhileNotifying)
            shared->removeInactive();
    }

    std::size_t subscriberCount() const
    {
        std::size_t count = 0;
        for (const auto& active : slots_->active)
            count += *active ? 1 : 0;
        return count;
    }

private:
    std::shared_ptr<detail::SubscriberSlots> slots_ = std::make_shared<detail::SubscriberSlots>();
};

} // namespace velka
