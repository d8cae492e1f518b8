#pragma once

#include <QRect>
#include <QSize>

#include <vector>

namespace velka {

// How a long list (the pairings by name, the standings) is laid out on a projector: lines of
// fields side by side, in as many columns as fit, in pages when they do not all fit, with the
// type never smaller than a thirtieth of the screen's height so that it can be read from the
// back of the hall. Nothing here measures text: the caller gives the widths of the texts in
// ems (their width at a pixel size of 1), and the layout scales them.

// One field of every line: a rank, a name, a table number.
struct HallField {
    // The widest text of this field among the lines, in ems.
    double widestEm = 0;
    // A name wraps onto further rows of its line rather than being cut where its field is too
    // narrow for it; any other field is given its widest text's width.
    bool wraps = false;
};

struct HallMetrics {
    std::vector<HallField> fields;
    // For each line, the width of each field's text in ems (only the wrapping fields are read).
    std::vector<std::vector<double>> widthsEm;
    // The font's height (ascent and descent) per pixel of size.
    double heightEm = 1.2;
    // The widest single character that may stand at the end of a wrapped row, in ems.
    double widestCharacterEm = 1.0;
};

struct HallLine {
    int page = 0;
    int column = 0;
    int top = 0;  // of its first row
    int rows = 1; // more than one when a name wraps

    bool operator==(const HallLine&) const = default;
};

struct HallLayout {
    int pixelSize = 0;  // of the lines' type
    int rowHeight = 0;  // one row of a line, its leading included
    QRect heading;      // the band at the top for the title, the page and the time left
    QRect body;         // where the columns go: the captions' row and then the lines
    int captionTop = 0; // the captions' row, above the first line of every column
    int columns = 1;    // on every page
    int columnWidth = 0;
    int columnGap = 0;
    // Each field's left edge and width within a column.
    std::vector<int> fieldLeft;
    std::vector<int> fieldWidth;
    int pages = 1;
    std::vector<HallLine> lines;

    int columnLeft(int column) const { return body.left() + column * (columnWidth + columnGap); }
    // Where a line is, all its rows, and where one field of it is.
    QRect lineRect(int line) const;
    QRect fieldRect(int line, int field) const;
    QRect captionRect(int column, int field) const;

    bool operator==(const HallLayout&) const = default;
};

// The smallest size of type allowed on a screen of that height: a thirtieth of it, rounded up.
int smallestHallPixelSize(int screenHeight);

// Lays out metrics.widthsEm.size() lines on a screen of that size, keeping clear of keepFree
// (the corner with the players' page's address; empty for none). The type is as large as lets
// every line fit on one page, up to a fourteenth of the height; when they do not fit at the
// smallest size, they go on as many pages as they need at that size.
HallLayout layoutHall(const HallMetrics& metrics, const QSize& screen, const QRect& keepFree = {});

} // namespace velka
