#include "uikit/Fonts.h"

#include <QStringList>

namespace velka {

namespace {
const QString kDesignedName = QStringLiteral("ＭＳ Ｐゴシック");
const QString kDesignedLatinName = QStringLiteral("MS PGothic");
const QStringList kInstalledStandIns = {QStringLiteral("IPAPGothic"),
                                        QStringLiteral("Noto Sans CJK JP")};

// The designed Japanese gothic and the installed fonts that stand in for it, best first.
QStringList japaneseGothicFamilies()
{
    return QStringList{kDesignedName, kDesignedLatinName} + kInstalledStandIns;
}
} // namespace

void installFontSubstitutions()
{
    QFont::insertSubstitutions(kDesignedName, kInstalledStandIns);
    QFont::insertSubstitutions(kDesignedLatinName, kInstalledStandIns);
}

QFont japaneseGothic(qreal pointSize, int weight, bool italic)
{
    QFont font;
    font.setFamilies(japaneseGothicFamilies());
    font.setPointSizeF(pointSize);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(italic);
    return font;
}

} // namespace velka
