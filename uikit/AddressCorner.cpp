#include "uikit/AddressCorner.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace velka {

namespace {
constexpr double kCodeShare = 0.28;   // of the view's shorter side, border included
constexpr double kMarginShare = 0.03; // from the view's edges
constexpr double kTextShare = 0.035;  // the address's pixel size
constexpr int kLeastModulePixels = 2;
constexpr int kLeastTextPixels = 10;
} // namespace

PublishedAddress::PublishedAddress(QObject* parent)
    : QObject(parent)
{}

void PublishedAddress::publish(const QString& url, const QrCode& code)
{
    if (url == url_ && code == code_)
        return;
    url_ = url;
    code_ = code;
    emit changed();
}

void PublishedAddress::withdraw()
{
    publish({}, {});
}

AddressCornerLayout layoutAddressCorner(const QSize& view, const QrCode& code, const QString& url)
{
    AddressCornerLayout layout;
    if (code.isNull() || view.isEmpty())
        return layout;
    const int shorter = std::min(view.width(), view.height());
    const int margin = static_cast<int>(std::lround(shorter * kMarginShare));
    layout.modulePixels =
        std::max(kLeastModulePixels,
                 qrModulePixels(code, static_cast<int>(std::lround(shorter * kCodeShare))));
    const int codeSide = qrModulesWithBorder(code) * layout.modulePixels;

    layout.font = QApplication::font();
    layout.font.setPixelSize(
        std::max(kLeastTextPixels, static_cast<int>(std::lround(shorter * kTextShare))));
    const QFontMetrics metrics(layout.font);
    const QSize text(metrics.horizontalAdvance(url), metrics.height());

    const int right = view.width() - margin;
    const int bottom = view.height() - margin;
    const int gap = layout.modulePixels;
    layout.textArea = QRect(QPoint(right - text.width(), bottom - text.height()), text);
    layout.codeAt = QPoint(right - codeSide, layout.textArea.top() - gap - codeSide);
    layout.area = QRect(layout.codeAt, QSize(codeSide, codeSide)).united(layout.textArea);
    return layout;
}

void paintAddressCorner(QPainter& painter, const AddressCornerLayout& layout, const QrCode& code,
                        const QString& url)
{
    if (layout.area.isEmpty())
        return;
    paintQrCode(painter, code, layout.codeAt, layout.modulePixels);
    painter.save();
    painter.setFont(layout.font);
    painter.setPen(Qt::white);
    painter.drawText(layout.textArea, Qt::AlignRight | Qt::AlignVCenter, url);
    painter.restore();
}

} // namespace velka
