#pragma once

#include "bracket/BracketBoard.h"
#include "bracket/Tournament.h"
#include "core/Clock.h"
#include "core/Subscription.h"
#include "keep/TournamentFile.h"
#include "swiss/SwissDraw.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace velka {

// A board that was replaced while it held a draw, or a Swiss event that was replaced while it
// held players, kept whole (the board and the event) as a tournament file in the history folder.
struct HistoryEntry {
    std::filesystem::path file;
    std::int64_t replacedAt = 0; // seconds since 1970 UTC: the file's "saved"
    int fieldSize = 0;
    std::string reached;      // how far the board had gone (howFarItWent)
    int swissPlayers = 0;     // the Swiss event's players, dropped ones included
    std::string swissReached; // how far the Swiss event had gone (howFarSwissWent)

    bool operator==(const HistoryEntry&) const = default;
};

// What the window's menu shows of the keeping folder, as the writer thread last saw it: the
// window reads it without touching the disk.
struct KeptShelf {
    bool looked = false; // false until the writer has first looked at the folder
    // The last run's tournament (TournamentKeeper::lastRunFile); nothing when there is none.
    std::optional<std::filesystem::path> lastRun;
    std::vector<HistoryEntry> history; // newest first, at most kHistoryLength

    bool operator==(const KeptShelf&) const = default;
};

// How long the writer waits before it tries a failed write again: first, then twice as long
// each time, never longer than longest. A new change is tried at once.
struct RetryPauses {
    std::chrono::milliseconds first{1000};
    std::chrono::milliseconds longest{60000};
};

// Keeps the board's last tournament and the Swiss event beside it in a file, so that they
// survive a closed window, a crash or a power cut, and keeps the ones that were replaced while
// they held something in a history beside it. After every action that changed the tournament (a
// draw, a mark, progress mode, a reset, an open, any change of the Swiss event) the file is
// replaced atomically (writeTournamentFile), on a thread of its
// own, so that the action never waits for the disk; when the writer is still busy, only the
// newest state is written next and the ones in between are skipped. A kill at any point leaves
// the file holding one whole state that was handed over, or what it held before.
//
// A state counts as kept once it is on the disk. One that could not be written stays pending
// and is tried again after a pause (RetryPauses), at the next change, and once more when the
// keeper closes; the reason shows meanwhile (lastWriteFailure).
//
// Nothing is written until the tournament changes: a program that starts and is closed again
// leaves the kept file as it was. Before its first write a keeper copies the file that the last
// run kept to previousSessionFile(file), and, when that held a draw the new state does not
// continue, puts it into the history; the kept file is replaced only once both are whole.
//
// The history: whenever the board that held a draw is replaced (by a draw, a reset, an open, a
// history entry, or the first change of a new run), or the Swiss event that held players is
// (SwissDraw::load or clear: an open, a history entry, a new event; or the first change of a new
// run), the whole state that held it, board and event, goes into historyFolder(file) as a
// tournament file, written before the kept file is replaced; the newest kHistoryLength stay.
//
// The window side owns one keeper beside the board, on the board's thread, and calls flush()
// once per pass of the event loop: the board may pass through states no program could have
// made in the middle of one action (a draw empties the names before it fills them), so only
// what stands between two actions is kept.
class TournamentKeeper {
public:
    static constexpr int kHistoryLength = 20;

    // Whether the keeper may write from the start, or waits until startWriting() (while another
    // running program keeps in the same folder). A waiting keeper follows the board all the same
    // and writes what it gathered once it may.
    enum class Start { Writing, Waiting };

    // Watches board and, when given, swiss from now on (without swiss every state kept holds no
    // Swiss event); clock gives the time saved (read on the board's thread only). The folder of
    // file must exist (a write into a missing folder fails and is reported). board, swiss and
    // clock outlive the keeper, and swiss changes on the board's thread. The writer looks at the
    // folder at once, on its own thread, for shelf().
    TournamentKeeper(BracketBoard& board, SwissDraw* swiss, std::filesystem::path file,
                     const Clock& clock, Start start = Start::Writing, RetryPauses pauses = {});
    TournamentKeeper(BracketBoard& board, std::filesystem::path file, const Clock& clock,
                     Start start = Start::Writing, RetryPauses pauses = {})
        : TournamentKeeper(board, nullptr, std::move(file), clock, start, pauses)
    {}
    // Hands over an unsaved change, tries once more what is pending, and waits for that.
    ~TournamentKeeper();
    TournamentKeeper(const TournamentKeeper&) = delete;
    TournamentKeeper& operator=(const TournamentKeeper&) = delete;

