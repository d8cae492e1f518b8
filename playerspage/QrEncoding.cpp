#include "playerspage/QrEncoding.h"

#include <qrencode.h>

#include <memory>
#include <string>

namespace velka::playerspage {

QrCode encodeQrCode(std::string_view text)
{
    const std::string zeroTerminated(text);
    const std::unique_ptr<QRcode, decltype(&QRcode_free)> encoded(
        QRcode_encodeString8bit(zeroTerminated.c_str(), 0, QR_ECLEVEL_M), &QRcode_free);
    if (!encoded || encoded->width <= 0)
        return {};
    QrCode code;
    code.width = encoded->width;
    const std::size_t modules =
        static_cast<std::size_t>(code.width) * static_cast<std::size_t>(code.width);
    code.dark.resize(modules);
    // Bit 0 of each byte is the module's colour; the other bits say what the module is for.
    for (std::size_t i = 0; i < modules; ++i)
        code.dark[i] = encoded->data[i] & 1u;
    return code;
}

} // namespace velka::playerspage
