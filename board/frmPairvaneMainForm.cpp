#include "board/frmPairvaneMainForm.h"

#include "board/BracketRenderer.h"
#include "core/Message.h"
#include "uikit/AccessibleName.h"
#include "uikit/Application.h"
#include "uikit/ElidedLabel.h"
#include "uikit/TabOrder.h"
#include "uikit/Twips.h"

#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>

namespace velka {

namespace {

constexpr int kClientHeight = 5370;      // twips; the height never changes
constexpr int kFrameWidthTwips = 45 * 2; // the designed frame, left and right together

// Palette column and board, in twips inside the window.
constexpr TwipsRect kClearPlace{5565, 105, 2640, 330};
constexpr TwipsRect kNewPlace{5565, 630, 2640, 330};
constexpr TwipsRect kProgressPlace{5565, 1050, 2640, 330};
constexpr TwipsRect kEventTimerPlace{5565, 1575, 2640, 330};
constexpr TwipsRect kVerInfoPlace{5565, 2100, 2640, 330};
constexpr TwipsRect kLabel1Place{5565, 5040, 2640, 225};
constexpr TwipsRect kPicturePlace{105, 105, 5370, 5160};
constexpr TwipsRect kShowPlace{4830, 4890, 435, 180}; // inside the board

const char* const kPaletteToolTip = "メニューパレットの表示/非表示を切り替えます。";

// The board's column and the box's place in it, as a screen reader names the box.
QString roundName(int box)
{
    const int round = board::lineRound(box);
    const int number = box - board::firstLineOfRound(round) + 1;
    if (round == 4)
        return QStringLiteral("決勝 %1番").arg(number);
    return QStringLiteral("%1回戦 %2番").arg(round).arg(number);
}

} // namespace

BoardPicture::BoardPicture(const BracketBoard& board, QWidget* parent)
    : QFrame(parent)
    , board_(board)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
}

void BoardPicture::placeChild(QWidget* child, int left, int top, int width, int height)
{
    child->setGeometry(
        toPixels(TwipsRect{left, top, width, height}).translated(contentsRect().topLeft()));
}

void BoardPicture::paintEvent(QPaintEvent* event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    const QPoint inside = contentsRect().topLeft();
    paintBracketLines(painter, board_, QTransform::fromTranslate(inside.x(), inside.y()),
                      palette().color(QPalette::WindowText), 1.0);
}

frmPairvaneMainForm::frmPairvaneMainForm(MessagePresenter& messageBoxes, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                          Qt::WindowCloseButtonHint)
    , messageBoxes_(messageBoxes, this)
{
    setObjectName(QStringLiteral("frmPairvaneMainForm"));
    setWindowTitle(QStringLiteral("Velka Pairvane for Tournament Special"));
    setWindowIcon(applicationIcon());
    createWidgets();
    connectWidgets();
    showWindowWidth();
    createOutputs();

    boardSubscription_ =
        board_.subscribe([this](BracketBoard::Change change) { showChange(change); });
    // The load step: the palette closed, the board cleared.
    width_.close();
    showWindowWidth();
    board_.Load();
}

frmPairvaneMainForm::~frmPairvaneMainForm() = default;

void frmPairvaneMainForm::createWidgets()
{
    const auto button = [this](const char* name, const QString& caption, const TwipsRect& place) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAccessibleName(accessibleNameOf(caption));
        placeInTwips(b, place);
        return b;
    };
    cmdClear = button("cmdClear", QStringLiteral("初期化(&C)"), kClearPlace);
    cmdNew = button("cmdNew", QStringLiteral("新規トーナメント開始(&E)..."), kNewPlace);
    cmdProgress = button("cmdProgress", QStringLiteral("トーナメント進行(&T)"), kProgressPlace);
    cmdEventTimer =
        button("cmdEventTimer", QStringLiteral("イベントタイマー起動(&E)..."), kEventTimerPlace);
    cmdVerInfo = button("cmdVerInfo", QStringLiteral("VTWについて(&V)..."), kVerInfoPlace);

    Label1 = new QLabel(QString::fromUtf8(kApplicationTitle), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignCenter);
    placeInTwips(Label1, kLabel1Place);

    Picture1 = new BoardPicture(board_, this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAccessibleName(QStringLiteral("トーナメント表"));
    placeInTwips(Picture1, kPicturePlace);

    for (int i = 0; i < board::kSlotCount; ++i) {
        auto* slot = new ElidedLabel(Picture1);
        slot->setObjectName(QStringLiteral("lblMenber(%1)").arg(i));
        slot->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        slot->setText(QString::fromStdString(board_.slotCaption(i)));
        const BoardSlot place = board::slotPlace(i);
        Picture1->placeChild(slot, place.left, place.top, place.width, place.height);
        lblMenber[i] = slot;
    }

    for (int k = 0; k < board::kBoxCount; ++k) {
        auto* box = new QCheckBox(Picture1);
        box->setObjectName(QStringLiteral("chkTournament(%1)").arg(k));
        box->setAccessibleName(QStringLiteral("%1の勝ち上がり").arg(roundName(k)));
        box->setChecked(board_.boxChecked(k));
        box->setVisible(board_.boxVisible(k));
        const BoardBox place = board::kDesignBoxes[k];
        Picture1->placeChild(box, place.left, place.top, board::kBoxSize, board::kBoxSize);
        box->installEventFilter(this);
        chkTournament[k] = box;
    }

    // Created last among the board's children so that it stands above them.
    cmdShow = new QPushButton(Picture1);
    cmdShow->setObjectName(QStringLiteral("cmdShow"));
    cmdShow->setToolTip(QString::fromUtf8(kPaletteToolTip));
    cmdShow->setAccessibleName(QStringLiteral("メニューパレットの表示/非表示"));
    cmdShow->setAccessibleDescription(QString::fromUtf8(kPaletteToolTip));
    Picture1->placeChild(cmdShow, kShowPlace.left, kShowPlace.top, kShowPlace.width,
                         kShowPlace.height);

    std::vector<std::pair<int, QWidget*>> order = {{0, cmdShow},       {1, cmdClear},
                                                   {2, cmdNew},        {3, cmdProgress},
                                                   {4, cmdEventTimer}, {5, cmdVerInfo}};
    for (int k = 0; k < board::kBoxCount; ++k)
        order.emplace_back(23 + k, chkTournament[k]);
    applyTabOrder(order);
    cmdShow->setFocus();
}

