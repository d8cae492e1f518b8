#include "about/DesktopWebBrowser.h"
#include "app/Shell.h"
#include "core/Clock.h"
#include "core/ProgramVersion.h"
#include "core/RandomSource.h"
#include "timer/HallPlatform.h"
#include "uikit/Application.h"
#include "uikit/QtMessageBoxes.h"

#include <QApplication>
#include <QStandardPaths>

#include <cstdio>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("velka-tablewright"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(velka::kProgramVersion.major)
                                                .arg(velka::kProgramVersion.minor)
                                                .arg(velka::kProgramVersion.revision));
    if (!velka::setUpApplication(app)) {
        // The program still works; only Qt's standard buttons (Yes, No, Cancel) stay English.
        qWarning("Qt's Japanese translation (qtbase_ja.qm) is not installed: standard buttons "
                 "show in English. Debian's qt6-translations-l10n package holds it.");
    }

    // One optional argument: a tournament file to open.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() > 1) {
        std::fputs("usage: velka-tablewright [tournament-file]\n", stderr);
        return 2;
    }

    velka::QtMessageBoxes messageBoxes;
    velka::ClockSeededRandom random;
    velka::SystemClock clock;
    velka::DesktopWebBrowser browser;
    const velka::HallPlatform hall = velka::makeHallPlatform();
    velka::Shell shell(
        {messageBoxes, random, clock, browser, hall.sound.get(), hall.screenSaver.get()});
    shell.keepTournamentsIn(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    shell.start(arguments.value(0));
    return QApplication::exec();
}
