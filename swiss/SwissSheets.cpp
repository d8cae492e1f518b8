#include "swiss/SwissSheets.h"

#include "core/Message.h"
#include "swiss/HallListing.h"
#include "swiss/PaperPages.h"
#include "swiss/ReadingOrder.h"
#include "swiss/Standings.h"
#include "uikit/Fonts.h"
#include "uikit/PdfSearchableText.h"

#include <QBuffer>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numeric>

namespace velka {

namespace {

constexpr int kPdfDotsPerInch = 1200;
constexpr qreal kMarginMillimetres = 10;

// Type sizes in points.
constexpr qreal kTitlePoints = 18;
constexpr qreal kFooterPoints = 8;
constexpr qreal kHeaderPoints = 9;
// A name in a list is made smaller to keep to one line, down to this share of its size.
constexpr qreal kSmallestListShare = 0.7;
// The slip's name is made smaller until it fits its box, down to this.
constexpr qreal kSmallestSlipNamePoints = 5;

// A name that a list prints: every name is painted in this weight, so that all of them come from
// the font that the searchable text's key is painted in.
constexpr int kNameWeight = QFont::Normal;

QString roundName(int round)
{
    return QStringLiteral("第%1回戦").arg(round);
}

QString name(const SwissEvent& event, int player)
{
    return player >= 0 && player < static_cast<int>(event.players.size())
               ? QString::fromStdString(event.players[static_cast<std::size_t>(player)].name)
               : QString();
}

// Lengths on a page of dotsPerInch.
struct PageUnits {
    int dotsPerInch;
    int mm(qreal millimetres) const { return qRound(millimetres / 25.4 * dotsPerInch); }
    QFont font(qreal points, int weight = kNameWeight) const
    {
        QFont f = japaneseGothic(points, weight);
        f.setPixelSize(std::max(1, qRound(points * dotsPerInch / 72.0)));
        return f;
    }
};

// Text laid out in lines no wider than width: broken between words where it can be, anywhere
// where it must (a name of one long word), so that no text is cut or runs over its neighbour.
class WrappedText {
public:
    WrappedText(const QString& text, const QFont& font, QPaintDevice* device, qreal width,
                Qt::Alignment align)
        : layout_(text, font, device)
    {
        // Left is the left of the box for every name, a right-to-left one too, so that the
        // names of a column line up.
        QTextOption option(align.testFlag(Qt::AlignLeft) ? align | Qt::AlignAbsolute : align);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout_.setTextOption(option);
        layout_.beginLayout();
        for (QTextLine line = layout_.createLine(); line.isValid(); line = layout_.createLine()) {
            line.setLineWidth(width);
            line.setPosition(QPointF(0, height_));
            height_ += line.height();
            widest_ = std::max(widest_, line.naturalTextWidth());
        }
        layout_.endLayout();
    }

