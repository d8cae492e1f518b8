#pragma once

#include "swiss/SwissEvent.h"

#include <QByteArray>
#include <QDateTime>
#include <QPageLayout>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

class QPagedPaintDevice;

namespace velka {

class PdfSearchableText;

// The Swiss event on paper, black on white on A4 portrait: the sheets pinned to the wall and the
// slips handed to the tables.
enum class SwissSheet {
    PairingsByName,  // every player of the round by reading, their table and opponent
    PairingsByTable, // the round's tables in order
    Standings,       // after the last complete round
    ResultSlips      // one per table with two players, eight to a page, with cutting lines
};

inline constexpr SwissSheet kSwissSheets[] = {SwissSheet::PairingsByName,
                                              SwissSheet::PairingsByTable, SwissSheet::Standings,
                                              SwissSheet::ResultSlips};

// Slips to a page: A4 cut twice across and once down, eight A7 slips.
inline constexpr int kSlipColumns = 2;
inline constexpr int kSlipRows = 4;
inline constexpr int kSlipsPerPage = kSlipColumns * kSlipRows;

// 「組み合わせ（名前順）」…: what the sheet is, in menus, headings and file names.
QString sheetName(SwissSheet sheet);

// Whether the sheet has something to show for round `round` (from 1): the pairings and slips need
// a paired round with at least one table of two players for slips; the standings need players.
bool sheetAvailable(const SwissEvent& event, SwissSheet sheet, int round);

// The paper the sheet is laid out for: the slips fill the page to its edges (their cutting lines
// run across it), the sheets keep a margin.
QPageLayout sheetPageLayout(SwissSheet sheet);

// Every name that the sheet prints, for the searchable text of a PDF.
QStringList sheetNames(const SwissEvent& event, SwissSheet sheet, int round);

// Paints the sheet for round `round` on a paged device (a printer or a PDF writer), as many pages
// as it takes; the pages' footers give printed. Given searchable, paints its key on the first page
// (see PdfSearchableText). Returns false when the device could not be painted on.
bool printSwissSheet(QPagedPaintDevice& device, const SwissEvent& event, SwissSheet sheet,
                     int round, const QDateTime& printed, PdfSearchableText* searchable = nullptr);

// The sheet as a PDF file's bytes, every name in it searchable; nothing when it could not be made.
std::optional<QByteArray> swissSheetPdf(const SwissEvent& event, SwissSheet sheet, int round,
                                        const QDateTime& printed);

} // namespace velka
