#pragma once

#include "board/BracketRenderer.h"
#include "core/Subscription.h"
#include "uikit/FullScreenView.h"

namespace velka {

class BracketBoard;

// The live bracket over a whole monitor for the players in the hall: light lines and names on
// black, the part of the bracket in use as large as the monitor allows with a margin. It watches
// the board and repaints from the board's state whenever anything on it changes.
class BracketProjectorView final : public FullScreenView {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BracketProjectorView)

public:
    explicit BracketProjectorView(BracketBoard& board, QWidget* parent = nullptr);

    // Where the board's bracket goes on a view of that size: the part in use as large as the
    // view allows inside its margin.
    static QTransform placement(const QSize& viewSize, const BracketBoard& board);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    BracketBoard& board_;
    BracketStyle style_;
    Subscription subscription_;
};

} // namespace velka
