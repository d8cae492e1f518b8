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
// removes it when it ends, so that no slot is erased from under a running loop. The notifier
// closes the slots when it dies; a notification then running stops after the callback that
// destroyed it.
struct SubscriberSlots {
    std::vector<std::shared_ptr<void>> callbacks; // the typed callback of each slot
    std::vector<std::shared_ptr<bool>> active;
    int notifying = 0;
    bool removedWhileNotifying = false;
    bool closed = false;

    void removeInactive() noexcept
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

    void close() noexcept
    {
        closed = true;
        for (const auto& flag : active)
            *flag = false;
        if (notifying == 0)
            removeInactive();
        else
            removedWhileNotifying = true;
    }

    // Counts one notification for as long as it runs, also when a callback throws, and removes
    // the slots marked meanwhile when the outermost one ends.
    class Notifying {
    public:
        explicit Notifying(SubscriberSlots& shared)
            : slots_(shared)
        {
            ++slots_.notifying;
        }
        Notifying(const Notifying&) = delete;
        Notifying& operator=(const Notifying&) = delete;
        ~Notifying()
        {
            if (--slots_.notifying == 0 && slots_.removedWhileNotifying)
                slots_.removeInactive();
        }

    private:
        SubscriberSlots& slots_;
    };
};

} // namespace detail

// A subscriber's hold on a Notifier: the callback is called while this object lives and never
// after it has been destroyed or reset. Outliving the notifier is harmless; the subscription
// then reports that it is no longer subscribed.
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
// a notification is told from the next one on. A subscriber may also destroy the notifier (with
// the object that owns it): the subscribers after it are then not told, since what they would
// be told about is gone. An exception from a callback ends the notification and goes on to the
// caller of notify; the notifier stays usable. A copy of a notifier starts with no subscribers:
// subscribers watch one object, not its copies.
template <typename... Args>
class Notifier {
public:
    using Callback = std::function<void(Args...)>;

    Notifier() = default;
    Notifier(const Notifier&) {}
    // Assigning keeps this one's subscribers, whoever the other is, so assigning to itself
    // changes nothing either.
    // NOLINTNEXTLINE(bugprone-unhandled-self-assignment)
    Notifier& operator=(const Notifier&) { return *this; }
    ~Notifier() { slots_->close(); }

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
        const detail::SubscriberSlots::Notifying running(*shared);
        const std::size_t count = shared->callbacks.size();
        for (std::size_t i = 0; i < count && !shared->closed; ++i) {
            if (!*shared->active[i])
                continue;
            // A copy of the pointer keeps the callback alive if it unsubscribes itself.
            const auto callback = std::static_pointer_cast<Callback>(shared->callbacks[i]);
            (*callback)(args...);
        }
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
