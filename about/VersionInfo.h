#pragma once

#include <array>
#include <string>
#include <string_view>

namespace velka {

// The caption of the version label: "Version:" then the major number, the minor number with
// at least two digits and the revision with at least four, each longer number kept whole:
// 0.11.5 reads "Version:0.11.0005", 2.123.4 reads "Version:2.123.0004".
std::string BuildVersionLabel(int major, int minor, int revision);

// The credits of the version window, one entry a line: three roles with the names for them,
// an empty line, the maker, an empty line, and the rights notices of the programmer and of
// the group.
inline constexpr std::array<std::string_view, 8> kCreditLines = {
    "メインプログラマー：Velka プログラム班",
    "コンセプト：Velka 企画班",
    "スペシャルサンクス：Velka のメンバー一同",
    "",
    "製作：Velka Software",
    "",
    "Program Copyright (C) 2001 Velka プログラム班",
    "Copyright (C) 2001 Velka All Rights Reserved.",
};

// The credits as the text box holds them: every line ended by CR LF.
std::string CreditsText();

} // namespace velka
