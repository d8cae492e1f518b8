#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace velka {

// A QR code as its square of modules, without the white border a reader needs round it. It is
// made elsewhere (by the library that encodes it); the toolkit only paints it.
struct QrCode {
    int width = 0;                  // modules on a side; 0 for no code
    std::vector<std::uint8_t> dark; // width × width, row by row: 1 for a dark module

    bool isNull() const { return width <= 0; }
    bool isDark(int x, int y) const
    {
        return dark[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                    static_cast<std::size_t>(x)] != 0;
    }
    bool operator==(const QrCode&) const = default;
};

// The white border, in modules, that a code needs on every side to be found by a reader.
constexpr int kQrQuietModules = 4;

// Modules on a side, the border included: what a code of this width takes on the screen.
inline int qrModulesWithBorder(const QrCode& code)
{
    return code.isNull() ? 0 : code.width + 2 * kQrQuietModules;
}

} // namespace velka
