#pragma once

#include "uikit/QrCode.h"

#include <string_view>

namespace velka::follow {

// text as a QR code at error correction level M (a code still reads with 15 % of it smudged or
// covered), in the smallest version that holds it; no code when libqrencode cannot encode it.
QrCode encodeQrCode(std::string_view text);

} // namespace velka::follow
