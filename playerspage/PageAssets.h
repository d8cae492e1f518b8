#pragma once

#include <array>
#include <string_view>

namespace velka::playerspage {

// One file of the players' page, compiled into the program from playerspage/page/ at build time.
struct PageAsset {
    std::string_view path; // what the browser asks for
    std::string_view contentType;
    std::string_view body;
};

// The page, its script and its style: "/", "/app.js", "/app.css".
extern const std::array<PageAsset, 3> kPageAssets;

// The largest the three may be together, in bytes: a phone on a weak shop Wi-Fi loads them at
// once.
inline constexpr std::size_t kPageBudgetBytes = 30 * 1024;

} // namespace velka::playerspage
