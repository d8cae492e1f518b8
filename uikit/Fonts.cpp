#include "uikit/Fonts.h"

#include <QStringList>

namespace velka {

namespace {
const QString kDesignedName = QStringLiteral("ＭＳ Ｐゴシック");
const QString kDesignedLatinName = QStringLiteral("MS PGothic");
// Debian's Japanese gothics, then the ones Windows brings where the designed font is not
// installed (it is an optional feature outside Japanese Windows).
const QStringList kInstalledStandIns = {QStringLiteral("IPAPGothic"),
                                        QStringLiteral("Noto Sans CJK JP"),
                                        QStringLiteral("Yu Gothic"), QStringLiteral("Meiryo")};

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
