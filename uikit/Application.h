#pragma once

#include <QIcon>

class QApplication;

namespace velka {

// Prepares the toolkit for the program's Japanese windows: the Fusion style, the Japanese
// gothic as the default font, and Qt's own Japanese texts (はい, いいえ, キャンセル) whatever
// the system's locale. Returns false when Qt's Japanese translation is not installed.
bool setUpApplication(QApplication& app);

// The application icon, with its 32 x 32 and 16 x 16 images of 16 colours.
QIcon applicationIcon();

} // namespace velka
