#include "swiss/SwissProjectorView.h"

#include "core/Clock.h"
#include "swiss/HallCountdown.h"
#include "swiss/HallListing.h"
#include "swiss/ReadingOrder.h"
#include "swiss/SwissDraw.h"
#include "swiss/SwissStandingsModel.h"
#include "uikit/Fonts.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>
#include <QTextBoundaryFinder>
#include <QTextOption>
#include <QTimer>

#include <algorithm>
#include <map>

namespace velka {

namespace {

constexpr int kMeasuringPixels = 100;
// The widest time left the corner is measured on, so that it does not move from one second
// to the next.
const QString kWidestTime = QStringLiteral("00 : 00 : 00");

const QColor kNameColour(Qt::white);
const QColor kNumberColour(255, 224, 96); // table numbers and ranks, looked for first
const QColor kOtherColour(210, 210, 210);
const QColor kCaptionColour(150, 150, 150);
const QColor kTimeColour(120, 220, 120);

QString roundName(int round)
{
    return QStringLiteral("第%1回戦").arg(round);
}

// The pieces of text between the places a row may break: each character (grapheme), or each
// word with the blanks after it.
QStringList pieces(const QString& text, QTextBoundaryFinder::BoundaryType type)
{
    QStringList parts;
    QTextBoundaryFinder finder(type, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        if (end > start)
            parts << text.mid(start, end - start);
        start = end;
    }
    return parts;
}

QStringList characters(const QString& text)
{
    return pieces(text, QTextBoundaryFinder::Grapheme);
}

// Fills rows greedily with the pieces; empty when a piece alone is too wide.
QStringList fillRows(const QStringList& parts, const QFontMetricsF& metrics, int width)
{
    QStringList rows;
    QString row;
    for (const QString& part : parts) {
        if (!row.isEmpty() && metrics.horizontalAdvance(row + part) > width) {
            rows << row;
            row.clear();
        }
        row += part;
        if (metrics.horizontalAdvance(row) > width)
            return {};
    }
    rows << row;
    return rows;
}

} // namespace

QStringList wrapToWidth(const QString& text, const QFont& font, int width, int rows)
{
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(text) <= width)
        return {text};
    // Between words ("Alexander" over "Montgomery") where that takes no more rows than the line
    // has, else between characters.
    QStringList byWord = fillRows(pieces(text, QTextBoundaryFinder::Line), metrics, width);
    QStringList byCharacter = fillRows(characters(text), metrics, width);
    if (!byWord.isEmpty() && byWord.size() <= std::max<qsizetype>(rows, byCharacter.size()))
        return byWord;
    if (!byCharacter.isEmpty())
        return byCharacter;
    return {text}; // a single character wider than the field: nothing narrower to show
}

SwissProjectorView::SwissProjectorView(SwissDraw& draw, const Clock& clock,
                                       HallCountdown* countdown, Mode mode, QWidget* parent)
    : FullScreenView(parent)
    , draw_(draw)
    , clock_(clock)
    , countdown_(countdown)
    , mode_(mode)
    , standings_(new SwissStandingsModel(draw, this))
    , pageTimer_(new QTimer(this))
    , font_(japaneseGothic(24))
    , pagesSince_(clock.now())
{
    setObjectName(QStringLiteral("SwissProjectorView"));
    setWindowTitle(QStringLiteral("スイスドロー"));
    font_.setHintingPreference(QFont::PreferNoHinting); // widths scale with the size
    pageTimer_->setInterval(500);
    connect(pageTimer_, &QTimer::timeout, this, &SwissProjectorView::tick);
    if (countdown_) {
        connect(countdown_, &HallCountdown::changed, this, [this] {
            if (layoutValid_)
                update(timeLeftArea());
            else
                update();
        });
    }
    subscription_ = draw_.subscribe([this] { readEvent(); });
    readEvent();
}

SwissProjectorView::~SwissProjectorView() = default;

void SwissProjectorView::setMode(Mode mode)
{
    if (mode == mode_)
        return;
    mode_ = mode;
    pagesSince_ = clock_.now();
    page_ = 0;
    readEvent();
}

