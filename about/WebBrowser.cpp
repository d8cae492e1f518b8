#include "about/WebBrowser.h"

namespace velka {

void OpenWebPage(WebBrowser& browser, const std::string& address)
{
    browser.open(address);
}

} // namespace velka
