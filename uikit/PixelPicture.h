#pragma once

#include <QLabel>

namespace velka {

// A label that shows a small picture drawn pixel by pixel, such as a 16-colour icon or a
// banner: on a screen that Qt scales, every picture pixel becomes a block of device pixels of
// its own colour instead of being smoothed into its neighbours. The picture stands at the top
// left of the label, at its natural size in logical pixels.
class PixelPicture : public QLabel {
    Q_OBJECT
public:
    explicit PixelPicture(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velka
