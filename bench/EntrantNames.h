#pragma once

#include <array>
#include <string>
#include <vector>

namespace velka::bench {

// Entrant names as an organiser types or pastes them: Japanese and Latin, about 30 bytes each,
// so that a full list of 32767 comes to about a megabyte.
inline std::vector<std::string> entrantNames(int count)
{
    static const std::array<const char*, 8> family = {"山田",  "佐藤",   "鈴木",   "高橋",
                                                      "Smith", "García", "Müller", "Nakamura"};
    static const std::array<const char*, 8> given = {"太郎",      "花子",   "健一",  "さくら",
                                                     "Alexander", "Émilie", "Jonas", "Yuki"};
    std::vector<std::string> names;
    names.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::string name = family[i % 8];
        name += ' ';
        name += given[(i / 8) % 8];
        name += "（";
        name += std::to_string(1000 + i);
        name += "）";
        names.push_back(std::move(name));
    }
    return names;
}

inline std::string pastedText(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += name + "\r\n";
    return text;
}

} // namespace velka::bench
