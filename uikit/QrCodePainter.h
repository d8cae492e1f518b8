#pragma once

#include "uikit/QrCode.h"

#include <QPoint>

class QPainter;

namespace velka {

// The largest whole number of pixels per module at which the code and its border fit in a
// square of `side` pixels; 0 when not even one pixel per module fits.
int qrModulePixels(const QrCode& code, int side);

// Paints the code and its white border with its top-left corner at topLeft, every module a square
// of modulePixels whole pixels, without anti-aliasing: a reader needs sharp, even modules. Takes
// qrModulesWithBorder(code) × modulePixels pixels on a side.
void paintQrCode(QPainter& painter, const QrCode& code, QPoint topLeft, int modulePixels);

} // namespace velka
