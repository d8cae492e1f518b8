#include "swiss/frmSwissDraw.h"

#include "bracket/BracketBoard.h"
#include "swiss/PlayerListFile.h"
#include "swiss/SwissCsv.h"
#include "swiss/SwissDraw.h"
#include "swiss/SwissPaper.h"
#include "swiss/SwissPlayersModel.h"
#include "swiss/SwissProjector.h"
#include "swiss/SwissRoundModel.h"
#include "swiss/SwissStandingsModel.h"
#include "swiss/TopCut.h"
#include "swiss/TopCutSeating.h"
#include "uikit/AccessibleName.h"
#include "uikit/Application.h"
#include "uikit/FileDialogs.h"
#include "uikit/WholeFile.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTabWidget>
#include <QTableView>
#include <QTextDocument>
#include <QVBoxLayout>

#include <algorithm>

namespace velka {

namespace {

// Fits a laptop's 1366 x 768 screen with the taskbar and the window's frame.
constexpr QSize kPreferredSize(1120, 660);

const int kTopCuts[] = {0, 2, 4, 8, 16};

const char* const kCsvFilter = "CSV ファイル (*.csv)";

QPushButton* makeButton(QWidget* parent, const char* name, const QString& caption)
{
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setAccessibleName(accessibleNameOf(caption));
    button->setAutoDefault(false);
    return button;
}

// A label that names the control after it, whose access key moves there.
QLabel* makeLabel(QWidget* parent, const char* name, const QString& caption, QWidget* buddy)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setBuddy(buddy);
    buddy->setAccessibleName(accessibleNameOf(caption));
    // A list's choices are spoken with the list's name.
    if (auto* combo = qobject_cast<QComboBox*>(buddy))
        combo->view()->setAccessibleName(buddy->accessibleName());
    return label;
}

QTableView* makeTable(QWidget* parent, const char* name)
{
    auto* table = new QTableView(parent);
    table->setObjectName(QString::fromLatin1(name));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setTabKeyNavigation(false); // Tab leaves the table, as everywhere else
    table->setWordWrap(false);
    table->verticalHeader()->hide();
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->verticalHeader()->setDefaultSectionSize(table->fontMetrics().height() + 8);
    table->horizontalHeader()->setHighlightSections(false);
    return table;
}

// Column widths set once from the font, so that a change of a result measures nothing.
void setColumnWidths(QTableView* table, std::initializer_list<const char*> samples)
{
    const QFontMetrics metrics = table->fontMetrics();
    int column = 0;
    for (const char* sample : samples) {
        if (sample)
            table->setColumnWidth(column, metrics.horizontalAdvance(QString::fromUtf8(sample)) +
                                              2 * metrics.averageCharWidth());
        ++column;
    }
}

QString roundName(int round)
{
    return QStringLiteral("第%1回戦").arg(round);
}

// Whether the latest round has no result but a bye's, so that pairing it again is allowed.
bool latestRoundOpen(const SwissEvent& event)
{
    if (event.rounds.empty())
        return false;
    const auto& tables = event.rounds.back().tables;
    return std::none_of(tables.begin(), tables.end(),
                        [](const SwissTable& t) { return !t.bye() && t.result; });
}

QString menuText(MatchFormat format, const MatchResult& r)
{
    if (format == MatchFormat::SingleGame) {
        if (r.gamesA)
            return QStringLiteral("選手1の勝ち\t1");
        if (r.gamesB)
            return QStringLiteral("選手2の勝ち\t2");
        return QStringLiteral("引き分け\t0");
    }
    return QStringLiteral("%1-%2\t%1 %2").arg(r.gamesA).arg(r.gamesB);
}

} // namespace

frmSwissDraw::frmSwissDraw(SwissDraw& draw, BracketBoard& board, MessagePresenter& messageBoxes,
                           QWidget* parent)
    : QWidget(parent, Qt::Window)
    , draw_(draw)
    , board_(board)
    , messageBoxes_(messageBoxes, this)
    , ownSaving_(std::make_unique<QtSaveFileDialogs>())
    , ownOpening_(std::make_unique<QtOpenFileDialogs>())
    , saving_(ownSaving_.get())
    , opening_(ownOpening_.get())
{
    setObjectName(QStringLiteral("frmSwissDraw"));
    setWindowTitle(QStringLiteral("スイスドロー"));
    setWindowIcon(applicationIcon());
    createWidgets();
    connectWidgets();
    QSize size = kPreferredSize;
    if (const QScreen* screen = this->screen())
        size = size.boundedTo(screen->availableSize() - QSize(16, 48));
    resize(size);
    subscription_ = draw_.subscribe([this] { showState(); });
    showState();
    txtEntry->setFocus();
}

