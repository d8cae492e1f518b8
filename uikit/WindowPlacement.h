#pragma once

class QWidget;

namespace velka {

// Moves a top-level window so that it stands centred on the screen it is on.
void centreOnScreen(QWidget* window);

// Moves a top-level window so that it stands centred over another window.
void centreOver(QWidget* window, const QWidget* other);

} // namespace velka
