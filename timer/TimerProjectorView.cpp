#include "timer/TimerProjectorView.h"

#include "timer/frmEventTimer.h"
#include "uikit/Fonts.h"

#include <QFontMetricsF>
#include <QPaintEvent>
#include <QPainter>

#include <cmath>

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
    if (part == EventTimer::Part::Display || part == EventTimer::Part::CountingDown ||
        part == EventTimer::Part::CountDownStarted)
        update();
}

void TimerProjectorView::setTimeUpShown(bool shown)
{
    if (shown == timeUpShown_)
        return;
    timeUpShown_ = shown;
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
    const QString clock = widestDisplayTime(measuring); // two-digit hours
    if (!timer_.countingDown())
        return clock;
    // The widest digit, as many times as the countdown's own hours have digits.
    const QChar widest = clock.front();
    const int hourDigits =
        decimalDigits(std::max<std::int64_t>(timer_.countDownPeriod(), 0) / 3600);
    return QString(hourDigits, widest) + clock.mid(2);
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

    const qreal roomWidth = width() * (1 - kMargin);
    const qreal roomHeight = height() * (1 - kMargin);
    QFont font = font_;
    font.setPixelSize(kMeasuringPixels);
    const QFontMetricsF reference(font);
    const qreal scale = std::min(roomWidth / reference.horizontalAdvance(measured),
                                 roomHeight / reference.tightBoundingRect(measured).height());
    int pixels = std::max(1, static_cast<int>(std::floor(kMeasuringPixels * scale)));
    // Hinting does not scale exactly: step down until it fits.
    for (;; --pixels) {
        font.setPixelSize(pixels);
        const QFontMetricsF metrics(font);
        const QRectF ink = metrics.tightBoundingRect(measured);
        if (pixels == 1 || (metrics.horizontalAdvance(measured) <= roomWidth &&
                            ink.height() <= roomHeight && ink.width() <= roomWidth))
            break;
    }
    font_ = font;
    // The ink of the measured text is centred vertically, so that the digits neither sit high
    // nor move when the text changes.
    const QRectF ink = QFontMetricsF(font).tightBoundingRect(measured);
    baselineOffset_ = qRound(-(ink.top() + ink.bottom()) / 2);
}

void TimerProjectorView::paintEvent(QPaintEvent* event)
{
    fitFont();
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.setFont(font_);
    painter.setPen(shownColour());
    const QString text = shownText();
    const qreal advance = QFontMetricsF(font_).horizontalAdvance(text);
    const QPointF baseline((width() - advance) / 2, height() / 2 + baselineOffset_);
    painter.drawText(baseline, text);
}

} // namespace velka