frmSwissDraw::~frmSwissDraw() = default;

void frmSwissDraw::useFileDialogs(SaveFileDialogs& saving, OpenFileDialogs& opening)
{
    saving_ = &saving;
    opening_ = &opening;
}

void frmSwissDraw::createWidgets()
{
    // The players.
    fraPlayers = new QGroupBox(QStringLiteral("参加者"), this);
    fraPlayers->setObjectName(QStringLiteral("fraPlayers"));
    playersModel_ = new SwissPlayersModel(draw_, this);
    tblPlayers = makeTable(fraPlayers, "tblPlayers");
    tblPlayers->setModel(playersModel_);
    tblPlayers->setEditTriggers(QAbstractItemView::DoubleClicked |
                                QAbstractItemView::EditKeyPressed);
    tblPlayers->horizontalHeader()->setSectionResizeMode(SwissPlayersModel::Name,
                                                         QHeaderView::Stretch);
    setColumnWidths(tblPlayers, {nullptr, "ふりがなふりがな", "棄権（第10回戦から）"});
    lblPlayers = makeLabel(fraPlayers, "lblPlayers", QStringLiteral("参加者一覧(&L):"), tblPlayers);
    const QString editing = QStringLiteral("名前とふりがなは、ダブルクリックか F2 で直せます。");
    tblPlayers->setToolTip(editing);
    tblPlayers->setAccessibleDescription(editing);

    txtEntry = new QPlainTextEdit(fraPlayers);
    txtEntry->setObjectName(QStringLiteral("txtEntry"));
    txtEntry->setTabChangesFocus(true);
    lblEntry =
        makeLabel(fraPlayers, "lblEntry",
                  QStringLiteral("追加する名前（1行に1人、貼り付けもできます）(&E)"), txtEntry);
    cmdAdd = makeButton(fraPlayers, "cmdAdd", QStringLiteral("追加(&A)"));
    cmdReadFile =
        makeButton(fraPlayers, "cmdReadFile", QStringLiteral("ファイルから読み込む(&F)..."));
    cmdRemove = makeButton(fraPlayers, "cmdRemove", QStringLiteral("削除(&D)"));
    cmdDrop = makeButton(fraPlayers, "cmdDrop", QStringLiteral("棄権(&K)"));

    auto* players = new QGridLayout(fraPlayers);
    players->addWidget(lblPlayers, 0, 0, 1, 2);
    players->addWidget(tblPlayers, 1, 0, 1, 2);
    players->addWidget(cmdRemove, 2, 0);
    players->addWidget(cmdDrop, 2, 1);
    players->addWidget(lblEntry, 3, 0, 1, 2);
    players->addWidget(txtEntry, 4, 0, 1, 2);
    players->addWidget(cmdAdd, 5, 0);
    players->addWidget(cmdReadFile, 5, 1);
    players->setRowStretch(1, 3);
    players->setRowStretch(4, 1);

    // The settings.
    fraSettings =
        new QGroupBox(QStringLiteral("設定（第1回戦の組み合わせを作ると決まります）"), this);
    fraSettings->setObjectName(QStringLiteral("fraSettings"));
    spnRounds = new QSpinBox(fraSettings);
    spnRounds->setObjectName(QStringLiteral("spnRounds"));
    spnRounds->setRange(kMinSwissRounds, kMaxSwissRounds);
    spnRounds->setSuffix(QStringLiteral(" 回戦"));
    lblRounds = makeLabel(fraSettings, "lblRounds", QStringLiteral("回戦数(&R):"), spnRounds);
    lblSuggestedRounds = new QLabel(fraSettings);
    lblSuggestedRounds->setObjectName(QStringLiteral("lblSuggestedRounds"));
    cboMatch = new QComboBox(fraSettings);
    cboMatch->setObjectName(QStringLiteral("cboMatch"));
    cboMatch->addItem(QStringLiteral("1本勝負"));
    cboMatch->addItem(QStringLiteral("2本先取"));
    lblMatch = makeLabel(fraSettings, "lblMatch", QStringLiteral("勝負(&M):"), cboMatch);
    cboTiebreakers = new QComboBox(fraSettings);
    cboTiebreakers->setObjectName(QStringLiteral("cboTiebreakers"));
    cboTiebreakers->addItem(QStringLiteral("OMW% → GW% → OGW%（下限33%）"));
    cboTiebreakers->addItem(QStringLiteral("OWP → OOWP（下限25%）"));
    lblTiebreakers = makeLabel(fraSettings, "lblTiebreakers", QStringLiteral("タイブレーカー(&B):"),
                               cboTiebreakers);
    cboTopCut = new QComboBox(fraSettings);
    cboTopCut->setObjectName(QStringLiteral("cboTopCut"));
    for (int cut : kTopCuts)
        cboTopCut->addItem(cut == 0 ? QStringLiteral("なし") : QStringLiteral("上位%1人").arg(cut),
                           cut);
    lblTopCut =
        makeLabel(fraSettings, "lblTopCut", QStringLiteral("決勝トーナメント(&U):"), cboTopCut);

    auto* settings = new QGridLayout(fraSettings);
    settings->addWidget(lblRounds, 0, 0);
    auto* rounds = new QHBoxLayout;
    rounds->addWidget(spnRounds);
    rounds->addWidget(lblSuggestedRounds, 1);
    settings->addLayout(rounds, 0, 1);
    settings->addWidget(lblMatch, 1, 0);
    settings->addWidget(cboMatch, 1, 1);
    settings->addWidget(lblTiebreakers, 2, 0);
    settings->addWidget(cboTiebreakers, 2, 1);
    settings->addWidget(lblTopCut, 3, 0);
    settings->addWidget(cboTopCut, 3, 1);
    settings->setColumnStretch(1, 1);

    // The rounds.
    tabEvent = new QTabWidget(this);
    tabEvent->setObjectName(QStringLiteral("tabEvent"));
    auto* pairingsPage = new QWidget(tabEvent);
    pairingsPage->setObjectName(QStringLiteral("pagePairings"));
    cboRound = new QComboBox(pairingsPage);
    cboRound->setObjectName(QStringLiteral("cboRound"));
    lblRound = makeLabel(pairingsPage, "lblRound", QStringLiteral("表示する回戦(&O):"), cboRound);
    lblRoundState = new QLabel(pairingsPage);
    lblRoundState->setObjectName(QStringLiteral("lblRoundState"));
    roundModel_ = new SwissRoundModel(draw_, this);
    tblTables = makeTable(pairingsPage, "tblTables");
    tblTables->setModel(roundModel_);
    tblTables->setContextMenuPolicy(Qt::CustomContextMenu);
    tblTables->horizontalHeader()->setSectionResizeMode(SwissRoundModel::PlayerA,
                                                        QHeaderView::Stretch);
    tblTables->horizontalHeader()->setSectionResizeMode(SwissRoundModel::PlayerB,
                                                        QHeaderView::Stretch);
    setColumnWidths(tblTables, {"256", nullptr, "10-10-0（30点）", "引き分け", nullptr,
                                "10-10-0（30点）", "再戦"});
    lblTables = makeLabel(pairingsPage, "lblTables", QStringLiteral("卓と結果(&I):"), tblTables);
    lblHint = new QLabel(pairingsPage);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setWordWrap(true);
    cmdPair = makeButton(pairingsPage, "cmdPair", QStringLiteral("第1回戦の組み合わせを作る(&P)"));
    cmdSavePairings = makeButton(pairingsPage, "cmdSavePairings",
                                 QStringLiteral("組み合わせを CSV で保存(&C)..."));

    auto* roundChoice = new QHBoxLayout;
    roundChoice->addWidget(lblRound);
    roundChoice->addWidget(cboRound);
    roundChoice->addWidget(lblRoundState, 1);
    auto* roundButtons = new QHBoxLayout;
    roundButtons->addWidget(cmdPair);
    roundButtons->addStretch(1);
    roundButtons->addWidget(cmdSavePairings);
    auto* pairings = new QVBoxLayout(pairingsPage);
    pairings->addLayout(roundChoice);
    pairings->addWidget(lblTables);
    pairings->addWidget(tblTables, 1);
    pairings->addWidget(lblHint);
    pairings->addLayout(roundButtons);
    tabEvent->addTab(pairingsPage, QStringLiteral("組み合わせ(&G)"));

    auto* standingsPage = new QWidget(tabEvent);
    standingsPage->setObjectName(QStringLiteral("pageStandings"));
    standingsModel_ = new SwissStandingsModel(draw_, this);
    tblStandings = makeTable(standingsPage, "tblStandings");
    tblStandings->setModel(standingsModel_);
    const auto standingsWidths = [this] {
        tblStandings->horizontalHeader()->setSectionResizeMode(SwissStandingsModel::Name,
                                                               QHeaderView::Stretch);
        setColumnWidths(tblStandings,
                        {"順位", nullptr, "勝ち点", "10-10-10", "100.00", "100.00", "100.00"});
        tblStandings->setColumnWidth(
            standingsModel_->columnCount() - 1,
            tblStandings->fontMetrics().horizontalAdvance(QStringLiteral("棄権（棄権）")));
    };
    standingsWidths();
    // A new set of tiebreakers brings new columns.
    connect(standingsModel_, &QAbstractItemModel::modelReset, this, standingsWidths);
    lblStandings =
        makeLabel(standingsPage, "lblStandings", QStringLiteral("順位(&J):"), tblStandings);
    cmdSaveStandings =
        makeButton(standingsPage, "cmdSaveStandings", QStringLiteral("順位表を CSV で保存(&V)..."));
    auto* standingsButtons = new QHBoxLayout;
    standingsButtons->addStretch(1);
    standingsButtons->addWidget(cmdSaveStandings);
    auto* standings = new QVBoxLayout(standingsPage);
    standings->addWidget(lblStandings);
    standings->addWidget(tblStandings, 1);
    standings->addLayout(standingsButtons);
    tabEvent->addTab(standingsPage, QStringLiteral("順位表(&S)"));
    tabEvent->setAccessibleName(QStringLiteral("組み合わせと順位表"));

    cmdNewEvent = makeButton(this, "cmdNewEvent", QStringLiteral("新しいスイスドロー(&N)..."));
    projector_ = new SwissProjector(draw_, this);
    QPushButton* cmdProjector = projector_->createButton(this);
    cmdTopCut = makeButton(this, "cmdTopCut", QStringLiteral("決勝トーナメントへ(&T)"));

    auto* left = new QVBoxLayout;
    left->addWidget(fraPlayers, 1);
    left->addWidget(fraSettings);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(cmdNewEvent);
    // The sheets on paper: the pairings for the wall, the standings and the tables' slips.
    paper_ = new SwissPaper(draw_, messageBoxes_, this, [this] { return shownRound(); });
    cmdPaper = makeButton(this, "cmdPaper", QStringLiteral("印刷・PDF(&Y)"));
    cmdPaper->setMenu(paper_->menu());
    bottom->addWidget(cmdPaper);
    bottom->addStretch(1);
    bottom->addWidget(cmdProjector);
    bottom->addWidget(cmdTopCut);
    auto* right = new QVBoxLayout;
    right->addWidget(tabEvent, 1);
    right->addLayout(bottom);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addLayout(right, 3);

    tblTables->installEventFilter(this);
}

