#pragma once

#include "bracket/Reachable.h"
#include "bracket/Tournament.h"
#include "core/Message.h"
#include "swiss/SwissEvent.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velka {

class BracketBoard;
class SwissDraw;

// The tournament file (docs/tournament-file.md): one JSON object naming its format and version,
// the program that wrote it and when, the board's tournament and the Swiss event beside it. The
// writer writes the latest version; the reader also reads every earlier one. The reader takes
// exactly what this program could have written and nothing else; what it refuses, it refuses with a
// reason the organiser can read, and it never throws.

inline constexpr std::string_view kTournamentFormatName = "velka-tournament";
// 1: the board alone; 2: the board and the Swiss event.
inline constexpr int kTournamentFormatVersion = 2;
// No tournament file is larger; a larger one is refused before it is read. The largest Swiss
// event (kMaxSwissPlayers players, kMaxSwissRounds rounds, every result in) takes 0.3 MB with
// names of sixteen characters, and leaves room for about 2.9 KB more of name and reading a player
// (docs/tournament-file.md).
inline constexpr std::size_t kTournamentFileLimit = 1024 * 1024;
// The ending of a saved tournament's file name.
inline constexpr std::string_view kTournamentFileSuffix = ".velka";

// Why a tournament file could not be read or written.
enum class FileFault {
    CannotRead,     // the file is missing or could not be read
    CannotWrite,    // the file, or its temporary twin, could not be written or put in place
    TooLarge,       // over kTournamentFileLimit
    NotUtf8,        // the text is not valid UTF-8
    NotJson,        // the text is not JSON
    NotATournament, // JSON, but not this program's format
    LaterVersion,   // this format, written by a later version of the program
    Damaged,        // a field missing, extra, repeated or of the wrong type or count
    OffBoard,       // a connector end outside the board
    Impossible,     // a tournament that this program cannot have made
};

struct FileRefusal {
    FileFault fault;
    std::string detail; // which field, or what the system said; may be empty

    // The reason as the organiser reads it, in Japanese, detail included.
    std::string reason() const;

    bool operator==(const FileRefusal&) const = default;
};

// What a file holds: the board's tournament, the Swiss event, and who wrote it when.
struct SavedTournament {
    Tournament tournament;
    // SwissEvent{} when the file holds none, as every file of version 1.
    SwissEvent swiss;
    std::string programVersion; // "0.11.5": the program that wrote it
    std::int64_t savedAt = 0;   // seconds since 1970-01-01 00:00:00 UTC

    bool operator==(const SavedTournament&) const = default;
};

// A reading: the tournament, or why not. Exactly one of the two is set.
struct TournamentReading {
    std::optional<SavedTournament> saved;
    std::optional<FileRefusal> refusal;
};

// A writing: the file's text, or why not. Exactly one of text (non-empty) and refusal is set.
struct TournamentText {
    std::string text;
    std::optional<FileRefusal> refusal;
};

// Reads a tournament file's text. Checks, in this order: size, UTF-8, JSON, format name,
// version, every field, connector ends on the board, that this program could have made the
// tournament (bracket::whyUnreachable) and the Swiss event (swissEventFault, Impossible), and last
// that it can write them back (TooLarge when the text in the writer's layout is over the limit).
TournamentReading readTournamentText(std::string_view text);
// Reads the file at path: at most kTournamentFileLimit bytes are ever read. The file is only
// read, never changed.
TournamentReading readTournamentFile(const std::filesystem::path& file);

// The file's text for a tournament and a Swiss event (none: SwissEvent{}) saved at savedAt by
// this program, in the latest version. Refused when it would not read back: a name that is not
// valid UTF-8 (NotUtf8), or names so long that the text grows over kTournamentFileLimit
// (TooLarge). The text ends with a line break.
TournamentText tournamentFileText(const Tournament& tournament, std::int64_t savedAt,
                                  const SwissEvent& swiss = {});
// tournamentFileText, written atomically to path (writeFileAtomically): afterwards the path
// holds either the old file whole or the new one whole.
std::optional<FileRefusal> writeTournamentFile(const std::filesystem::path& file,
                                               const Tournament& tournament, std::int64_t savedAt,
                                               const SwissEvent& swiss = {});

// Puts what a file holds in place: the board takes its tournament (BracketBoard::setTournament)
// and, when given, swiss its Swiss event (SwissDraw::load, or clear for none); a Swiss event
// that already is the file's is left alone. The reading has checked both, so neither refuses.
void putInPlace(const SavedTournament& saved, BracketBoard& board, SwissDraw* swiss);
// Opens a tournament file onto the board, and onto swiss when given (putInPlace), or, when the
// file is refused, leaves both exactly as they were, unnotified. Nothing when opened; otherwise
// why not.
std::optional<FileRefusal> openTournamentText(BracketBoard& board, std::string_view text,
                                              SwissDraw* swiss = nullptr);
std::optional<FileRefusal> openTournamentFile(BracketBoard& board,
                                              const std::filesystem::path& file,
                                              SwissDraw* swiss = nullptr);

// The refusal of a tournament that this program cannot have made (bracket::whyUnreachable): a
// connector end off the board is OffBoard, any other broken rule Impossible; the detail is the
// rule's.
FileRefusal unreachableRefusal(const bracket::Unreachable& why);

// The "Error" boxes of the window side: opening fileName was refused, or saving to it failed.
Message openRefusalMessage(std::string_view fileName, const FileRefusal& refusal);
Message saveFailureMessage(std::string_view fileName, const FileRefusal& refusal);

// "2026-12-07T06:30:00Z" for an instant; the inverse gives nothing for any other text.
std::string utcTimestamp(std::int64_t instant);
std::optional<std::int64_t> readUtcTimestamp(std::string_view text);

} // namespace velka
