#pragma once

#include "core/Message.h"

#include <optional>
#include <string>
#include <string_view>

namespace velka {

class BracketBoard;
class EntryList;
class RandomSource;

// The settings of a new tournament as the entry dialog holds them.
struct DrawSettings {
    std::string fieldSizeText;
    bool seed = false;
    std::string seedName;
};

// Why a draw was refused, in the order the settings are checked.
enum class DrawRefusal {
    FieldSizeNotANumber,
    SizeOutOfRange,
    NotEnoughEntries,
    SeedNameMissing,
    SeedNeedsOddSize,
};

// What the organiser is told of a refusal.
Message refusalMessage(DrawRefusal refusal);

// The field size as typed: a number rounded down, or nothing when the text is not a number.
// Far too large values come out beyond 16, never as overflow.
std::optional<int> readFieldSize(std::string_view text);

struct DrawResult {
    std::optional<DrawRefusal> refusal; // nothing when the field was drawn
    int fieldSize = 0;                  // the N drawn, when drawn

    bool drawn() const { return !refusal; }
};

// Checks the settings; when they pass, resets the board, draws N names at random from the
// list (consuming them) into slots 0.., puts a seed name into slot N - 1 and shapes the bracket
// for N players; last it records on the board what it knew (N and the seed name). Every check
// comes before the first change, so a refused draw changes nothing.
DrawResult drawField(const DrawSettings& settings, EntryList& entries, BracketBoard& board,
                     RandomSource& random);

} // namespace velka
