#include "about/WebBrowser.h"

#include "tests/support/RecordingWebBrowser.h"

#include <gtest/gtest.h>

namespace velka {
namespace {

TEST(OpenWebPage, HandsEachAddressOverOncePerCall)
{
    test::RecordingWebBrowser browser;
    OpenWebPage(browser, "https://velka.example.org/");
    OpenWebPage(browser, "https://software.example.net/author/velka/");
    OpenWebPage(browser, "https://velka.example.org/");
    EXPECT_EQ(browser.opened,
              (std::vector<std::string>{"https://velka.example.org/",
                                        "https://software.example.net/author/velka/",
                                        "https://velka.example.org/"}));
}

} // namespace
} // namespace velka
