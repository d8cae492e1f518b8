#pragma once

#include "core/Subscription.h"
#include "keep/TournamentKeeper.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <filesystem>
#include <future>
#include <memory>
#include <optional>
#include <vector>

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
class SwissDraw;
struct Tournament;

// The tournament in files, for the main window: saving it (Ctrl+S), opening one (Ctrl+O), and,
// once keepIn has named a folder, keeping the last tournament there after every change,
// bringing the last run's tournament back, and bringing back a board that a draw, a reset or an
// open replaced (the history). Once given the program's Swiss event (includeSwissEvent), the
// tournament is the board and the event together: both are saved, kept and replaced as one. The
// items stand in the board's context menu. Opening over a board that holds marks, or a Swiss
// event that holds results, asks first, as the reset does; a file that is refused, or cannot be
// written, is reported in an "Error" box over the window and changes nothing. Building the menu
// never waits for the disk: it shows what the keeper's writer last saw.
class TournamentFileActions final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TournamentFileActions)

public:
    // window takes the shortcuts and is the parent of the dialogs.
    TournamentFileActions(BracketBoard& board, MessageBoxes& messageBoxes, QWidget* window);
    // Writes what is still to be kept, and waits for it.
    ~TournamentFileActions() override;

    // Replaces the dialogs and the clock, for tests. The services must outlive this object.
    void useServices(SaveFileDialogs& saving, OpenFileDialogs& opening, const Clock& clock);
    // From now on the Swiss event in swiss is saved, opened and kept with the board. Called
    // before keepIn; swiss outlives this object.
    void includeSwissEvent(SwissDraw& swiss);

    // From now on keeps the board's tournament in folder/last.velka (the folder is made when it
    // is missing), written once per pass of the event loop after a change, and the boards it
    // replaced in folder/history. Nothing is written until the tournament changes. Only one
    // running program keeps in a folder, the one that holds its lock: another one follows its
    // board all the same, says in its menu that it keeps nothing, tries the lock again at every
    // change and at its close, and keeps from the moment it gets it. The holder refreshes its
    // lock every minute; a lock not refreshed for five minutes (a program that hangs, a lock
    // left half written, one from another computer sharing the folder) is taken over.
    void keepIn(const QString& folder);
    // The kept file; empty when nothing is kept.
    QString keptFile() const { return keptFile_; }
    // Waits until every change handed to the keeper is written, for tests and benchmarks; a
    // change is handed over in the pass of the event loop after it.
    void waitUntilKept();
    // Marks the held lock as alive; runs every minute by itself.
    void refreshLock();

    // The file that 「前回の続きを開く」 opens: the last run's kept tournament. Once this run
    // has kept a change, that is the copy the keeper made before its first write; until then,
    // the kept file itself. Empty when there is none. As the keeper's writer last saw it.
    QString lastRunFile();
    // The boards that were replaced, newest first, as the keeper's writer last saw them.
    std::vector<HistoryEntry> history();
    // Why the keeping does not work now, as the menu says it; nothing while it works.
    std::optional<QString> keepingTrouble();

    // Asks for a name and saves there; asks before replacing a file the dialog did not ask about.
    void save();
    // Asks for a file and opens it.
    void open();
    // Opens path onto the board and the Swiss event: asks first when the board holds marks or
    // the event holds results; reports a refused file. True when they now hold the file's.
    bool openFile(const QString& path);
    // Opens lastRunFile().
    void openLastRun();
    // Opens a history entry, as openFile does.
    bool openHistoryEntry(const QString& path);

    QAction* saveAction() const { return saveAction_; }
    QAction* openAction() const { return openAction_; }
    QAction* lastRunAction() const { return lastRunAction_; }
    // 「以前の表(&H)」, the submenu of the history.
    QAction* historyAction() const;

    // Adds the items, and the line saying what troubles the keeping, to a menu.
    void addToMenu(QMenu* menu);

    // "大会_2026-12-07_1530.velka": the suggested name of a tournament saved at instant, in local
    // time.
    static QString suggestedName(std::int64_t instant);
    // 「12/07 15:30　7人・決勝まで」: a history entry as the menu lists it, in local time; a Swiss
    // event comes first, as 「12/07 15:30　スイスドロー 20人・第3回戦まで」.
    static QString historyLabel(const HistoryEntry& entry);

private:
    enum class Lock { Taken, HeldElsewhere, Impossible };
    Lock takeLock();
    // Takes in the answer of the first try at the lock, once.
    void settleLock();
    void keepIfFree();
    bool openTournament(const QString& path, const QString& question);

    BracketBoard& board_;
    SwissDraw* swiss_ = nullptr;
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
    QMenu* historyMenu_ = nullptr; // the window's child

    QString keptFile_;
    std::unique_ptr<QLockFile> keptLock_;
    bool keptElsewhere_ = false;
    std::future<std::unique_ptr<QLockFile>> firstLockTry_;
    QTimer flushTimer_;
    QTimer lockRefresh_;
    Subscription boardSubscription_;
    Subscription swissSubscription_;
    std::unique_ptr<TournamentKeeper> keeper_; // last: gone before what it uses
};

// A file name as the standard library takes it, and back.
std::filesystem::path toFilePath(const QString& path);
QString fromFilePath(const std::filesystem::path& path);

} // namespace velka
