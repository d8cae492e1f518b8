#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>

namespace velka {

// How large the timer's digits can be: the fitting that the window's display and the projector
// view share. Both measure the widest text they may have to show, so that the size stays put
// from one second to the next.

// The widest time the display can show in this font with hours of hourDigits digits,
// "h : mm : ss" with the font's widest digit throughout. Two digits cover every time of day and
// the countdowns up to 99 hours.
QString widestDisplayTime(const QFont& font, int hourDigits = 2);

// The window's display font made to fit availableWidth pixels with the widest time of day: the
// font as given when that fits, otherwise with the blanks around the colons narrowed just
// enough, and only when blanks of no width are still too wide, at the largest whole point size
// that fits.
QFont fitDisplayFont(QFont font, int availableWidth);

// The font at the largest pixel size at which text's advance and ink both fit in room: the
// projector's digits, as large as the monitor allows. Never smaller than one pixel.
QFont fitPixelSize(QFont font, const QString& text, const QSizeF& room);

} // namespace velka
