#pragma once

#include <QFontMetrics>
#include <QLabel>

namespace velka {

// The text as one line: line breaks and other control characters become blanks.
QString singleLineText(QString text);

// The text as one line, cut with "…" to width as QFontMetrics::elidedText cuts it. Only as much
// of a long text is laid out as can show, so that a name of 100,000 characters is cut as fast
// as a short one.
QString elidedLine(const QString& text, const QFontMetrics& metrics, int width);

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
