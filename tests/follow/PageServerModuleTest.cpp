// The page's server module as the program loads it: by its file name alone, found through the
// run path of the executable that loads it. Built twice: once to run in the build tree, once
// with the installed program's run path, to run from the program's folder of an install tree.
#include "follow/PageServerModule.h"
#include "tests/follow/RawHttp.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace velka::follow {
namespace {

TEST(PageServerModule, LoadsOnceAndServesThePageWithItsQrCode)
{
    std::string why;
    const PageServerModule* module = loadPageServerModule(kPageServerModuleFile, &why);
    ASSERT_NE(module, nullptr) << why;
    EXPECT_EQ(loadPageServerModule(kPageServerModuleFile), module);

    SteadyClock steady;
    const std::unique_ptr<PageService> server = module->makeServer(steady, ServerSettings{});
    server->publish(std::make_shared<const PageSnapshot>());
    ASSERT_TRUE(server->start("127.0.0.1", 0)) << server->lastError();
    const std::string host = "127.0.0.1:" + std::to_string(server->port());
    EXPECT_EQ(server->url(), "http://" + host + "/");
    test::RawConnection phone(server->port());
    phone.request("GET", "/", host);
    const std::optional<test::HttpResponse> page = phone.response();
    ASSERT_TRUE(page);
    EXPECT_EQ(page->status, 200);
    EXPECT_NE(page->body.find("<html"), std::string::npos);

    // The smallest code at level M that holds the address: version 2, 25 modules a side.
    const QrCode code = module->encodeQrCode(server->url());
    EXPECT_EQ(code.width, 25);
    EXPECT_EQ(code.dark.size(), 25u * 25u);

    const std::vector<NetworkAddress> addresses = module->connectedAddresses();
    EXPECT_TRUE(std::any_of(addresses.begin(), addresses.end(),
                            [](const NetworkAddress& a) { return a.address == "127.0.0.1"; }));
}

TEST(PageServerModule, AModuleThatIsNotThereIsReportedWithItsName)
{
    std::string why;
    EXPECT_EQ(loadPageServerModule("libvelka-tablewright-no-page.so", &why), nullptr);
    EXPECT_NE(why.find("libvelka-tablewright-no-page.so"), std::string::npos) << why;
    EXPECT_NE(pageModuleMissingText(why).find(why), std::string::npos);
}

} // namespace
} // namespace velka::follow
