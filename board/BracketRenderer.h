#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
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

// What the bracket in use draws when it is painted at scale in font, in board pixels: every
// shown line and connector, the line each shown connector leads to (so that the bracket keeps
// its size while a winner's line is taken off), and each name as wide as it is set there (cut to
// its slot) and as tall as its line. A board with nothing in use draws the whole canvas.
QRectF drawnBracketArea(const BracketBoard& board, const QFont& font, qreal scale);

// The part of the canvas a picture of the bracket at scale shows: what is drawn, in whole board
// pixels, with the board's own margin around it.
QRect bracketArea(const BracketBoard& board, const QFont& font, qreal scale);

// The transform that puts part of the canvas (by default all of it) into area, as large as it
// fits, centred, keeping its shape.
QTransform fitBracket(const QRectF& area,
                      const QRectF& part = QRectF(QPointF(0, 0), QSizeF(bracketCanvasSize())));

// The transform that puts what the bracket in use draws in font into area, as large as it fits,
// centred: a small field fills the screen or the page as a full one does.
QTransform fitDrawnBracket(const QRectF& area, const BracketBoard& board, const QFont& font);

// Paints the bracket that the board shows (the names in their slots and every shown line and
// connector; not the winner boxes, which are controls) through transform, onto whatever device
// the painter paints. At transform 1 the lines and names fall on the same pixels as on the
// window. A name wider than its slot is cut with "…" so that it never reaches the lines.
void paintBracket(QPainter& painter, const BracketBoard& board, const QTransform& transform,
                  const BracketStyle& style);

// The shown lines and connectors alone, as paintBracket paints them: what the board window
// paints under its name labels and winner boxes.
void paintBracketLines(QPainter& painter, const BracketBoard& board, const QTransform& transform,
                       const QColor& ink, qreal lineWidth);

// The part of the bracket in use alone (bracketArea) as a picture of scale times its size, on
// the style's paper.
QImage bracketImage(const BracketBoard& board, int scale, const BracketStyle& style);

} // namespace velka
