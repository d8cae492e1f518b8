#pragma once

#include "core/Subscription.h"
#include "swiss/HallCountdown.h"
#include "swiss/HallLayout.h"
#include "swiss/SwissEvent.h"
#include "uikit/FullScreenView.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

class QPainter;
class QTimer;

namespace velka {

class Clock;
class SwissDraw;
class SwissStandingsModel;

// A text cut into rows no wider than width at font: between words when that takes no more than
// `rows` rows, else between characters (never inside one).
QStringList wrapToWidth(const QString& text, const QFont& font, int width, int rows = 1);

// The Swiss event over a whole monitor for the players in the hall, in one of two lists: the
// pairings by name (each player paired in the latest round, in reading order, with the table,
// the opponent or 「不戦勝」, and the result once entered), or the standings as the Swiss window
// shows them. Light type on black, as large as lets the list fit, never smaller than a thirtieth
// of the height; a list that does not fit turns its pages by itself every ten seconds, with
// 「1/3」 in the heading. While the event timer counts down, its time left shows at the top
// right. It redraws from the SwissDraw whenever anything in it changes.
class SwissProjectorView final : public FullScreenView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(SwissProjectorView)

public:
    enum class Mode { Pairings, Standings };
    static constexpr int kPageSeconds = 10;

    // countdown may be null (no time shows); it and the clock must outlive the view.
    SwissProjectorView(SwissDraw& draw, const Clock& clock, HallCountdown* countdown,
                       Mode mode = Mode::Pairings, QWidget* parent = nullptr);
    ~SwissProjectorView() override;

    Mode mode() const { return mode_; }
    // Another list, from its first page.
    void setMode(Mode mode);

    // Reads the clock and turns the page when its ten seconds are over; a timer of the view's
    // own runs it while the view shows.
    void tick();

    // What the view shows now: the heading, 「2/3」 (empty on a single page), the time left, and
    // the lines of the page, each as its fields' texts.
    QString title() const;
    QString pageText() const;
    QString timeLeft() const;
    int page() const { return page_; }
    const HallLayout& layout();
    QFont lineFont();
    const std::vector<QStringList>& lines() const { return lines_; }
    const QStringList& captions() const { return captions_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void addressCornerChanged() override;

private:
    void readEvent();
    void relayout();
    // Brings the picture up to date: only the lines that changed when nothing else did.
    void paintPicture();
    void paintLine(QPainter& painter, std::size_t line);
    QRect timeLeftArea() const;
    QFont headingFont() const;

    SwissDraw& draw_;
    const Clock& clock_;
    QPointer<HallCountdown> countdown_;
    Mode mode_;
    SwissStandingsModel* standings_;
    Subscription subscription_;
    QTimer* pageTimer_;

    QString title_;
    QStringList captions_;
    std::vector<QStringList> lines_;
    std::vector<bool> wraps_; // per field
    QString emptyText_;       // shown instead of an empty list

    std::vector<SwissPlayer> orderedPlayers_; // whose reading order order_ is
    std::vector<int> order_;
    QHash<QString, double> measured_; // texts' widths in ems

    bool layoutValid_ = false;
    HallLayout layout_;
    QFont font_;
    std::int64_t pagesSince_ = 0; // when the first page was shown
    int page_ = 0;

    // The page as last painted, all but the time left and the address corner: the type is too
    // large for the glyph cache, so each text is drawn once and then copied.
    QImage picture_;
    bool pictureValid_ = false;
    HallLayout paintedLayout_;
    int paintedPage_ = -1;
    QString paintedHeading_; // title, page and captions
    std::vector<QStringList> paintedLines_;
};

} // namespace velka
