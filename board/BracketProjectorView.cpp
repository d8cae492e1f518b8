#include "board/BracketProjectorView.h"

#include "board/BracketBoard.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>

namespace velka {

namespace {
constexpr qreal kMarginShare = 0.04; // of the shorter side, all round
} // namespace

BracketProjectorView::BracketProjectorView(BracketBoard& board, QWidget* parent)
    : FullScreenView(parent)
    , board_(board)
{
    setObjectName(QStringLiteral("BracketProjectorView"));
    setWindowTitle(QStringLiteral("トーナメント表"));
    style_.paper = QColor(); // the whole view is filled black first
    style_.ink = Qt::white;
    style_.font = QApplication::font();
    subscription_ = board_.subscribe([this](auto) { update(); });
}

QTransform BracketProjectorView::placement(const QSize& viewSize, const BracketBoard& board,
                                           const QRect& keepFree)
{
    const qreal margin = std::min(viewSize.width(), viewSize.height()) * kMarginShare;
    QRectF area =
        QRectF(QPointF(0, 0), QSizeF(viewSize)).adjusted(margin, margin, -margin, -margin);
    const QFont font = QApplication::font();
    const QTransform centred = fitDrawnBracket(area, board, font);
    if (keepFree.isEmpty() ||
        !placedBracket(centred, board).intersects(QRectF(keepFree).adjusted(-margin, 0, 0, 0)))
        return centred;
    area.setRight(std::max(area.left() + 1, keepFree.left() - margin));
    return fitDrawnBracket(area, board, font);
}

QRectF BracketProjectorView::placedBracket(const QTransform& placement, const BracketBoard& board)
{
    return placement.mapRect(drawnBracketArea(board, QApplication::font(), placement.m11()));
}

void BracketProjectorView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const AddressCornerLayout corner = addressCorner();
    paintBracket(painter, board_, placement(size(), board_, corner.area), style_);
    paintAddressCorner(painter);
}

} // namespace velka
