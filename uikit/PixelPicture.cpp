#include "uikit/PixelPicture.h"

#include <QPainter>

namespace velka {

PixelPicture::PixelPicture(QWidget* parent)
    : QLabel(parent)
{
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void PixelPicture::paintEvent(QPaintEvent* event)
{
    const QPixmap picture = pixmap();
    if (picture.isNull()) {
        QLabel::paintEvent(event);
        return;
    }
    QPainter painter(this);
    // Qt smooths pixmaps that it scales for a high-resolution screen.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawPixmap(contentsRect().topLeft(), picture);
}

} // namespace velka