void SwissProjectorView::readEvent()
{
    const SwissEvent& event = draw_.event();
    lines_.clear();
    const int rounds = static_cast<int>(event.rounds.size());
    if (mode_ == Mode::Pairings) {
        const int round = shownRound(event);
        title_ = round > 0 ? roundName(round) + QStringLiteral("　組み合わせ")
                           : QStringLiteral("組み合わせ");
        captions_ = {QStringLiteral("名前"), QStringLiteral("卓"), QStringLiteral("対戦相手"),
                     QStringLiteral("結果")};
        wraps_ = {true, false, true, false};
        emptyText_ = QStringLiteral("まだ組み合わせを作っていません");
        std::map<int, Seat> seatOf;
        for (const Seat& seat : seatsOf(event, round))
            seatOf.emplace(seat.player, seat);
        const auto nameOf = [&](int player) {
            return QString::fromStdString(event.players[static_cast<std::size_t>(player)].name);
        };
        // The order is the players' own: it changes only with them.
        if (orderedPlayers_ != event.players) {
            orderedPlayers_ = event.players;
            order_ = readingOrder(event.players);
        }
        for (const int player : order_) {
            const auto found = seatOf.find(player);
            if (found == seatOf.end())
                continue;
            const Seat& seat = found->second;
            const QString result =
                seat.opponent && seat.result
                    ? QString::fromStdString(resultText(event.settings.match, *seat.result))
                    : QString();
            lines_.push_back({nameOf(player), QString::number(seat.table),
                              seat.opponent ? nameOf(*seat.opponent) : QStringLiteral("不戦勝"),
                              result});
        }
    } else {
        standings_->refresh();
        if (rounds == 0)
            title_ = QStringLiteral("順位表");
        else if (event.rounds.back().complete())
            title_ = QStringLiteral("順位表（%1終了時点）").arg(roundName(rounds));
        else
            title_ = QStringLiteral("順位表（%1の途中）").arg(roundName(rounds));
        emptyText_ = QStringLiteral("参加者がいません");
        // The window's columns and texts; the status column only when someone dropped.
        int columns = standings_->columnCount();
        const int status = columns - 1;
        bool anyDropped = false;
        for (int row = 0; row < standings_->rowCount(); ++row)
            anyDropped |= !standings_->index(row, status).data().toString().isEmpty();
        if (!anyDropped)
            --columns;
        captions_.clear();
        wraps_.clear();
        for (int column = 0; column < columns; ++column) {
            captions_ << standings_->headerData(column, Qt::Horizontal).toString();
            wraps_.push_back(column == SwissStandingsModel::Name);
        }
        for (int row = 0; row < standings_->rowCount(); ++row) {
            QStringList line;
            for (int column = 0; column < columns; ++column)
                line << standings_->index(row, column).data().toString();
            lines_.push_back(line);
        }
    }
    layoutValid_ = false;
    update();
}

void SwissProjectorView::relayout()
{
    if (layoutValid_)
        return;
    QFont measuring = font_;
    measuring.setPixelSize(kMeasuringPixels);
    const QFontMetricsF metrics(measuring);
    // The same names come back with every result: each is measured once.
    if (measured_.size() > 4 * kMaxSwissPlayers * 16)
        measured_.clear();
    const auto em = [&](const QString& text) {
        const auto found = measured_.constFind(text);
        if (found != measured_.constEnd())
            return *found;
        const double width = metrics.horizontalAdvance(text) / kMeasuringPixels;
        measured_.insert(text, width);
        return width;
    };
    HallMetrics hall;
    hall.heightEm = (metrics.ascent() + metrics.descent()) / kMeasuringPixels;
    hall.fields.resize(static_cast<std::size_t>(captions_.size()));
    for (qsizetype f = 0; f < captions_.size(); ++f) {
        HallField& field = hall.fields[static_cast<std::size_t>(f)];
        field.wraps = wraps_[static_cast<std::size_t>(f)];
        field.widestEm = em(captions_[f]);
    }
    double widestCharacter = em(QStringLiteral("Ｗ"));
    hall.widthsEm.reserve(lines_.size());
    for (const QStringList& line : lines_) {
        std::vector<double> widths(hall.fields.size());
        for (std::size_t f = 0; f < widths.size() && f < static_cast<std::size_t>(line.size());
             ++f) {
            widths[f] = em(line[static_cast<qsizetype>(f)]);
            HallField& field = hall.fields[f];
            field.widestEm = std::max(field.widestEm, widths[f]);
            if (field.wraps) {
                for (const QString& character : characters(line[static_cast<qsizetype>(f)]))
                    widestCharacter = std::max(widestCharacter, em(character));
            }
        }
        hall.widthsEm.push_back(std::move(widths));
    }
    hall.widestCharacterEm = widestCharacter;
    layout_ = layoutHall(hall, size(), addressCorner().area);
    font_.setPixelSize(layout_.pixelSize);
    layoutValid_ = true;
    page_ = std::min(page_, layout_.pages - 1);
}

