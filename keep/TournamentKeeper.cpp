#include "keep/TournamentKeeper.h"

#include "keep/AtomicFile.h"

#include <system_error>

namespace velka {

TournamentKeeper::TournamentKeeper(BracketBoard& board, std::filesystem::path file,
                                   const Clock& clock)
    : board_(board)
    , file_(std::move(file))
    , clock_(clock)
    , handedOver_(board.tournament())
{
    subscription_ = board_.subscribe([this](BracketBoard::Change change) {
        if (change.part != BracketBoard::Part::WindowWidth)
            changed_ = true;
    });
}

TournamentKeeper::~TournamentKeeper()
{
    subscription_.reset();
    flush();
    if (!writer_.joinable())
        return;
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

void TournamentKeeper::forgetUnsaved()
{
    subscription_.reset();
    changed_ = false;
}

void TournamentKeeper::flush()
{
    if (!changed_)
        return;
    changed_ = false;
    Tournament now = board_.tournament();
    if (now == handedOver_)
        return;
    handedOver_ = now;
    {
        const std::lock_guard lock(mutex_);
        pending_.emplace(std::move(now), clock_.now());
    }
    // The writer starts with the first state to write: a run that changes nothing starts none.
    if (!writer_.joinable())
        writer_ = std::thread([this] { writeLoop(); });
    wake_.notify_one();
}

void TournamentKeeper::waitUntilWritten()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !pending_ && !writing_; });
}

std::optional<FileRefusal> TournamentKeeper::lastWriteFailure() const
{
    const std::lock_guard lock(mutex_);
    return lastFailure_;
}

std::uint64_t TournamentKeeper::writes() const
{
    const std::lock_guard lock(mutex_);
    return writes_;
}

std::filesystem::path TournamentKeeper::previousSessionFile(const std::filesystem::path& file)
{
    std::filesystem::path previous = file;
    previous.replace_filename(file.stem().string() + ".previous" + file.extension().string());
    return previous;
}

void TournamentKeeper::writeLoop()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return pending_ || stopping_; });
        if (!pending_)
            return; // stopping, with everything written
        const auto [tournament, savedAt] = std::move(*pending_);
        pending_.reset();
        writing_ = true;
        const bool first = std::exchange(firstWrite_, false);
        lock.unlock();

        std::optional<FileRefusal> failure;
        std::optional<FileRefusal> written;
        try {
            std::error_code error;
            if (first && std::filesystem::exists(file_, error)) {
                if (auto copied = copyFileAtomically(file_, previousSessionFile(file_)))
                    failure = FileRefusal{FileFault::CannotWrite, *copied};
            }
            written = writeTournamentFile(file_, tournament, savedAt);
        } catch (const std::exception& e) {
            written = FileRefusal{FileFault::CannotWrite, e.what()};
        }

        lock.lock();
        writing_ = false;
        if (!written)
            ++writes_;
        lastFailure_ = written ? written : failure;
        idle_.notify_all();
    }
}

bool keptTournamentExists(const std::filesystem::path& file)
{
    std::error_code error;
    return std::filesystem::is_regular_file(file, error);
}

TournamentReading readKeptTournament(const std::filesystem::path& file)
{
    return readTournamentFile(file);
}

} // namespace velka
