#pragma once

#include "board/BracketBoard.h"
#include "board/Tournament.h"
#include "core/Clock.h"
#include "core/Subscription.h"
#include "keep/TournamentFile.h"

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <mutex>
#include <optional>
#include <thread>

namespace velka {

// Keeps the board's last tournament in a file, so that it survives a closed window, a crash or
// a power cut. After every action that changed the tournament (a draw, a mark, progress mode, a
// reset, an open) the file is replaced atomically (writeTournamentFile), on a thread of its
// own, so that the action never waits for the disk; when the writer is still busy, only the
// newest state is written next and the ones in between are skipped. A kill at any point leaves
// the file holding one whole state that was handed over, or what it held before.
//
// Nothing is written until the tournament changes: a program that starts and is closed again
// leaves the kept file as it was. Before its first write a keeper copies the file that the last
// run kept to previousSessionFile(file), so that a stray first click after a restart cannot
// lose that tournament, nor a kept file that could not be read.
//
// The window side owns one keeper beside the board, on the board's thread, and calls flush()
// once per pass of the event loop: the board may pass through states no program could have
// made in the middle of one action (a draw empties the names before it fills them), so only
// what stands between two actions is kept. The window width is no part of the tournament.
class TournamentKeeper {
public:
    // Watches board from now on; clock gives the time saved. The folder of file must exist (a
    // write into a missing folder fails and is reported). board and clock outlive the keeper.
    TournamentKeeper(BracketBoard& board, std::filesystem::path file, const Clock& clock);
    // Hands over an unsaved change and waits until everything handed over is written.
    ~TournamentKeeper();
    TournamentKeeper(const TournamentKeeper&) = delete;
    TournamentKeeper& operator=(const TournamentKeeper&) = delete;

    // When the board heard of a change since the last flush and its tournament differs from the
    // one last handed over, hands the tournament to the writer thread and returns at once. Costs
    // a copy of the tournament; nothing waits for the disk.
    void flush();
    // Blocks until every tournament handed over has been written (or has failed).
    void waitUntilWritten();
    // Stops watching the board and drops a change not handed over yet, so that nothing more is
    // written: for an owner that learns it must not keep after all.
    void forgetUnsaved();

    // Why the last write failed; nothing after a write that succeeded (and before any write).
    std::optional<FileRefusal> lastWriteFailure() const;
    // How many files the writer has put in place so far.
    std::uint64_t writes() const;

    const std::filesystem::path& file() const { return file_; }

    // Where a keeper copies the last run's file before its first write, beside the kept file and
    // with its ending, so that it opens as any saved tournament: "last.velka" gives
    // "last.previous.velka".
    static std::filesystem::path previousSessionFile(const std::filesystem::path& file);

private:
    void writeLoop();

    BracketBoard& board_;
    const std::filesystem::path file_;
    const Clock& clock_;
    Subscription subscription_;
    bool changed_ = false;
    Tournament handedOver_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::optional<std::pair<Tournament, std::int64_t>> pending_;
    bool writing_ = false;
    bool stopping_ = false;
    bool firstWrite_ = true;
    std::uint64_t writes_ = 0;
    std::optional<FileRefusal> lastFailure_;
    std::thread writer_; // last: started, with the first hand-over, once everything above exists
};

// Whether a kept state exists at file (for enabling the menu item that opens it).
bool keptTournamentExists(const std::filesystem::path& file);
// Reads the kept state: the tournament, or why it cannot be read. The file is only read: one
// that cannot be read stays as it is, for inspection. Never called at start-up by the program.
TournamentReading readKeptTournament(const std::filesystem::path& file);

} // namespace velka
