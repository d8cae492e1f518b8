#pragma once

#include <string>

namespace velka {

// The user's web browser, reached through the desktop. Opening never blocks and reports
// nothing: when no browser or network is there, nothing happens.
class WebBrowser {
public:
    virtual ~WebBrowser() = default;
    virtual void open(const std::string& address) = 0;
};

// Hands a web address to the browser. Whether the page opens is not examined; the caller
// carries on either way.
void OpenWebPage(WebBrowser& browser, const std::string& address);

} // namespace velka