    // When the board or the Swiss event heard of a change since the last flush and the two differ
    // from the ones last handed over, hands them to the writer thread and returns at once. Costs
    // a copy of both; nothing waits for the disk.
    void flush();
    // From now on the keeper writes (the lock of the folder is held). Clears what killed
    // writers left in the folder first.
    void startWriting();
    bool writing() const;
    // Blocks until the writer is idle: everything handed over written, or its last try failed
    // and it waits to try again (or it may not write yet).
    void waitUntilWritten();
    // Blocks until everything handed over is on the disk, however many tries that takes.
    void waitUntilOnDisk();

    // Why the last try failed; nothing after a try that succeeded (and before any try).
    std::optional<FileRefusal> lastWriteFailure() const;
    // How many times the writer has put the kept file in place so far.
    std::uint64_t writes() const;

    // What the menu shows, as the writer last saw it. Never waits for the disk.
    KeptShelf shelf() const;
    // Asks the writer to look at the folder again (another program writes there); shelf()
    // shows it once that is done.
    void lookAgain();

    const std::filesystem::path& file() const { return file_; }

    // Where a keeper copies the last run's file before its first write, beside the kept file and
    // with its ending, so that it opens as any saved tournament: "last.velka" gives
    // "last.previous.velka".
    static std::filesystem::path previousSessionFile(const std::filesystem::path& file);
    // The history's folder: "history" beside the kept file.
    static std::filesystem::path historyFolder(const std::filesystem::path& file);

private:
    struct Kept {
        Tournament tournament;
        SwissEvent swiss;
        std::int64_t at = 0;
        bool sameState(const Kept& other) const
        {
            return tournament == other.tournament && swiss == other.swiss;
        }
    };
    // What waits for the writer: boards for the history (oldest first) and the newest state.
    struct Work {
        std::deque<Kept> retired;
        std::optional<Kept> state;
        bool empty() const { return retired.empty() && !state; }
    };
    struct Outcome {
        std::optional<FileRefusal> failure;
        bool tryAgain = false;
        std::uint64_t writes = 0;
    };

    void writeLoop();
    bool idle() const;
    Outcome attempt(Work& work);
    std::optional<FileRefusal> secureLastRun(Work& work);
    std::optional<FileRefusal> addToHistory(const Kept& kept);
    void lookAtFolder(bool writing);
    KeptShelf shelfNow() const;

    BracketBoard& board_;
    SwissDraw* const swiss_;
    const std::filesystem::path file_;
    const Clock& clock_;
    const RetryPauses pauses_;
    Subscription subscription_;
    Subscription swissSubscription_;

    // The board's thread only.
    bool changed_ = false;
    bool replaced_ = false;
    Kept handedOver_;
    std::uint64_t swissReplacements_ = 0; // swiss_->replacements() at the last flush

    // Shared, under mutex_.
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    Work pending_;
    bool mayWrite_ = true;
    bool stopping_ = false;
    bool busy_ = false;
    bool lookAsked_ = true;
    std::optional<std::chrono::steady_clock::time_point> retryAt_;
    std::uint64_t writes_ = 0;
    std::optional<FileRefusal> lastFailure_;
    KeptShelf shelf_;

    // The writer's thread only.
    std::optional<Kept> lastWritten_;
    bool lastRunSecured_ = false;
    bool cleaned_ = false;
    std::chrono::milliseconds pause_;
    std::vector<HistoryEntry> history_; // newest first

    std::thread writer_; // last: started once everything above exists
};

// Whether a state holds something that the history keeps when it is replaced: a draw on the
// board, or a Swiss event with a player.
bool holdsADraw(const Tournament& tournament);
bool holdsPlayers(const SwissEvent& swiss);

// How far a tournament had gone, as the history lists it: 「優勝決定」 once the final is decided,
// else the furthest round that a player reached by winning a match (a bye does not count), as the
// players' page names rounds, with 「まで」: 「1回戦まで」 before any result. Empty without a
// draw.
std::string howFarItWent(const Tournament& tournament);
// How far a Swiss event had gone: 「第N回戦まで」 for the latest round paired, 「全N回戦終了」 once
// the last planned round has every result, 「第1回戦の前」 before the first is paired. Empty
// without players.
std::string howFarSwissWent(const SwissEvent& swiss);
// The file name of a history entry: the time it was replaced in UTC and a number that tells
// apart two replaced within one second, "20261207-063000-01.velka".
std::string historyEntryName(std::int64_t replacedAt, int number);

// Whether a kept state exists at file (for enabling the menu item that opens it).
bool keptTournamentExists(const std::filesystem::path& file);
// Reads the kept state: the tournament and the Swiss event, or why they cannot be read. The file is
// only read: one that cannot be read stays as it is, for inspection. Never called at start-up by
// the program.
TournamentReading readKeptTournament(const std::filesystem::path& file);

} // namespace velka