const HallLayout& SwissProjectorView::layout()
{
    relayout();
    return layout_;
}

QFont SwissProjectorView::lineFont()
{
    relayout();
    return font_;
}

QFont SwissProjectorView::headingFont() const
{
    QFont font = font_;
    font.setPixelSize(std::max(1, layout_.pixelSize * 5 / 4));
    font.setBold(true);
    return font;
}

QRect SwissProjectorView::timeLeftArea() const
{
    const QFontMetricsF metrics(headingFont());
    const int width = static_cast<int>(metrics.horizontalAdvance(kWidestTime)) + 4;
    QRect area = layout_.heading;
    area.setLeft(area.right() + 1 - width);
    return area;
}

void SwissProjectorView::tick()
{
    relayout();
    const int pages = layout_.pages;
    const int page =
        pages > 1 ? static_cast<int>(((clock_.now() - pagesSince_) / kPageSeconds) % pages) : 0;
    if (page != page_) {
        page_ = page;
        update();
    }
}

QString SwissProjectorView::title() const
{
    return title_;
}

QString SwissProjectorView::pageText() const
{
    if (!layoutValid_ || layout_.pages <= 1)
        return {};
    return QStringLiteral("%1/%2").arg(page_ + 1).arg(layout_.pages);
}

QString SwissProjectorView::timeLeft() const
{
    return countdown_ ? countdown_->timeLeft() : QString();
}

void SwissProjectorView::resizeEvent(QResizeEvent* event)
{
    FullScreenView::resizeEvent(event);
    layoutValid_ = false;
    update();
}

void SwissProjectorView::showEvent(QShowEvent* event)
{
    FullScreenView::showEvent(event);
    pageTimer_->start();
}

void SwissProjectorView::hideEvent(QHideEvent* event)
{
    pageTimer_->stop();
    FullScreenView::hideEvent(event);
}

void SwissProjectorView::addressCornerChanged()
{
    layoutValid_ = false;
    update();
}

void SwissProjectorView::paintEvent(QPaintEvent* event)
{
    paintPicture();
    QPainter painter(this);
    const qreal ratio = picture_.devicePixelRatio();
    for (const QRect& area : event->region()) {
        painter.drawImage(QRectF(area), picture_,
                          QRectF(QPointF(area.topLeft()) * ratio, QSizeF(area.size()) * ratio));
    }
    const QString time = timeLeft();
    if (!time.isEmpty()) {
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(headingFont());
        painter.setPen(kTimeColour);
        painter.drawText(timeLeftArea(), Qt::AlignRight | Qt::AlignVCenter, time);
    }
    paintAddressCorner(painter);
}

