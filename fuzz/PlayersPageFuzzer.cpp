// The players' page state from any tournament value, not only the ones a draw leaves: boards
// shaped for one field size and marked every which way, connectors of any length, names of any
// bytes, a field size from a file that does not match the board.
//
// Input: the field size and the seed, whether to start from a real shape, then the marks, the
// connectors' changes and the names. Invariants: nothing before a draw; players in slot order
// with their names as given; matches round by round, a side still to come pointing back to a
// match still to be played; every index in the state points where it should, a player playing
// stands in that match against that opponent; at most one champion, who won the final; the
// JSON is one line that parses, with every player and a time of day within the day.

#include "bracket/BracketBoard.h"
#include "bracket/BracketShape.h"
#include "fuzz/FuzzCheck.h"
#include "playerspage/PageSnapshot.h"
#include "playerspage/PageState.h"

#include <fuzzer/FuzzedDataProvider.h>
#include <nlohmann/json.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

namespace {

using namespace velka;
using namespace velka::bracket;
using namespace velka::playerspage;

bool validPlayer(const BracketState& s, int i)
{
    return i >= 0 && i < static_cast<int>(s.players.size());
}

bool validMatch(const BracketState& s, int i)
{
    return i >= 0 && i < static_cast<int>(s.matches.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    BracketBoard board;
    board.Load();
    if (input.ConsumeBool())
        ShapeBracket(board, input.ConsumeIntegralInRange(2, 16));
    Tournament t = board.tournament();
    t.fieldSize = input.ConsumeIntegralInRange(-1, 17);
    if (input.ConsumeBool())
        t.seedName = input.ConsumeRandomLengthString(16);

    const int marks = input.ConsumeIntegralInRange(0, 60);
    for (int m = 0; m < marks && input.remaining_bytes() > 0; ++m) {
        switch (input.ConsumeIntegralInRange(0, 3)) {
        case 0: {
            const int k = input.ConsumeIntegralInRange(0, board::kLineCount - 1);
            t.lineVisible[k] = !t.lineVisible[k];
            break;
        }
        case 1: {
            Tournament::Connector& c = t.connectors[input.ConsumeIntegralInRange(0, 14)];
            c.visible = !c.visible;
            break;
        }
        case 2: {
            Tournament::Connector& c = t.connectors[input.ConsumeIntegralInRange(0, 14)];
            c.ends.y2 = input.ConsumeIntegralInRange(-100, 6000);
            break;
        }
        default:
            t.names[input.ConsumeIntegralInRange(0, 15)] = input.ConsumeRandomLengthString(24);
            break;
        }
    }

    const std::optional<BracketState> state = bracketFrom(t);
    if (t.fieldSize <= 0) {
        FUZZ_CHECK(!state);
        return 0;
    }
    if (!state)
        return 0;
    const BracketState& s = *state;
    FUZZ_CHECK(!s.rounds.empty() && s.rounds.size() <= 4);
    int lastSlot = -1;
    for (const Player& p : s.players) {
        FUZZ_CHECK(p.slot > lastSlot && p.slot < board::kSlotCount);
        lastSlot = p.slot;
        FUZZ_CHECK(p.name == t.names[p.slot]);
    }
    int seen = 0;
    for (const Round& r : s.rounds) {
        for (int m : r.matches) {
            FUZZ_CHECK(m == seen); // matches are listed round by round, in order
            FUZZ_CHECK(s.matches[m].round == r.number);
            ++seen;
        }
    }
    FUZZ_CHECK(seen == static_cast<int>(s.matches.size()));
    for (int i = 0; i < static_cast<int>(s.matches.size()); ++i) {
        const Match& m = s.matches[i];
        for (const Entrant& e : {m.upper, m.lower}) {
            FUZZ_CHECK(e.player < 0 || validPlayer(s, e.player));
            FUZZ_CHECK(e.player >= 0 || e.fromMatch < 0 ||
                       (e.fromMatch < i &&
                        s.matches[e.fromMatch].result == bracket::MatchResult::Pending));
        }
        FUZZ_CHECK(!m.bye || m.lower == Entrant{});
        FUZZ_CHECK(!m.bye || m.result != bracket::MatchResult::Pending);
        FUZZ_CHECK(m.next < 0 || (m.next > i && s.matches[m.next].round == m.round + 1));
    }
    int champions = 0;
    for (int i = 0; i < static_cast<int>(s.players.size()); ++i) {
        const Player& p = s.players[i];
        switch (p.status) {
        case PlayerStatus::Playing: {
            FUZZ_CHECK(validMatch(s, p.match) && validPlayer(s, p.opponent) && p.opponent != i);
            const Match& m = s.matches[p.match];
            FUZZ_CHECK(m.result == bracket::MatchResult::Pending);
            FUZZ_CHECK((m.upper.player == i && m.lower.player == p.opponent) ||
                       (m.lower.player == i && m.upper.player == p.opponent));
            break;
        }
        case PlayerStatus::Waiting:
            FUZZ_CHECK(p.match == -1 || validMatch(s, p.match));
            for (int w : p.waitingFor)
                FUZZ_CHECK(validPlayer(s, w) && w != i);
            break;
        case PlayerStatus::Out:
            FUZZ_CHECK(validMatch(s, p.match));
            FUZZ_CHECK(p.opponent == -1 || (validPlayer(s, p.opponent) && p.opponent != i));
            break;
        case PlayerStatus::Champion:
            ++champions;
            FUZZ_CHECK(s.champion == i && validMatch(s, p.match) && s.matches[p.match].next == -1);
            break;
        }
    }
    FUZZ_CHECK(champions == (s.champion >= 0 ? 1 : 0));

    ClockState clock;
    clock.mode = static_cast<ClockMode>(input.ConsumeIntegralInRange(0, 2));
    clock.msLeft = input.ConsumeIntegralInRange<std::int64_t>(-1'000'000'000, 1'000'000'000);
    clock.timeOfDayMs = input.ConsumeIntegralInRange<std::int64_t>(0, 86'399'999);
    const PageSnapshot snapshot(PageState{state, clock});
    const std::string text =
        snapshot.json(input.ConsumeIntegralInRange<std::int64_t>(0, 1'000'000));
    FUZZ_CHECK(text.find('\n') == std::string::npos);
    const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
    FUZZ_CHECK(!doc.is_discarded());
    FUZZ_CHECK(doc["bracket"]["players"].size() == s.players.size());
    const std::int64_t tod = doc["clock"]["timeOfDayMs"];
    FUZZ_CHECK(tod >= 0 && tod < 86'400'000);
    return 0;
}
