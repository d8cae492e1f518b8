#include "keep/TournamentFileActions.h"

#include "bracket/BracketBoard.h"
#include "core/Clock.h"
#include "core/Message.h"
#include "keep/TournamentFile.h"
#include "keep/TournamentKeeper.h"
#include "swiss/SwissDraw.h"
#include "uikit/FileDialogs.h"
#include "uikit/WholeFile.h"
#include "uikit/WindowAction.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QMenu>
#include <QStyle>
#include <QWidget>

#include <algorithm>

namespace velka {

namespace {

const char* const kKeptName = "last.velka";
const char* const kSaveTitle = "大会を保存";
const char* const kOpenTitle = "大会を開く";
const char* const kLastRunTitle = "前回の続きを開く";
const char* const kHistoryTitle = "以前の表を開く";

// A lock that its program has not refreshed for this long is taken over: the program hangs, or
// is gone and the lock cannot tell (half written, another computer's, a process number reused).
constexpr int kLockStaleAfterMs = 5 * 60 * 1000;
constexpr int kLockRefreshMs = 60 * 1000;

QString suffixText()
{
    return QString::fromUtf8(kTournamentFileSuffix.data(),
                             static_cast<qsizetype>(kTournamentFileSuffix.size()));
}

QString fileFilter()
{
    return QStringLiteral("Velka Tablewright の大会 (*%1)")
        .arg(QString::fromUtf8(kTournamentFileSuffix.data(),
                               static_cast<qsizetype>(kTournamentFileSuffix.size())));
}

std::string shownName(const QString& path)
{
    return QDir::toNativeSeparators(path).toStdString();
}

// The question before a tournament replaces one that holds marks, when a Swiss event's results
// would go too.
Message replaceSwissQuestion(const QString& title)
{
    return {title.toStdString(),
            "開くと今のスイスドローとトーナメント表は失われます。\r\nよろしいですか？",
            MessageIcon::Warning, MessageButtons::YesNo};
}

// A result the organiser entered: a bye's comes with the pairing.
bool holdsResults(const SwissEvent& event)
{
    return std::any_of(event.rounds.begin(), event.rounds.end(), [](const SwissRound& round) {
        return std::any_of(round.tables.begin(), round.tables.end(),
                           [](const SwissTable& t) { return !t.bye() && t.result; });
    });
}

// The keeper's clock, which asks whatever clock the window uses at the moment it asks.
class ForwardingClock final : public Clock {
public:
    explicit ForwardingClock(const Clock* const& clock)
        : clock_(clock)
    {}
    std::int64_t now() const override { return clock_->now(); }

private:
    const Clock* const& clock_;
};

} // namespace

std::filesystem::path toFilePath(const QString& path)
{
#ifdef _WIN32
    return std::filesystem::path(path.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(path).toStdString());
#endif
}

QString fromFilePath(const std::filesystem::path& path)
{
#ifdef _WIN32
    return QString::fromStdWString(path.wstring());
#else
    return QFile::decodeName(QByteArray::fromStdString(path.string()));
#endif
}

TournamentFileActions::TournamentFileActions(BracketBoard& board, MessageBoxes& messageBoxes,
                                             QWidget* window)
    : board_(board)
    , messageBoxes_(messageBoxes)
    , window_(window)
    , ownSaving_(std::make_unique<QtSaveFileDialogs>())
    , ownOpening_(std::make_unique<QtOpenFileDialogs>())
    , ownClock_(std::make_unique<SystemClock>())
    , keeperClock_(std::make_unique<ForwardingClock>(clock_))
    , saving_(ownSaving_.get())
    , opening_(ownOpening_.get())
    , clock_(ownClock_.get())
{
    const auto action = [this](const char* name, const QString& text, const QKeySequence& keys,
                               auto run) {
        return addWindowAction(window_, this, name, text, keys, run);
    };
    saveAction_ = action("actSaveTournament", QStringLiteral("大会を保存(&A)..."),
                         QKeySequence::Save, [this] { save(); });
    openAction_ = action("actOpenTournament", QStringLiteral("大会を開く(&O)..."),
                         QKeySequence::Open, [this] { open(); });
    lastRunAction_ = action("actOpenLastRun", QStringLiteral("前回の続きを開く(&L)"), {},
                            [this] { openLastRun(); });
    lastRunAction_->setEnabled(false);
    historyMenu_ = new QMenu(QStringLiteral("以前の表(&H)"), window_);
    historyMenu_->setObjectName(QStringLiteral("HistoryMenu"));
    historyMenu_->menuAction()->setObjectName(QStringLiteral("actHistory"));
    historyMenu_->menuAction()->setEnabled(false);

    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    connect(&flushTimer_, &QTimer::timeout, this, [this] {
        if (!keeper_)
            return;
        settleLock();
        keepIfFree();
        keeper_->flush();
    });
    lockRefresh_.setInterval(kLockRefreshMs);
    connect(&lockRefresh_, &QTimer::timeout, this, &TournamentFileActions::refreshLock);
}

TournamentFileActions::~TournamentFileActions()
{
    // A second program whose first closed meanwhile keeps its last change all the same.
    settleLock();
    keepIfFree();
}

void TournamentFileActions::useServices(SaveFileDialogs& saving, OpenFileDialogs& opening,
                                        const Clock& clock)
{
    saving_ = &saving;
    opening_ = &opening;
    clock_ = &clock;
}

void TournamentFileActions::includeSwissEvent(SwissDraw& swiss)
{
    swiss_ = &swiss;
}

void TournamentFileActions::keepIn(const QString& folder)
{
    settleLock();
    keeper_.reset();
    boardSubscription_.reset();
    swissSubscription_.reset();
    lockRefresh_.stop();
    keptLock_.reset();
    keptElsewhere_ = false;
    QDir().mkpath(folder);
    keptFile_ = QDir(folder).filePath(QString::fromLatin1(kKeptName));

    // The first try at the lock runs on a thread of its own: QLockFile writes the lock file
    // through to the disk, which the window's first paint should not wait for. The keeper waits
    // for its answer, taken in at the first flush or when the menu asks (settleLock).
    auto lock = std::make_unique<QLockFile>(keptFile_ + QStringLiteral(".lock"));
    lock->setStaleLockTime(kLockStaleAfterMs);
    firstLockTry_ = std::async(std::launch::async, [lock = std::move(lock)]() mutable {
        return lock->tryLock(0) ? std::move(lock) : std::unique_ptr<QLockFile>();
    });
    // Made after the window's load step, so that what the load showed is not a change: a
    // window that opens and closes again leaves the kept file as it was.
    keeper_ = std::make_unique<TournamentKeeper>(board_, swiss_, toFilePath(keptFile_),
                                                 *keeperClock_, TournamentKeeper::Start::Waiting);
    boardSubscription_ = board_.subscribe([this](BracketBoard::Change) {
        if (!flushTimer_.isActive())
            flushTimer_.start();
    });
    if (swiss_) {
        swissSubscription_ = swiss_->subscribe([this] {
            if (!flushTimer_.isActive())
                flushTimer_.start();
        });
    }
}

TournamentFileActions::Lock TournamentFileActions::takeLock()
{
    auto lock = std::make_unique<QLockFile>(keptFile_ + QStringLiteral(".lock"));
    lock->setStaleLockTime(kLockStaleAfterMs);
    if (!lock->tryLock(0))
        return lock->error() == QLockFile::LockFailedError ? Lock::HeldElsewhere : Lock::Impossible;
    keptLock_ = std::move(lock);
    lockRefresh_.start();
    return Lock::Taken;
}

void TournamentFileActions::settleLock()
{
    if (!firstLockTry_.valid())
        return;
    std::unique_ptr<QLockFile> lock = firstLockTry_.get();
    if (lock) {
        keptLock_ = std::move(lock);
        lockRefresh_.start();
        keeper_->startWriting();
        return;
    }
    // Tried again, on this thread, to tell a lock held elsewhere from a folder that cannot hold
    // one (which is kept all the same, the writes saying what is wrong).
    keptElsewhere_ = true;
    keepIfFree();
}

void TournamentFileActions::keepIfFree()
{
    if (!keeper_ || !keptElsewhere_ || takeLock() == Lock::HeldElsewhere)
        return;
    keptElsewhere_ = false;
    keeper_->startWriting();
}

void TournamentFileActions::refreshLock()
{
    settleLock();
    if (!keptLock_)
        return;
    std::error_code ignored; // a lock that cannot be refreshed is only taken over sooner
    std::filesystem::last_write_time(toFilePath(keptLock_->fileName()),
                                     std::filesystem::file_time_type::clock::now(), ignored);
}

void TournamentFileActions::waitUntilKept()
{
    if (keeper_)
        keeper_->waitUntilWritten();
}

QString TournamentFileActions::lastRunFile()
{
    settleLock();
    if (!keeper_)
        return {};
    const std::optional<std::filesystem::path> lastRun = keeper_->shelf().lastRun;
    return lastRun ? fromFilePath(*lastRun) : QString();
}

std::vector<HistoryEntry> TournamentFileActions::history()
{
    settleLock();
    return keeper_ ? keeper_->shelf().history : std::vector<HistoryEntry>();
}

QAction* TournamentFileActions::historyAction() const
{
    return historyMenu_->menuAction();
}

std::optional<QString> TournamentFileActions::keepingTrouble()
{
    settleLock();
    if (keptElsewhere_) {
        return QStringLiteral("自動保存なし（別に起動した Velka Tablewright が記録中）");
    }
    if (keeper_) {
        if (const std::optional<FileRefusal> failure = keeper_->lastWriteFailure())
            return QStringLiteral("自動保存できません: %1")
                .arg(QString::fromStdString(failure->reason()));
    }
    return std::nullopt;
}

QString TournamentFileActions::suggestedName(std::int64_t instant)
{
    return QStringLiteral("大会_%1%2")
        .arg(QDateTime::fromSecsSinceEpoch(instant).toString(QStringLiteral("yyyy-MM-dd_HHmm")),
             suffixText());
}

QString TournamentFileActions::historyLabel(const HistoryEntry& entry)
{
    QString label =
        QDateTime::fromSecsSinceEpoch(entry.replacedAt).toString(QStringLiteral("MM/dd HH:mm"));
    const auto part = [&label](const QString& field, const std::string& reached) {
        label += QStringLiteral("　") + field;
        if (!reached.empty())
            label += QStringLiteral("・") + QString::fromStdString(reached);
    };
    if (entry.swissPlayers > 0)
        part(QStringLiteral("スイスドロー %1人").arg(entry.swissPlayers), entry.swissReached);
    if (entry.fieldSize > 0 || entry.swissPlayers == 0)
        part(QStringLiteral("%1人").arg(entry.fieldSize), entry.reached);
    return label;
}

void TournamentFileActions::save()
{
    const std::int64_t now = clock_->now();
    const QString suggested = QDir(existingFolder(folder_)).filePath(suggestedName(now));
    const QString chosen =
        saving_->askSaveFileName(window_, QString::fromUtf8(kSaveTitle), suggested, fileFilter());
    if (chosen.isEmpty())
        return;
    const QString path =
        finalSaveName(chosen, suffixText(), QString::fromUtf8(kSaveTitle), messageBoxes_);
    if (path.isEmpty())
        return;
    folder_ = QFileInfo(path).absolutePath();

    const TournamentText text =
        tournamentFileText(board_.tournament(), now, swiss_ ? swiss_->event() : SwissEvent{});
    std::optional<FileRefusal> failure = text.refusal;
    if (!failure) {
        if (const std::optional<QString> why =
                writeWholeFile(path, QByteArray::fromStdString(text.text)))
            failure = FileRefusal{FileFault::CannotWrite, why->toStdString()};
    }
    if (failure)
        messageBoxes_.show(saveFailureMessage(shownName(path), *failure));
}

void TournamentFileActions::open()
{
    const QString path =
        opening_->askOpenFileName(window_, QString::fromUtf8(kOpenTitle), existingFolder(folder_),
                                  fileFilter() + QStringLiteral(";;すべてのファイル (*)"));
    if (path.isEmpty())
        return;
    folder_ = QFileInfo(path).absolutePath();
    openFile(path);
}

bool TournamentFileActions::openFile(const QString& path)
{
    return openTournament(path, QString::fromUtf8(kOpenTitle));
}

void TournamentFileActions::openLastRun()
{
    if (!keeper_)
        return;
    // Settles which file holds the last run: the keeper copies it aside before its first write.
    keeper_->flush();
    keeper_->waitUntilWritten();
    const QString path = lastRunFile();
    if (!path.isEmpty())
        openTournament(path, QString::fromUtf8(kLastRunTitle));
}

bool TournamentFileActions::openHistoryEntry(const QString& path)
{
    return openTournament(path, QString::fromUtf8(kHistoryTitle));
}

bool TournamentFileActions::openTournament(const QString& path, const QString& question)
{
    // The file is read before anything is asked: a refused file changes nothing either way.
    const TournamentReading reading = readTournamentFile(toFilePath(path));
    if (reading.refusal) {
        messageBoxes_.show(openRefusalMessage(shownName(path), *reading.refusal));
        return false;
    }
    const bool results = swiss_ && holdsResults(swiss_->event());
    if ((board_.holdsMarks() || results) &&
        messageBoxes_.show(results ? replaceSwissQuestion(question)
                                   : BracketBoard::replaceQuestion(question.toStdString())) !=
            MessageAnswer::Yes)
        return false;
    putInPlace(*reading.saved, board_, swiss_);
    return true;
}

void TournamentFileActions::addToMenu(QMenu* menu)
{
    settleLock();
    const KeptShelf shelf = keeper_ ? keeper_->shelf() : KeptShelf{};
    // Another program writes the folder: what it wrote shows the next time the menu opens.
    if (keeper_ && keptElsewhere_)
        keeper_->lookAgain();
    lastRunAction_->setEnabled(shelf.lastRun.has_value());
    historyMenu_->clear();
    for (const HistoryEntry& entry : shelf.history) {
        QAction* item = historyMenu_->addAction(historyLabel(entry));
        const QString path = fromFilePath(entry.file);
        connect(item, &QAction::triggered, this, [this, path] { openHistoryEntry(path); });
    }
    historyMenu_->menuAction()->setEnabled(!shelf.history.empty());
    menu->addAction(saveAction_);
    menu->addAction(openAction_);
    menu->addAction(lastRunAction_);
    menu->addAction(historyMenu_->menuAction());
    if (const std::optional<QString> trouble = keepingTrouble()) {
        QAction* line =
            menu->addAction(window_->style()->standardIcon(QStyle::SP_MessageBoxWarning), *trouble);
        line->setObjectName(QStringLiteral("actKeepingTrouble"));
        line->setEnabled(false);
    }
}

} // namespace velka
