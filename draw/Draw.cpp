#include "draw/Draw.h"

#include "bracket/BracketBoard.h"
#include "bracket/BracketShape.h"
#include "core/RandomSource.h"
#include "core/TypedNumber.h"
#include "draw/EntryList.h"

#include <cmath>

namespace velka {

namespace {

constexpr int kSmallestField = 2;
constexpr int kLargestField = 16;

std::optional<DrawRefusal> check(int fieldSize, const DrawSettings& settings,
                                 const EntryList& entries)
{
    if (fieldSize < kSmallestField || fieldSize > kLargestField)
        return DrawRefusal::SizeOutOfRange;
    const int seed = settings.seed ? 1 : 0;
    if (fieldSize > entries.count() + seed)
        return DrawRefusal::NotEnoughEntries;
    if (settings.seed && settings.seedName.empty())
        return DrawRefusal::SeedNameMissing;
    if (settings.seed && fieldSize % 2 == 0)
        return DrawRefusal::SeedNeedsOddSize;
    return std::nullopt;
}

// floor(count * r), kept below count even when the product rounds up to it.
int pick(int count, double r)
{
    const double scaled = std::floor(static_cast<double>(count) * r);
    if (!(scaled >= 0)) // also catches NaN
        return 0;
    return scaled >= count ? count - 1 : static_cast<int>(scaled);
}

} // namespace

Message refusalMessage(DrawRefusal refusal)
{
    switch (refusal) {
    case DrawRefusal::FieldSizeNotANumber:
        return errorMessage("当選人数には数字を入力してください。");
    case DrawRefusal::SizeOutOfRange:
        return errorMessage("参加人数は2～16の間で設定してください");
    case DrawRefusal::NotEnoughEntries:
        return errorMessage("人数が足りません。");
    case DrawRefusal::SeedNameMissing:
        return errorMessage("シードする人の名前を入力してください。");
    case DrawRefusal::SeedNeedsOddSize:
        return errorMessage("シードは当選人数が奇数のときのみ有効です。");
    }
    return errorMessage("");
}

std::optional<int> readFieldSize(std::string_view text)
{
    const std::optional<TypedNumber> number = TypedNumber::read(text);
    if (!number)
        return std::nullopt;
    // Anything beyond the bound is out of range in the same way.
    constexpr std::int64_t kBound = 1'000'000;
    return static_cast<int>(number->floorClamped(kBound));
}

DrawResult drawField(const DrawSettings& settings, EntryList& entries, BracketBoard& board,
                     RandomSource& random)
{
    DrawResult result;
    const std::optional<int> fieldSize = readFieldSize(settings.fieldSizeText);
    result.refusal =
        fieldSize ? check(*fieldSize, settings, entries) : DrawRefusal::FieldSizeNotANumber;
    if (result.refusal)
        return result;

    const int n = *fieldSize;
    result.fieldSize = n;
    board.AllClear();
    for (int slot = 0; slot < board::kSlotCount; ++slot)
        board.setSlotCaption(slot, "");
    random.reseedFromClock();
    const int drawnFromList = n - (settings.seed ? 1 : 0);
    for (int slot = 0; slot < drawnFromList; ++slot) {
        const double r = random.next();
        const int position = pick(entries.count(), r);
        board.setSlotCaption(slot, entries.at(position));
        entries.remove(position);
    }
    if (settings.seed)
        board.setSlotCaption(n - 1, settings.seedName);
    ShapeBracket(board, n);
    board.recordDraw(n, settings.seed ? std::optional(settings.seedName) : std::nullopt);
    return result;
}

} // namespace velka
