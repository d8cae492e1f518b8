#include "uikit/QrCodePainter.h"

#include <QPainter>

namespace velka {

int qrModulePixels(const QrCode& code, int side)
{
    const int modules = qrModulesWithBorder(code);
    return modules == 0 ? 0 : std::max(0, side / modules);
}

void paintQrCode(QPainter& painter, const QrCode& code, QPoint topLeft, int modulePixels)
{
    if (code.isNull() || modulePixels <= 0)
        return;
    const int side = qrModulesWithBorder(code) * modulePixels;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.fillRect(QRect(topLeft, QSize(side, side)), Qt::white);
    const QPoint origin = topLeft + QPoint(kQrQuietModules, kQrQuietModules) * modulePixels;
    // One rectangle for every run of dark modules in a row.
    for (int y = 0; y < code.width; ++y) {
        for (int x = 0; x < code.width;) {
            if (!code.isDark(x, y)) {
                ++x;
                continue;
            }
            const int start = x;
            while (x < code.width && code.isDark(x, y))
                ++x;
            painter.fillRect(
                QRect(origin + QPoint(start, y) * modulePixels, QSize(x - start, 1) * modulePixels),
                Qt::black);
        }
    }
    painter.restore();
}

} // namespace velka
