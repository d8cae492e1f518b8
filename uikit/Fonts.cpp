#include "uikit/Fonts.h"

namespace velka {

namespace {
const QString kDesignedName = QStringLiteral("ＭＳ Ｐゴシック");
const QString kDesignedLatinName = QStringLiteral("MS PGothic");
// Debian's Japanese gothics, then the ones Windows brings where the designed font is not
// installed (it is an optional feature outside Japanese Windows).
const QStringList kInstalledStandIns = {QStringLiteral("IPAPGothic"),
                                        QStringLiteral("Noto Sans CJK JP"),
                                        QStringLiteral("Yu Gothic"), QStringLiteral("Meiryo")};
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
