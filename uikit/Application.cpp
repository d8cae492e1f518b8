#include "uikit/Application.h"

#include "uikit/Fonts.h"

#include <QApplication>
#include <QCoreApplication>
#include <QLibraryInfo>
#include <QPixmap>
#include <QStyleFactory>
#include <QTranslator>

namespace velka {

namespace {
#include "uikit/pictures/velka-16.xpm"
#include "uikit/pictures/velka-32.xpm"

// The size of the toolkit's default font in the designed windows.
constexpr qreal kDefaultPointSize = 9.0;
} // namespace

bool setUpApplication(QApplication& app)
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    installFontSubstitutions();
    QApplication::setFont(japaneseGothic(kDefaultPointSize));

    // Qt's own Japanese texts for the standard buttons: on Windows beside the program, where
    // windeployqt puts them merged into qt_ja.qm; elsewhere where Qt keeps them.
    auto* translator = new QTranslator(&app);
    const QLocale japanese(QLocale::Japanese, QLocale::Japan);
    const QString folders[] = {QCoreApplication::applicationDirPath() +
                                   QStringLiteral("/translations"),
                               QLibraryInfo::path(QLibraryInfo::TranslationsPath)};
    for (const QString& folder : folders) {
        for (const QString& name : {QStringLiteral("qtbase"), QStringLiteral("qt")}) {
            if (translator->load(japanese, name, QStringLiteral("_"), folder)) {
                QCoreApplication::installTranslator(translator);
                return true;
            }
        }
    }
    delete translator;
    return false;
}

QIcon applicationIcon()
{
    // Read from the arrays compiled in: an image file goes through an image reader, which loads
    // every image format plugin installed (and the libraries they bring) to ask each whether it
    // knows the file, at every start.
    QIcon icon;
    icon.addPixmap(QPixmap(velka_32));
    icon.addPixmap(QPixmap(velka_16));
    return icon;
}

} // namespace velka
