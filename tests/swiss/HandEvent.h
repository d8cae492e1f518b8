#pragma once

#include "swiss/SwissEvent.h"

namespace velka::test {

// A finished event of three rounds, 2本先取, worked through by hand in StandingsTest.cpp:
// six players, one of them (Zoë) late for round 1, one (鈴木) dropped after round 2; a bye in
// rounds 1 and 3, a drawn match in round 1. The names need quoting or defusing in CSV.
//
//   round 1: Ana 2-1 =1+1;  山田, 太郎 1-1 "Ace";  鈴木 bye          (Zoë missed: a loss)
//   round 2: Ana 2-0 鈴木;  山田, 太郎 0-2 Zoë;  =1+1 2-0 "Ace"
//   round 3: Ana 1-2 Zoë;   =1+1 2-0 山田, 太郎;  "Ace" bye           (鈴木 dropped)
enum HandPlayer { Ana, Formula, Yamada, Ace, Suzuki, Zoe };

inline SwissEvent handEvent()
{
    auto table = [](int a, int b, MatchResult r) { return SwissTable{a, b, r, false}; };
    auto bye = [](int a) { return SwissTable{a, std::nullopt, kByeResult, false}; };
    SwissEvent event;
    event.settings = {3, MatchFormat::BestOfThree, TiebreakerSet::OmwGwOgw, 4};
    event.players = {
        {"Ana", "", 1, {}},     {"=1+1", "", 1, {}}, {"山田, 太郎", "やまだ たろう", 1, {}},
        {"\"Ace\"", "", 1, {}}, {"鈴木", "", 1, 3},  {"Zoë", "", 2, {}}};
    event.rounds = {
        {{table(Ana, Formula, {2, 1, 0}), table(Yamada, Ace, {1, 1, 0}), bye(Suzuki)}},
        {{table(Ana, Suzuki, {2, 0, 0}), table(Yamada, Zoe, {0, 2, 0}),
          table(Formula, Ace, {2, 0, 0})}},
        {{table(Ana, Zoe, {1, 2, 0}), table(Formula, Yamada, {2, 0, 0}), bye(Ace)}},
    };
    return event;
}

} // namespace velka::test