void frmSwissDraw::connectWidgets()
{
    connect(cmdAdd, &QPushButton::clicked, this, &frmSwissDraw::addTypedPlayers);
    connect(cmdReadFile, &QPushButton::clicked, this, &frmSwissDraw::readPlayersFromFile);
    connect(cmdRemove, &QPushButton::clicked, this, &frmSwissDraw::removeSelectedPlayer);
    connect(cmdDrop, &QPushButton::clicked, this, &frmSwissDraw::dropSelectedPlayer);
    connect(cmdPair, &QPushButton::clicked, this, &frmSwissDraw::pairRound);
    connect(cmdSavePairings, &QPushButton::clicked, this, &frmSwissDraw::savePairings);
    connect(cmdSaveStandings, &QPushButton::clicked, this, &frmSwissDraw::saveStandings);
    connect(cmdTopCut, &QPushButton::clicked, this, &frmSwissDraw::toTopCut);
    connect(cmdNewEvent, &QPushButton::clicked, this, &frmSwissDraw::newEvent);
    connect(playersModel_, &SwissPlayersModel::refused, this,
            [this](const Message& message) { messageBoxes_.show(message); });
    connect(tblPlayers->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { showButtons(); });
    connect(tblTables->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        typedGames_.reset();
        showHint();
    });
    connect(tblTables, &QWidget::customContextMenuRequested, this, &frmSwissDraw::showTablesMenu);
    connect(cboRound, &QComboBox::currentIndexChanged, this, &frmSwissDraw::showRoundChosen);

    // Every change of a setting, whoever makes it (the mouse, the keyboard, a screen reader),
    // reaches the model; the window's own writes are made with the signals blocked.
    connect(spnRounds, &QSpinBox::valueChanged, this, [this](int rounds) {
        changeSettings([rounds](SwissSettings& s) { s.rounds = rounds; });
    });
    connect(cboMatch, &QComboBox::currentIndexChanged, this, [this](int index) {
        changeSettings([index](SwissSettings& s) {
            s.match = index == 0 ? MatchFormat::SingleGame : MatchFormat::BestOfThree;
        });
    });
    connect(cboTiebreakers, &QComboBox::currentIndexChanged, this, [this](int index) {
        changeSettings([index](SwissSettings& s) {
            s.tiebreakers = index == 0 ? TiebreakerSet::OmwGwOgw : TiebreakerSet::OwpOowp;
        });
    });
    connect(cboTopCut, &QComboBox::currentIndexChanged, this, [this](int index) {
        const int cut = cboTopCut->itemData(index).toInt();
        changeSettings([cut](SwissSettings& s) { s.topCut = cut; });
    });
}

