#pragma once

#include "about/WebBrowser.h"

#include <string>
#include <vector>

namespace velka::test {

// Opens nothing; keeps every address it was asked to open, in order.
class RecordingWebBrowser final : public WebBrowser {
public:
    void open(const std::string& address) override { opened.push_back(address); }

    std::vector<std::string> opened;
};

} // namespace velka::test
