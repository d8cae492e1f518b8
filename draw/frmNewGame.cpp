#include "draw/frmNewGame.h"

#include "core/Message.h"
#include "draw/Draw.h"
#include "draw/EntryListModel.h"
#include "uikit/AccessibleName.h"
#include "uikit/TabOrder.h"
#include "uikit/Twips.h"
#include "uikit/WrappingButton.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextDocument>

#include <limits>

namespace velka {

namespace {

constexpr int kClientWidth = 6825; // twips
constexpr int kClientHeight = 3450;

// In the dialog.
constexpr TwipsRect kFramePlace{105, 105, 6630, 2850};
constexpr TwipsRect kStartPlace{3990, 3045, 2745, 330};
// In the frame.
constexpr TwipsRect kListPlace{105, 210, 5685, 1185};
constexpr TwipsRect kDeletePlace{5880, 210, 645, 330};
constexpr TwipsRect kInputPlace{105, 1470, 5685, 645};
constexpr TwipsRect kEnterPlace{5880, 630, 645, 1485};
constexpr TwipsRect kFieldSizePlace{6195, 2497, 330, 270};
constexpr TwipsRect kFieldSizeLabelPlace{4935, 2520, 1275, 225};
constexpr TwipsRect kSeedCheckPlace{840, 2205, 3480, 225};
constexpr TwipsRect kSeedNamePlace{4200, 2182, 2325, 270};

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption,
                        const TwipsRect& place)
{
    auto* button = new WrappingButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessibleNameOf(caption));
    button->setAutoDefault(false); // Return never presses a button here
    placeInTwips(button, place);
    return button;
}

} // namespace

frmNewGame::frmNewGame(BracketBoard& board, RandomSource& random, MessagePresenter& messageBoxes,
                       QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
    , board_(board)
    , random_(random)
    , messageBoxes_(messageBoxes, this)
{
    setObjectName(QStringLiteral("frmNewGame"));
    setWindowTitle(QStringLiteral("新規トーナメント設定"));
    setFixedClientSizeInTwips(this, kClientWidth, kClientHeight);
    createWidgets();
    connectWidgets();
}

frmNewGame::~frmNewGame() = default;

void frmNewGame::createWidgets()
{
    fraEntry = new QGroupBox(QStringLiteral("エントリー"), this);
    fraEntry->setObjectName(QStringLiteral("fraEntry"));
    placeInTwips(fraEntry, kFramePlace);

    entriesModel_ = std::make_unique<EntryListModel>(entries_);
    lstEntry = new QListView(fraEntry);
    lstEntry->setObjectName(QStringLiteral("lstEntry"));
    lstEntry->setAccessibleName(QStringLiteral("エントリー一覧"));
    lstEntry->setModel(entriesModel_.get());
    lstEntry->setUniformItemSizes(true); // stays quick with tens of thousands of names
    lstEntry->setSelectionMode(QAbstractItemView::SingleSelection);
    lstEntry->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstEntry->setTextElideMode(Qt::ElideRight);
    placeInTwips(lstEntry, kListPlace);

    cmdDeleteList = makeButton(fraEntry, "cmdDeleteList", QStringLiteral("×(&D)"), kDeletePlace);
    cmdDeleteList->setToolTip(QStringLiteral("選択メンバーを削除します"));
    cmdDeleteList->setAccessibleName(QStringLiteral("選択メンバーを削除"));

    txtEntry = new QPlainTextEdit(fraEntry);
    txtEntry->setObjectName(QStringLiteral("txtEntry"));
    txtEntry->setAccessibleName(QStringLiteral("エントリーする名前（1行に1人）"));
    txtEntry->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtEntry->setTabChangesFocus(true);
    placeInTwips(txtEntry, kInputPlace);

    cmdEntry = makeButton(fraEntry, "cmdEntry", QStringLiteral("Enter (&E)"), kEnterPlace);
    cmdNewEventExec = makeButton(this, "cmdNewEventExec",
                                 QStringLiteral("新規トーナメント開始(&E)"), kStartPlace);

    txtMenber = new QLineEdit(QStringLiteral("16"), fraEntry);
    txtMenber->setObjectName(QStringLiteral("txtMenber"));
    placeInTwips(txtMenber, kFieldSizePlace);

    Label1 = new QLabel(QStringLiteral("当選人数(&C)："), fraEntry);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    Label1->setBuddy(txtMenber); // Alt+C goes to the field size it names
    Label1->setAccessibleName(accessibleNameOf(Label1->text()));
    txtMenber->setAccessibleName(Label1->accessibleName());
    placeInTwips(Label1, kFieldSizeLabelPlace);

    chkSeed = new QCheckBox(QStringLiteral("シード(当選人数奇数のときのみ有効(&S)："), fraEntry);
    chkSeed->setObjectName(QStringLiteral("chkSeed"));
    chkSeed->setAccessibleName(accessibleNameOf(chkSeed->text()));
    placeInTwips(chkSeed, kSeedCheckPlace);

    txtSeed = new QLineEdit(fraEntry);
    txtSeed->setObjectName(QStringLiteral("txtSeed"));
    txtSeed->setAccessibleName(QStringLiteral("シードする人の名前"));
    // A line edit cuts its text at 32767 characters by default; a seed's name is kept whole,
    // like every name in the list.
    txtSeed->setMaxLength(std::numeric_limits<int>::max());
    placeInTwips(txtSeed, kSeedNamePlace);

    applyTabOrder({{1, lstEntry},
                   {2, cmdDeleteList},
                   {3, txtEntry},
                   {4, cmdEntry},
                   {5, cmdNewEventExec},
                   {6, txtMenber},
                   {8, chkSeed},
                   {9, txtSeed}});
    lstEntry->setFocus();
}

void frmNewGame::connectWidgets()
{
    connect(cmdEntry, &QPushButton::clicked, this, &frmNewGame::enterNames);
    connect(cmdDeleteList, &QPushButton::clicked, this, &frmNewGame::deleteSelected);
    connect(cmdNewEventExec, &QPushButton::clicked, this, &frmNewGame::startTournament);
}

std::string frmNewGame::typedEntries() const
{
    // toPlainText() would turn a no-break space into a plain one; the raw text keeps every
    // character and marks line breaks as paragraph or line separators.
    QString text = txtEntry->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
    text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
    return text.toStdString();
}

void frmNewGame::enterNames()
{
    switch (addEntries(entries_, typedEntries())) {
    case AddOutcome::NothingTyped:
        break;
    case AddOutcome::Added:
        txtEntry->clear();
        break;
    case AddOutcome::ListFull:
        messageBoxes_.show(listFullMessage());
        break;
    }
}

void frmNewGame::deleteSelected()
{
    const QModelIndexList selected = lstEntry->selectionModel()->selectedIndexes();
    if (selected.isEmpty())
        return;
    const int row = selected.first().row();
    entries_.remove(row);
    // The entry that took its place is selected, so that further presses go on deleting.
    const int next = std::min(row, entries_.count() - 1);
    if (next >= 0) {
        lstEntry->setCurrentIndex(entriesModel_->index(next));
    }
}

void frmNewGame::startTournament()
{
    const DrawSettings settings{txtMenber->text().toStdString(), chkSeed->isChecked(),
                                txtSeed->text().toStdString()};
    const DrawResult result = drawField(settings, entries_, board_, random_);
    if (result.refusal) {
        messageBoxes_.show(refusalMessage(*result.refusal));
        return;
    }
    accept();
}

void frmNewGame::keyPressEvent(QKeyEvent* event)
{
    // A dialog closes on Escape by default; this one keeps what was typed.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace velka
