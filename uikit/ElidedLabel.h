#pragma once

#include <QLabel>

namespace velka {

// A one-line plain-text label that keeps its whole text (for text() and screen readers) but
// paints it cut with an ellipsis when it is wider than the label. Line breaks and other
// control characters in the text are painted as blanks.
class ElidedLabel final : public QLabel {
    Q_OBJECT
public:
    explicit ElidedLabel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velka
