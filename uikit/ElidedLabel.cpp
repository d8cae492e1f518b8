#include "uikit/ElidedLabel.h"

#include <QPainter>
#include <QTextBoundaryFinder>

namespace velka {

ElidedLabel::ElidedLabel(QWidget* parent)
    : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
}

QString singleLineText(QString text)
{
    for (QChar& c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

QString elidedLine(const QString& text, const QFontMetrics& metrics, int width)
{
    // Longer and longer beginnings, cut where a character (with its combining marks) ends, until
    // one is wider than the width: the cut falls inside it.
    constexpr qsizetype kContext = 32; // enough to see where a character ends
    for (qsizetype length = 256; length < text.size(); length *= 2) {
        const QString slice = singleLineText(text.left(length + kContext));
        QTextBoundaryFinder clusters(QTextBoundaryFinder::Grapheme, slice);
        clusters.setPosition(length);
        if (!clusters.isAtBoundary() && clusters.toPreviousBoundary() <= 0)
            continue;
        const QString beginning = slice.left(clusters.position());
        if (metrics.horizontalAdvance(beginning) > width)
            return metrics.elidedText(beginning, Qt::ElideRight, width);
    }
    return metrics.elidedText(singleLineText(text), Qt::ElideRight, width);
}

void ElidedLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect area = contentsRect();
    const QString shown = elidedLine(text(), fontMetrics(), area.width());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, static_cast<int>(alignment()) | Qt::TextSingleLine, shown);
}

} // namespace velka