bool frmSwissDraw::refused(const std::optional<Message>& refusal)
{
    if (refusal)
        messageBoxes_.show(*refusal);
    return refusal.has_value();
}

void frmSwissDraw::showState()
{
    typedGames_.reset();
    const SwissEvent& event = draw_.event();
    fraPlayers->setTitle(QStringLiteral("参加者（%1人）").arg(event.players.size()));
    playersModel_->refresh();
    showRoundChoice();
    roundModel_->refresh();
    standingsModel_->refresh();
    showSettings();
    showButtons();
    showHint();

    const int round = shownRound();
    if (round == 0) {
        lblRoundState->setText(QStringLiteral("まだ組み合わせを作っていません"));
    } else {
        const auto& tables = event.rounds[round - 1].tables;
        const auto done = std::count_if(tables.begin(), tables.end(),
                                        [](const SwissTable& t) { return t.result.has_value(); });
        lblRoundState->setText(QStringLiteral("全%1回戦　%2卓のうち %3卓の結果が入っています")
                                   .arg(event.plannedRounds())
                                   .arg(tables.size())
                                   .arg(done));
    }
}

void frmSwissDraw::showRoundChoice()
{
    const int rounds = static_cast<int>(draw_.event().rounds.size());
    if (cboRound->count() == rounds)
        return;
    // A round was paired (or the event replaced): show the latest.
    const QSignalBlocker blocker(cboRound);
    cboRound->clear();
    for (int round = 1; round <= rounds; ++round)
        cboRound->addItem(roundName(round));
    cboRound->setCurrentIndex(rounds - 1);
    roundModel_->showRound(rounds);
}

