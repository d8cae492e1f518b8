#include "core/Subscription.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace velka {
namespace {

TEST(Subscription, EverySubscriberHearsEveryChangeInOrder)
{
    Notifier<int> notifier;
    std::vector<std::string> heard;
    Subscription first =
        notifier.subscribe([&](int n) { heard.push_back("a" + std::to_string(n)); });
    Subscription second =
        notifier.subscribe([&](int n) { heard.push_back("b" + std::to_string(n)); });
    notifier.notify(1);
    notifier.notify(2);
    EXPECT_EQ(heard, (std::vector<std::string>{"a1", "b1", "a2", "b2"}));
    EXPECT_EQ(notifier.subscriberCount(), 2u);
}

TEST(Subscription, DestroyingOrResettingASubscriptionDetachesOnlyIt)
{
    Notifier<int> notifier;
    std::vector<int> kept;
    std::vector<int> dropped;
    Subscription keep = notifier.subscribe([&](int n) { kept.push_back(n); });
    {
        Subscription scoped = notifier.subscribe([&](int n) { dropped.push_back(n); });
        notifier.notify(1);
    }
    notifier.notify(2);
    Subscription reset = notifier.subscribe([&](int n) { dropped.push_back(n); });
    reset.reset();
    EXPECT_FALSE(reset.subscribed());
    notifier.notify(3);
    EXPECT_EQ(kept, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(dropped, (std::vector<int>{1}));
    EXPECT_EQ(notifier.subscriberCount(), 1u);
}

TEST(Subscription, MovedSubscriptionKeepsListeningAndItsSourceIsEmpty)
{
    Notifier<> notifier;
    int calls = 0;
    Subscription from = notifier.subscribe([&] { ++calls; });
    Subscription to = std::move(from);
    // The moved-from subscription is used on purpose.
    // NOLINTNEXTLINE(bugprone-use-after-move,clang-analyzer-cplusplus.Move)
    EXPECT_FALSE(from.subscribed());
    notifier.notify();
    from.reset(); // NOLINT(clang-analyzer-cplusplus.Move): must not detach the moved one
    notifier.notify();
    EXPECT_EQ(calls, 2);

    // Assigning over a live subscription ends the old one.
    int otherCalls = 0;
    to = notifier.subscribe([&] { ++otherCalls; });
    notifier.notify();
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(otherCalls, 1);
}

TEST(Subscription, ASubscriberMayUnsubscribeItselfOrOthersWhileBeingTold)
{
    Notifier<int> notifier;
    std::vector<std::string> heard;
    Subscription a;
    Subscription b;
    Subscription c;
    a = notifier.subscribe([&](int n) {
        heard.push_back("a" + std::to_string(n));
        a.reset(); // itself, with its own captures still in use
        heard.push_back("a still runs");
    });
    b = notifier.subscribe([&](int n) {
        heard.push_back("b" + std::to_string(n));
        c.reset(); // a later one: it must not be told any more, not even now
    });
    c = notifier.subscribe([&](int n) { heard.push_back("c" + std::to_string(n)); });
    notifier.notify(1);
    notifier.notify(2);
    EXPECT_EQ(heard, (std::vector<std::string>{"a1", "a still runs", "b1", "b2"}));
    EXPECT_EQ(notifier.subscriberCount(), 1u);
}

TEST(Subscription, ASubscriberAddedWhileNotifyingHearsFromTheNextChangeOn)
{
    Notifier<int> notifier;
    std::vector<int> late;
    std::vector<Subscription> added;
    Subscription adder = notifier.subscribe([&](int n) {
        // Enough subscribers to make the notifier's storage grow under the running loop.
        if (n == 1)
            for (int i = 0; i < 64; ++i)
                added.push_back(notifier.subscribe([&](int m) { late.push_back(m); }));
    });
    notifier.notify(1);
    EXPECT_TRUE(late.empty());
    notifier.notify(2);
    EXPECT_EQ(late.size(), 64u);
    EXPECT_EQ(late.front(), 2);
}

TEST(Subscription, NestedNotificationsStayConsistent)
{
    Notifier<int> notifier;
    std::vector<int> heard;
    Subscription inner;
    Subscription outer = notifier.subscribe([&](int n) {
        heard.push_back(n);
        if (n < 3)
            notifier.notify(n + 1);
        if (n == 2)
            inner.reset(); // during a nested notification
    });
    std::vector<int> innerHeard;
    inner = notifier.subscribe([&](int n) { innerHeard.push_back(n); });
    notifier.notify(1);
    EXPECT_EQ(heard, (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(innerHeard, (std::vector<int>{3})); // 2 and 1 come after the reset
    EXPECT_EQ(notifier.subscriberCount(), 1u);
}

TEST(Subscription, OutlivingTheNotifierIsHarmless)
{
    Subscription survivor;
    {
        auto notifier = std::make_unique<Notifier<int>>();
        survivor = notifier->subscribe([](int) {});
        EXPECT_TRUE(survivor.subscribed());
    }
    EXPECT_FALSE(survivor.subscribed()) << "nothing is left to be told by";
    survivor.reset(); // the notifier is gone: nothing to detach from, and no crash
    EXPECT_FALSE(survivor.subscribed());
}

// A subscriber that closes the window owning the model destroys the notifier in the middle of
// its notification: the subscribers after it watched that model and are not told any more.
TEST(Subscription, ASubscriberMayDestroyTheNotifierWhileBeingTold)
{
    struct Model {
        Notifier<int> changed;
        int value = 7;
    };
    auto model = std::make_unique<Model>();
    const Model* watched = model.get();
    std::vector<int> heard;
    Subscription killer = model->changed.subscribe([&](int) { model.reset(); });
    // Reads the model it watches, as a view does: a use after free if it were still called.
    Subscription after = model->changed.subscribe([&](int) { heard.push_back(watched->value); });
    Subscription last = model->changed.subscribe([&](int n) { heard.push_back(n); });
    model->changed.notify(1);
    EXPECT_EQ(model, nullptr);
    EXPECT_TRUE(heard.empty());
    EXPECT_FALSE(killer.subscribed());
    EXPECT_FALSE(after.subscribed());
    EXPECT_FALSE(last.subscribed());
}

// A callback that throws ends the notification and the exception reaches the caller; the
// notifier is as it was: slots that unsubscribed meanwhile are removed (their captures freed),
// later unsubscriptions take effect at once, and the next notification reaches everyone again.
TEST(Subscription, ACallbackThatThrowsLeavesTheNotifierConsistent)
{
    Notifier<int> notifier;
    auto capture = std::make_shared<int>(0);
    const std::weak_ptr<int> captured = capture;
    std::vector<std::string> heard;
    Subscription leaving;
    leaving = notifier.subscribe([&, capture](int) { leaving.reset(); });
    capture.reset();
    Subscription thrower = notifier.subscribe([&](int n) {
        heard.push_back("thrower" + std::to_string(n));
        if (n == 1)
            notifier.notify(2); // nested: it throws from here, inside the outer notification
        if (n == 2)
            throw std::runtime_error("refused");
    });
    Subscription after =
        notifier.subscribe([&](int n) { heard.push_back("after" + std::to_string(n)); });
    EXPECT_THROW(notifier.notify(1), std::runtime_error);
    EXPECT_EQ(heard, (std::vector<std::string>{"thrower1", "thrower2"}));
    EXPECT_TRUE(captured.expired()) << "the slot that left during the throw is removed";

    auto laterCapture = std::make_shared<int>(0);
    const std::weak_ptr<int> laterCaptured = laterCapture;
    Subscription later = notifier.subscribe([laterCapture](int) {});
    laterCapture.reset();
    later.reset();
    EXPECT_TRUE(laterCaptured.expired()) << "no notification is counted as running any more";

    heard.clear();
    notifier.notify(3);
    EXPECT_EQ(heard, (std::vector<std::string>{"thrower3", "after3"}));
    EXPECT_EQ(notifier.subscriberCount(), 2u);
}

TEST(Subscription, ACopyOfANotifierStartsWithoutSubscribers)
{
    Notifier<int> original;
    int calls = 0;
    Subscription s = original.subscribe([&](int) { ++calls; });
    Notifier<int> copy = original;
    copy.notify(1);
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(copy.subscriberCount(), 0u);
    copy = original; // assignment keeps the target's own subscribers: none
    copy.notify(1);
    original.notify(1);
    EXPECT_EQ(calls, 1);
}

} // namespace
} // namespace velka
