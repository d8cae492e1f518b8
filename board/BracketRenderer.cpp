#include "board/BracketRenderer.h"

#include "bracket/BracketBoard.h"
#include "uikit/ElidedLabel.h"
#include "uikit/Twips.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>

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

} // namespace

QSize bracketCanvasSize()
{
    return {twipsToPixels(kCanvasWidthTwips), twipsToPixels(kCanvasHeightTwips)};
}

QRect bracketArea(const BracketBoard& board)
{
    QRect used;
    for (int i = 0; i < board::kSlotCount; ++i) {
        if (!board.slotCaption(i).empty()) {
            const BoardSlot s = board::slotPlace(i);
            used |= toPixels(TwipsRect{s.left, s.top, s.width, s.height});
        }
    }
    for (int k = 0; k < board::kLineCount; ++k) {
        if (board.lineVisible(k))
            used |= linePixels(board.line(k));
    }
    // A connector's output line counts while it is hidden, so that the bracket keeps its size
    // when the organiser takes a winner's line off.
    for (int c = 0; c < board::kConnectorCount; ++c) {
        if (board.connectorVisible(c))
            used |= linePixels(board.connector(c)) | linePixels(board.line(board::outputLine(c)));
    }
    const QRect canvas(QPoint(0, 0), bracketCanvasSize());
    if (used.isEmpty())
        return canvas;
    const int margin = twipsToPixels(kMarginTwips);
    QRect area = used.adjusted(-margin, -margin, margin, margin);
    // Right of the champion line the board keeps room for its palette button; a bracket that
    // reaches the champion keeps it too, so that a full bracket is drawn exactly as before.
    if (board.lineVisible(board::kChampionLine))
        area.setRight(canvas.right());
    return area & canvas;
}

QTransform fitBracket(const QRectF& area, const QRectF& part)
{
    const qreal scale = std::min(area.width() / part.width(), area.height() / part.height());
    const QPointF corner = area.center() - part.center() * scale;
    return QTransform::fromTranslate(corner.x(), corner.y()).scale(scale, scale);
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
    if (style.paper.isValid())
        painter.fillRect(transform.mapRect(QRectF(bracketArea(board))), style.paper);
    paintBracketLines(painter, board, transform, style.ink, style.lineWidth);

    // The names are laid out at the device's own size rather than scaled as a picture, so that
    // they are cut to the width they really take there.
    painter.save();
    const qreal scale = std::sqrt(std::abs(transform.determinant()));
    painter.setFont(scaledFont(style.font, scale));
    painter.setPen(style.ink);
    const QFontMetrics metrics(painter.font(), painter.device());
    for (int i = 0; i < board::kSlotCount; ++i) {
        const BoardSlot slot = board::slotPlace(i);
        const QRectF area = transform.mapRect(
            QRectF(toPixels(TwipsRect{slot.left, slot.top, slot.width, slot.height})));
        const QRect box = area.toAlignedRect();
        const QString shown =
            elidedLine(QString::fromStdString(board.slotCaption(i)), metrics, box.width());
        painter.save();
        painter.setClipRect(box, Qt::IntersectClip); // within whatever the caller clips to
        painter.drawText(box, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, shown);
        painter.restore();
    }
    painter.restore();
}

QImage bracketImage(const BracketBoard& board, int scale, const BracketStyle& style)
{
    const QRect area = bracketArea(board);
    QImage image(area.size() * scale, QImage::Format_RGB32);
    if (image.isNull())
        return image;
    image.fill(style.paper.isValid() ? style.paper : QColor(Qt::white));
    QPainter painter(&image);
    paintBracket(painter, board,
                 QTransform::fromScale(scale, scale).translate(-area.left(), -area.top()), style);
    return image;
}

} // namespace velka
