#pragma once

#include <QFont>

namespace velka {

// Maps the designed font names onto the installed Japanese gothic, so that a font naming
// only "ＭＳ Ｐゴシック" still finds Japanese glyphs.
void installFontSubstitutions();

QFont japaneseGothic(qreal pointSize, int weight = QFont::Normal, bool italic = false);

} // namespace velka
