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

QTransform BracketProjectorView::placement(const QSize& viewSize, const BracketBoard& board)
{
    const qreal margin = std::min(viewSize.width(), viewSize.height()) * kMarginShare;
    return fitBracket(
        QRectF(QPointF(0, 0), QSizeF(viewSize)).adjusted(margin, margin, -margin, -margin),
        bracketArea(board));
}

void BracketProjectorView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    paintBracket(painter, board_, placement(size(), board_), style_);
}

} // namespace velka
