#include "swiss/Pairing.h"

#include "core/RandomSource.h"
#include "core/TypedNumber.h"
#include "swiss/CompleteMatching.h"
#include "swiss/SwissRecords.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <numeric>
#include <stdexcept>

namespace velka {

namespace {

// Where (row, column) of a square table of the given width, stored row by row, lies: counted in
// std::size_t, so that no product of ints overflows on the way.
std::size_t cell(int row, int column, int width)
{
    return static_cast<std::size_t>(row) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(column);
}

std::size_t cells(int width)
{
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(width);
}

int randomBelow(RandomSource& random, int n)
{
    return std::min(n - 1, static_cast<int>(random.next() * n));
}

template <typename T>
void shuffle(std::vector<T>& items, RandomSource& random)
{
    for (int i = static_cast<int>(items.size()) - 1; i > 0; --i)
        std::swap(items[i], items[randomBelow(random, i + 1)]);
}

std::uint64_t mixed(std::uint64_t x)
{
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

// The rules in order of priority, each a cost per edge of the matching that the pairing keeps
// as small as it can, the earlier before the later.
enum Level { RepeatedBye, Rematch, Meetings, ByePoints, PairDown, SquaredDifference, Noise };
constexpr int kLevels = 7;
using Costs = std::array<std::int64_t, kLevels>;

// The per-edge weights stay below this, well within what the solver takes.
constexpr Int128 kWeightLimit = Int128(1) << 57;
// The widest random tie-breaker tried per edge.
constexpr std::int64_t kWidestNoise = 1 << 12;
// Each player's first candidate partners: the next ones down the standings.
constexpr int kNeighbours = 10;

struct Field {
    std::vector<int> players;  // the event's index of each vertex but the bye
    std::vector<int> points;   // match points before the round
    std::vector<int> byes;     // byes before the round
    std::vector<int> meetings; // earlier meetings of each pair, n x n
    int n = 0;                 // players; the bye, if any, is vertex n

    int met(int u, int v) const { return meetings[cell(u, v, n)]; }
};

Field fieldFor(const SwissEvent& event, int round, RandomSource& random)
{
    Field field;
    for (int p = 0; p < static_cast<int>(event.players.size()); ++p) {
        if (event.playsIn(p, round))
            field.players.push_back(p);
    }
    shuffle(field.players, random);
    field.n = static_cast<int>(field.players.size());
    const std::vector<PlayerRecord> records = playerRecords(event, round - 1);
    std::vector<int> vertexOf(event.players.size(), -1);
    for (int v = 0; v < field.n; ++v) {
        const PlayerRecord& r = records[field.players[v]];
        vertexOf[field.players[v]] = v;
        field.points.push_back(r.matchPoints);
        field.byes.push_back(r.byes);
    }
    field.meetings.assign(cells(field.n), 0);
    for (int v = 0; v < field.n; ++v) {
        for (int opponent : records[field.players[v]].opponents) {
            if (vertexOf[opponent] >= 0)
                ++field.meetings[cell(v, vertexOf[opponent], field.n)];
        }
    }
    return field;
}

// Every cost but the random one, for the pair u, v (v == n: the bye).
Costs costsOf(const Field& f, int u, int v, int fewestPoints)
{
    Costs c{};
    if (v == f.n) {
        c[RepeatedBye] = f.byes[u];
        c[ByePoints] = f.points[u] - fewestPoints;
        return c;
    }
    const int met = f.met(u, v);
    const int difference = f.points[u] - f.points[v];
    c[Rematch] = met > 0 ? 1 : 0;
    c[Meetings] = met;
    c[PairDown] = difference != 0 ? 1 : 0;
    c[SquaredDifference] = difference * difference;
    return c;
}

// The weights that make the heaviest perfect matching the best pairing by the levels in
// order: each level's unit outweighs everything the levels after it can add up to over a
// whole matching.
struct Scale {
    std::array<Int128, kLevels> unit{};
    std::int64_t top = 0; // the weight of an edge that costs nothing
    std::int64_t noise = 1;
};

Scale scaleFor(const Field& f, const std::vector<Costs>& costs)
{
    const int vertices = f.n + f.n % 2;
    const Int128 pairs = vertices / 2;
    Costs highest{};
    for (const Costs& c : costs) {
        for (int k = 0; k < kLevels; ++k)
            highest[k] = std::max(highest[k], c[k]);
    }
    for (std::int64_t noise = kWidestNoise;; noise /= 2) {
        highest[Noise] = noise - 1;
        Scale scale;
        scale.noise = noise;
        Int128 unit = 1;
        Int128 top = 0;
        bool fits = true;
        for (int k = kLevels - 1; k >= 0 && fits; --k) {
            scale.unit[k] = unit;
            top += unit * highest[k];
            // A matching has one bye edge but `pairs` edges of every other kind.
            const Int128 total =
                (k == RepeatedBye || k == ByePoints) ? highest[k] : pairs * highest[k];
            unit *= total + 1; // well within 128 bits at the caps on players and rounds
            fits = top <= kWeightLimit;
        }
        if (fits) {
            scale.top = static_cast<std::int64_t>(top);
            return scale;
        }
        if (noise == 1)
            throw std::logic_error("pairing weights beyond 64 bits");
    }
}

std::vector<int> matchedField(const Field& f, RandomSource& random)
{
    const int vertices = f.n + f.n % 2;
    const int fewestPoints = *std::min_element(f.points.begin(), f.points.end());
    std::vector<Costs> costs(cells(vertices));
    for (int u = 0; u < f.n; ++u) {
        for (int v = u + 1; v < vertices; ++v)
            costs[cell(u, v, vertices)] = costsOf(f, u, v, fewestPoints);
    }
    const Scale scale = scaleFor(f, costs);
    const std::uint64_t seed = (static_cast<std::uint64_t>(random.next() * 0x1p32) << 32) ^
                               static_cast<std::uint64_t>(random.next() * 0x1p32);
    EdgeWeights weights(vertices);
    for (int u = 0; u < f.n; ++u) {
        for (int v = u + 1; v < vertices; ++v) {
            Costs c = costs[cell(u, v, vertices)];
            c[Noise] = static_cast<std::int64_t>(
                mixed(seed ^ static_cast<std::uint64_t>(cell(u, v, vertices))) %
                static_cast<std::uint64_t>(scale.noise));
            Int128 cost = 0;
            for (int k = 0; k < kLevels; ++k)
                cost += scale.unit[k] * c[k];
            weights.set(u, v, scale.top - static_cast<std::int64_t>(cost));
        }
    }
    // First candidates: each player with the next ones down the standings (the order among
    // equal points is the random order of the field), and the bye with everyone.
    std::vector<int> order(static_cast<std::size_t>(f.n));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return f.points[a] > f.points[b]; });
    std::vector<std::pair<int, int>> candidates;
    for (int i = 0; i < f.n; ++i) {
        for (int j = i + 1; j < f.n && j <= i + kNeighbours; ++j)
            candidates.emplace_back(order[i], order[j]);
        if (vertices > f.n)
            candidates.emplace_back(i, f.n);
    }
    return maxWeightCompleteMatching(weights, candidates);
}

SwissTable tableFor(const Field& f, int u, int v)
{
    if (f.points[v] > f.points[u])
        std::swap(u, v);
    return {f.players[u], f.players[v], std::nullopt, f.met(u, v) > 0};
}

} // namespace

