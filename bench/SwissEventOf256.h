#pragma once

#include "core/RandomSource.h"
#include "swiss/SwissDraw.h"

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace velka::bench {

// A fixed-seed generator, so that every run measures the same event.
class SeededRandom final : public RandomSource {
public:
    void reseedFromClock() override {}
    double next() override { return unitInterval(engine_()); }

private:
    std::mt19937_64 engine_{20261207};
};

// 256 players after eight rounds of 2本先取 with random results, a few dropped along the way:
// the largest field at the round a 256-player event usually ends on, with the ninth to pair.
inline const SwissEvent& eightRoundsOf256()
{
    static const SwissEvent event = [] {
        SeededRandom random;
        SwissDraw draw(random);
        std::vector<PlayerEntry> players;
        for (int i = 0; i < kMaxSwissPlayers; ++i)
            players.push_back({"選手" + std::to_string(i + 1), ""});
        draw.addPlayers(players);
        draw.setSettings({9, MatchFormat::BestOfThree, TiebreakerSet::OmwGwOgw, 8});
        std::mt19937 results(7);
        const auto& choices = resultsFor(MatchFormat::BestOfThree);
        for (int round = 1; round <= 8; ++round) {
            if (round > 1)
                draw.dropPlayer(static_cast<int>(results() % kMaxSwissPlayers));
            if (draw.pairNextRound())
                throw std::logic_error("the benchmark's event could not be paired");
            for (std::size_t t = 0; t < draw.event().rounds.back().tables.size(); ++t) {
                if (!draw.event().rounds.back().tables[t].bye())
                    draw.setResult(static_cast<int>(t), choices[results() % choices.size()]);
            }
        }
        return draw.event();
    }();
    return event;
}

} // namespace velka::bench
