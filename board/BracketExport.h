#pragma once

#include "board/BracketRenderer.h"
#include "uikit/PdfSearchableText.h"

#include <QByteArray>
#include <QDateTime>
#include <QImage>
#include <QString>

#include <functional>
#include <optional>

class QPagedPaintDevice;
class QPainter;

namespace velka {

class BracketBoard;

// The scale of the picture for posting: three times the board as the window shows it.
inline constexpr int kPictureScale = 3;

// Black on white, the names in the board's font: the bracket on paper and in pictures.
BracketStyle paperStyle();

// One page: what the bracket in use draws, scaled to fit the printable area above a footer that
// holds the date and time printed and the program's name. Thin lines, no grey. Paints on any paged
// device (printer, PDF writer) or, for tests, any painter given the page's area and resolution.
void paintBracketPage(QPainter& painter, const QRect& page, int dotsPerInch,
                      const BracketBoard& board, const QDateTime& printed);
// Where the bracket goes on such a page.
QTransform bracketPagePlacement(const QRect& page, int dotsPerInch, const BracketBoard& board);
// Returns false when the device could not be painted on (the printer refused the job). Given
// searchable, paints its key on the page first, for a device that writes a PDF file (see
// PdfSearchableText).
bool printBracketPage(QPagedPaintDevice& device, const BracketBoard& board,
                      const QDateTime& printed, PdfSearchableText* searchable = nullptr);

// "2026-12-07 15:30": when a page was printed, as its footer gives it.
QString printedAt(const QDateTime& printed);

// The bracket as an A4 landscape PDF: vector lines and real, searchable text, also for names
// with characters beyond the Basic Multilingual Plane. Nothing when it could not be made.
std::optional<QByteArray> bracketPdf(const BracketBoard& board, const QDateTime& printed);
// The part of the bracket in use as a picture of kPictureScale times the board; a null image
// when it could not be made.
QImage bracketPicture(const BracketBoard& board);
// A picture as a PNG file's bytes, read back to make sure they hold it. Nothing when the picture
// is null or could not be written.
std::optional<QByteArray> pngBytes(const QImage& picture);
std::optional<QByteArray> bracketPng(const BracketBoard& board);

// How the outputs are made from the board: the renderer above, or in tests one that fails.
struct BracketRendering {
    std::function<std::optional<QByteArray>(const BracketBoard&, const QDateTime&)> pdf =
        bracketPdf;
    std::function<QImage(const BracketBoard&)> picture = bracketPicture;
};

// "トーナメント_2026-12-07_1530.pdf": a file name for the bracket saved at that time.
QString suggestedFileName(const QDateTime& when, const QString& suffix);

} // namespace velka
