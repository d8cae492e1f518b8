// The whole draw on arbitrary settings, lists, random values and a board marked up beforehand.
//
// Input: marks made on the board, the field size text, the seed box and name, the text entered
// into the list, then the random values. Invariants: a refused draw changes neither the board
// nor the list; a successful one takes N names from the list, exactly those it puts into slots
// 0..N-1 (with the seed in slot N - 1), leaves the later slots empty, and leaves a board that
// is the bracket of N players and nothing of the marks made before: the same as shaping a
// fresh board, N - 1 full matches, the line of every box shown exactly when it is checked.

#include "bracket/BracketBoard.h"
#include "bracket/BracketShape.h"
#include "core/RandomSource.h"
#include "core/TypedNumber.h"
#include "draw/Draw.h"
#include "draw/EntryList.h"
#include "fuzz/FuzzCheck.h"
#include "tests/support/BoardSnapshot.h"
#include "tests/support/EntryNames.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace velka;

// Random values taken from the input: uniform ones, and the ends of [0, 1).
class InputRandom final : public RandomSource {
public:
    explicit InputRandom(FuzzedDataProvider& input)
        : input_(input)
    {}
    void reseedFromClock() override {}
    double next() override
    {
        switch (input_.ConsumeIntegralInRange(0, 3)) {
        case 0:
            return 0.0;
        case 1:
            return std::nextafter(1.0, 0.0);
        default:
            return unitInterval(input_.ConsumeIntegral<std::uint64_t>());
        }
    }

private:
    FuzzedDataProvider& input_;
};

// What the organiser can do to the board before a draw.
void markUp(BracketBoard& board, FuzzedDataProvider& input)
{
    const int marks = input.ConsumeIntegralInRange(0, 40);
    for (int m = 0; m < marks; ++m) {
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0:
            board.ToggleProgress();
            break;
        case 1:
            board.AllClear();
            break;
        default:
            board.setBoxChecked(input.ConsumeIntegralInRange(0, board::kBoxCount - 1),
                                input.ConsumeBool());
            break;
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    BracketBoard board;
    board.Load();
    markUp(board, input);
    // A board shaped by an earlier draw, sometimes.
    if (input.ConsumeBool())
        ShapeBracket(board, input.ConsumeIntegralInRange(2, 16));

    DrawSettings settings;
    settings.fieldSizeText = input.ConsumeRandomLengthString(32);
    settings.seed = input.ConsumeBool();
    settings.seedName = input.ConsumeRandomLengthString(32);
    EntryList list;
    addEntries(list, input.ConsumeRandomLengthString(4096));
    InputRandom random(input);

    const test::BoardSnapshot boardBefore = test::snapshot(board);
    const std::vector<std::string> listBefore = test::namesIn(list);

    const DrawResult result = drawField(settings, list, board, random);

    FUZZ_CHECK((result.refusal == DrawRefusal::FieldSizeNotANumber) ==
               !TypedNumber::read(settings.fieldSizeText).has_value());
    if (result.refusal) {
        FUZZ_CHECK(test::snapshot(board) == boardBefore);
        FUZZ_CHECK(test::namesIn(list) == listBefore);
        FUZZ_CHECK(!refusalMessage(*result.refusal).text.empty());
        return 0;
    }

    const int n = result.fieldSize;
    const int seed = settings.seed ? 1 : 0;
    FUZZ_CHECK(n >= 2 && n <= 16);
    FUZZ_CHECK(n == *readFieldSize(settings.fieldSizeText));
    FUZZ_CHECK(!settings.seed || (n % 2 == 1 && !settings.seedName.empty()));
    FUZZ_CHECK(list.count() == static_cast<int>(listBefore.size()) - (n - seed));

    // The names in play and the names left are the names entered, plus the seed.
    std::vector<std::string> inPlay;
    for (int slot = 0; slot < n; ++slot)
        inPlay.push_back(board.slotCaption(slot));
    for (int slot = n; slot < board::kSlotCount; ++slot)
        FUZZ_CHECK(board.slotCaption(slot).empty());
    if (settings.seed)
        FUZZ_CHECK(board.slotCaption(n - 1) == settings.seedName);
    std::vector<std::string> accounted = test::namesIn(list);
    accounted.insert(accounted.end(), inPlay.begin(), inPlay.end());
    std::vector<std::string> expected = listBefore;
    if (settings.seed)
        expected.push_back(settings.seedName);
    std::sort(accounted.begin(), accounted.end());
    std::sort(expected.begin(), expected.end());
    FUZZ_CHECK(accounted == expected);
    // The names left keep their order.
    std::size_t from = 0;
    for (int i = 0; i < list.count(); ++i) {
        while (from < listBefore.size() && listBefore[from] != list.at(i))
            ++from;
        FUZZ_CHECK(from < listBefore.size());
        ++from;
    }

    BracketBoard fresh;
    fresh.Load();
    ShapeBracket(fresh, n);
    test::BoardSnapshot drawn = test::snapshot(board);
    drawn.captions = test::snapshot(fresh).captions; // the names were checked above
    FUZZ_CHECK(drawn == test::snapshot(fresh));

    int matches = 0;
    for (int c = 0; c < board::kConnectorCount; ++c) {
        if (board.connectorVisible(c) && board.connector(c) == board::kDesignConnectors[c])
            ++matches;
    }
    FUZZ_CHECK(matches == n - 1);
    for (int k = 0; k < board::kBoxCount; ++k) {
        FUZZ_CHECK(!board.boxVisible(k));
        FUZZ_CHECK(board.lineVisible(k) == board.boxChecked(k));
    }
    FUZZ_CHECK(board.lineVisible(board::kChampionLine) == (n > 8));
    return 0;
}
