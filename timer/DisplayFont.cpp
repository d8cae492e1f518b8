#include "timer/DisplayFont.h"

#include <QFontMetrics>
#include <QFontMetricsF>

#include <algorithm>
#include <cmath>

namespace velka {

namespace {
constexpr int kMeasuringPixels = 200;
} // namespace

QString widestDisplayTime(const QFont& font, int hourDigits)
{
    const QFontMetrics metrics(font);
    QChar widest = u'0';
    for (char16_t digit = u'1'; digit <= u'9'; ++digit) {
        if (metrics.horizontalAdvance(QChar(digit)) > metrics.horizontalAdvance(widest))
            widest = QChar(digit);
    }
    const QString pair(2, widest);
    return QString(std::max(hourDigits, 1), widest) + QStringLiteral(" : ") + pair +
           QStringLiteral(" : ") + pair;
}

QFont fitDisplayFont(QFont font, int availableWidth)
{
    const QString widest = widestDisplayTime(font);
    const auto fits = [&](const QFont& candidate) {
        return QFontMetrics(candidate).horizontalAdvance(widest) <= availableWidth;
    };
    const int blankWidth = QFontMetrics(font).horizontalAdvance(u' ');
    for (int narrowing = 0; narrowing <= blankWidth; ++narrowing) {
        font.setWordSpacing(-narrowing);
        if (fits(font))
            return font;
    }
    font.setWordSpacing(0);
    while (font.pointSizeF() > 1 && !fits(font))
        font.setPointSizeF(font.pointSizeF() - 1);
    return font;
}

QFont fitPixelSize(QFont font, const QString& text, const QSizeF& room)
{
    font.setPixelSize(kMeasuringPixels);
    const QFontMetricsF reference(font);
    const qreal scale = std::min(room.width() / reference.horizontalAdvance(text),
                                 room.height() / reference.tightBoundingRect(text).height());
    int pixels = std::max(1, static_cast<int>(std::floor(kMeasuringPixels * scale)));
    // Hinting does not scale exactly: step down until it fits.
    for (;; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetricsF metrics(font);
        const QRectF ink = metrics.tightBoundingRect(text);
        if (pixels == 1 || (metrics.horizontalAdvance(text) <= room.width() &&
                            ink.height() <= room.height() && ink.width() <= room.width()))
            return font;
    }
}

} // namespace velka
