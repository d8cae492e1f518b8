#pragma once

#include <QString>

namespace velka {

// What a screen reader should speak for a control named by its caption: the caption without
// its access-key mark. A "(&C)" group goes with the blanks before it ("Enter (&E)" reads
// "Enter"), a lone "&" goes and leaves its letter ("&File" reads "File"), "&&" stands for one
// "&". A colon that ends a label's caption goes, and a parenthesis that the caption leaves open
// is closed, so that the name reads as a whole phrase.
QString accessibleNameOf(const QString& caption);

} // namespace velka
