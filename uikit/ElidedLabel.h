#pragma once

#include <QLabel>

namespace velka {

// The text as one line: line breaks and other control characters become blanks.
QString singleLineText(QString text);

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
