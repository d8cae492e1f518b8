#pragma once

#include "core/Subscription.h"

#include <QLockFile>
#include <QObject>
#include <QString>
#include <QTimer>

#include <filesystem>
#include <future>
#include <memory>
#include <optional>

class QAction;
class QLockFile;
class QMenu;
class QWidget;

namespace velka {

class BracketBoard;
class Clock;
class MessageBoxes;
class OpenFileDialogs;
class SaveFileDialogs;
class TournamentKeeper;
struct Tournament;

// The tournament in files, for the main window: saving it (Ctrl+S), opening one (Ctrl+O), and,
// once keepIn has named a folder, keeping the last tournament there after every change and
// bringing the last run's tournament back when the organiser asks. The three items stand in
// the board's context menu. Opening over a board that holds marks asks first, as the reset
// does; a file that is refused, or cannot be written, is reported in an "Error" box over the
// window and changes nothing.
class TournamentFiles final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TournamentFiles)

public:
    // window takes the shortcuts and is the parent of the dialogs.
    TournamentFiles(BracketBoard& board, MessageBoxes& messageBoxes, QWidget* window);
    // Writes what is still to be kept, and waits for it.
    ~TournamentFiles() override;

    // Replaces the dialogs and the clock, for tests. The services must outlive this object.
    void useServices(SaveFileDialogs& saving, OpenFileDialogs& opening, const Clock& clock);

    // From now on keeps the board's tournament in folder/last.velka (the folder is made when it
    // is missing), written once per pass of the event loop after a change. Nothing is read and
    // nothing written until the tournament changes. Only one running program keeps in a
    // folder: while another holds it, this one keeps nothing and its menu says so.
    void keepIn(const QString& folder);
    // The kept file; empty when nothing is kept.
    QString keptFile() const { return keptFile_; }
    // Waits until every change handed to the keeper is written, for tests and benchmarks; a
    // change is handed over in the pass of the event loop after it.
    void waitUntilKept();

    // The file that 「前回の続きを開く」 opens: the last run's kept tournament. Once this run
    // has kept a change, that is the copy the keeper made before its first write; until then,
    // the kept file itself. Empty when there is none.
    QString lastRunFile() const;
    // Why the keeping does not work now, as the menu says it; nothing while it works.
    std::optional<QString> keepingTrouble() const;

    void save();
    // Asks for a file and opens it.
    void open();
    // Opens path onto the board: asks first when the board holds marks; reports a refused file.
    // True when the board now holds the file's tournament.
    bool openFile(const QString& path);
    // Opens lastRunFile().
    void openLastRun();

    QAction* saveAction() const { return saveAction_; }
    QAction* openAction() const { return openAction_; }
    QAction* lastRunAction() const { return lastRunAction_; }

    // Adds the three items, and the line saying what troubles the keeping, to a menu.
    void addToMenu(QMenu* menu);

    // "大会_2026-12-07_1530.velka": the suggested name of a tournament saved at instant, in local
    // time.
    static QString suggestedName(std::int64_t instant);

private:
    bool openTournament(const QString& path, const QString& question);
    // Takes in the answer of the lock's thread, once: without the lock, nothing is kept.
    void settleLock() const;

    BracketBoard& board_;
    MessageBoxes& messageBoxes_;
    QWidget* window_;

    std::unique_ptr<SaveFileDialogs> ownSaving_;
    std::unique_ptr<OpenFileDialogs> ownOpening_;
    std::unique_ptr<Clock> ownClock_;
    std::unique_ptr<Clock> keeperClock_; // reads whichever clock is in use now
    SaveFileDialogs* saving_;
    OpenFileDialogs* opening_;
    const Clock* clock_;
    QString folder_; // where the last tournament was saved or opened from; empty at first

    QAction* saveAction_ = nullptr;
    QAction* openAction_ = nullptr;
    QAction* lastRunAction_ = nullptr;

    QString keptFile_;
    // Taken on a thread of its own: QLockFile writes the lock file through to the disk, which
    // the window's first paint should not wait for. The answer is taken in before the first
    // write and whenever the menu asks.
    mutable std::unique_ptr<QLockFile> keptLock_;
    mutable std::future<QLockFile::LockError> lockTaken_; // after keptLock_: ends before it goes
    mutable bool keptElsewhere_ = false;
    QTimer flushTimer_;
    mutable Subscription boardSubscription_;
    mutable std::unique_ptr<TournamentKeeper> keeper_; // last: gone before what it uses
};

// A file name as the standard library takes it, and back.
std::filesystem::path toFilePath(const QString& path);
QString fromFilePath(const std::filesystem::path& path);

} // namespace velka