void frmSwissDraw::showRoundChosen(int comboIndex)
{
    roundModel_->showRound(comboIndex + 1);
    showState();
}

void frmSwissDraw::showSettings()
{
    const SwissEvent& event = draw_.event();
    const bool open = event.rounds.empty();
    const int players = static_cast<int>(event.players.size());
    {
        const QSignalBlocker blocker(spnRounds);
        spnRounds->setValue(event.plannedRounds());
    }
    lblSuggestedRounds->setText(event.settings.rounds == 0 || !open
                                    ? QStringLiteral("（%1人ならおすすめ %2回戦）")
                                          .arg(players)
                                          .arg(suggestedRounds(players))
                                    : QStringLiteral("（%1人ならおすすめ %2回戦、変更済み）")
                                          .arg(players)
                                          .arg(suggestedRounds(players)));
    // The window's own writes are no choice of the organiser's.
    const QSignalBlocker matchBlocker(cboMatch);
    const QSignalBlocker tiebreakersBlocker(cboTiebreakers);
    const QSignalBlocker topCutBlocker(cboTopCut);
    cboMatch->setCurrentIndex(event.settings.match == MatchFormat::SingleGame ? 0 : 1);
    cboTiebreakers->setCurrentIndex(event.settings.tiebreakers == TiebreakerSet::OmwGwOgw ? 0 : 1);
    auto* cuts = qobject_cast<QStandardItemModel*>(cboTopCut->model());
    for (int i = 0; i < cboTopCut->count(); ++i) {
        const int cut = cboTopCut->itemData(i).toInt();
        if (cuts)
            cuts->item(i)->setEnabled(cut == event.settings.topCut || cut <= players);
        if (cut == event.settings.topCut)
            cboTopCut->setCurrentIndex(i);
    }
    for (QWidget* control :
         {static_cast<QWidget*>(spnRounds), static_cast<QWidget*>(cboMatch),
          static_cast<QWidget*>(cboTiebreakers), static_cast<QWidget*>(cboTopCut)})
        control->setEnabled(open);
}

