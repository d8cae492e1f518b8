#pragma once

#include <QPushButton>

namespace velka {

// A push button whose caption breaks onto further lines when it is wider than the button, as
// on a tall, narrow button. The caption, its access key and text() are a plain button's.
class WrappingButton final : public QPushButton {
    Q_OBJECT
public:
    WrappingButton(const QString& caption, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace velka
