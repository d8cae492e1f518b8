#include "swiss/HallLayout.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <optional>

namespace velka {

namespace {

// A text's width at a pixel size, with room for rounding and anti-aliasing.
int scaled(double em, int pixelSize)
{
    return static_cast<int>(std::ceil(em * pixelSize * 1.02)) + 2;
}

// How narrow a name's field may get before the columns are too many: a few characters.
constexpr double kNarrowestNameEm = 5;

int round(double value)
{
    return static_cast<int>(std::lround(value));
}

// The rows a text of that width takes in a field when wrapped between characters: each full
// row holds more than the field less its widest character.
int rowsFor(int width, int field, int widestCharacter)
{
    if (width <= field)
        return 1;
    const int usable = std::max(1, field - widestCharacter);
    return (width + usable - 1) / usable;
}

// The layout at one size of type in a given number of columns; nothing when the columns
// cannot be that narrow.
std::optional<HallLayout> layoutAt(const HallMetrics& metrics, const QSize& screen,
                                   const QRect& keepFree, int pixelSize, int columns)
{
    HallLayout layout;
    const int p = pixelSize;
    layout.pixelSize = p;
    layout.rowHeight = static_cast<int>(std::ceil(metrics.heightEm * p)) + round(0.25 * p);
    const int margin = round(0.03 * std::min(screen.width(), screen.height()));
    const int headingHeight = static_cast<int>(std::ceil(metrics.heightEm * 1.25 * p));
    layout.heading = QRect(margin, margin, screen.width() - 2 * margin, headingHeight);
    QRect body(QPoint(margin, layout.heading.bottom() + 1 + round(0.4 * p)),
               QPoint(screen.width() - margin - 1, screen.height() - margin - 1));
    const int fieldGap = round(0.6 * p);
    layout.columnGap = round(1.5 * p);
    if (!keepFree.isEmpty() && keepFree.intersects(body)) {
        // Beside the corner or above it, whichever leaves more room.
        QRect above = body;
        above.setBottom(keepFree.top() - fieldGap - 1);
        QRect beside = body;
        beside.setRight(keepFree.left() - layout.columnGap - 1);
        const auto area = [](const QRect& r) {
            return r.isValid() ? qint64(r.width()) * r.height() : qint64(0);
        };
        body = area(above) >= area(beside) ? above : beside;
    }
    layout.body = body;
    layout.captionTop = body.top();

    const std::size_t fieldCount = metrics.fields.size();
    layout.fieldWidth.resize(fieldCount);
    int natural = 0;
    int fixed = 0;
    int wrapping = 0;
    for (std::size_t f = 0; f < fieldCount; ++f) {
        const int width = scaled(metrics.fields[f].widestEm, p);
        layout.fieldWidth[f] = width;
        natural += width + (f > 0 ? fieldGap : 0);
        (metrics.fields[f].wraps ? wrapping : fixed) += width;
    }
    const int bodyWidth = std::max(1, body.width());
    layout.columns = columns;
    const int room = (bodyWidth - (columns - 1) * layout.columnGap) / columns;
    layout.columnWidth = std::min(natural, room);
    if (natural > room) {
        // The names share what the other fields leave, and the longest wrap; a name's field
        // keeps room for a few characters at least, or the columns are too narrow.
        const int budget = room - (natural - wrapping);
        const int narrowest = scaled(kNarrowestNameEm, p);
        int given = 0;
        for (std::size_t f = 0; f < fieldCount; ++f) {
            if (!metrics.fields[f].wraps)
                continue;
            const int width = static_cast<int>(qint64(budget) * layout.fieldWidth[f] / wrapping);
            layout.fieldWidth[f] = std::min(layout.fieldWidth[f], std::max(narrowest, width));
            given += layout.fieldWidth[f];
        }
        if (columns > 1 && (wrapping == 0 || given > budget))
            return std::nullopt;
    }
    layout.fieldLeft.resize(fieldCount);
    int left = 0;
    for (std::size_t f = 0; f < fieldCount; ++f) {
        layout.fieldLeft[f] = left;
        left += layout.fieldWidth[f] + fieldGap;
    }

    const int widestCharacter = scaled(metrics.widestCharacterEm, p);
    const int linesTop = layout.captionTop + layout.rowHeight;
    int page = 0;
    int column = 0;
    int y = linesTop;
    layout.lines.reserve(metrics.widthsEm.size());
    for (const std::vector<double>& widths : metrics.widthsEm) {
        HallLine line;
        for (std::size_t f = 0; f < fieldCount && f < widths.size(); ++f) {
            if (metrics.fields[f].wraps)
                line.rows = std::max(line.rows, rowsFor(scaled(widths[f], p), layout.fieldWidth[f],
                                                        widestCharacter));
        }
        const int height = line.rows * layout.rowHeight;
        if (y > linesTop && y + height > body.bottom() + 1) {
            y = linesTop;
            if (++column == layout.columns) {
                column = 0;
                ++page;
            }
        }
        line.page = page;
        line.column = column;
        line.top = y;
        y += height;
        layout.lines.push_back(line);
    }
    layout.pages = page + 1;
    return layout;
}

} // namespace

QRect HallLayout::lineRect(int line) const
{
    const HallLine& l = lines.at(static_cast<std::size_t>(line));
    return {columnLeft(l.column), l.top, columnWidth, l.rows * rowHeight};
}

QRect HallLayout::fieldRect(int line, int field) const
{
    const HallLine& l = lines.at(static_cast<std::size_t>(line));
    const auto f = static_cast<std::size_t>(field);
    return {columnLeft(l.column) + fieldLeft.at(f), l.top, fieldWidth.at(f), l.rows * rowHeight};
}

QRect HallLayout::captionRect(int column, int field) const
{
    const auto f = static_cast<std::size_t>(field);
    return {columnLeft(column) + fieldLeft.at(f), captionTop, fieldWidth.at(f), rowHeight};
}

int smallestHallPixelSize(int screenHeight)
{
    return std::max(1, (screenHeight + 29) / 30);
}

HallLayout layoutHall(const HallMetrics& metrics, const QSize& screen, const QRect& keepFree)
{
    const int smallest = smallestHallPixelSize(screen.height());
    const int largest = std::max(smallest, screen.height() / 14);
    // The largest type that holds everything on one page, in as few columns as do (the fewer
    // the columns, the fewer names wrap); else the smallest type, in as many columns as make
    // the fewest pages.
    std::optional<HallLayout> best;
    for (int p = largest; p >= smallest; --p) {
        const int most = std::max<int>(1, static_cast<int>(metrics.widthsEm.size()));
        for (int columns = 1; columns <= most; ++columns) {
            std::optional<HallLayout> layout = layoutAt(metrics, screen, keepFree, p, columns);
            if (!layout)
                break;
            if (layout->pages == 1 || p == smallest) {
                if (!best || layout->pages < best->pages)
                    best = std::move(layout);
                if (best->pages == 1)
                    return *best;
            }
        }
    }
    return *best; // one column is always laid out
}

} // namespace velka