void frmSwissDraw::showButtons()
{
    const SwissEvent& event = draw_.event();
    const int paired = static_cast<int>(event.rounds.size());
    const int planned = event.plannedRounds();

    const int player = selectedPlayer();
    const bool dropped = player >= 0 && event.players[player].droppedFrom.has_value();
    cmdRemove->setEnabled(player >= 0);
    cmdDrop->setEnabled(player >= 0 && paired > 0);
    cmdDrop->setText(dropped ? QStringLiteral("棄権を取り消す(&K)") : QStringLiteral("棄権(&K)"));
    cmdDrop->setAccessibleName(accessibleNameOf(cmdDrop->text()));
    cmdAdd->setEnabled(paired < 2);
    cmdReadFile->setEnabled(paired < 2);

    QString pair;
    bool canPair = true;
    if (latestRoundOpen(event)) {
        pair = QStringLiteral("%1の組み合わせを作り直す(&P)").arg(roundName(paired));
    } else if (paired < planned) {
        pair = QStringLiteral("%1の組み合わせを作る(&P)").arg(roundName(paired + 1));
    } else {
        pair = QStringLiteral("全%1回戦の組み合わせを作りました(&P)").arg(planned);
        canPair = false;
    }
    cmdPair->setText(pair);
    cmdPair->setAccessibleName(accessibleNameOf(pair));
    cmdPair->setEnabled(canPair);
    cmdSavePairings->setEnabled(shownRound() > 0);
    cmdSaveStandings->setEnabled(!event.players.empty());
    cmdTopCut->setEnabled(event.settings.topCut > 0 && paired == planned &&
                          event.rounds.back().complete());
}

bool frmSwissDraw::showsLatestRound() const
{
    const int round = shownRound();
    return round > 0 && round == static_cast<int>(draw_.event().rounds.size());
}

void frmSwissDraw::showHint()
{
    const MatchFormat format = draw_.event().settings.match;
    QString hint;
    if (shownRound() == 0) {
        hint = QStringLiteral("参加者を入れて設定を決めたら、組み合わせを作ってください。");
    } else if (!showsLatestRound()) {
        hint = QStringLiteral("前の回戦の結果は変えられません（見るだけです）。");
    } else if (typedGames_) {
        hint = QStringLiteral("選手1は %1 勝。選手2の勝ったゲーム数を入力してください（Esc "
                              "で取り消し）。")
                   .arg(*typedGames_);
    } else if (format == MatchFormat::BestOfThree) {
        hint = QStringLiteral("結果の入力: 卓を選んで、選手1と選手2の勝ったゲーム数を続けて"
                              "入力（2-1 なら 2 1。1-1 と 0-0 は引き分け）。Delete で消去。"
                              "右クリックでも選べます。");
    } else {
        hint = QStringLiteral("結果の入力: 卓を選んで 1（選手1の勝ち）、2（選手2の勝ち）、"
                              "0（引き分け）。Delete で消去。右クリックでも選べます。");
    }
    lblHint->setText(hint);
}

void frmSwissDraw::changeSettings(const std::function<void(SwissSettings&)>& change)
{
    SwissSettings settings = draw_.event().settings;
    change(settings);
    refused(draw_.setSettings(settings));
    showSettings(); // also after a refusal: the controls show what holds
}

int frmSwissDraw::selectedPlayer() const
{
    const QModelIndex current = tblPlayers->currentIndex();
    return current.isValid() ? playersModel_->playerAt(current.row()) : -1;
}

int frmSwissDraw::selectedTable() const
{
    const QModelIndex current = tblTables->currentIndex();
    return current.isValid() ? current.row() : -1;
}

int frmSwissDraw::shownRound() const
{
    return roundModel_->round();
}

void frmSwissDraw::addTypedPlayers()
{
    // The raw text keeps every character (a no-break space too); the blocks are lines.
    QString text = txtEntry->document()->toRawText();
    text.replace(QChar::ParagraphSeparator, u'\n');
    text.replace(QChar::LineSeparator, u'\n');
    const PlayerReading typed = playersFromLines(text.toStdString());
    if (refused(typed.refusal) || typed.players.empty())
        return;
    if (refused(draw_.addPlayers(typed.players)))
        return;
    txtEntry->clear();
}

void frmSwissDraw::readPlayersFromFile()
{
    const QString path = opening_->askOpenFileName(
        this, QStringLiteral("参加者を読み込む"), existingFolder(folder_),
        QStringLiteral("名簿（テキスト、CSV）(*.txt *.csv);;すべてのファイル (*)"));
    if (path.isEmpty())
        return;
    folder_ = QFileInfo(path).absolutePath();
    const PlayerReading reading = readPlayerListFile(path);
    if (refused(reading.refusal))
        return;
    if (reading.players.empty()) {
        messageBoxes_.show(errorMessage("参加者を読み込めませんでした。\r\n" +
                                        QDir::toNativeSeparators(path).toStdString() +
                                        "\r\n名前がひとつもありません。"));
        return;
    }
    refused(draw_.addPlayers(reading.players));
}

