#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <vector>

class QFont;
class QPainter;

namespace velka {

// Makes characters beyond the Basic Multilingual Plane (𠮷, many emoji) searchable in a PDF
// that Qt's writer made. The writer paints them, but it maps each glyph of a page back to its
// character by trying the characters of that plane only, so these glyphs are left without one:
// a reader shows 「田中 𠮷男」 yet finds 「田中」 and 「男」. A key paints each such character
// once on its own, off the page, before anything else, so that its glyph can be found in the
// file by where it was painted; afterwards apply() adds the character of every glyph found to
// its font's map, as an update appended to the file.
class PdfSearchableText {
public:
    // Paints the key for the characters of texts in font. Call it on a fresh page, before the
    // page's own text.
    void paintKey(QPainter& painter, const QFont& font, const QStringList& texts);

    // Adds the key's characters to the finished file. A file that does not read as the writer
    // writes them is left as it is. Returns how many glyphs got their character.
    int apply(QByteArray& pdf) const;

private:
    std::vector<char32_t> characters_;
};

// Whether bytes look like a whole PDF file: its header at the start and its end marker last.
bool isWholePdf(const QByteArray& bytes);

// Makes the text of a PDF file already written searchable (a printer's output to a file);
// leaves the file as it is when that cannot be done.
void applySearchableText(const QString& pdfPath, const PdfSearchableText& searchable);

} // namespace velka
