#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSize>
#include <QTransform>

class QPainter;

namespace velka {

class BracketBoard;

// How the bracket looks on one output. The font is the one of the board's name slots; its size
// is taken as it shows on the window (points at 96 dots per inch) and scaled with the bracket.
struct BracketStyle {
    QColor paper = Qt::white; // filled behind the bracket; an invalid colour fills nothing
    QColor ink = Qt::black;
    QFont font;
    qreal lineWidth = 1.0; // in board pixels
};

// The bracket as the board window shows it inside its frame, in board pixels (15 twips each).
QSize bracketCanvasSize();

// The transform that puts the canvas into area as large as it fits, centred, keeping its shape.
QTransform fitBracket(const QRectF& area);

// Paints the bracket that the board shows (the names in their slots and every shown line and
// connector; not the winner boxes, which are controls) through transform, onto whatever device
// the painter paints. At transform 1 the lines and names fall on the same pixels as on the
// window. A name wider than its slot is cut with "…" so that it never reaches the lines.
void paintBracket(QPainter& painter, const BracketBoard& board, const QTransform& transform,
                  const BracketStyle& style);

// The bracket alone as a picture of scale times the canvas size, on the style's paper.
QImage bracketImage(const BracketBoard& board, int scale, const BracketStyle& style);

} // namespace velka
