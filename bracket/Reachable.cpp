#include "bracket/Reachable.h"

#include "bracket/BracketBoard.h"
#include "bracket/BracketShape.h"

#include <algorithm>
#include <array>
#include <utility>

namespace velka::bracket {

namespace {

// The connectors as a draw of n players leaves them, n = 2..16, and at index 0 as the load
// step leaves them, before any draw. Index 1 stands for no board.
using ConnectorShape = std::array<Tournament::Connector, board::kConnectorCount>;
const std::array<std::optional<ConnectorShape>, board::kSlotCount + 1>& drawnConnectors()
{
    static const auto shapes = [] {
        std::array<std::optional<ConnectorShape>, board::kSlotCount + 1> all;
        for (int n = 0; n <= board::kSlotCount; ++n) {
            if (n == 1)
                continue;
            BracketBoard b;
            b.Load();
            if (n > 0)
                ShapeBracket(b, n);
            all[n] = b.tournament().connectors;
        }
        return all;
    }();
    return shapes;
}

std::string slotPlace(int slot)
{
    return "names[" + std::to_string(slot) + "]";
}

std::optional<Unreachable> brokenRule(std::string detail)
{
    return Unreachable{Unreachable::Kind::BrokenRule, std::move(detail)};
}

} // namespace

std::optional<Unreachable> whyUnreachable(const Tournament& t)
{
    for (int c = 0; c < board::kConnectorCount; ++c) {
        const BoardLine& e = t.connectors[c].ends;
        for (const auto& [x, y] : {std::pair{e.x1, e.y1}, std::pair{e.x2, e.y2}}) {
            if (x < 0 || x > board::kPictureWidth || y < 0 || y > board::kPictureHeight)
                return Unreachable{Unreachable::Kind::OffBoard,
                                   "connectors[" + std::to_string(c) + "]"};
        }
    }
    const int n = t.fieldSize;
    if (n != 0 && (n < 2 || n > board::kSlotCount))
        return brokenRule("参加人数 fieldSize " + std::to_string(n) + " は 0 か 2～16 のはずです");
    // The program shows and hides the 30 winner boxes together.
    for (int k = 1; k < board::kBoxCount; ++k) {
        if (t.boxVisible[k] != t.boxVisible[0])
            return brokenRule("勝ち上がりの欄 boxVisible の表示がそろっていません");
    }
    // The box rule: line k shows exactly when box k is checked.
    for (int k = 0; k < board::kBoxCount; ++k) {
        if (t.lineVisible[k] != t.boxChecked[k])
            return brokenRule("線 lineVisible[" + std::to_string(k) +
                              "] の表示がチェック boxChecked[" + std::to_string(k) +
                              "] と合いません");
    }
    // The champion line: shown by every reset, and by a draw only when it needs four rounds.
    if (t.lineVisible[board::kChampionLine] != (n == 0 || roundsFor(n) == 4))
        return brokenRule("優勝線 lineVisible[30] が参加人数と合いません");

    const auto& shapes = drawnConnectors();
    if (n == 0) {
        for (int i = 0; i < board::kSlotCount; ++i) {
            if (t.names[i] != designCaption(i))
                return brokenRule("抽選前の名前欄 " + slotPlace(i) + " が「" + designCaption(i) +
                                  "」ではありません");
        }
        if (t.seedName)
            return brokenRule("抽選前なのにシード seedName があります");
        // A reset puts every connector back in place and keeps which of them the last draw
        // showed.
        for (int c = 0; c < board::kConnectorCount; ++c) {
            if (t.connectors[c].ends != (*shapes[0])[c].ends)
                return brokenRule("抽選前の接続線 connectors[" + std::to_string(c) +
                                  "] の位置が違います");
        }
        const bool someDraw = std::any_of(shapes.begin(), shapes.end(), [&t](const auto& shape) {
            return shape &&
                   std::equal(shape->begin(), shape->end(), t.connectors.begin(),
                              [](const auto& a, const auto& b) { return a.visible == b.visible; });
        });
        if (!someDraw)
            return brokenRule("接続線の表示 connectors がどの抽選の形とも合いません");
        return std::nullopt;
    }

    for (int i = 0; i < board::kSlotCount; ++i) {
        if (i < n && t.names[i].empty())
            return brokenRule("名前欄 " + slotPlace(i) + " が空です");
        if (i >= n && !t.names[i].empty())
            return brokenRule("参加人数より後の名前欄 " + slotPlace(i) + " が空ではありません");
    }
    for (int c = 0; c < board::kConnectorCount; ++c) {
        if (t.connectors[c] != (*shapes[n])[c])
            return brokenRule("接続線 connectors[" + std::to_string(c) + "] が参加人数 " +
                              std::to_string(n) + " の形と合いません");
    }
    if (t.seedName) {
        if (n % 2 == 0)
            return brokenRule("シード seedName は参加人数が奇数のときだけです");
        if (t.seedName->empty())
            return brokenRule("シード seedName が空です");
        if (*t.seedName != t.names[n - 1])
            return brokenRule("シード seedName が最後の名前欄 " + slotPlace(n - 1) +
                              " と合いません");
    }
    return std::nullopt;
}

} // namespace velka::bracket
