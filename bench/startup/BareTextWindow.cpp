// The floor for start-up of any window that shows text: the bare window with one label of
// Japanese text. Its first paint pays what every Qt program pays for its first text: reading the
// fontconfig set-up, listing the fonts and loading a font.
#include <QApplication>
#include <QLabel>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(371, 358);
    QLabel label(QStringLiteral("トーナメント表"), &window);
    label.move(10, 10);
    window.show();
    return QApplication::exec();
}
