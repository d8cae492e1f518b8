#pragma once

#include "uikit/QrCodePainter.h"

#include <QFont>
#include <QObject>
#include <QRect>
#include <QString>

class QPainter;

namespace velka {

// Where the players' page can be reached while it is on: its address as text and as a QR code,
// for the projector views to show in a corner so that the room can scan it from the screen. The
// page's owner publishes and withdraws it; the views watch it.
class PublishedAddress final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PublishedAddress)

public:
    explicit PublishedAddress(QObject* parent = nullptr);

    // The page is on at url, which code holds as a QR code.
    void publish(const QString& url, const QrCode& code);
    // The page is off.
    void withdraw();

    bool isPublished() const { return !url_.isEmpty(); }
    const QString& url() const { return url_; }
    const QrCode& code() const { return code_; }

signals:
    void changed();

private:
    QString url_;
    QrCode code_;
};

// Where the corner's parts go on a view: the code above, the address under it, both against the
// view's bottom-right corner with a margin.
struct AddressCornerLayout {
    QRect area;    // everything the corner covers; empty for no corner
    QPoint codeAt; // the code's top-left corner, white border included
    int modulePixels = 0;
    QRect textArea;
    QFont font;
};

// The corner on a view of that size. The code takes about a quarter of the shorter side, in whole
// pixels per module: on a projector of 1920 × 1080 a code of 25 modules gets 9 pixels a module.
AddressCornerLayout layoutAddressCorner(const QSize& view, const QrCode& code, const QString& url);
// Paints the corner laid out for `code` and `url`: the code on its white border, the address in
// white (the views are black).
void paintAddressCorner(QPainter& painter, const AddressCornerLayout& layout, const QrCode& code,
                        const QString& url);

} // namespace velka
