#include "swiss/SwissEvent.h"

#include "swiss/SwissRecords.h"

#include <algorithm>
#include <array>
#include <set>

namespace velka {

int suggestedRounds(int players)
{
    int rounds = 0;
    while (rounds < kMaxSwissRounds && (1 << rounds) < players)
        ++rounds;
    return std::max(rounds, kMinSwissRounds);
}

const std::vector<MatchResult>& resultsFor(MatchFormat format)
{
    static const std::vector<MatchResult> single{{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    static const std::vector<MatchResult> bestOfThree{{2, 0, 0}, {2, 1, 0}, {1, 2, 0}, {0, 2, 0},
                                                      {1, 1, 0}, {1, 0, 0}, {0, 1, 0}, {0, 0, 0}};
    return format == MatchFormat::SingleGame ? single : bestOfThree;
}

bool allowedResult(MatchFormat format, const MatchResult& result)
{
    const auto& allowed = resultsFor(format);
    return std::find(allowed.begin(), allowed.end(), result) != allowed.end();
}

std::string resultText(MatchFormat format, const MatchResult& result)
{
    if (format == MatchFormat::SingleGame && result.gamesA + result.gamesB + result.drawnGames == 1)
        return result.gamesA ? "勝ち" : result.gamesB ? "負け" : "引き分け";
    return std::to_string(result.gamesA) + "-" + std::to_string(result.gamesB);
}

MatchResult reversed(const MatchResult& result)
{
    return {result.gamesB, result.gamesA, result.drawnGames};
}

bool SwissRound::complete() const
{
    return std::all_of(tables.begin(), tables.end(),
                       [](const SwissTable& t) { return t.result.has_value(); });
}

int SwissEvent::plannedRounds() const
{
    return settings.rounds != 0 ? settings.rounds
                                : suggestedRounds(static_cast<int>(players.size()));
}

bool SwissEvent::playsIn(int player, int round) const
{
    const SwissPlayer& p = players.at(player);
    return p.firstRound <= round && (!p.droppedFrom || *p.droppedFrom > round);
}

namespace {

// UTF-8 blanks cut from the ends of a name.
constexpr std::array<std::string_view, 5> kBlanks = {" ", "\t", "\u3000", "\u00A0", "\r"};

bool startsWithBlank(std::string_view s, std::size_t& length)
{
    for (std::string_view blank : kBlanks) {
        if (s.starts_with(blank)) {
            length = blank.size();
            return true;
        }
    }
    return false;
}

bool endsWithBlank(std::string_view s, std::size_t& length)
{
    for (std::string_view blank : kBlanks) {
        if (s.ends_with(blank)) {
            length = blank.size();
            return true;
        }
    }
    return false;
}

} // namespace

std::string trimmedName(std::string_view name)
{
    std::size_t length = 0;
    while (startsWithBlank(name, length))
        name.remove_prefix(length);
    while (endsWithBlank(name, length))
        name.remove_suffix(length);
    return std::string(name);
}

namespace {

std::string roundPlace(int round)
{
    return "第" + std::to_string(round) + "回戦";
}

std::string tablePlace(int round, std::size_t table)
{
    return roundPlace(round) + "の" + std::to_string(table + 1) + "卓";
}

std::optional<std::string> settingsFault(const SwissEvent& event)
{
    const SwissSettings& s = event.settings;
    if (s.rounds != 0 && (s.rounds < kMinSwissRounds || s.rounds > kMaxSwissRounds))
        return "回戦数 " + std::to_string(s.rounds) + " は " + std::to_string(kMinSwissRounds) +
               "～" + std::to_string(kMaxSwissRounds) + " のはずです";
    if (!event.rounds.empty() && s.rounds == 0)
        return std::string("組み合わせを作ったあとなのに回戦数が決まっていません");
    if (static_cast<int>(event.rounds.size()) > event.plannedRounds())
        return "回戦数 " + std::to_string(event.plannedRounds()) + " より多くの回戦があります";
    if (s.match != MatchFormat::SingleGame && s.match != MatchFormat::BestOfThree)
        return std::string("勝負の形式が不明です");
    if (s.tiebreakers != TiebreakerSet::OmwGwOgw && s.tiebreakers != TiebreakerSet::OwpOowp)
        return std::string("タイブレーカーの種類が不明です");
    if (s.topCut != 0 && s.topCut != 2 && s.topCut != 4 && s.topCut != 8 && s.topCut != 16)
        return "決勝トーナメントの人数 " + std::to_string(s.topCut) +
               " は 0, 2, 4, 8, 16 のどれかのはずです";
    return std::nullopt;
}

std::optional<std::string> playersFault(const SwissEvent& event)
{
    if (event.players.size() > static_cast<std::size_t>(kMaxSwissPlayers))
        return "参加者が " + std::to_string(kMaxSwissPlayers) + " 人を超えています";
    const int paired = static_cast<int>(event.rounds.size());
    std::set<std::string_view> names;
    for (const SwissPlayer& p : event.players) {
        const std::string who = "参加者「" + p.name + "」";
        if (p.name.empty() || trimmedName(p.name) != p.name)
            return "参加者の名前「" + p.name + "」が空か、前後に空白があります";
        if (trimmedName(p.reading) != p.reading)
            return who + "のふりがなの前後に空白があります";
        if (!names.insert(p.name).second)
            return who + "が二人います";
        if (p.firstRound != 1 && (p.firstRound != 2 || paired == 0))
            return who + "の参加した回戦 " + std::to_string(p.firstRound) + " はありえません";
        if (p.droppedFrom &&
            (paired == 0 || *p.droppedFrom < p.firstRound || *p.droppedFrom > paired + 1))
            return who + "の棄権した回戦 " + std::to_string(*p.droppedFrom) + " はありえません";
    }
    return std::nullopt;
}

std::optional<std::string> roundFault(const SwissEvent& event, int round,
                                      const std::vector<PlayerRecord>& before)
{
    const SwissRound& r = event.rounds[round - 1];
    const int players = static_cast<int>(event.players.size());
    std::vector<bool> seen(event.players.size(), false);
    auto place = [&](int player) -> std::optional<std::string> {
        if (player < 0 || player >= players)
            return roundPlace(round) + "にいない参加者の番号 " + std::to_string(player) +
                   " があります";
        const std::string who = "「" + event.players[player].name + "」";
        if (seen[player])
            return roundPlace(round) + "で" + who + "が二度組まれています";
        if (!event.playsIn(player, round))
            return roundPlace(round) + "に、その回戦に出ない" + who + "が組まれています";
        seen[player] = true;
        return std::nullopt;
    };
    if (r.tables.empty())
        return roundPlace(round) + "に卓がありません";
    for (std::size_t t = 0; t < r.tables.size(); ++t) {
        const SwissTable& table = r.tables[t];
        if (auto fault = place(table.playerA))
            return fault;
        if (table.bye()) {
            if (t + 1 != r.tables.size())
                return tablePlace(round, t) + "の不戦勝が最後の卓ではありません";
            if (table.result != kByeResult)
                return tablePlace(round, t) + "の不戦勝の結果が 2-0 ではありません";
            if (table.rematch)
                return tablePlace(round, t) + "の不戦勝に再戦の印があります";
            // The bye goes to one of those with the fewest byes so far.
            int fewest = before[table.playerA].byes;
            for (int p = 0; p < players; ++p) {
                if (event.playsIn(p, round))
                    fewest = std::min(fewest, before[p].byes);
            }
            if (before[table.playerA].byes > fewest)
                return tablePlace(round, t) + "で、不戦勝のまだない参加者がいるのに「" +
                       event.players[table.playerA].name + "」に二度目の不戦勝があります";
            continue;
        }
        if (auto fault = place(*table.playerB))
            return fault;
        if (table.result && !allowedResult(event.settings.match, *table.result))
            return tablePlace(round, t) + "の結果 " + std::to_string(table.result->gamesA) + "-" +
                   std::to_string(table.result->gamesB) + " はこの勝負の形式にはありません";
        const auto& met = before[table.playerA].opponents;
        const bool metBefore = std::find(met.begin(), met.end(), *table.playerB) != met.end();
        if (table.rematch != metBefore)
            return tablePlace(round, t) + "の再戦の印が、それまでの対戦と合いません";
    }
    for (int p = 0; p < players; ++p) {
        if (!seen[p] && event.playsIn(p, round))
            return roundPlace(round) + "に「" + event.players[p].name + "」が組まれていません";
    }
    if (round < static_cast<int>(event.rounds.size()) && !r.complete())
        return roundPlace(round) + "の結果が入っていないのに次の回戦があります";
    return std::nullopt;
}

} // namespace

std::optional<std::string> swissEventFault(const SwissEvent& event)
{
    if (auto fault = settingsFault(event))
        return fault;
    if (auto fault = playersFault(event))
        return fault;
    for (int round = 1; round <= static_cast<int>(event.rounds.size()); ++round) {
        // Earlier rounds are complete by now, so the records count all of them.
        if (auto fault = roundFault(event, round, playerRecords(event, round - 1)))
            return fault;
    }
    return std::nullopt;
}

} // namespace velka
