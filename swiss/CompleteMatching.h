#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace velka {

// The weights of the complete graph on n vertices.
class EdgeWeights {
public:
    explicit EdgeWeights(int vertices)
        : n_(vertices)
        , weights_(static_cast<std::size_t>(vertices) * static_cast<std::size_t>(vertices))
    {}

    int vertices() const { return n_; }
    std::int64_t at(int u, int v) const { return weights_[index(u, v)]; }
    void set(int u, int v, std::int64_t weight)
    {
        weights_[index(u, v)] = weight;
        weights_[index(v, u)] = weight;
    }

private:
    std::size_t index(int u, int v) const
    {
        return static_cast<std::size_t>(u) * static_cast<std::size_t>(n_) +
               static_cast<std::size_t>(v);
    }

    int n_;
    std::vector<std::int64_t> weights_;
};

// A perfect matching of greatest total weight on the complete graph (an even number of
// vertices, weights within ±2^58): mate[v] for every vertex. It is solved on the candidate
// edges first; the solver's dual solution then shows whether any other edge could improve on
// it, and the edges that could are added and the solve repeated, so the result is optimal over
// every edge while the solver mostly sees a few. Without a perfect matching among the
// candidates it solves over every edge.
std::vector<int> maxWeightCompleteMatching(const EdgeWeights& weights,
                                           const std::vector<std::pair<int, int>>& candidates);

} // namespace velka
