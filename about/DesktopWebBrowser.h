#pragma once

#include "about/WebBrowser.h"

namespace velka {

// Opens addresses with the desktop's default web browser (xdg-open on Linux). The call
// returns at once; its outcome is dropped, as the version window reports nothing.
class DesktopWebBrowser final : public WebBrowser {
public:
    void open(const std::string& address) override;
};

} // namespace velka
