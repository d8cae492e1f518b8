#pragma once

#include <QPoint>
#include <QRect>
#include <QWidget>

namespace velka {

// Positions and sizes are designed in twips: 15 twips make one logical pixel, and Qt scales
// logical pixels on high-DPI screens. Every conversion in the program goes through here and
// rounds to the nearest pixel (a twip value never falls halfway between two pixels).
constexpr int kTwipsPerPixel = 15;

constexpr int twipsToPixels(int twips)
{
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}

// A control's place in its container, in twips.
struct TwipsRect {
    int left;
    int top;
    int width;
    int height;
};

inline QRect toPixels(const TwipsRect& r)
{
    return {twipsToPixels(r.left), twipsToPixels(r.top), twipsToPixels(r.width),
            twipsToPixels(r.height)};
}

inline QPoint toPixels(int xTwips, int yTwips)
{
    return {twipsToPixels(xTwips), twipsToPixels(yTwips)};
}

inline void placeInTwips(QWidget* widget, const TwipsRect& r)
{
    widget->setGeometry(toPixels(r));
}

// Sets a top-level window's client area, in twips, and keeps the user from resizing it.
inline void setFixedClientSizeInTwips(QWidget* window, int widthTwips, int heightTwips)
{
    window->setFixedSize(twipsToPixels(widthTwips), twipsToPixels(heightTwips));
}

} // namespace velka
