#include "swiss/TopCutSeating.h"

#include "bracket/BracketBoard.h"
#include "bracket/BracketShape.h"
#include "swiss/Standings.h"
#include "swiss/TopCut.h"

namespace velka {

void seatTopCut(const TopCut& cut, BracketBoard& board)
{
    const int size = static_cast<int>(cut.names.size());
    board.AllClear();
    for (int slot = 0; slot < board::kSlotCount; ++slot)
        board.setSlotCaption(slot, slot < size ? cut.names[slot] : std::string());
    ShapeBracket(board, size);
    board.recordDraw(size, std::nullopt);
}

Message tieAtTheCutQuestion(const SwissEvent& event)
{
    const int size = event.settings.topCut;
    std::vector<SwissStanding> playing = standings(event);
    std::erase_if(playing, [](const SwissStanding& line) { return line.dropped; });
    // The rank of the last player in; everyone still playing with that rank is in the tie.
    const int rank = playing.at(static_cast<std::size_t>(size) - 1).rank;
    std::string names;
    for (const SwissStanding& line : playing) {
        if (line.rank == rank)
            names += (names.empty() ? "「" : "、「") + event.players[line.player].name + "」";
    }
    return {"決勝トーナメント",
            std::to_string(size) + "人目の" + std::to_string(rank) +
                "位に、勝ち点とタイブレーカーがすべて同じ人がいます: " + names +
                "\r\n順位表の順（登録順）で" + std::to_string(size) +
                "人を決めて、決勝トーナメントを作りますか？",
            MessageIcon::Warning, MessageButtons::YesNo};
}

} // namespace velka
