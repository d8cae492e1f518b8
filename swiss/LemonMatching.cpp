#include "swiss/LemonMatching.h"

#include <lemon/matching.h>
#include <lemon/smart_graph.h>

namespace velka {

MatchingCertificate lemonPerfectMatching(int vertices, const std::vector<WeightedEdge>& edges)
{
    using Graph = lemon::SmartGraph;
    using Weights = Graph::EdgeMap<std::int64_t>;
    Graph graph;
    graph.reserveNode(vertices);
    graph.reserveEdge(static_cast<int>(edges.size()));
    std::vector<Graph::Node> nodes;
    nodes.reserve(static_cast<std::size_t>(vertices));
    for (int i = 0; i < vertices; ++i)
        nodes.push_back(graph.addNode());
    Weights weights(graph);
    for (const WeightedEdge& e : edges)
        weights[graph.addEdge(nodes[e.u], nodes[e.v])] = e.weight;

    using Solver = lemon::MaxWeightedPerfectMatching<Graph, Weights>;
    Solver solver(graph, weights);
    MatchingCertificate certificate;
    if (!solver.run())
        return certificate;
    certificate.dualScale = Solver::dualScale;
    certificate.mate.resize(static_cast<std::size_t>(vertices));
    certificate.potential.resize(static_cast<std::size_t>(vertices));
    for (int i = 0; i < vertices; ++i) {
        certificate.mate[i] = graph.id(solver.mate(nodes[i]));
        certificate.potential[i] = solver.nodeValue(nodes[i]);
    }
    for (int k = 0; k < solver.blossomNum(); ++k) {
        MatchingCertificate::Blossom blossom;
        blossom.value = solver.blossomValue(k);
        for (Solver::BlossomIt it(solver, k); it != lemon::INVALID; ++it)
            blossom.vertices.push_back(graph.id(static_cast<Graph::Node>(it)));
        certificate.blossoms.push_back(std::move(blossom));
    }
    return certificate;
}

} // namespace velka