void frmPairvaneMainForm::createOutputs()
{
    outputs_ = std::make_unique<BracketOutputs>(board_, messageBoxes_, this, Picture1);
    files_ = std::make_unique<TournamentFileActions>(board_, messageBoxes_, this);
    outputs_->addMenuSection([this](QMenu* menu) { files_->addToMenu(menu); });
    Picture1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Picture1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { outputs_->showMenu(Picture1->mapToGlobal(pos)); });
}

void frmPairvaneMainForm::connectWidgets()
{
    connect(cmdShow, &QPushButton::clicked, this, &frmPairvaneMainForm::TogglePalette);
    connect(cmdProgress, &QPushButton::clicked, this, [this] { board_.ToggleProgress(); });
    connect(cmdClear, &QPushButton::clicked, this, [this] { board_.ConfirmClear(messageBoxes_); });
    connect(cmdNew, &QPushButton::clicked, this, &frmPairvaneMainForm::newTournamentRequested);
    connect(cmdEventTimer, &QPushButton::clicked, this, &frmPairvaneMainForm::eventTimerRequested);
    connect(cmdVerInfo, &QPushButton::clicked, this, &frmPairvaneMainForm::versionInfoRequested);
    // Every change of a box's state, whoever makes it (mouse, keyboard, access key, a screen
    // reader's toggle, setChecked), reaches the board; the board's own writes into the box are
    // made with its signals blocked, so they do not come back as a second change.
    for (int k = 0; k < board::kBoxCount; ++k) {
        connect(chkTournament[k], &QCheckBox::toggled, this,
                [this, k](bool checked) { board_.setBoxChecked(k, checked); });
    }
}

bool frmPairvaneMainForm::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyRelease) {
        const int box = boxIndexOf(watched);
        if (box >= 0)
            board_.ApplyBoxRule(box);
    }
    return QWidget::eventFilter(watched, event);
}

int frmPairvaneMainForm::boxIndexOf(const QObject* object) const
{
    for (int k = 0; k < board::kBoxCount; ++k) {
        if (chkTournament[k] == object)
            return k;
    }
    return -1;
}

void frmPairvaneMainForm::showChange(BracketBoard::Change change)
{
    const int i = change.index;
    switch (change.part) {
    case BracketBoard::Part::SlotCaption:
        lblMenber[i]->setText(QString::fromStdString(board_.slotCaption(i)));
        break;
    case BracketBoard::Part::BoxState: {
        const QSignalBlocker blocker(chkTournament[i]);
        chkTournament[i]->setChecked(board_.boxChecked(i));
        break;
    }
    case BracketBoard::Part::BoxVisible:
        chkTournament[i]->setVisible(board_.boxVisible(i));
        break;
    case BracketBoard::Part::LineVisible:
    case BracketBoard::Part::Connector:
        Picture1->update();
        break;
    case BracketBoard::Part::DrawRecord: // nothing of it shows
        break;
    case BracketBoard::Part::Everything:
        for (int slot = 0; slot < board::kSlotCount; ++slot)
            showChange({BracketBoard::Part::SlotCaption, slot});
        for (int k = 0; k < board::kBoxCount; ++k) {
            showChange({BracketBoard::Part::BoxState, k});
            showChange({BracketBoard::Part::BoxVisible, k});
        }
        Picture1->update();
        break;
    }
}

void frmPairvaneMainForm::TogglePalette()
{
    width_.toggle();
    showWindowWidth();
}

void frmPairvaneMainForm::showWindowWidth()
{
    // The client width, so that the narrow window ends exactly where the palette column begins
    // whatever frame the window manager paints.
    setFixedClientSizeInTwips(this, width_.twips() - kFrameWidthTwips, kClientHeight);
}

} // namespace velka
