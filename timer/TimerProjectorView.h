#pragma once

#include "timer/EventTimer.h"
#include "uikit/FullScreenView.h"

#include <QColor>
#include <QFont>
#include <QList>
#include <QString>

namespace velka {

// The event timer for the whole room: the display's text and colour on black, as large as the
// monitor allows, and nothing else. While the "Time Up!!" box is open it shows "Time Up!!" in
// red instead, so that the room sees the round is over.
//
// The size is measured on the widest text the current mode can show (the widest time of day; a
// countdown's own number of hours), so it stays put from one second to the next. While the
// players' page's address shows in the bottom-right corner, the text stays above it, smaller if
// it must.
class TimerProjectorView final : public FullScreenView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TimerProjectorView)

public:
    // The share of the width and of the height left free around the text, half on either side.
    static constexpr qreal kMargin = 0.1;

    explicit TimerProjectorView(EventTimer& timer, QWidget* parent = nullptr);

    void setTimeUpShown(bool shown);
    bool timeUpShown() const { return timeUpShown_; }

    // What the view shows now, and the text and font its size was measured on.
    QString shownText() const;
    QColor shownColour() const;
    QString measuredText() const;
    QFont textFont();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void heard(EventTimer::Part part);
    void fitFont();
    // Where each character of text starts when the whole text is centred, and where it ends.
    QList<qreal> characterEdges(const QString& text) const;
    QRect characterCell(const QList<qreal>& edges, qsizetype i) const;

    EventTimer& timer_;
    Subscription subscription_;
    bool timeUpShown_ = false;
    QFont font_;
    QString fittedText_;
    QSize fittedSize_;
    QRect fittedCorner_;
    int baselineOffset_ = 0; // from the vertical centre to the baseline
    QRect textArea_;         // where the texts of the current mode can draw
    qreal cellPad_ = 0;      // room beside a character for anti-aliasing and side bearings
    QString scheduledText_;  // what the latest repaint asked for shows
    QColor scheduledColour_;
};

} // namespace velka
