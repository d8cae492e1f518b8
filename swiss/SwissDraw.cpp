#include "swiss/SwissDraw.h"

#include "swiss/Pairing.h"

#include <algorithm>
#include <set>
#include <stdexcept>

namespace velka {

namespace {

std::string quoted(const std::string& name)
{
    return "「" + name + "」";
}

std::string roundName(std::size_t round)
{
    return "第" + std::to_string(round) + "回戦";
}

bool inAnyRound(const SwissEvent& event, int player)
{
    for (const SwissRound& round : event.rounds) {
        for (const SwissTable& t : round.tables) {
            if (t.playerA == player || t.playerB == player)
                return true;
        }
    }
    return false;
}

int playersIn(const SwissEvent& event, int round)
{
    int count = 0;
    for (int p = 0; p < static_cast<int>(event.players.size()); ++p)
        count += event.playsIn(p, round) ? 1 : 0;
    return count;
}

} // namespace

SwissDraw::SwissDraw(RandomSource& random)
    : random_(random)
{}

std::optional<Message> SwissDraw::load(SwissEvent event)
{
    if (auto fault = swissEventFault(event))
        return errorMessage("このスイスドローは読み込めません: " + *fault);
    event_ = std::move(event);
    ++replacements_;
    changed();
    return std::nullopt;
}

void SwissDraw::clear()
{
    event_ = SwissEvent{};
    ++replacements_;
    changed();
}

std::optional<Message> SwissDraw::checkNewNames(const std::vector<PlayerEntry>& entries,
                                                std::optional<int> renamed) const
{
    std::set<std::string> taken;
    for (int p = 0; p < static_cast<int>(event_.players.size()); ++p) {
        if (p != renamed)
            taken.insert(event_.players[p].name);
    }
    for (const PlayerEntry& entry : entries) {
        if (taken.contains(entry.name))
            return errorMessage(quoted(entry.name) + "はすでに参加者にいます。" +
                                "同じ名前の人は、区別できる名前にしてください。");
        taken.insert(entry.name);
    }
    return std::nullopt;
}

std::optional<Message> SwissDraw::addPlayers(const std::vector<PlayerEntry>& entries)
{
    if (event_.rounds.size() >= 2)
        return errorMessage("第2回戦の組み合わせを作ったあとは、参加者を追加できません。");
    std::vector<PlayerEntry> added;
    for (const PlayerEntry& entry : entries) {
        PlayerEntry trimmed{trimmedName(entry.name), trimmedName(entry.reading)};
        if (!trimmed.name.empty())
            added.push_back(std::move(trimmed));
    }
    if (added.empty())
        return std::nullopt;
    if (auto refusal = checkNewNames(added, std::nullopt))
        return refusal;
    const std::size_t room = kMaxSwissPlayers - event_.players.size();
    if (added.size() > room)
        return errorMessage("参加者は" + std::to_string(kMaxSwissPlayers) + "人までです。あと" +
                            std::to_string(room) + "人まで追加できます。");
    const int firstRound = event_.rounds.empty() ? 1 : 2;
    for (PlayerEntry& entry : added)
        event_.players.push_back({std::move(entry.name), std::move(entry.reading), firstRound, {}});
    changed();
    return std::nullopt;
}

std::optional<Message> SwissDraw::addPlayer(std::string_view name, std::string_view reading)
{
    if (trimmedName(name).empty())
        return errorMessage("名前を入力してください。");
    return addPlayers({{std::string(name), std::string(reading)}});
}

std::optional<Message> SwissDraw::removePlayer(int player)
{
    const SwissPlayer& p = event_.players.at(player);
    if (inAnyRound(event_, player))
        return errorMessage(quoted(p.name) + "はすでに組み合わせに入っているため、削除できません。"
                                             "大会をやめる場合は棄権にしてください。");
    event_.players.erase(event_.players.begin() + player);
    for (SwissRound& round : event_.rounds) {
        for (SwissTable& t : round.tables) {
            if (t.playerA > player)
                --t.playerA;
            if (t.playerB && *t.playerB > player)
                --*t.playerB;
        }
    }
    changed();
    return std::nullopt;
}

std::optional<Message> SwissDraw::renamePlayer(int player, std::string_view name,
                                               std::string_view reading)
{
    SwissPlayer& p = event_.players.at(player);
    PlayerEntry entry{trimmedName(name), trimmedName(reading)};
    if (entry.name.empty())
        return errorMessage("名前を入力してください。");
    if (auto refusal = checkNewNames({entry}, player))
        return refusal;
    if (p.name == entry.name && p.reading == entry.reading)
        return std::nullopt;
    p.name = std::move(entry.name);
    p.reading = std::move(entry.reading);
    changed();
    return std::nullopt;
}

std::optional<Message> SwissDraw::dropPlayer(int player)
{
    SwissPlayer& p = event_.players.at(player);
    if (event_.rounds.empty())
        return errorMessage("第1回戦の組み合わせを作る前は、棄権ではなく削除してください。");
    if (p.droppedFrom)
        return errorMessage(quoted(p.name) + "はすでに棄権しています。");
    p.droppedFrom = static_cast<int>(event_.rounds.size()) + 1;
    changed();
    return std::nullopt;
}

std::optional<Message> SwissDraw::reinstatePlayer(int player)
{
    SwissPlayer& p = event_.players.at(player);
    if (!p.droppedFrom)
        return errorMessage(quoted(p.name) + "は棄権していません。");
    if (*p.droppedFrom <= static_cast<int>(event_.rounds.size()))
        return errorMessage(quoted(p.name) + "は" + roundName(*p.droppedFrom) +
                            "の組み合わせに入っていないため、棄権を取り消せません。");
    p.droppedFrom.reset();
    changed();
    return std::nullopt;
}

std::optional<Message> SwissDraw::setSettings(const SwissSettings& settings)
{
    if (!event_.rounds.empty())
        return errorMessage("設定は第1回戦の組み合わせを作る前にだけ変えられます。");
    if (settings.rounds != 0 &&
        (settings.rounds < kMinSwissRounds || settings.rounds > kMaxSwissRounds))
        return errorMessage("回戦数は" + std::to_string(kMinSwissRounds) + "～" +
                            std::to_string(kMaxSwissRounds) + "にしてください。");
    const int cut = settings.topCut;
    if (cut != 0 && cut != 2 && cut != 4 && cut != 8 && cut != 16)
        return errorMessage("決勝トーナメントの人数は、なし・2・4・8・16人から選んでください。");
    if (settings == event_.settings)
        return std::nullopt;
    event_.settings = settings;
    changed();
    return std::nullopt;
}

std::optional<Message> SwissDraw::nextRoundRefusal() const
{
    const std::size_t paired = event_.rounds.size();
    const int planned = event_.plannedRounds();
    if (paired >= static_cast<std::size_t>(planned))
        return errorMessage("全" + std::to_string(planned) + "回戦の組み合わせはもう作りました。");
    const int players = static_cast<int>(event_.players.size());
    if (paired == 0) {
        if (players < kMinSwissPlayers)
            return errorMessage("スイスドローには参加者が" + std::to_string(kMinSwissPlayers) +
                                "人以上必要です。");
        if (event_.settings.topCut > players)
            return errorMessage("決勝トーナメントの人数（" +
                                std::to_string(event_.settings.topCut) +
                                "人）が参加者の数より多くなっています。");
    } else if (!event_.rounds.back().complete()) {
        return errorMessage(roundName(paired) + "の結果がまだすべて入っていません。");
    }
    if (playersIn(event_, static_cast<int>(paired) + 1) == 0)
        return errorMessage("組み合わせる参加者がいません。");
    return std::nullopt;
}

std::optional<Message> SwissDraw::pairNextRound()
{
    if (auto refusal = nextRoundRefusal())
        return refusal;
    if (event_.rounds.empty() && event_.settings.rounds == 0)
        event_.settings.rounds = event_.plannedRounds();
    const int round = static_cast<int>(event_.rounds.size()) + 1;
    event_.rounds.push_back(pairRound(event_, round, random_));
    changed();
    return std::nullopt;
}

std::optional<Message> SwissDraw::pairRoundAgain()
{
    if (event_.rounds.empty())
        return errorMessage("まだ組み合わせを作っていません。");
    const int round = static_cast<int>(event_.rounds.size());
    for (const SwissTable& t : event_.rounds.back().tables) {
        if (!t.bye() && t.result)
            return errorMessage(roundName(round) +
                                "には結果が入っているため、組み合わせを作り直せません。"
                                "作り直すには、先に結果を消してください。");
    }
    SwissEvent again = event_;
    again.rounds.pop_back();
    for (SwissPlayer& p : again.players) {
        if (p.firstRound == round + 1)
            p.firstRound = round;
        if (p.droppedFrom == round + 1)
            p.droppedFrom = round;
    }
    if (playersIn(again, round) == 0)
        return errorMessage("組み合わせる参加者がいません。");
    again.rounds.push_back(pairRound(again, round, random_));
    event_ = std::move(again);
    changed();
    return std::nullopt;
}

std::optional<Message> SwissDraw::checkLatestTable(int table) const
{
    if (event_.rounds.empty())
        return errorMessage("まだ組み合わせを作っていません。");
    const SwissTable& t = event_.rounds.back().tables.at(table);
    if (t.bye())
        return errorMessage("不戦勝の卓の結果は変えられません。");
    return std::nullopt;
}

std::optional<Message> SwissDraw::setResult(int table, const MatchResult& result)
{
    if (auto refusal = checkLatestTable(table))
        return refusal;
    if (!allowedResult(event_.settings.match, result))
        return errorMessage(
            std::string("その結果は") +
            (event_.settings.match == MatchFormat::SingleGame ? "1本勝負" : "2本先取") +
            "にはありません。");
    SwissTable& t = event_.rounds.back().tables.at(table);
    if (t.result == result)
        return std::nullopt;
    t.result = result;
    changed();
    return std::nullopt;
}

std::optional<Message> SwissDraw::clearResult(int table)
{
    if (auto refusal = checkLatestTable(table))
        return refusal;
    SwissTable& t = event_.rounds.back().tables.at(table);
    if (!t.result)
        return std::nullopt;
    t.result.reset();
    changed();
    return std::nullopt;
}

} // namespace velka
