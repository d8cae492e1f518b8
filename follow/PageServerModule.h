#pragma once

// The players' page's server is a module of its own, libvelka-tablewright-page.so in the
// program's private library folder, and brings libmicrohttpd (with GnuTLS and what it pulls in)
// and libqrencode with it. The program does not link it: it is loaded when the organiser first
// asks for the page, so that a start that never publishes the page pays nothing for it. Once
// loaded it stays for the rest of the run (a server being stopped on a thread of its own still
// runs its code).

#include "core/Clock.h"
#include "follow/NetworkAddresses.h"
#include "follow/PageServer.h"
#include "follow/PageSnapshot.h"
#include "uikit/QrCode.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace velka::follow {

// A PageServer inside the module, reached through virtual calls only, so that nothing of the
// server is linked into the program. The operations are PageServer's.
class PageService {
public:
    virtual ~PageService() = default;

    virtual bool start(std::string_view address, std::uint16_t firstPort) = 0;
    virtual std::string address() const = 0;
    virtual std::uint16_t port() const = 0;
    virtual std::string url() const = 0;
    virtual const std::string& lastError() const = 0;
    virtual void publish(std::shared_ptr<const PageSnapshot> snapshot) = 0;
    virtual int connectedCount() const = 0;
    virtual int openStreams() const = 0;
};

// What the module offers. The module and the program are built together from the same
// sources; a module from another version of the program is refused rather than called.
struct PageServerModule {
    const char* programVersion;
    // `monotonic` must outlive the server.
    std::unique_ptr<PageService> (*makeServer)(const MonotonicClock& monotonic,
                                               const ServerSettings& settings);
    QrCode (*encodeQrCode)(std::string_view text);
    // This computer's connected IPv4 addresses, as connectedIPv4Addresses() reads them.
    std::vector<NetworkAddress> (*connectedAddresses)();
};

// The module's file. The dynamic linker looks for it where it looks for the program's own
// libraries: in the private folder that the program's run path names, installed or in the
// build tree.
inline constexpr const char* kPageServerModuleFile = "libvelka-tablewright-page.so";
// The function the module exports, returning its PageServerModule.
inline constexpr const char* kPageServerModuleEntry = "velka_page_server_module";

// The module in `file` (kPageServerModuleFile unless a test names another), loaded on the first
// call and the same on every later one. Null when it cannot be loaded, with what the system
// said in *why.
const PageServerModule* loadPageServerModule(const std::string& file, std::string* why = nullptr);

// The organiser's message when the module cannot be loaded: what does not work, what to do, and
// the system's reason.
std::string pageModuleMissingText(const std::string& why);

} // namespace velka::follow
