#include "uikit/Application.h"

#include "uikit/Fonts.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QStyleFactory>
#include <QTranslator>

namespace velka {

namespace {
// The size of the toolkit's default font in the designed windows.
constexpr qreal kDefaultPointSize = 9.0;
} // namespace

bool setUpApplication(QApplication& app)
{
    if (QStyle* fusion = QStyleFactory::create(QStringLiteral("Fusion")))
        QApplication::setStyle(fusion);
    installFontSubstitutions();
    QApplication::setFont(japaneseGothic(kDefaultPointSize));

    auto* translator = new QTranslator(&app);
    const bool loaded =
        translator->load(QLocale(QLocale::Japanese, QLocale::Japan), QStringLiteral("qtbase"),
                         QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    if (loaded)
        QCoreApplication::installTranslator(translator);
    else
        delete translator;
    return loaded;
}

QIcon applicationIcon()
{
    QIcon icon;
    icon.addFile(QStringLiteral(":/velka/pictures/velka-32.xpm"), QSize(32, 32));
    icon.addFile(QStringLiteral(":/velka/pictures/velka-16.xpm"), QSize(16, 16));
    return icon;
}

} // namespace velka
