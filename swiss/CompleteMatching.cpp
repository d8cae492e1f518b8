#include "swiss/CompleteMatching.h"

#include "core/TypedNumber.h"
#include "swiss/LemonMatching.h"

#include <algorithm>
#include <stdexcept>

namespace velka {

namespace {

// How many of the most violated edges at each vertex join the candidates after a solve.
constexpr int kAddedPerVertex = 2;

class CandidateSet {
public:
    explicit CandidateSet(int n)
        : n_(n)
        , in_(static_cast<std::size_t>(n) * static_cast<std::size_t>(n), false)
    {}

    bool contains(int u, int v) const { return in_[index(u, v)]; }
    bool add(int u, int v)
    {
        if (u == v || contains(u, v))
            return false;
        in_[index(u, v)] = in_[index(v, u)] = true;
        edges_.emplace_back(std::min(u, v), std::max(u, v));
        return true;
    }
    void addAll()
    {
        for (int u = 0; u < n_; ++u) {
            for (int v = u + 1; v < n_; ++v)
                add(u, v);
        }
    }
    std::vector<WeightedEdge> weighted(const EdgeWeights& weights) const
    {
        std::vector<WeightedEdge> edges;
        edges.reserve(edges_.size());
        for (const auto& [u, v] : edges_)
            edges.push_back({u, v, weights.at(u, v)});
        return edges;
    }

private:
    std::size_t index(int u, int v) const
    {
        return static_cast<std::size_t>(u) * static_cast<std::size_t>(n_) +
               static_cast<std::size_t>(v);
    }

    int n_;
    std::vector<bool> in_;
    std::vector<std::pair<int, int>> edges_;
};

// Adds the edges outside the candidates whose dual constraint the certificate breaks, the
// worst few at each vertex; returns how many were added. None means the matching is optimal
// over the whole graph: the duals are feasible for every edge and tight on the matching.
int addViolatedEdges(const EdgeWeights& weights, const MatchingCertificate& c,
                     CandidateSet& candidates)
{
    const int n = weights.vertices();
    std::vector<std::vector<int>> blossomsOf(static_cast<std::size_t>(n));
    std::vector<std::vector<bool>> inBlossom(c.blossoms.size(),
                                             std::vector<bool>(static_cast<std::size_t>(n)));
    for (std::size_t k = 0; k < c.blossoms.size(); ++k) {
        for (int v : c.blossoms[k].vertices) {
            blossomsOf[v].push_back(static_cast<int>(k));
            inBlossom[k][v] = true;
        }
    }
    std::vector<std::vector<std::pair<Int128, int>>> worst(static_cast<std::size_t>(n));
    for (int u = 0; u < n; ++u) {
        for (int v = u + 1; v < n; ++v) {
            if (candidates.contains(u, v))
                continue;
            Int128 slack =
                Int128(c.potential[u]) + c.potential[v] - Int128(c.dualScale) * weights.at(u, v);
            for (int k : blossomsOf[u]) {
                if (inBlossom[k][v])
                    slack += c.blossoms[k].value;
            }
            if (slack < 0) {
                worst[u].emplace_back(slack, v);
                worst[v].emplace_back(slack, u);
            }
        }
    }
    int added = 0;
    for (int u = 0; u < n; ++u) {
        auto& list = worst[u];
        const auto keep = std::min<std::size_t>(list.size(), kAddedPerVertex);
        std::partial_sort(list.begin(), list.begin() + static_cast<std::ptrdiff_t>(keep),
                          list.end());
        for (std::size_t i = 0; i < keep; ++i)
            added += candidates.add(u, list[i].second) ? 1 : 0;
    }
    return added;
}

} // namespace

std::vector<int> maxWeightCompleteMatching(const EdgeWeights& weights,
                                           const std::vector<std::pair<int, int>>& candidates)
{
    const int n = weights.vertices();
    if (n % 2 != 0)
        throw std::invalid_argument("a perfect matching needs an even number of vertices");
    if (n == 0)
        return {};
    CandidateSet set(n);
    for (const auto& [u, v] : candidates)
        set.add(u, v);
    bool complete = false;
    for (;;) {
        MatchingCertificate certificate = lemonPerfectMatching(n, set.weighted(weights));
        if (certificate.mate.empty()) {
            if (complete)
                throw std::logic_error("no perfect matching on a complete graph");
            set.addAll(); // the complete graph always has one
            complete = true;
            continue;
        }
        if (addViolatedEdges(weights, certificate, set) == 0)
            return certificate.mate;
    }
}

} // namespace velka
