#include "keep/TournamentKeeper.h"

#include "bracket/BracketRounds.h"
#include "keep/AtomicFile.h"

#include <algorithm>
#include <system_error>

namespace velka {

namespace {

using Steady = std::chrono::steady_clock;

// At most this many entries of one second, and at most this many files looked at in the
// history folder: more are not the program's.
constexpr int kNamesPerSecond = 99;
constexpr int kFilesLookedAt = 200;

bool newerFirst(const HistoryEntry& a, const HistoryEntry& b)
{
    if (a.replacedAt != b.replacedAt)
        return a.replacedAt > b.replacedAt;
    return a.file.filename() > b.file.filename();
}

HistoryEntry entryFor(std::filesystem::path file, const Tournament& tournament,
                      const SwissEvent& swiss, std::int64_t replacedAt)
{
    return {std::move(file),
            replacedAt,
            tournament.fieldSize,
            howFarItWent(tournament),
            static_cast<int>(swiss.players.size()),
            howFarSwissWent(swiss)};
}

bool isFile(const std::filesystem::path& file)
{
    std::error_code error;
    return std::filesystem::is_regular_file(file, error);
}

} // namespace

TournamentKeeper::TournamentKeeper(BracketBoard& board, SwissDraw* swiss,
                                   std::filesystem::path file, const Clock& clock, Start start,
                                   RetryPauses pauses)
    : board_(board)
    , swiss_(swiss)
    , file_(std::move(file))
    , clock_(clock)
    , pauses_(pauses)
    , handedOver_{board.tournament(), swiss ? swiss->event() : SwissEvent{}}
    , swissReplacements_(swiss ? swiss->replacements() : 0)
    , mayWrite_(start == Start::Writing)
    , pause_(pauses.first)
{
    subscription_ = board_.subscribe([this](BracketBoard::Change change) {
        changed_ = true;
        // A new draw or a reset forgets the last draw's record first; an open replaces the whole
        // board. Marks and progress mode do neither.
        if (change.part == BracketBoard::Part::DrawRecord ||
            change.part == BracketBoard::Part::Everything)
            replaced_ = true;
    });
    if (swiss_)
        swissSubscription_ = swiss_->subscribe([this] { changed_ = true; });
    writer_ = std::thread([this] { writeLoop(); });
}

TournamentKeeper::~TournamentKeeper()
{
    subscription_.reset();
    swissSubscription_.reset();
    flush();
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_one();
    writer_.join();
}

void TournamentKeeper::flush()
{
    if (!changed_)
        return;
    changed_ = false;
    const bool boardReplaced = std::exchange(replaced_, false);
    bool swissReplaced = false;
    if (swiss_) {
        swissReplaced = swiss_->replacements() != swissReplacements_;
        swissReplacements_ = swiss_->replacements();
    }
    Kept now{board_.tournament(), swiss_ ? swiss_->event() : SwissEvent{}};
    if (now.sameState(handedOver_))
        return;
    now.at = clock_.now();
    std::optional<Kept> retired;
    const bool draw = boardReplaced && holdsADraw(handedOver_.tournament) &&
                      now.tournament != handedOver_.tournament;
    const bool event =
        swissReplaced && holdsPlayers(handedOver_.swiss) && now.swiss != handedOver_.swiss;
    if (draw || event) {
        retired = std::move(handedOver_);
        retired->at = now.at;
    }
    handedOver_ = now;
    {
        const std::lock_guard lock(mutex_);
        if (retired) {
            pending_.retired.push_back(std::move(*retired));
            while (pending_.retired.size() > kHistoryLength)
                pending_.retired.pop_front();
        }
        pending_.state = std::move(now);
        retryAt_.reset(); // a new change is tried at once
    }
    wake_.notify_one();
}

void TournamentKeeper::startWriting()
{
    {
        const std::lock_guard lock(mutex_);
        if (mayWrite_)
            return;
        mayWrite_ = true;
        lookAsked_ = true; // the other program wrote meanwhile
    }
    wake_.notify_one();
}

bool TournamentKeeper::writing() const
{
    const std::lock_guard lock(mutex_);
    return mayWrite_;
}

bool TournamentKeeper::idle() const
{
    return !busy_ && !lookAsked_ && !(mayWrite_ && !pending_.empty() && !retryAt_);
}

void TournamentKeeper::waitUntilWritten()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return idle(); });
}