SwissRound pairRound(const SwissEvent& event, int round, RandomSource& random)
{
    const Field f = fieldFor(event, round, random);
    SwissRound result;
    if (f.n == 0)
        return result;
    std::vector<int> mate(static_cast<std::size_t>(f.n + f.n % 2));
    if (round == 1) {
        // The field is in random order already.
        for (int v = 0; v + 1 < static_cast<int>(mate.size()); v += 2) {
            mate[v] = v + 1;
            mate[v + 1] = v;
        }
    } else {
        mate = matchedField(f, random);
    }
    std::optional<int> byePlayer;
    for (int u = 0; u < f.n; ++u) {
        if (mate[u] == f.n)
            byePlayer = f.players[u];
        else if (u < mate[u])
            result.tables.push_back(tableFor(f, u, mate[u]));
    }
    // From the top tables down; among equal tables the field's random order stays.
    std::vector<int> points(event.players.size());
    for (int v = 0; v < f.n; ++v)
        points[f.players[v]] = f.points[v];
    auto pointsOf = [&](int player) { return points[player]; };
    std::stable_sort(result.tables.begin(), result.tables.end(),
                     [&](const SwissTable& a, const SwissTable& b) {
                         const int aHigh = pointsOf(a.playerA);
                         const int bHigh = pointsOf(b.playerA);
                         if (aHigh != bHigh)
                             return aHigh > bHigh;
                         return pointsOf(*a.playerB) > pointsOf(*b.playerB);
                     });
    if (byePlayer)
        result.tables.push_back({*byePlayer, std::nullopt, kByeResult, false});
    return result;
}

} // namespace velka
