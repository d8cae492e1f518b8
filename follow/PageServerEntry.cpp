// The entry of the page's server module: PageServer and the QR encoder, behind the table that
// the program reads once it has loaded the module.
#include "follow/PageServerModule.h"
#include "follow/QrEncoding.h"

namespace velka::follow {
namespace {

class ModuleServer final : public PageService {
public:
    ModuleServer(const MonotonicClock& monotonic, const ServerSettings& settings)
        : server_(monotonic, settings)
    {}

    bool start(std::string_view address, std::uint16_t firstPort) override
    {
        return server_.start(address, firstPort);
    }
    std::string address() const override { return server_.address(); }
    std::uint16_t port() const override { return server_.port(); }
    std::string url() const override { return server_.url(); }
    const std::string& lastError() const override { return server_.lastError(); }
    void publish(std::shared_ptr<const PageSnapshot> snapshot) override
    {
        server_.publish(std::move(snapshot));
    }
    int connectedCount() const override { return server_.connectedCount(); }
    int openStreams() const override { return server_.openStreams(); }

private:
    PageServer server_;
};

std::unique_ptr<PageService> makeServer(const MonotonicClock& monotonic,
                                        const ServerSettings& settings)
{
    return std::make_unique<ModuleServer>(monotonic, settings);
}

const PageServerModule kModule{VELKA_PROGRAM_VERSION, &makeServer, &encodeQrCode,
                               &connectedIPv4Addresses};

} // namespace
} // namespace velka::follow

extern "C" __attribute__((visibility("default"))) const velka::follow::PageServerModule*
velka_page_server_module()
{
    return &velka::follow::kModule;
}
