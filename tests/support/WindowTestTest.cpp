#include "tests/support/WindowTest.h"

#include <QDialog>
#include <QTimer>

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace velka {
namespace {

using namespace std::chrono_literals;

// Runs body with the failures it reports caught, and returns their messages. The body is given
// the failures caught so far.
template <typename Body>
std::vector<std::string> failuresOf(Body&& body)
{
    ::testing::TestPartResultArray caught;
    {
        const ::testing::ScopedFakeTestPartResultReporter reporter(
            ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &caught);
        body(caught);
    }
    std::vector<std::string> messages;
    for (int i = 0; i < caught.size(); ++i)
        messages.emplace_back(caught.GetTestPartResult(i).message());
    return messages;
}

TEST(WhenModalOpens, HandsTheModalWindowToTheHandler)
{
    QDialog dialog;
    const QDialog* seen = nullptr;
    const auto failures = failuresOf([&](const auto&) {
        const auto watch = test::whenModalOpens([&](QWidget* modal) {
            seen = qobject_cast<QDialog*>(modal);
            modal->close();
        });
        dialog.exec();
        EXPECT_TRUE(watch.opened());
    });
    EXPECT_TRUE(failures.empty()) << (failures.empty() ? "" : failures.front());
    EXPECT_EQ(seen, &dialog);
}

TEST(WhenModalOpens, FailsTheTestWhenNoWindowOpensWithinTheBound)
{
    bool called = false;
    const auto failures = failuresOf([&](const ::testing::TestPartResultArray& caught) {
        const auto watch = test::whenModalOpens([&](QWidget*) { called = true; }, 0ms);
        EXPECT_TRUE(QTest::qWaitFor([&] { return caught.size() > 0; }));
    });
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("did not open within 0 ms"), std::string::npos) << failures[0];
    EXPECT_FALSE(called);
}

TEST(WhenModalOpens, FailsTheTestWhenTheWatchEndsBeforeAWindowOpened)
{
    bool called = false;
    const auto failures = failuresOf([&](const auto&) {
        const auto watch = test::whenModalOpens([&](QWidget*) { called = true; });
    });
    ASSERT_EQ(failures.size(), 1u);
    EXPECT_NE(failures[0].find("had not opened when the watch ended"), std::string::npos)
        << failures[0];

    // Nothing is left armed to answer a later window.
    QDialog later;
    QTimer::singleShot(50, &later, &QDialog::reject);
    later.exec();
    EXPECT_FALSE(called);
}

} // namespace
} // namespace velka
