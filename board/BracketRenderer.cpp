#include "board/BracketRenderer.h"

#include "board/BracketBoard.h"
#include "uikit/ElidedLabel.h"
#include "uikit/Twips.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace velka {

namespace {

constexpr int kCanvasWidthTwips = 5370; // the board's picture box
constexpr int kCanvasHeightTwips = 5160;
constexpr int kMarginTwips = 105; // between the frame and the name slots

// The area a line covers on the device: whole board pixels from one end to the other, both ends
// included, as the window fills them, placed by the transform. Every board pixel becomes a band
// of whole device pixels, of one thickness for all lines, so that a bracket drawn at a scale of
// 1.9 does not mix lines of one and two pixels and the lines meet the connectors exactly. Every
// line of the board is horizontal or vertical (the shaping moves only a connector's lower end).
QRectF lineArea(const BoardLine& line, const QTransform& transform, qreal width)
{
    const QPointF half(0.5, 0.5);
    const QPointF a = transform.map(QPointF(toPixels(line.x1, line.y1)) + half);
    const QPointF b = transform.map(QPointF(toPixels(line.x2, line.y2)) + half);
    const qreal scale = std::sqrt(std::abs(transform.determinant()));
    const qreal thickness = std::max<qreal>(1.0, std::round(width * scale));
    const auto edge = [thickness](qreal centre) { return std::round(centre - thickness / 2); };
    return {QPointF(edge(std::min(a.x(), b.x())), edge(std::min(a.y(), b.y()))),
            QPointF(edge(std::max(a.x(), b.x())) + thickness,
                    edge(std::max(a.y(), b.y())) + thickness)};
}

// The font of the name slots at the given scale, in pixels so that it follows the transform on
// every device, whatever its resolution.
QFont scaledFont(const QFont& font, qreal scale)
{
    const qreal pixels = font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() * 96.0 / 72.0;
    QFont scaled = font;
    scaled.setPixelSize(std::max(1, qRound(pixels * scale)));
    return scaled;
}

// The board pixels a line covers, both ends included.
QRect linePixels(const BoardLine& line)
{
    return QRect(toPixels(line.x1, line.y1), toPixels(line.x2, line.y2)).normalized();
}

// Every shown line and connector, and the line each shown connector leads to: a connector's
// output line counts while it is hidden, so that the bracket keeps its size when the organiser
// takes a winner's line off.
QRectF linesInUse(const BracketBoard& board)
{
    QRect used;
    for (int k = 0; k < board::kLineCount; ++k) {
        if (board.lineVisible(k))
            used |= linePixels(board.line(k));
    }
    for (int c = 0; c < board::kConnectorCount; ++c) {
        if (board.connectorVisible(c))
            used |= linePixels(board.connector(c)) | linePixels(board.line(board::outputLine(c)));
    }
    return QRectF(used);
}

QRectF slotArea(int slot)
{
    const BoardSlot s = board::slotPlace(slot);
    return QRectF(toPixels(TwipsRect{s.left, s.top, s.width, s.height}));
}

// The names in their slots, an empty one where a slot holds none.
std::array<QString, board::kSlotCount> captions(const BracketBoard& board)
{
    std::array<QString, board::kSlotCount> names;
    for (int i = 0; i < board::kSlotCount; ++i)
        names[i] = QString::fromStdString(board.slotCaption(i));
    return names;
}

// What drawnBracketArea says, from the lines in use and the names.
QRectF drawnArea(const QRectF& lines, const std::array<QString, board::kSlotCount>& names,
                 const QFont& font, qreal scale)
{
    QRectF drawn = lines;
    // Each name's ink as paintBracket sets it: cut to its slot, against the slot's right end, its
    // line centred on the slot's middle, and clipped to the slot.
    const QFontMetricsF metrics(scaledFont(font, scale));
    const QFontMetrics whole(scaledFont(font, scale));
    for (int i = 0; i < board::kSlotCount; ++i) {
        if (names[i].isEmpty())
            continue;
        const QRectF slot = slotArea(i);
        const QRectF box(slot.topLeft() * scale, slot.size() * scale);
        const QString shown = elidedLine(names[i], whole, qFloor(box.width()));
        const QPointF start(box.right() - metrics.horizontalAdvance(shown),
                            box.center().y() - (metrics.ascent() + metrics.descent()) / 2 +
                                metrics.ascent());
        const QRectF ink = metrics.tightBoundingRect(shown).translated(start) & box;
        if (!ink.isEmpty())
            drawn |= QRectF(ink.topLeft() / scale, ink.size() / scale);
    }
    return drawn.isEmpty() ? QRectF(QPointF(0, 0), QSizeF(bracketCanvasSize())) : drawn;
}

// What a picture shows of the canvas around what is drawn: whole board pixels, with the board's
// own margin.
QRect pictureArea(const QRectF& drawn)
{
    const int margin = twipsToPixels(kMarginTwips);
    return drawn.toAlignedRect().adjusted(-margin, -margin, margin, margin) &
           QRect(QPoint(0, 0), bracketCanvasSize());
}

void paintNamedBracket(QPainter& painter, const BracketBoard& board,
                       const std::array<QString, board::kSlotCount>& names,
                       const QTransform& transform, const BracketStyle& style)
{
    const qreal scale = std::sqrt(std::abs(transform.determinant()));
    if (style.paper.isValid()) {
        const QRectF drawn = drawnArea(linesInUse(board), names, style.font, scale);
        painter.fillRect(transform.mapRect(QRectF(pictureArea(drawn))), style.paper);
    }
    paintBracketLines(painter, board, transform, style.ink, style.lineWidth);

    // The names are laid out at the device's own size rather than scaled as a picture, so that
    // they are cut to the width they really take there.
    painter.save();
    painter.setFont(scaledFont(style.font, scale));
    painter.setPen(style.ink);
    const QFontMetrics metrics(painter.font(), painter.device());
    for (int i = 0; i < board::kSlotCount; ++i) {
        const QRectF area = transform.mapRect(slotArea(i));
        const QRect box = area.toAlignedRect();
        // Cut to the slot's own width, wherever it lands, so that the cut can be known before
        // the bracket is placed.
        const QString shown = elidedLine(names[i], metrics, qFloor(area.width()));
        painter.save();
        painter.setClipRect(box, Qt::IntersectClip); // within whatever the caller clips to
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        painter.restore();
    }
    painter.restore();
}

} // namespace

