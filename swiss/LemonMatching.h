#pragma once

#include <cstdint>
#include <vector>

// Built as C++17 (see swiss/CMakeLists.txt): this header must compile in both standards.

namespace velka {

struct WeightedEdge {
    int u = 0;
    int v = 0;
    std::int64_t weight = 0;
};

// A maximum-weight perfect matching with the dual solution that proves it optimal: for every
// edge uv of the graph, potential[u] + potential[v] + the values of the blossoms that hold both
// ends >= dualScale * weight(uv), with equality on the matched edges.
struct MatchingCertificate {
    std::vector<int> mate; // empty when the graph has no perfect matching
    std::vector<std::int64_t> potential;
    struct Blossom {
        std::vector<int> vertices;
        std::int64_t value = 0;
    };
    std::vector<Blossom> blossoms;
    std::int64_t dualScale = 1;
};

// LEMON's MaxWeightedPerfectMatching over the vertices 0..vertices-1 and the given edges. The
// weights must stay within ±2^58, so that the solver's scaled duals fit 64 bits.
MatchingCertificate lemonPerfectMatching(int vertices, const std::vector<WeightedEdge>& edges);

} // namespace velka
