#include "timer/frmEventTimer.h"

#include "core/Message.h"
#include "timer/DisplayFont.h"
#include "uikit/AccessibleName.h"
#include "uikit/Application.h"
#include "uikit/Fonts.h"
#include "uikit/TabOrder.h"
#include "uikit/Twips.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QTimer>

namespace velka {

namespace {

constexpr TwipsRect kDisplayPlace{0, 0, 7260, 1590};
constexpr TwipsRect kCtlShowPlace{6780, 1365, 435, 180};
constexpr TwipsRect kHourPlace{105, 1710, 330, 270};
constexpr TwipsRect kMinutePlace{525, 1710, 330, 270};
constexpr TwipsRect kSecondPlace{945, 1710, 330, 270};
constexpr TwipsRect kCountDownPlace{1365, 1680, 2640, 330};
constexpr TwipsRect kLabel1Place{5145, 1733, 2010, 225};

constexpr int kTickMilliseconds = 100;
constexpr qreal kDisplayPointSize = 72;

// QLineEdit keeps this many pixels free on either side of its text, and one column more for
// its cursor when it decides whether the text fits.
constexpr int kLineEditTextMargin = 2;
constexpr int kLineEditCursorWidth = 1;

const char* const kPaletteToolTip = "メニューパレットの表示/非表示を切り替えます。";

// The width a line edit has for its text without scrolling it.
int textWidthOf(const QLineEdit* edit)
{
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.rect = edit->rect();
    option.lineWidth = edit->hasFrame()
                           ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit)
                           : 0;
    option.state |= QStyle::State_Sunken;
    const QRect contents = edit->style()
                               ->subElementRect(QStyle::SE_LineEditContents, &option, edit)
                               .marginsRemoved(edit->textMargins());
    return contents.width() - 2 * kLineEditTextMargin - kLineEditCursorWidth;
}

QColor toQColor(EventTimer::Colour colour)
{
    const EventTimer::Rgb rgb = EventTimer::rgb(colour);
    return {rgb.red, rgb.green, rgb.blue};
}

} // namespace

frmEventTimer::frmEventTimer(Clock& clock, MessagePresenter& messageBoxes, QWidget* parent)
    : frmEventTimer(clock, messageBoxes, HallServices{}, parent)
{}

frmEventTimer::frmEventTimer(Clock& clock, MessagePresenter& messageBoxes, HallServices hall,
                             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , eventTimer_(clock)
    , messageBoxes_(messageBoxes, this)
{
    setObjectName(QStringLiteral("frmEventTimer"));
    setWindowTitle(QStringLiteral("Velka EventTimer"));
    setWindowIcon(applicationIcon());
    createWidgets();
    connectWidgets();
    showDisplay();
    showInputs();
    showClientHeight();

    timerSubscription_ = eventTimer_.subscribe([this](EventTimer::Part part) { showChange(part); });
    hall_ = new HallTimerControls(this, txtEventTimer, eventTimer_, clock, hall);
    // The load step: the input row hidden.
    height_.close();
    showClientHeight();
    Timer1->start();
}

frmEventTimer::~frmEventTimer()
{
    Timer1->stop();
    // The hall's views and decisions watch eventTimer_, which goes before the child objects do.
    delete hall_;
}

void frmEventTimer::createWidgets()
{
    txtEventTimer = new QLineEdit(this);
    txtEventTimer->setObjectName(QStringLiteral("txtEventTimer"));
    txtEventTimer->setReadOnly(true);
    txtEventTimer->setAlignment(Qt::AlignCenter);
    txtEventTimer->setAccessibleName(QStringLiteral("時刻表示"));
    placeInTwips(txtEventTimer, kDisplayPlace);
    txtEventTimer->setFont(
        fitDisplayFont(japaneseGothic(kDisplayPointSize, QFont::Bold), textWidthOf(txtEventTimer)));
    QPalette black = txtEventTimer->palette();
    black.setColor(QPalette::Base, Qt::black);
    txtEventTimer->setPalette(black);

    // Created after the display so that it stands above the display's corner.
    cmdCtlShow = new QPushButton(this);
    cmdCtlShow->setObjectName(QStringLiteral("cmdCtlShow"));
    cmdCtlShow->setToolTip(QString::fromUtf8(kPaletteToolTip));
    cmdCtlShow->setAccessibleName(QStringLiteral("入力欄の表示/非表示"));
    cmdCtlShow->setAccessibleDescription(QString::fromUtf8(kPaletteToolTip));
    placeInTwips(cmdCtlShow, kCtlShowPlace);

    const auto input = [this](const char* name, const QString& spoken, const TwipsRect& place) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QString::fromLatin1(name));
        edit->setAlignment(Qt::AlignCenter);
        edit->setAccessibleName(spoken);
        placeInTwips(edit, place);
        return edit;
    };
    txtHour = input("txtHour", QStringLiteral("時間"), kHourPlace);
    txtMinute = input("txtMinute", QStringLiteral("分"), kMinutePlace);
    txtSecound = input("txtSecound", QStringLiteral("秒"), kSecondPlace);

    chkCountDownTimer = new QCheckBox(QStringLiteral("カウントダウンタイマー起動(&C)"), this);
    chkCountDownTimer->setObjectName(QStringLiteral("chkCountDownTimer"));
    chkCountDownTimer->setAccessibleName(accessibleNameOf(chkCountDownTimer->text()));
    placeInTwips(chkCountDownTimer, kCountDownPlace);
    chkCountDownTimer->installEventFilter(this);

    Label1 = new QLabel(QString::fromUtf8(kApplicationTitle), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    placeInTwips(Label1, kLabel1Place);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(kTickMilliseconds);

    applyTabOrder({{0, cmdCtlShow},
                   {1, txtHour},
                   {2, txtMinute},
                   {3, txtSecound},
                   {4, chkCountDownTimer},
                   {5, txtEventTimer}});
    cmdCtlShow->setFocus();
}

