#pragma once

#include "board/Tournament.h"
#include "core/Message.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace velka {

class BracketBoard;

// The tournament file (docs/tournament-file.md): one JSON object naming its format and version,
// the program that wrote it and when, and the tournament. The reader takes exactly what this
// program could have written and nothing else; what it refuses, it refuses with a reason the
// organiser can read, and it never throws.

inline constexpr std::string_view kTournamentFormatName = "velka-tournament";
inline constexpr int kTournamentFormatVersion = 1;
// No tournament file is larger; a larger one is refused before it is read.
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

// What a file holds besides the tournament.
struct SavedTournament {
    Tournament tournament;
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
// tournament (couldHaveMade), and last that it can write the tournament back (TooLarge when
// its text in the writer's layout is over the limit).
TournamentReading readTournamentText(std::string_view text);
// Reads the file at path: at most kTournamentFileLimit bytes are ever read. The file is only
// read, never changed.
TournamentReading readTournamentFile(const std::filesystem::path& file);

// The file's text for a tournament saved at savedAt by this program. Refused (Impossible) when
// it would not read back: a name that is not valid UTF-8, or names so long that the text grows
// over kTournamentFileLimit. The text ends with a line break.
TournamentText tournamentFileText(const Tournament& tournament, std::int64_t savedAt);
// tournamentFileText, written atomically to path (writeFileAtomically): afterwards the path
// holds either the old file whole or the new one whole.
std::optional<FileRefusal> writeTournamentFile(const std::filesystem::path& file,
                                               const Tournament& tournament, std::int64_t savedAt);

// Opens a tournament onto the board: the board takes the file's tournament whole, with one
// notification (BracketBoard::setTournament), or, when the file is refused, stays exactly as it
// was and hears nothing. Nothing when opened; otherwise why not.
std::optional<FileRefusal> openTournamentText(BracketBoard& board, std::string_view text);
std::optional<FileRefusal> openTournamentFile(BracketBoard& board,
                                              const std::filesystem::path& file);

// Nothing when this program can have brought its board into this tournament (after its load
// step, through draws, marks, progress mode, resets and opens); otherwise which rule it breaks.
// Checks the connector ends against the board first (OffBoard), then the rest (Impossible).
std::optional<FileRefusal> couldHaveMade(const Tournament& tournament);

// The "Error" boxes of the window side: opening fileName was refused, or saving to it failed.
Message openRefusalMessage(std::string_view fileName, const FileRefusal& refusal);
Message saveFailureMessage(std::string_view fileName, const FileRefusal& refusal);

// "2026-12-07T06:30:00Z" for an instant; the inverse gives nothing for any other text.
std::string utcTimestamp(std::int64_t instant);
std::optional<std::int64_t> readUtcTimestamp(std::string_view text);

} // namespace velka
