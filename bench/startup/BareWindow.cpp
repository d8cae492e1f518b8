// The floor for start-up: a Qt Widgets program that shows one empty window of the size the main
// window opens at, and nothing else.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(371, 358);
    window.show();
    return QApplication::exec();
}