void TournamentKeeper::waitUntilOnDisk()
{
    std::unique_lock lock(mutex_);
    idle_.wait(lock, [this] { return !busy_ && !lookAsked_ && pending_.empty(); });
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

KeptShelf TournamentKeeper::shelf() const
{
    const std::lock_guard lock(mutex_);
    return shelf_;
}

void TournamentKeeper::lookAgain()
{
    {
        const std::lock_guard lock(mutex_);
        lookAsked_ = true;
    }
    wake_.notify_one();
}

std::filesystem::path TournamentKeeper::previousSessionFile(const std::filesystem::path& file)
{
    std::filesystem::path previous = file;
    previous.replace_filename(file.stem().string() + ".previous" + file.extension().string());
    return previous;
}

std::filesystem::path TournamentKeeper::historyFolder(const std::filesystem::path& file)
{
    return file.parent_path() / "history";
}

void TournamentKeeper::writeLoop()
{
    std::unique_lock lock(mutex_);
    bool finalTry = false;
    for (;;) {
        if (retryAt_ && mayWrite_ && !pending_.empty() && !stopping_ && !lookAsked_) {
            wake_.wait_until(lock, *retryAt_,
                             [this] { return stopping_ || lookAsked_ || !retryAt_; });
        } else {
            wake_.wait(lock, [this] {
                return stopping_ || lookAsked_ || (mayWrite_ && !pending_.empty() && !retryAt_);
            });
        }

        if (lookAsked_) {
            lookAsked_ = false;
            busy_ = true;
            const bool writing = mayWrite_;
            lock.unlock();
            lookAtFolder(writing);
            KeptShelf seen = shelfNow();
            lock.lock();
            shelf_ = std::move(seen);
            busy_ = false;
            idle_.notify_all();
            continue;
        }

        const bool due = !retryAt_ || Steady::now() >= *retryAt_;
        if (mayWrite_ && !pending_.empty() && (due || (stopping_ && !finalTry))) {
            finalTry = stopping_;
            Work work = std::exchange(pending_, {});
            retryAt_.reset();
            busy_ = true;
            lock.unlock();

            Outcome outcome = attempt(work);
            KeptShelf seen = shelfNow();

            lock.lock();
            busy_ = false;
            writes_ += outcome.writes;
            lastFailure_ = outcome.failure;
            shelf_ = std::move(seen);
            if (outcome.tryAgain) {
                // A change handed over meanwhile is tried at once; otherwise after a pause.
                if (!pending_.state) {
                    pending_.state = std::move(work.state);
                    retryAt_ = Steady::now() + pause_;
                    pause_ = std::min(pause_ * 2, pauses_.longest);
                }
                // What is left goes back before anything handed over meanwhile.
                for (auto it = work.retired.rbegin(); it != work.retired.rend(); ++it)
                    pending_.retired.push_front(std::move(*it));
                while (pending_.retired.size() > kHistoryLength)
                    pending_.retired.pop_front();
            } else {
                pause_ = pauses_.first;
            }
            idle_.notify_all();
            continue;
        }
        if (stopping_)
            return;
    }
}

TournamentKeeper::Outcome TournamentKeeper::attempt(Work& work)
{
    Outcome outcome;
    try {
        if (!lastRunSecured_) {
            if (auto failure = secureLastRun(work))
                return {failure, true, 0};
            lastRunSecured_ = true;
        }
        while (!work.retired.empty()) {
            std::optional<FileRefusal> failure = addToHistory(work.retired.front());
            if (failure && failure->fault == FileFault::CannotWrite)
                return {failure, true, outcome.writes};
            // Written, or a board that no file can hold (names too long): either way done.
            work.retired.pop_front();
            if (failure)
                outcome.failure = failure;
        }
        while (history_.size() > static_cast<std::size_t>(kHistoryLength)) {
            std::error_code ignored;
            std::filesystem::remove(history_.back().file, ignored);
            history_.pop_back();
        }
        if (work.state && !(lastWritten_ && work.state->sameState(*lastWritten_))) {
            std::optional<FileRefusal> failure = writeTournamentFile(
                file_, work.state->tournament, work.state->at, work.state->swiss);
            if (failure && failure->fault == FileFault::CannotWrite)
                return {failure, true, outcome.writes};
            if (!failure) {
                lastWritten_ = *work.state;
                ++outcome.writes;
            } else {
                outcome.failure = failure;
            }
        }
        work.state.reset();
    } catch (const std::exception& e) {
        return {FileRefusal{FileFault::CannotWrite, e.what()}, true, outcome.writes};
    }
    return outcome;
}

std::optional<FileRefusal> TournamentKeeper::secureLastRun(Work& work)
{
    if (!isFile(file_))
        return std::nullopt;
    if (auto failure = copyFileAtomically(file_, previousSessionFile(file_)))
        return FileRefusal{FileFault::CannotWrite, *failure};
    const TournamentReading last = readTournamentFile(file_);
    if (!last.saved)
        return std::nullopt; // kept aside as it is, for inspection
    const Kept lastRun{last.saved->tournament, last.saved->swiss, last.saved->savedAt};
    lastWritten_ = lastRun;
    const bool continued = work.state && work.state->sameState(lastRun);
    if ((holdsADraw(lastRun.tournament) || holdsPlayers(lastRun.swiss)) && !continued) {
        work.retired.push_front(lastRun);
        if (work.state)
            work.retired.front().at = work.state->at;
    }
    return std::nullopt;
}

std::optional<FileRefusal> TournamentKeeper::addToHistory(const Kept& kept)
{
    const std::filesystem::path folder = historyFolder(file_);
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return FileRefusal{FileFault::CannotWrite, error.message()};
    for (int number = 1; number <= kNamesPerSecond; ++number) {
        std::filesystem::path entry = folder / historyEntryName(kept.at, number);
        if (std::filesystem::exists(entry, error) || error)
            continue;
        if (auto failure = writeTournamentFile(entry, kept.tournament, kept.at, kept.swiss))
            return failure;
        HistoryEntry added = entryFor(std::move(entry), kept.tournament, kept.swiss, kept.at);
        history_.insert(std::upper_bound(history_.begin(), history_.end(), added, newerFirst),
                        std::move(added));
        return std::nullopt;
    }
    return FileRefusal{FileFault::CannotWrite, "履歴のファイル名が尽きました"};
}

void TournamentKeeper::lookAtFolder(bool writing)
{
    const std::filesystem::path folder = historyFolder(file_);
    if (writing && !cleaned_) {
        // Only the program that holds the folder's lock writes there: what is left is a
        // killed writer's.
        removeLeftoverTemporaries(file_.parent_path());
        removeLeftoverTemporaries(folder);
        cleaned_ = true;
    }
    history_.clear();
    std::error_code error;
    int looked = 0;
    for (std::filesystem::directory_iterator it(folder, error), end;
         !error && it != end && looked < kFilesLookedAt; it.increment(error)) {
        const std::filesystem::path& file = it->path();
        if (file.extension() != kTournamentFileSuffix || !isFile(file))
            continue;
        ++looked;
        const TournamentReading reading = readTournamentFile(file);
        if (reading.saved)
            history_.push_back(entryFor(file, reading.saved->tournament, reading.saved->swiss,
                                        reading.saved->savedAt));
    }
    std::sort(history_.begin(), history_.end(), newerFirst);
}

KeptShelf TournamentKeeper::shelfNow() const
{
    KeptShelf shelf;
    shelf.looked = true;
    // Once this run has written, the last run's state is in the copy beside the kept file.
    const std::filesystem::path lastRun = lastRunSecured_ ? previousSessionFile(file_) : file_;
    if (isFile(lastRun))
        shelf.lastRun = lastRun;
    shelf.history.assign(history_.begin(),
                         history_.begin() + static_cast<std::ptrdiff_t>(std::min<std::size_t>(
                                                history_.size(), kHistoryLength)));
    return shelf;
}

bool holdsADraw(const Tournament& tournament)
{
    return tournament.fieldSize > 0;
}

bool holdsPlayers(const SwissEvent& swiss)
{
    return !swiss.players.empty();
}

std::string howFarSwissWent(const SwissEvent& swiss)
{
    if (swiss.players.empty())
        return {};
    const auto paired = static_cast<int>(swiss.rounds.size());
    if (paired == 0)
        return "第1回戦の前";
    if (paired == swiss.plannedRounds() && swiss.rounds.back().complete())
        return "全" + std::to_string(paired) + "回戦終了";
    return "第" + std::to_string(paired) + "回戦まで";
}

std::string howFarItWent(const Tournament& tournament)
{
    const std::optional<bracket::BracketState> bracket = bracket::bracketFrom(tournament);
    if (!bracket)
        return {};
    if (bracket->champion >= 0)
        return "優勝決定";
    int furthest = 1;
    for (const bracket::Match& match : bracket->matches) {
        const bool won = match.result == bracket::MatchResult::UpperWon ||
                         match.result == bracket::MatchResult::LowerWon;
        if (won && !match.bye && match.next >= 0)
            furthest = std::max(furthest, match.round + 1);
    }
    return bracket::roundName(furthest, static_cast<int>(bracket->rounds.size())) + "まで";
}

std::string historyEntryName(std::int64_t replacedAt, int number)
{
    const std::string t = utcTimestamp(replacedAt); // 2026-12-07T06:30:00Z
    return t.substr(0, 4) + t.substr(5, 2) + t.substr(8, 2) + "-" + t.substr(11, 2) +
           t.substr(14, 2) + t.substr(17, 2) + "-" + (number < 10 ? "0" : "") +
           std::to_string(number) + std::string(kTournamentFileSuffix);
}

bool keptTournamentExists(const std::filesystem::path& file)
{
    return isFile(file);
}

TournamentReading readKeptTournament(const std::filesystem::path& file)
{
    return readTournamentFile(file);
}

} // namespace velka