void frmSwissDraw::removeSelectedPlayer()
{
    const int player = selectedPlayer();
    if (player < 0)
        return;
    const int row = tblPlayers->currentIndex().row();
    if (refused(draw_.removePlayer(player)))
        return;
    // The player who took the row is selected, so that further presses go on removing.
    const int next = std::min(row, playersModel_->rowCount() - 1);
    if (next >= 0)
        tblPlayers->setCurrentIndex(playersModel_->index(next, SwissPlayersModel::Name));
}

void frmSwissDraw::dropSelectedPlayer()
{
    const int player = selectedPlayer();
    if (player < 0)
        return;
    if (draw_.event().players[player].droppedFrom)
        refused(draw_.reinstatePlayer(player));
    else
        refused(draw_.dropPlayer(player));
}

void frmSwissDraw::pairRound()
{
    const SwissEvent& event = draw_.event();
    if (latestRoundOpen(event)) {
        const Message question{"組み合わせを作り直す",
                               roundName(static_cast<int>(event.rounds.size())).toStdString() +
                                   "の組み合わせを、今の参加者で作り直します。\r\n"
                                   "今の組み合わせは失われます。よろしいですか？",
                               MessageIcon::Warning, MessageButtons::YesNo};
        if (messageBoxes_.show(question) != MessageAnswer::Yes)
            return;
        if (refused(draw_.pairRoundAgain()))
            return;
    } else if (refused(draw_.pairNextRound())) {
        return;
    }
    // The round just paired, whichever the list showed.
    const int latest = static_cast<int>(draw_.event().rounds.size());
    if (shownRound() != latest)
        cboRound->setCurrentIndex(latest - 1);
    tabEvent->setCurrentIndex(0);
    selectNextOpenTable(-1);
    tblTables->setFocus();
}

void frmSwissDraw::selectNextOpenTable(int after)
{
    const auto& rounds = draw_.event().rounds;
    const int round = shownRound();
    if (round < 1 || round > static_cast<int>(rounds.size()))
        return;
    const auto& tables = rounds[round - 1].tables;
    const int count = static_cast<int>(tables.size());
    for (int step = 1; step <= count; ++step) {
        const int table = (after + step + count) % count;
        if (!tables[table].result) {
            tblTables->setCurrentIndex(roundModel_->index(table, SwissRoundModel::Table));
            return;
        }
    }
    if (after < 0 && count > 0)
        tblTables->setCurrentIndex(roundModel_->index(0, SwissRoundModel::Table));
}

void frmSwissDraw::enterResult(const MatchResult& result)
{
    const int table = selectedTable();
    if (table < 0 || !showsLatestRound())
        return;
    if (refused(draw_.setResult(table, result)))
        return;
    selectNextOpenTable(table);
}

void frmSwissDraw::clearSelectedResult()
{
    const int table = selectedTable();
    if (table < 0 || !showsLatestRound())
        return;
    refused(draw_.clearResult(table));
}

bool frmSwissDraw::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == tblTables && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Keys with Ctrl or Alt are the window's shortcuts and access keys.
        const bool plain =
            (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) ==
            Qt::NoModifier;
        if (plain && typeResultKey(key->key()))
            return true;
    }
    return QWidget::eventFilter(watched, event);
}

bool frmSwissDraw::typeResultKey(int key)
{
    const bool digit = key >= Qt::Key_0 && key <= Qt::Key_9;
    if (key == Qt::Key_Escape && typedGames_) {
        typedGames_.reset();
        showHint();
        return true;
    }
    if (key == Qt::Key_Delete || key == Qt::Key_Backspace) {
        if (typedGames_) {
            typedGames_.reset();
            showHint();
        } else {
            clearSelectedResult();
        }
        return true;
    }
    if (!digit)
        return false;
    // Digits never search the table for a row, as they would in a plain list.
    if (!showsLatestRound() || selectedTable() < 0)
        return true;
    const int n = key - Qt::Key_0;
    if (draw_.event().settings.match == MatchFormat::SingleGame) {
        if (n == 1)
            enterResult({1, 0, 0});
        else if (n == 2)
            enterResult({0, 1, 0});
        else if (n == 0)
            enterResult({0, 0, 1});
        return true;
    }
    if (!typedGames_) {
        typedGames_ = n;
        showHint();
        return true;
    }
    const MatchResult result{*typedGames_, n, 0};
    typedGames_.reset();
    showHint();
    enterResult(result);
    return true;
}

