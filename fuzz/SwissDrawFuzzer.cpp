// A Swiss event run by arbitrary operations: players added (from lines or CSV), removed,
// renamed, dropped and reinstated; settings; rounds paired and paired again; results entered
// and cleared, any table, any result.
//
// Input: a stream of operations, one byte for the operation and bytes for its arguments; the
// random source is fed from the same stream. Invariants: a refused operation changes nothing
// and notifies nobody; an accepted one notifies; after every operation the event is one this
// program could have made (swissEventFault), it survives a load of itself, and its standings,
// CSV text and top cut are computed without a fault; the players' page shows it from its first
// round, every player's opponent there sitting at the same table against them.

#include "core/RandomSource.h"
#include "fuzz/FuzzCheck.h"
#include "playerspage/SwissPageState.h"
#include "swiss/Standings.h"
#include "swiss/SwissCsv.h"
#include "swiss/SwissDraw.h"
#include "swiss/TopCut.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace {

using namespace velka;

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size)
        : data_(data)
        , size_(size)
    {}

    bool empty() const { return at_ >= size_; }
    int byte() { return at_ < size_ ? data_[at_++] : 0; }
    std::string text()
    {
        const std::size_t length = std::min<std::size_t>(static_cast<std::size_t>(byte()) % 24,
                                                         size_ - std::min(at_, size_));
        std::string s(reinterpret_cast<const char*>(data_ + at_), length);
        at_ += length;
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t at_ = 0;
};

class InputRandom final : public RandomSource {
public:
    explicit InputRandom(Input& input)
        : input_(input)
    {}
    void reseedFromClock() override {}
    double next() override { return input_.byte() / 256.0; }

private:
    Input& input_;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Input in(data, size);
    InputRandom random(in);
    SwissDraw draw(random);
    int heard = 0;
    int pairings = 0; // each a matching of up to 256 players: a few per input are enough
    const Subscription subscription = draw.subscribe([&] { ++heard; });
    for (int step = 0; step < 400 && !in.empty(); ++step) {
        const SwissEvent before = draw.event();
        const int heardBefore = heard;
        const int players = static_cast<int>(before.players.size());
        const int someone = players ? in.byte() % players : 0;
        const int tables =
            before.rounds.empty() ? 0 : static_cast<int>(before.rounds.back().tables.size());
        const int table = tables ? in.byte() % tables : 0;
        std::optional<Message> refusal;
        switch (in.byte() % 12) {
        case 0:
            refusal = draw.addPlayers(playersFromLines(in.text()).players);
            break;
        case 1:
            refusal = draw.addPlayers(playersFromCsv(in.text()).players);
            break;
        case 2: { // many at once, up to past the limit
            std::vector<PlayerEntry> many;
            const int count = in.byte() % 64;
            for (int i = 0; i < count; ++i)
                many.push_back({"p" + std::to_string(step) + "-" + std::to_string(i), ""});
            refusal = draw.addPlayers(many);
            break;
        }
        case 3:
            if (players)
                refusal = draw.removePlayer(someone);
            break;
        case 4:
            if (players)
                refusal = draw.renamePlayer(someone, in.text(), in.text());
            break;
        case 5:
            if (players)
                refusal = draw.dropPlayer(someone);
            break;
        case 6:
            if (players)
                refusal = draw.reinstatePlayer(someone);
            break;
        case 7:
            refusal = draw.setSettings({in.byte() % 24, static_cast<MatchFormat>(in.byte() % 2),
                                        static_cast<TiebreakerSet>(in.byte() % 2), in.byte() % 18});
            break;
        case 8:
        case 9:
            if (++pairings <= 8) {
                const bool foreseen = draw.nextRoundRefusal().has_value();
                refusal = draw.pairNextRound();
                FUZZ_CHECK(refusal.has_value() == foreseen);
            }
            break;
        case 10:
            if (++pairings <= 8)
                refusal = draw.pairRoundAgain();
            break;
        case 11:
            if (tables) {
                const MatchResult result{in.byte() % 4, in.byte() % 4, in.byte() % 2};
                refusal = in.byte() % 4 ? draw.setResult(table, result) : draw.clearResult(table);
            }
            break;
        }
        if (refusal) {
            FUZZ_CHECK(draw.event() == before);
            FUZZ_CHECK(heard == heardBefore);
        } else {
            FUZZ_CHECK(draw.event() == before || heard == heardBefore + 1);
        }
        const SwissEvent& event = draw.event();
        FUZZ_CHECK(!swissEventFault(event));
        FUZZ_CHECK(standings(event).size() == event.players.size());
        standingsCsv(event);
        for (int r = 1; r <= static_cast<int>(event.rounds.size()); ++r)
            pairingsCsv(event, r);
        const TopCutResult cut = topCut(event);
        FUZZ_CHECK(cut.cut.has_value() != cut.refusal.has_value());
        const std::optional<playerspage::SwissPageState> page =
            playerspage::swissPageState(event, Tournament{}, {});
        FUZZ_CHECK(page.has_value() == !event.rounds.empty());
        for (std::size_t i = 0; page && i < page->players.size(); ++i) {
            const playerspage::SwissEntry& p = page->players[i];
            FUZZ_CHECK(p.table.has_value() || !p.opponent);
            if (p.opponent) {
                const playerspage::SwissEntry& them = page->players.at(*p.opponent);
                FUZZ_CHECK(them.opponent == static_cast<int>(i) && them.table == p.table);
            }
        }
    }
    SwissDraw copy(random);
    FUZZ_CHECK(!copy.load(draw.event()));
    FUZZ_CHECK(copy.event() == draw.event());
    return 0;
}
