#include "board/TournamentFiles.h"

#include "board/BracketBoard.h"
#include "board/BracketExport.h"
#include "board/OutputDialogs.h"
#include "core/Clock.h"
#include "core/Message.h"
#include "keep/TournamentFile.h"
#include "keep/TournamentKeeper.h"
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

namespace velka {

namespace {

const char* const kKeptName = "last.velka";
const char* const kSaveTitle = "大会を保存";
const char* const kOpenTitle = "大会を開く";
const char* const kLastRunTitle = "前回の続きを開く";

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

bool isFile(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

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

TournamentFiles::TournamentFiles(BracketBoard& board, MessageBoxes& messageBoxes, QWidget* window)
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
                         QKeySequence(Qt::CTRL | Qt::Key_S), [this] { save(); });
    openAction_ = action("actOpenTournament", QStringLiteral("大会を開く(&O)..."),
                         QKeySequence(Qt::CTRL | Qt::Key_O), [this] { open(); });
    lastRunAction_ = action("actOpenLastRun", QStringLiteral("前回の続きを開く(&L)"), {},
                            [this] { openLastRun(); });
    lastRunAction_->setEnabled(false);

    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(0);
    connect(&flushTimer_, &QTimer::timeout, this, [this] {
        if (keeper_)
            keeper_->flush();
    });
}

TournamentFiles::~TournamentFiles() = default;

void TournamentFiles::useServices(SaveFileDialogs& saving, OpenFileDialogs& opening,
                                  const Clock& clock)
{
    saving_ = &saving;
    opening_ = &opening;
    clock_ = &clock;
}

void TournamentFiles::keepIn(const QString& folder)
{
    keeper_.reset();
    boardSubscription_.reset();
    keptLock_.reset();
    keptElsewhere_ = false;
    QDir().mkpath(folder);
    keptFile_ = QDir(folder).filePath(QString::fromLatin1(kKeptName));

    // A lock that only a running program holds: one killed leaves a stale lock that the next
    // takes over. A lock of any age stays while its program runs.
    keptLock_ = std::make_unique<QLockFile>(keptFile_ + QStringLiteral(".lock"));
    keptLock_->setStaleLockTime(0);
    if (!keptLock_->tryLock(0)) {
        keptElsewhere_ = keptLock_->error() == QLockFile::LockFailedError;
        keptLock_.reset();
        if (keptElsewhere_)
            return;
        // The folder cannot hold a lock: keep all the same, and the writes say what is wrong.
    }
    // Made after the window's load step, so that what the load showed is not a change: a
    // window that opens and closes again leaves the kept file as it was.
    keeper_ = std::make_unique<TournamentKeeper>(board_, toFilePath(keptFile_), *keeperClock_);
    boardSubscription_ = board_.subscribe([this](BracketBoard::Change change) {
        if (change.part != BracketBoard::Part::WindowWidth && !flushTimer_.isActive())
            flushTimer_.start();
    });
}

void TournamentFiles::waitUntilKept()
{
    if (keeper_)
        keeper_->waitUntilWritten();
}

QString TournamentFiles::lastRunFile() const
{
    if (keptFile_.isEmpty())
        return {};
    if (keeper_) {
        // Settles whether this run has written: the copy is made before the first write.
        keeper_->flush();
        keeper_->waitUntilWritten();
        if (keeper_->writes() > 0) {
            const QString previous =
                fromFilePath(TournamentKeeper::previousSessionFile(toFilePath(keptFile_)));
            return isFile(previous) ? previous : QString();
        }
    }
    return isFile(keptFile_) ? keptFile_ : QString();
}

std::optional<QString> TournamentFiles::keepingTrouble() const
{
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

QString TournamentFiles::suggestedName(std::int64_t instant)
{
    return QStringLiteral("大会_%1%2")
        .arg(QDateTime::fromSecsSinceEpoch(instant).toString(QStringLiteral("yyyy-MM-dd_HHmm")),
             QString::fromUtf8(kTournamentFileSuffix.data(),
                               static_cast<qsizetype>(kTournamentFileSuffix.size())));
}

void TournamentFiles::save()
{
    const std::int64_t now = clock_->now();
    const QString suggested = QDir(existingFolder(folder_)).filePath(suggestedName(now));
    QString path =
        saving_->askSaveFileName(window_, QString::fromUtf8(kSaveTitle), suggested, fileFilter());
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QString::fromUtf8(kTournamentFileSuffix.data(),
                                  static_cast<qsizetype>(kTournamentFileSuffix.size()));
    folder_ = QFileInfo(path).absolutePath();

    const TournamentText text = tournamentFileText(board_.tournament(), now);
    std::optional<FileRefusal> failure = text.refusal;
    if (!failure) {
        if (const std::optional<QString> why =
                writeWholeFile(path, QByteArray::fromStdString(text.text)))
            failure = FileRefusal{FileFault::CannotWrite, why->toStdString()};
    }
    if (failure)
        messageBoxes_.show(saveFailureMessage(shownName(path), *failure));
}

void TournamentFiles::open()
{
    const QString path =
        opening_->askOpenFileName(window_, QString::fromUtf8(kOpenTitle), existingFolder(folder_),
                                  fileFilter() + QStringLiteral(";;すべてのファイル (*)"));
    if (path.isEmpty())
        return;
    folder_ = QFileInfo(path).absolutePath();
    openFile(path);
}

bool TournamentFiles::openFile(const QString& path)
{
    return openTournament(path, QString::fromUtf8(kOpenTitle));
}

void TournamentFiles::openLastRun()
{
    const QString path = lastRunFile();
    if (!path.isEmpty())
        openTournament(path, QString::fromUtf8(kLastRunTitle));
}

bool TournamentFiles::openTournament(const QString& path, const QString& question)
{
    // The file is read before anything is asked: a refused file changes nothing either way.
    const TournamentReading reading = readTournamentFile(toFilePath(path));
    if (reading.refusal) {
        messageBoxes_.show(openRefusalMessage(shownName(path), *reading.refusal));
        return false;
    }
    if (board_.holdsMarks() && messageBoxes_.show(BracketBoard::replaceQuestion(
                                   question.toStdString())) != MessageAnswer::Yes)
        return false;
    board_.setTournament(reading.saved->tournament);
    return true;
}

void TournamentFiles::addToMenu(QMenu* menu)
{
    lastRunAction_->setEnabled(!lastRunFile().isEmpty());
    menu->addAction(saveAction_);
    menu->addAction(openAction_);
    menu->addAction(lastRunAction_);
    if (const std::optional<QString> trouble = keepingTrouble()) {
        QAction* line =
            menu->addAction(window_->style()->standardIcon(QStyle::SP_MessageBoxWarning), *trouble);
        line->setObjectName(QStringLiteral("actKeepingTrouble"));
        line->setEnabled(false);
    }
}

} // namespace velka