void frmSwissDraw::showTablesMenu(const QPoint& pos)
{
    QModelIndex at = tblTables->indexAt(pos);
    if (!at.isValid())
        at = tblTables->currentIndex();
    if (!at.isValid() || !showsLatestRound())
        return;
    const SwissTable& table = draw_.event().rounds.back().tables.at(at.row());
    if (table.bye())
        return;
    tblTables->setCurrentIndex(at);
    const int row = at.row();
    const MatchFormat format = draw_.event().settings.match;
    QMenu menu(this);
    menu.setObjectName(QStringLiteral("mnuResult"));
    for (const MatchResult& result : resultsFor(format)) {
        QAction* action = menu.addAction(menuText(format, result));
        action->setCheckable(true);
        action->setChecked(table.result == result);
        connect(action, &QAction::triggered, this, [this, row, result] {
            if (selectedTable() == row)
                enterResult(result);
        });
    }
    menu.addSeparator();
    QAction* clear = menu.addAction(QStringLiteral("結果を消す(&X)\tDelete"));
    clear->setEnabled(table.result.has_value());
    connect(clear, &QAction::triggered, this, [this] { clearSelectedResult(); });
    const QRect rowRect = tblTables->visualRect(at);
    const QPoint where = tblTables->indexAt(pos).isValid() ? pos : rowRect.bottomLeft();
    menu.exec(tblTables->viewport()->mapToGlobal(where));
}

void frmSwissDraw::saveCsv(const QString& title, const QString& fileName, const std::string& bytes)
{
    const QString suggested = QDir(existingFolder(folder_)).filePath(fileName);
    const QString chosen =
        saving_->askSaveFileName(this, title, suggested, QString::fromUtf8(kCsvFilter));
    if (chosen.isEmpty())
        return;
    // The dialog asked before replacing the name it was given, not one with the ending added.
    const QString path = finalSaveName(chosen, QStringLiteral(".csv"), title, messageBoxes_);
    if (path.isEmpty())
        return;
    folder_ = QFileInfo(path).absolutePath();
    if (const std::optional<QString> why = writeWholeFile(path, QByteArray::fromStdString(bytes))) {
        messageBoxes_.show(errorMessage("ファイルを保存できませんでした。\r\n" +
                                        QDir::toNativeSeparators(path).toStdString() + "\r\n" +
                                        why->toStdString()));
    }
}

void frmSwissDraw::savePairings()
{
    const int round = shownRound();
    if (round < 1)
        return;
    saveCsv(QStringLiteral("組み合わせを CSV で保存"),
            QStringLiteral("スイスドロー_%1_組み合わせ.csv").arg(roundName(round)),
            pairingsCsv(draw_.event(), round));
}

void frmSwissDraw::saveStandings()
{
    const SwissEvent& event = draw_.event();
    int complete = 0;
    for (const SwissRound& round : event.rounds)
        complete += round.complete() ? 1 : 0;
    saveCsv(QStringLiteral("順位表を CSV で保存"),
            QStringLiteral("スイスドロー_順位表_%1まで.csv").arg(roundName(complete)),
            standingsCsv(event));
}

void frmSwissDraw::toTopCut()
{
    const SwissEvent& event = draw_.event();
    const TopCutResult result = topCut(event);
    if (refused(result.refusal))
        return;
    // Everything is asked before anything changes.
    if (result.cut->tieAtTheCut &&
        messageBoxes_.show(tieAtTheCutQuestion(event)) != MessageAnswer::Yes)
        return;
    if (board_.holdsMarks() && messageBoxes_.show(BracketBoard::replaceQuestion(
                                   "決勝トーナメントへ")) != MessageAnswer::Yes)
        return;
    seatTopCut(*result.cut, board_);
    emit topCutSeated();
}

void frmSwissDraw::newEvent()
{
    const SwissEvent& event = draw_.event();
    if (!event.players.empty()) {
        const Message question{"新しいスイスドロー",
                               "今のスイスドロー（参加者" + std::to_string(event.players.size()) +
                                   "人）を消して、新しく始めます。\r\nよろしいですか？",
                               MessageIcon::Warning, MessageButtons::YesNo};
        if (messageBoxes_.show(question) != MessageAnswer::Yes)
            return;
    }
    draw_.clear();
    txtEntry->setFocus();
}

} // namespace velka