QSize bracketCanvasSize()
{
    return {twipsToPixels(kCanvasWidthTwips), twipsToPixels(kCanvasHeightTwips)};
}

QRectF drawnBracketArea(const BracketBoard& board, const QFont& font, qreal scale)
{
    return drawnArea(linesInUse(board), captions(board), font, scale);
}

QRect bracketArea(const BracketBoard& board, const QFont& font, qreal scale)
{
    return pictureArea(drawnBracketArea(board, font, scale));
}

QTransform fitBracket(const QRectF& area, const QRectF& part)
{
    const qreal scale = std::min(area.width() / part.width(), area.height() / part.height());
    const QPointF corner = area.center() - part.center() * scale;
    return QTransform::fromTranslate(corner.x(), corner.y()).scale(scale, scale);
}

QTransform fitDrawnBracket(const QRectF& area, const BracketBoard& board, const QFont& font)
{
    // A font comes in whole pixels and a name is cut by whole characters, so what is drawn
    // follows the scale only roughly. The scale is the largest at which what is drawn there
    // fits: at least the one that fits the lines with every name as wide as its slot, at most
    // the one that fits the lines alone.
    const QRectF lines = linesInUse(board);
    const auto names = captions(board);
    const auto fitsAt = [&](qreal scale) {
        const QRectF drawn = drawnArea(lines, names, font, scale);
        return std::pair(fitBracket(area, drawn).m11() >= scale, drawn);
    };
    QRectF withSlots = lines;
    for (int i = 0; i < board::kSlotCount; ++i) {
        if (!names[i].isEmpty())
            withSlots |= slotArea(i);
    }
    if (withSlots.isEmpty())
        return fitBracket(area);
    qreal low = fitBracket(area, withSlots).m11();
    qreal high = lines.isEmpty() ? 16 * low : fitBracket(area, lines).m11();
    QRectF drawn = fitsAt(low).second;
    while (high - low > low / 1024) {
        const qreal middle = (low + high) / 2;
        const auto [fits, there] = fitsAt(middle);
        if (fits) {
            low = middle;
            drawn = there;
        } else {
            high = middle;
        }
    }
    const QPointF corner = area.center() - drawn.center() * low;
    return QTransform::fromTranslate(corner.x(), corner.y()).scale(low, low);
}

void paintBracketLines(QPainter& painter, const BracketBoard& board, const QTransform& transform,
                       const QColor& ink, qreal lineWidth)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    for (int k = 0; k < board::kLineCount; ++k) {
        if (board.lineVisible(k))
            painter.fillRect(lineArea(board.line(k), transform, lineWidth), ink);
    }
    for (int c = 0; c < board::kConnectorCount; ++c) {
        if (board.connectorVisible(c))
            painter.fillRect(lineArea(board.connector(c), transform, lineWidth), ink);
    }
    painter.restore();
}

void paintBracket(QPainter& painter, const BracketBoard& board, const QTransform& transform,
                  const BracketStyle& style)
{
    paintNamedBracket(painter, board, captions(board), transform, style);
}

QImage bracketImage(const BracketBoard& board, int scale, const BracketStyle& style)
{
    // A name can be long: it is read from the board once.
    const auto names = captions(board);
    const QRect area = pictureArea(drawnArea(linesInUse(board), names, style.font, scale));
    QImage image(area.size() * scale, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(style.paper.isValid() ? style.paper : QColor(Qt::white));
    QPainter painter(&image);
    paintNamedBracket(painter, board, names,
                      QTransform::fromScale(scale, scale).translate(-area.left(), -area.top()),
                      style);
    return image;
}

} // namespace velka
