#pragma once

#include "board/BracketRenderer.h"
#include "core/Subscription.h"
#include "uikit/FullScreenView.h"

namespace velka {

class BracketBoard;

// The live bracket over a whole monitor for the players in the hall: light lines and names on
// black, what the bracket in use draws (its names as wide as they are, its lines and connectors)
// as large as the monitor allows with a margin. It watches the board and repaints from the
// board's state whenever anything on it changes.
class BracketProjectorView final : public FullScreenView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BracketProjectorView)

public:
    explicit BracketProjectorView(BracketBoard& board, QWidget* parent = nullptr);

    // Where the board's bracket goes on a view of that size: the part in use as large as the
    // view allows inside its margin. Where it would cover keepFree (the corner with the players'
    // page's address), it goes to the left of it instead, smaller if it must.
    static QTransform placement(const QSize& viewSize, const BracketBoard& board,
                                const QRect& keepFree = {});
    // Where what the bracket draws lands on the view with that placement.
    static QRectF placedBracket(const QTransform& placement, const BracketBoard& board);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BracketBoard& board_;
    BracketStyle style_;
    Subscription subscription_;
};

} // namespace velka