    int lines() const { return layout_.lineCount(); }
    qreal height() const { return height_; }
    qreal widest() const { return widest_; }
    void draw(QPainter& painter, const QPointF& topLeft) const { layout_.draw(&painter, topLeft); }

private:
    QTextLayout layout_;
    qreal height_ = 0;
    qreal widest_ = 0;
};

struct ListColumn {
    QString header;
    qreal share = 1; // of the width of a column of the list
    qreal points = 11;
    int weight = kNameWeight;
    Qt::Alignment align = Qt::AlignLeft;
};

// A sheet that is a list: a heading, columns of cells, rows flowed down the page in
// columnsPerPage columns side by side.
struct ListSheet {
    QString title;
    std::vector<ListColumn> columns;
    std::vector<QStringList> rows;
    int columnsPerPage = 1;
};

ListSheet pairingsByName(const SwissEvent& event, int round)
{
    ListSheet sheet{roundName(round) + QStringLiteral("　組み合わせ（名前順）"),
                    {{QStringLiteral("名前"), 0.50, 14},
                     {QStringLiteral("卓"), 0.16, 16, QFont::Bold, Qt::AlignHCenter},
                     {QStringLiteral("相手"), 0.34, 9}},
                    {},
                    2};
    const std::vector<Seat> seats = seatsOf(event, round);
    std::vector<const Seat*> seatOf(event.players.size(), nullptr);
    for (const Seat& seat : seats)
        seatOf[static_cast<std::size_t>(seat.player)] = &seat;
    for (const int player : readingOrder(event.players)) {
        const Seat* seat = seatOf[static_cast<std::size_t>(player)];
        if (!seat)
            continue;
        sheet.rows.push_back(
            {name(event, player),
             seat->opponent ? QString::number(seat->table) : QStringLiteral("—"),
             seat->opponent ? name(event, *seat->opponent) : QStringLiteral("不戦勝")});
    }
    return sheet;
}

ListSheet pairingsByTable(const SwissEvent& event, int round)
{
    ListSheet sheet{roundName(round) + QStringLiteral("　組み合わせ（卓順）"),
                    {{QStringLiteral("卓"), 0.12, 14, QFont::Bold, Qt::AlignHCenter},
                     {QStringLiteral("選手1"), 0.44, 12},
                     {QStringLiteral("選手2"), 0.44, 12}},
                    {},
                    1};
    if (round < 1 || round > static_cast<int>(event.rounds.size()))
        return sheet;
    const std::vector<SwissTable>& tables =
        event.rounds[static_cast<std::size_t>(round - 1)].tables;
    for (std::size_t t = 0; t < tables.size(); ++t) {
        const SwissTable& table = tables[t];
        sheet.rows.push_back(
            {table.bye() ? QStringLiteral("—") : QString::number(t + 1), name(event, table.playerA),
             table.bye() ? QStringLiteral("（不戦勝）") : name(event, *table.playerB)});
    }
    return sheet;
}

// The standings as the window shows them, over the rounds complete: a round whose results are
// still coming in would put half of the hall's matches on the wall.
ListSheet standingsSheet(const SwissEvent& whole)
{
    const SwissEvent event = throughCompleteRounds(whole);
    const int complete = static_cast<int>(event.rounds.size());
    ListSheet sheet{complete == 0 ? QStringLiteral("順位表（第1回戦の前）")
                                  : QStringLiteral("順位表（%1終了時点）").arg(roundName(complete)),
                    {{QStringLiteral("順位"), 0.07, 10, QFont::Normal, Qt::AlignRight},
                     {QStringLiteral("名前"), 0.36, 10},
                     {QStringLiteral("勝ち点"), 0.09, 10, QFont::Normal, Qt::AlignRight},
                     {QStringLiteral("勝-負-分"), 0.11, 10, QFont::Normal, Qt::AlignRight}},
                    {},
                    1};
    for (const std::string& tiebreaker : tiebreakerNames(event.settings.tiebreakers)) {
        QString header = QString::fromStdString(tiebreaker);
        if (!header.endsWith(u'%'))
            header += u'%';
        sheet.columns.push_back({header, 0.09, 10, QFont::Normal, Qt::AlignRight});
    }
    sheet.columns.push_back({QStringLiteral("状態"), 0.08, 10});
    for (const SwissStanding& line : standings(event)) {
        QStringList row{QString::number(line.rank), name(event, line.player),
                        QString::number(line.matchPoints),
                        QStringLiteral("%1-%2-%3").arg(line.wins).arg(line.losses).arg(line.draws)};
        for (const Fraction& value : line.tiebreakers)
            row << QString::fromStdString(value.percentText());
        row << (line.dropped ? QStringLiteral("棄権") : QString());
        sheet.rows.push_back(row);
    }
    return sheet;
}

ListSheet listSheet(const SwissEvent& event, SwissSheet sheet, int round)
{
    switch (sheet) {
    case SwissSheet::PairingsByName:
        return pairingsByName(event, round);
    case SwissSheet::PairingsByTable:
        return pairingsByTable(event, round);
    default:
        return standingsSheet(event);
    }
}

void paintFooter(QPainter& painter, const QRect& footer, const PageUnits& units,
                 const QDateTime& printed, int page, int pages)
{
    painter.setFont(units.font(kFooterPoints));
    painter.drawText(footer, Qt::AlignLeft | Qt::AlignBottom,
                     printed.toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    painter.drawText(footer, Qt::AlignHCenter | Qt::AlignBottom,
                     QStringLiteral("%1/%2").arg(page).arg(pages));
    painter.drawText(footer, Qt::AlignRight | Qt::AlignBottom,
                     QString::fromUtf8(kApplicationTitle));
}

bool paintList(QPagedPaintDevice& device, QPainter& painter, const PageUnits& units,
               const ListSheet& sheet, const QDateTime& printed)
{
    const QRect page(QPoint(0, 0), device.pageLayout().paintRectPixels(units.dotsPerInch).size());
    const QFont titleFont = units.font(kTitlePoints, QFont::Bold);
    const QFont headerFont = units.font(kHeaderPoints, QFont::Bold);
    const int titleHeight = QFontMetrics(titleFont, &device).height() + units.mm(4);
    const int footerHeight =
        QFontMetrics(units.font(kFooterPoints), &device).height() + units.mm(2);
    const int pad = units.mm(1);
    const int headerHeight = QFontMetrics(headerFont, &device).height() + 2 * pad;
    const QRect body(page.left(), page.top() + titleHeight, page.width(),
                     page.height() - titleHeight - footerHeight);
    const int gutter = units.mm(6);
    const int columns = std::max(sheet.columnsPerPage, 1);
    const int columnWidth = (body.width() - gutter * (columns - 1)) / columns;

    const qreal shares =
        std::accumulate(sheet.columns.begin(), sheet.columns.end(), 0.0,
                        [](qreal sum, const ListColumn& c) { return sum + c.share; });
    std::vector<int> cellLeft;
    std::vector<int> cellWidth;
    qreal at = 0;
    for (const ListColumn& column : sheet.columns) {
        const int left = qRound(at / shares * columnWidth);
        at += column.share;
        cellLeft.push_back(left);
        cellWidth.push_back(qRound(at / shares * columnWidth) - left);
    }

    // Every cell laid out once: its height decides how the rows flow.
    std::vector<std::vector<std::unique_ptr<WrappedText>>> cells;
    std::vector<int> heights;
    cells.reserve(sheet.rows.size());
    heights.reserve(sheet.rows.size());
    for (const QStringList& row : sheet.rows) {
        std::vector<std::unique_ptr<WrappedText>> laidOut;
        qreal tallest = 0;
        for (std::size_t c = 0; c < sheet.columns.size(); ++c) {
            const ListColumn& column = sheet.columns[c];
            const QString cell = c < static_cast<std::size_t>(row.size())
                                     ? row[static_cast<qsizetype>(c)]
                                     : QString();
            // A long name is set a little smaller to keep to one line; one too long for that
            // keeps its size and is wrapped.
            std::unique_ptr<WrappedText> text;
            const int steps = static_cast<int>(column.points * (1 - kSmallestListShare) / 0.5);
            for (int step = 0; step <= steps; ++step) {
                text = std::make_unique<WrappedText>(
                    cell, units.font(column.points - 0.5 * step, column.weight), &device,
                    cellWidth[c] - 2 * pad, column.align);
                if (text->lines() <= 1)
                    break;
            }
            if (text->lines() > 1) {
                text = std::make_unique<WrappedText>(cell, units.font(column.points, column.weight),
                                                     &device, cellWidth[c] - 2 * pad, column.align);
            }
            tallest = std::max(tallest, text->height());
            laidOut.push_back(std::move(text));
        }
        cells.push_back(std::move(laidOut));
        heights.push_back(static_cast<int>(std::ceil(tallest)) + 2 * pad);
    }
    const auto pages = flowIntoColumns(heights, body.height() - headerHeight, columns);

    QPen thin(Qt::black);
    thin.setWidth(std::max(1, units.mm(0.15)));
    QPen rule(Qt::black);
    rule.setWidth(std::max(1, units.mm(0.4)));
    for (std::size_t p = 0; p < pages.size(); ++p) {
        if (p > 0 && !device.newPage())
            return false;
        painter.setPen(Qt::black);
        painter.setFont(titleFont);
        painter.drawText(QRect(page.left(), page.top(), page.width(), titleHeight),
                         Qt::AlignLeft | Qt::AlignTop, sheet.title);
        paintFooter(
            painter,
            QRect(page.left(), page.bottom() - footerHeight + 1, page.width(), footerHeight), units,
            printed, static_cast<int>(p) + 1, static_cast<int>(pages.size()));
        for (std::size_t c = 0; c < pages[p].size(); ++c) {
            const int left = body.left() + static_cast<int>(c) * (columnWidth + gutter);
            int y = body.top();
            painter.setFont(headerFont);
            for (std::size_t k = 0; k < sheet.columns.size(); ++k) {
                painter.drawText(
                    QRect(left + cellLeft[k] + pad, y, cellWidth[k] - 2 * pad, headerHeight),
                    static_cast<int>(sheet.columns[k].align | Qt::AlignVCenter),
                    sheet.columns[k].header);
            }
            y += headerHeight;
            painter.setPen(rule);
            painter.drawLine(left, y, left + columnWidth, y);
            const ItemSpan rows = pages[p][c];
            for (int r = rows.first; r < rows.end; ++r) {
                const auto& row = cells[static_cast<std::size_t>(r)];
                const int height = heights[static_cast<std::size_t>(r)];
                painter.setPen(Qt::black);
                for (std::size_t k = 0; k < row.size(); ++k) {
                    // Short cells stand in the middle of a row that a wrapped name made taller.
                    const qreal top = y + (height - row[k]->height()) / 2.0;
                    row[k]->draw(painter, QPointF(left + cellLeft[k] + pad, top));
                }
                y += height;
                painter.setPen(thin);
                painter.drawLine(left, y, left + columnWidth, y);
            }
        }
    }
    return true;
}

// The slip's box for a name: the largest type, up to the given size, in which the whole name
// fits; a name too long even in the smallest type is cut short with an ellipsis.
std::unique_ptr<WrappedText> fittedName(const QString& text, const PageUnits& units,
                                        QPaintDevice* device, const QSize& box, qreal points)
{
    const int steps = static_cast<int>((points - kSmallestSlipNamePoints) / 0.5);
    for (int step = 0; step <= steps; ++step) {
        auto laidOut = std::make_unique<WrappedText>(text, units.font(points - 0.5 * step), device,
                                                     box.width(), Qt::AlignLeft);
        if (laidOut->height() <= box.height())
            return laidOut;
    }
    const QFont smallest = units.font(kSmallestSlipNamePoints);
    qsizetype low = 0;
    qsizetype high = text.size();
    while (low < high) {
        const qsizetype mid = (low + high + 1) / 2;
        if (WrappedText(text.left(mid) + u'…', smallest, device, box.width(), Qt::AlignLeft)
                .height() <= box.height())
            low = mid;
        else
            high = mid - 1;
    }
    return std::make_unique<WrappedText>(text.left(low) + u'…', smallest, device, box.width(),
                                         Qt::AlignLeft);
}

void paintSlip(QPainter& painter, QPaintDevice* device, const PageUnits& units, const QRect& cell,
               const SwissEvent& event, int round, int tableIndex)
{
    const SwissTable& table = event.rounds[static_cast<std::size_t>(round - 1)]
                                  .tables[static_cast<std::size_t>(tableIndex)];
    const bool games = event.settings.match == MatchFormat::BestOfThree;
    const QRect slip = cell.adjusted(units.mm(7), units.mm(6), -units.mm(7), -units.mm(5));
    const int pad = units.mm(1);

    painter.setPen(Qt::black);
    const QFont tableFont = units.font(20, QFont::Bold);
    const int topHeight = std::max(QFontMetrics(tableFont, device).height(), units.mm(9));
    const QRect top(slip.left(), slip.top(), slip.width(), topHeight);
    painter.setFont(tableFont);
    painter.drawText(top, Qt::AlignRight | Qt::AlignVCenter,
                     QStringLiteral("%1番卓").arg(tableIndex + 1));
    painter.setFont(units.font(11));
    painter.drawText(top, Qt::AlignLeft | Qt::AlignTop,
                     roundName(round) + QStringLiteral("　結果記入票"));
    painter.setFont(units.font(8));
    painter.drawText(top, Qt::AlignLeft | Qt::AlignBottom,
                     games ? QStringLiteral("2本先取") : QStringLiteral("1本勝負"));

    // The grid: a header, then each player's row with the boxes for the result and the
    // signature.
    struct Box {
        QString header;
        qreal millimetres;
    };
    const std::vector<Box> boxes = games ? std::vector<Box>{{QStringLiteral("1本目"), 9},
                                                            {QStringLiteral("2本目"), 9},
                                                            {QStringLiteral("3本目"), 9},
                                                            {QStringLiteral("勝数"), 10},
                                                            {QStringLiteral("署名"), 24}}
                                         : std::vector<Box>{{QStringLiteral("勝ち"), 10},
                                                            {QStringLiteral("負け"), 10},
                                                            {QStringLiteral("引分"), 10},
                                                            {QStringLiteral("署名"), 31}};
    int boxesWidth = 0;
    for (const Box& box : boxes)
        boxesWidth += units.mm(box.millimetres);
    const int gridTop = top.bottom() + 1 + units.mm(3);
    const int headerHeight = units.mm(5.5);
    const int rowHeight = units.mm(17);
    const int nameWidth = slip.width() - boxesWidth;
    const int gridBottom = gridTop + headerHeight + 2 * rowHeight;

    QPen line(Qt::black);
    line.setWidth(std::max(1, units.mm(0.25)));
    painter.setPen(line);
    painter.drawRect(QRect(slip.left(), gridTop, slip.width(), gridBottom - gridTop));
    for (int y : {gridTop + headerHeight, gridTop + headerHeight + rowHeight})
        painter.drawLine(slip.left(), y, slip.right(), y);
    int x = slip.left() + nameWidth;
    painter.setFont(units.font(7));
    painter.drawText(QRect(slip.left() + pad, gridTop, nameWidth - 2 * pad, headerHeight),
                     Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("選手"));
    for (const Box& box : boxes) {
        const int width = units.mm(box.millimetres);
        painter.drawLine(x, gridTop, x, gridBottom);
        painter.drawText(QRect(x, gridTop, width, headerHeight), Qt::AlignCenter, box.header);
        x += width;
    }
    const QSize nameBox(nameWidth - 2 * pad, rowHeight - 2 * pad);
    const int players[] = {table.playerA, table.playerB.value_or(-1)};
    for (int i = 0; i < 2; ++i) {
        const int rowTop = gridTop + headerHeight + i * rowHeight;
        const auto laidOut = fittedName(name(event, players[i]), units, device, nameBox, 12);
        painter.setPen(Qt::black);
        laidOut->draw(painter,
                      QPointF(slip.left() + pad, rowTop + (rowHeight - laidOut->height()) / 2.0));
    }

    painter.setPen(Qt::black);
    const QString howTo =
        games ? QStringLiteral("各ゲームの勝者の欄に○、勝数の欄に勝ったゲーム数を書き、両者が署名"
                               "して本部へ提出してください。")
              : QStringLiteral("勝ち・負け・引分のどれかに○を付け、両者が署名して本部へ提出してく"
                               "ださい。");
    const WrappedText note(howTo, units.font(7), device, slip.width(), Qt::AlignLeft);
    note.draw(painter, QPointF(slip.left(), gridBottom + units.mm(1.5)));
}

bool paintSlips(QPagedPaintDevice& device, QPainter& painter, const PageUnits& units,
                const SwissEvent& event, int round)
{
    // The whole sheet of paper: the cutting lines divide the paper, whatever margins the printer
    // keeps.
    const QRect page(QPoint(0, 0), device.pageLayout().fullRectPixels(units.dotsPerInch).size());
    const std::vector<SlipPlace> places = slipPlaces(event, round, kSlipsPerPage);
    const int cellWidth = page.width() / kSlipColumns;
    const int cellHeight = page.height() / kSlipRows;
    QPen cut(Qt::black);
    cut.setWidth(std::max(1, units.mm(0.2)));
    cut.setStyle(Qt::DashLine);
    int shownPage = -1;
    for (const SlipPlace& place : places) {
        if (place.page != shownPage) {
            if (shownPage >= 0 && !device.newPage())
                return false;
            shownPage = place.page;
            painter.setPen(cut);
            for (int c = 1; c < kSlipColumns; ++c)
                painter.drawLine(c * cellWidth, page.top(), c * cellWidth, page.bottom());
            for (int r = 1; r < kSlipRows; ++r)
                painter.drawLine(page.left(), r * cellHeight, page.right(), r * cellHeight);
        }
        const QRect cell((place.cell % kSlipColumns) * cellWidth,
                         (place.cell / kSlipColumns) * cellHeight, cellWidth, cellHeight);
        paintSlip(painter, &device, units, cell, event, round, place.table);
    }
    return true;
}

} // namespace

QString sheetName(SwissSheet sheet)
{
    switch (sheet) {
    case SwissSheet::PairingsByName:
        return QStringLiteral("組み合わせ（名前順）");
    case SwissSheet::PairingsByTable:
        return QStringLiteral("組み合わせ（卓順）");
    case SwissSheet::Standings:
        return QStringLiteral("順位表");
    case SwissSheet::ResultSlips:
        return QStringLiteral("結果記入票");
    }
    return {};
}

bool sheetAvailable(const SwissEvent& event, SwissSheet sheet, int round)
{
    if (sheet == SwissSheet::Standings)
        return !event.players.empty();
    if (sheet == SwissSheet::ResultSlips)
        return !slipPlaces(event, round, kSlipsPerPage).empty();
    return round >= 1 && round <= static_cast<int>(event.rounds.size());
}

QPageLayout sheetPageLayout(SwissSheet sheet)
{
    const qreal margin = sheet == SwissSheet::ResultSlips ? 0 : kMarginMillimetres;
    return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                       QMarginsF(margin, margin, margin, margin), QPageLayout::Millimeter);
}

QStringList sheetNames(const SwissEvent& event, SwissSheet sheet, int round)
{
    QStringList names;
    if (sheet == SwissSheet::Standings) {
        for (const SwissPlayer& player : event.players)
            names << QString::fromStdString(player.name);
        return names;
    }
    for (const Seat& seat : seatsOf(event, round)) {
        if (sheet != SwissSheet::ResultSlips || seat.opponent)
            names << name(event, seat.player);
    }
    return names;
}

bool printSwissSheet(QPagedPaintDevice& device, const SwissEvent& event, SwissSheet sheet,
                     int round, const QDateTime& printed, PdfSearchableText* searchable)
{
    QPainter painter;
    if (!painter.begin(&device))
        return false;
    const PageUnits units{device.logicalDpiX()};
    if (searchable)
        searchable->paintKey(painter, units.font(11), sheetNames(event, sheet, round));
    const bool painted =
        sheet == SwissSheet::ResultSlips
            ? paintSlips(device, painter, units, event, round)
            : paintList(device, painter, units, listSheet(event, sheet, round), printed);
    return painter.end() && painted;
}

std::optional<QByteArray> swissSheetPdf(const SwissEvent& event, SwissSheet sheet, int round,
                                        const QDateTime& printed)
{
    QByteArray bytes;
    PdfSearchableText searchable;
    {
        QBuffer buffer(&bytes);
        if (!buffer.open(QIODevice::WriteOnly))
            return std::nullopt;
        QPdfWriter writer(&buffer);
        writer.setResolution(kPdfDotsPerInch);
        writer.setPageLayout(sheetPageLayout(sheet));
        writer.setTitle(sheetName(sheet));
        writer.setCreator(QString::fromUtf8(kApplicationTitle));
        if (!printSwissSheet(writer, event, sheet, round, printed, &searchable))
            return std::nullopt;
    }
    if (!isWholePdf(bytes))
        return std::nullopt;
    searchable.apply(bytes);
    return bytes;
}

} // namespace velka
