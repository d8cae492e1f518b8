#pragma once

#include <QFont>
#include <QStringList>

class QApplication;

namespace velka {

// The designed Japanese gothic and the installed fonts that stand in for it, best first.
QStringList japaneseGothicFamilies();

// Maps the designed font names onto the installed Japanese gothic, so that a font naming
// only "ＭＳ Ｐゴシック" still finds Japanese glyphs.
void installFontSubstitutions();

QFont japaneseGothic(qreal pointSize, int weight = QFont::Normal, bool italic = false);

} // namespace velka
