#include "timer/TimerProjectorView.h"

#include "timer/DisplayFont.h"
#include "uikit/Fonts.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <algorithm>
#include <string>

namespace velka {

namespace {

const QString kTimeUp = QStringLiteral("Time Up!!");
constexpr int kMeasuringPixels = 200;

QColor toQColor(EventTimer::Colour colour)
{
    const EventTimer::Rgb rgb = EventTimer::rgb(colour);
    return {rgb.red, rgb.green, rgb.blue};
}

int decimalDigits(std::int64_t value)
{
    int digits = 1;
    while (value >= 10) {
        value /= 10;
        ++digits;
    }
    return digits;
}

// The digits of the hours in a display text, "h : mm : ss".
int hourDigitsOf(const std::string& display)
{
    const std::size_t colon = display.find(" : ");
    return static_cast<int>(colon == std::string::npos ? display.size() : colon);
}

} // namespace

TimerProjectorView::TimerProjectorView(EventTimer& timer, QWidget* parent)
    : FullScreenView(parent)
    , timer_(timer)
    , font_(japaneseGothic(72, QFont::Bold))
{
    setObjectName(QStringLiteral("TimerProjectorView"));
    setWindowTitle(QStringLiteral("Velka EventTimer"));
    setAccessibleName(QStringLiteral("時刻表示"));
    subscription_ = timer_.subscribe([this](EventTimer::Part part) { heard(part); });
}

void TimerProjectorView::heard(EventTimer::Part part)
{
    if (part != EventTimer::Part::Display && part != EventTimer::Part::CountingDown &&
        part != EventTimer::Part::CountDownStarted)
        return;
    const QString before = scheduledText_;
    const QColor beforeColour = scheduledColour_;
    scheduledText_ = shownText();
    scheduledColour_ = shownColour();
    // A new mode or screen size changes the font: the whole view is painted again.
    if (measuredText() != fittedText_ || size() != fittedSize_) {
        update();
        return;
    }
    // A new second repaints only the characters that changed, usually one digit: the screen
    // can be 3840 x 2160, and the digits' outlines are large.
    if (beforeColour != scheduledColour_ || before.size() != scheduledText_.size()) {
        update(textArea_);
        return;
    }
    const QList<qreal> oldEdges = characterEdges(before);
    const QList<qreal> newEdges = characterEdges(scheduledText_);
    QRegion changed;
    for (qsizetype i = 0; i < before.size(); ++i) {
        if (before[i] != scheduledText_[i] || oldEdges[i] != newEdges[i] ||
            oldEdges[i + 1] != newEdges[i + 1])
            changed += characterCell(oldEdges, i).united(characterCell(newEdges, i));
    }
    if (!changed.isEmpty())
        update(changed);
}

QList<qreal> TimerProjectorView::characterEdges(const QString& text) const
{
    const QFontMetricsF metrics(font_);
    const qreal left = (width() - metrics.horizontalAdvance(text)) / 2;
    QList<qreal> edges;
    edges.reserve(text.size() + 1);
    for (qsizetype i = 0; i <= text.size(); ++i)
        edges.append(left + metrics.horizontalAdvance(text.left(i)));
    return edges;
}

QRect TimerProjectorView::characterCell(const QList<qreal>& edges, qsizetype i) const
{
    return QRectF(QPointF(edges[i] - cellPad_, textArea_.top()),
                  QPointF(edges[i + 1] + cellPad_, textArea_.bottom() + 1))
        .toAlignedRect();
}

void TimerProjectorView::setTimeUpShown(bool shown)
{
    if (shown == timeUpShown_)
        return;
    timeUpShown_ = shown;
    scheduledText_ = shownText();
    scheduledColour_ = shownColour();
    update();
}

QString TimerProjectorView::shownText() const
{
    return timeUpShown_ ? kTimeUp : QString::fromStdString(timer_.displayText());
}

QColor TimerProjectorView::shownColour() const
{
    return toQColor(timeUpShown_ ? EventTimer::Colour::Red : timer_.displayColour());
}

QString TimerProjectorView::measuredText() const
{
    if (timeUpShown_)
        return kTimeUp;
    QFont measuring = font_;
    measuring.setPixelSize(kMeasuringPixels);
    if (!timer_.countingDown())
        return widestDisplayTime(measuring); // two-digit hours
    // As many hours as the countdown's period has, or as the display shows when that is more:
    // a clock set back during the round leaves more time than the period, and the time of day
    // still shows until the first tick of a countdown.
    const int hourDigits =
        std::max(decimalDigits(std::max<std::int64_t>(timer_.countDownPeriod(), 0) / 3600),
                 hourDigitsOf(timer_.displayText()));
    return widestDisplayTime(measuring, hourDigits);
}

QFont TimerProjectorView::textFont()
{
    fitFont();
    return font_;
}

void TimerProjectorView::resizeEvent(QResizeEvent* event)
{
    FullScreenView::resizeEvent(event);
    update();
}

void TimerProjectorView::fitFont()
{
    const QString measured = measuredText();
    if (measured == fittedText_ && size() == fittedSize_)
        return;
    fittedText_ = measured;
    fittedSize_ = size();

    const QFont font = fitPixelSize(font_, measured, QSizeF(size()) * (1 - kMargin));
    font_ = font;
    // The ink of the measured text is centred vertically, so that the digits neither sit high
    // nor move when the text changes.
    const QFontMetricsF metrics(font);
    const QRectF ink = metrics.tightBoundingRect(measured);
    baselineOffset_ = qRound(-(ink.top() + ink.bottom()) / 2);
    // Every text of the mode stays within the measured text's advance and ink, with a little
    // room for anti-aliasing and side bearings.
    const qreal advance = metrics.horizontalAdvance(measured);
    const qreal pad = font.pixelSize() * 0.05 + 2;
    cellPad_ = pad;
    const qreal baseline = height() / 2.0 + baselineOffset_;
    textArea_ = QRectF(QPointF((width() - advance) / 2 - pad, baseline + ink.top() - pad),
                       QPointF((width() + advance) / 2 + pad, baseline + ink.bottom() + pad))
                    .toAlignedRect()
                    .intersected(rect());
}

void TimerProjectorView::paintEvent(QPaintEvent* event)
{
    fitFont();
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font_);
    painter.setPen(shownColour());
    // Character by character, each where the whole text puts it, and only where asked.
    const QString text = shownText();
    const QList<qreal> edges = characterEdges(text);
    const qreal baseline = height() / 2.0 + baselineOffset_;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u' ' && event->region().intersects(characterCell(edges, i)))
            painter.drawText(QPointF(edges[i], baseline), text.mid(i, 1));
    }
}

} // namespace velka
