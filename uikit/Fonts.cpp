#include "uikit/Fonts.h"

namespace velka {

namespace {
const QString kDesignedName = QStringLiteral("ＭＳ Ｐゴシック");
const QString kDesignedLatinName = QStringLiteral("MS PGothic");
const QStringList kInstalledStandIns = {QStringLiteral("IPAPGothic"),
                                        QStringLiteral("Noto Sans CJK JP")};
} // namespace

QStringList japaneseGothicFamilies()
{
    return QStringList{kDesignedName, kDesignedLatinName} + kInstalledStandIns;
}

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