void SwissProjectorView::paintPicture()
{
    relayout();
    const qreal ratio = devicePixelRatioF();
    const QString heading = title_ + u'\n' + pageText() + u'\n' + captions_.join(u'\t');
    const bool whole = !pictureValid_ || picture_.size() != size() * ratio ||
                       paintedLayout_ != layout_ || paintedPage_ != page_ ||
                       paintedHeading_ != heading || paintedLines_.size() != lines_.size() ||
                       lines_.empty();
    if (whole) {
        if (picture_.size() != size() * ratio || picture_.devicePixelRatio() != ratio) {
            picture_ = QImage(size() * ratio, QImage::Format_RGB32);
            picture_.setDevicePixelRatio(ratio);
        }
        picture_.fill(Qt::black);
    }
    QPainter painter(&picture_);
    painter.setRenderHint(QPainter::TextAntialiasing);
    if (whole) {
        // The heading: the title on the left, the page before the time left on the right.
        painter.setFont(headingFont());
        QRect rest = layout_.heading;
        rest.setRight(timeLeftArea().left() - layout_.pixelSize);
        painter.setPen(kNameColour);
        painter.drawText(rest, Qt::AlignLeft | Qt::AlignVCenter, title_);
        painter.setPen(kOtherColour);
        painter.drawText(rest, Qt::AlignRight | Qt::AlignVCenter, pageText());
    }
    painter.setFont(font_);
    if (lines_.empty()) {
        painter.setPen(kOtherColour);
        painter.drawText(layout_.body, Qt::AlignLeft | Qt::AlignTop, emptyText_);
    } else if (whole) {
        // The captions over every column the page uses, then the page's lines.
        std::vector<bool> used(static_cast<std::size_t>(layout_.columns));
        for (const HallLine& line : layout_.lines) {
            if (line.page == page_)
                used[static_cast<std::size_t>(line.column)] = true;
        }
        painter.setPen(kCaptionColour);
        for (int column = 0; column < layout_.columns; ++column) {
            if (!used[static_cast<std::size_t>(column)])
                continue;
            for (int f = 0; f < static_cast<int>(captions_.size()); ++f) {
                const Qt::Alignment side =
                    wraps_[static_cast<std::size_t>(f)] ? Qt::AlignLeft : Qt::AlignRight;
                painter.drawText(QRectF(layout_.captionRect(column, f)), captions_[f],
                                 QTextOption(side | Qt::AlignVCenter));
            }
        }
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (layout_.lines[i].page == page_)
                paintLine(painter, i);
        }
    } else {
        // A result came in: only its lines change.
        for (std::size_t i = 0; i < lines_.size(); ++i) {
            if (layout_.lines[i].page != page_ || lines_[i] == paintedLines_[i])
                continue;
            painter.fillRect(layout_.lineRect(static_cast<int>(i)), Qt::black);
            paintLine(painter, i);
        }
    }
    pictureValid_ = true;
    paintedLayout_ = layout_;
    paintedPage_ = page_;
    paintedHeading_ = heading;
    paintedLines_ = lines_;
}

void SwissProjectorView::paintLine(QPainter& painter, std::size_t i)
{
    const QFontMetricsF metrics(font_);
    const int baseline = static_cast<int>(
        (layout_.rowHeight - (metrics.ascent() + metrics.descent())) / 2 + metrics.ascent());
    const bool pairings = mode_ == Mode::Pairings;
    const int name = pairings ? 0 : 1;
    const int number = pairings ? 1 : 0;
    const QStringList& line = lines_[i];
    const int fields = static_cast<int>(std::min(captions_.size(), line.size()));
    for (int f = 0; f < fields; ++f) {
        const QRect area = layout_.fieldRect(static_cast<int>(i), f);
        painter.setPen(f == number ? kNumberColour : f == name ? kNameColour : kOtherColour);
        if (!wraps_[static_cast<std::size_t>(f)]) {
            const qreal advance = metrics.horizontalAdvance(line[f]);
            painter.drawText(QPointF(area.right() + 1 - advance, area.top() + baseline), line[f]);
            continue;
        }
        int y = area.top() + baseline;
        for (const QString& row :
             wrapToWidth(line[f], font_, area.width(), layout_.lines[i].rows)) {
            painter.drawText(QPointF(area.left(), y), row);
            y += layout_.rowHeight;
        }
    }
}

} // namespace velka