void frmEventTimer::connectWidgets()
{
    connect(Timer1, &QTimer::timeout, this, &frmEventTimer::tick);
    connect(cmdCtlShow, &QPushButton::clicked, this, &frmEventTimer::ToggleTimerPalette);
    // Every change of the box's state starts or abandons the countdown, whoever makes it; the
    // timer's own writes into the box are made with its signals blocked.
    connect(chkCountDownTimer, &QCheckBox::toggled, this,
            [this](bool checked) { tellLater(eventTimer_.setCountingDown(checked)); });
    connect(txtHour, &QLineEdit::textChanged, this,
            [this](const QString& text) { eventTimer_.setHourText(text.toStdString()); });
    connect(txtMinute, &QLineEdit::textChanged, this,
            [this](const QString& text) { eventTimer_.setMinuteText(text.toStdString()); });
    connect(txtSecound, &QLineEdit::textChanged, this,
            [this](const QString& text) { eventTimer_.setSecondText(text.toStdString()); });
}

bool frmEventTimer::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == chkCountDownTimer && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        const bool character =
            !key->text().isEmpty() && key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab;
        if (character) {
            if (std::optional<Message> refusal = eventTimer_.TypeCharacter()) {
                messageBoxes_.show(*refusal);
                // The key was typed before the message; a space passed on now would toggle the
                // box behind the organiser's back, or leave it pressed down.
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmEventTimer::tick()
{
    if (!eventTimer_.TimerTick())
        return;
    // Shown from the event loop rather than from here: this timer does not fire again while its
    // own slot waits in a message box, and the display must go back to the time of day at once.
    QMetaObject::invokeMethod(
        this,
        [this] {
            // The projector view shows "Time Up!!" for as long as the box is open; the window may
            // be closed, and gone, by the time it returns.
            const QPointer<HallTimerControls> hall(hall_);
            hall->timeUpShown(true);
            messageBoxes_.show(EventTimer::timeUpMessage());
            if (hall)
                hall->timeUpShown(false);
        },
        Qt::QueuedConnection);
}

void frmEventTimer::tellLater(std::optional<Message> refusal)
{
    if (!refusal)
        return;
    // The box is already back to unchecked. The message waits for the event loop, so that
    // whoever changed the box (a click in progress, a screen reader's toggle action, a
    // setChecked) gets control back before a modal loop runs, and no state change of the box is
    // still under way while the message is open.
    QMetaObject::invokeMethod(
        this, [this, message = std::move(*refusal)] { messageBoxes_.show(message); },
        Qt::QueuedConnection);
}

void frmEventTimer::showChange(EventTimer::Part part)
{
    switch (part) {
    case EventTimer::Part::CountingDown: {
        const QSignalBlocker blocker(chkCountDownTimer);
        chkCountDownTimer->setChecked(eventTimer_.countingDown());
        break;
    }
    case EventTimer::Part::Display:
        showDisplay();
        break;
    case EventTimer::Part::Inputs:
        showInputs();
        break;
    case EventTimer::Part::CountDownStarted:
    case EventTimer::Part::TimeUp:
        break;
    }
}

void frmEventTimer::showDisplay()
{
    const QString text = QString::fromStdString(eventTimer_.displayText());
    if (txtEventTimer->text() != text)
        txtEventTimer->setText(text);
    const QColor colour = toQColor(eventTimer_.displayColour());
    if (txtEventTimer->palette().color(QPalette::Text) != colour) {
        QPalette palette = txtEventTimer->palette();
        palette.setColor(QPalette::Text, colour);
        txtEventTimer->setPalette(palette);
    }
}

void frmEventTimer::showInputs()
{
    const auto show = [](QLineEdit* edit, const std::string& text) {
        const QString shown = QString::fromStdString(text);
        if (edit->text() != shown)
            edit->setText(shown);
    };
    show(txtHour, eventTimer_.hourText());
    show(txtMinute, eventTimer_.minuteText());
    show(txtSecound, eventTimer_.secondText());
}

void frmEventTimer::ToggleTimerPalette()
{
    height_.toggle();
    showClientHeight();
}

void frmEventTimer::showClientHeight()
{
    // Client heights, so that the row is cut off exactly below the display whatever frame the
    // window manager paints.
    setFixedClientSizeInTwips(this, kClientWidth, height_.twips() - kFrameHeight);
}

} // namespace velka
