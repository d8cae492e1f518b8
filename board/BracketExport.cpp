#include "board/BracketExport.h"

#include "bracket/BracketBoard.h"
#include "core/Message.h"
#include "uikit/PdfSearchableText.h"

#include <QApplication>
#include <QBuffer>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>

namespace velka {

namespace {

constexpr qreal kFooterPoints = 8.0;
constexpr qreal kLineMillimetres = 0.3;
constexpr int kPdfDotsPerInch = 1200;

} // namespace

BracketStyle paperStyle()
{
    BracketStyle style;
    style.paper = Qt::white;
    style.ink = Qt::black;
    style.font = QApplication::font();
    return style;
}

QString printedAt(const QDateTime& printed)
{
    return printed.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
}

namespace {

int footerPixels(int dotsPerInch)
{
    return qRound(kFooterPoints * dotsPerInch / 72.0);
}

QRect footerArea(const QRect& page, int dotsPerInch)
{
    const int height = footerPixels(dotsPerInch) * 2;
    return {page.left(), page.bottom() - height + 1, page.width(), height};
}

} // namespace

QTransform bracketPagePlacement(const QRect& page, int dotsPerInch, const BracketBoard& board)
{
    const QRect footer = footerArea(page, dotsPerInch);
    return fitDrawnBracket(QRect(page.topLeft(), QPoint(page.right(), footer.top() - 1)), board,
                           paperStyle().font);
}

void paintBracketPage(QPainter& painter, const QRect& page, int dotsPerInch,
                      const BracketBoard& board, const QDateTime& printed)
{
    QFont footerFont = QApplication::font();
    footerFont.setPixelSize(footerPixels(dotsPerInch));
    const QRect footer = footerArea(page, dotsPerInch);

    BracketStyle style = paperStyle();
    style.paper = QColor(); // the page is white already; nothing grey is filled
    const QTransform fit = bracketPagePlacement(page, dotsPerInch, board);
    style.lineWidth = kLineMillimetres / 25.4 * dotsPerInch / fit.m11();
    paintBracket(painter, board, fit, style);

    painter.save();
    painter.setFont(footerFont);
    painter.setPen(Qt::black);
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom, printedAt(printed));
    painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                     QString::fromUtf8(kApplicationTitle));
    painter.restore();
}

namespace {

QStringList slotCaptions(const BracketBoard& board)
{
    QStringList captions;
    for (int i = 0; i < board::kSlotCount; ++i)
        captions << QString::fromStdString(board.slotCaption(i));
    return captions;
}

} // namespace

bool printBracketPage(QPagedPaintDevice& device, const BracketBoard& board,
                      const QDateTime& printed, PdfSearchableText* searchable)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    if (searchable)
        searchable->paintKey(painter, paperStyle().font, slotCaptions(board));
    const QRect page = device.pageLayout().paintRectPixels(device.logicalDpiX());
    paintBracketPage(painter, QRect(QPoint(0, 0), page.size()), device.logicalDpiX(), board,
                     printed);
    return painter.end();
}

std::optional<QByteArray> bracketPdf(const BracketBoard& board, const QDateTime& printed)
{
    QByteArray bytes;
    PdfSearchableText searchable;
    {
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly))
            return std::nullopt;
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfDotsPerInch);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape,
                                         QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter));
        writer.setTitle(QStringLiteral("トーナメント表"));
        writer.setCreator(QString::fromUtf8(kApplicationTitle));
        if (!printBracketPage(writer, board, printed, &searchable))
            return std::nullopt;
    }
    if (!isWholePdf(bytes))
        return std::nullopt;
    searchable.apply(bytes);
    return bytes;
}

QImage bracketPicture(const BracketBoard& board)
{
    return bracketImage(board, kPictureScale, paperStyle());
}

std::optional<QByteArray> pngBytes(const QImage& picture)
{
    if (picture.isNull())
        return std::nullopt;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    if (!buffer.open(QIODevice::WriteOnly) || !picture.save(&buffer, "PNG"))
        return std::nullopt;
    buffer.close();
    const QImage readBack = QImage::fromData(bytes, "PNG");
    if (readBack.size() != picture.size())
        return std::nullopt;
    return bytes;
}

std::optional<QByteArray> bracketPng(const BracketBoard& board)
{
    return pngBytes(bracketPicture(board));
}

QString suggestedFileName(const QDateTime& when, const QString& suffix)
{
    return QStringLiteral("トーナメント_%1.%2")
        .arg(when.toString(QStringLiteral("yyyy-MM-dd_HHmm")), suffix);
}

} // namespace velka
