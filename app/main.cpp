#include "app/Shell.h"
#include "draw/RandomSource.h"
#include "uikit/Application.h"
#include "uikit/QtMessageBoxes.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral(VELKA_APPLICATION_NAME));
    QCoreApplication::setApplicationVersion(QStringLiteral(VELKA_VERSION));
    velka::setUpApplication(app);

    velka::QtMessageBoxes messageBoxes;
    velka::ClockSeededRandom random;
    velka::Shell shell({messageBoxes, random});
    shell.start();
    return QApplication::exec();
}
