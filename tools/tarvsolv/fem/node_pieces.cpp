#include "fem/node_pieces.h"

#include <metis.h>

#include <algorithm>
#include <numeric>

#include "base/quiet_wait.h"

namespace tarvsolv {
namespace {

// The elements at each of `count` items in compressed rows: those of item i are at[first[i]] to
// at[first[i + 1] - 1], ascending. An element is at the items `itemOf` gives its first `nodesUsed`
// nodes (the corners alone, or every node).
struct ElementsAt {
    std::vector<int> first, at;
};
template <class ItemOf>
ElementsAt elementsAt(const FeMesh& mesh, int count, int nodesUsed, ItemOf itemOf) {
    const int elements = mesh.elementCount();
    ElementsAt out;
    out.first.assign(static_cast<std::size_t>(count) + 1, 0);
    for (int e = 0; e < elements; ++e)
        for (int k = 0; k < nodesUsed; ++k) ++out.first[itemOf(mesh.elementNodes(e)[k]) + 1];
    std::partial_sum(out.first.begin(), out.first.end(), out.first.begin());
    out.at.resize(static_cast<std::size_t>(out.first.back()));
    std::vector<int> fill(out.first.begin(), out.first.end() - 1);
    for (int e = 0; e < elements; ++e)
        for (int k = 0; k < nodesUsed; ++k) out.at[fill[itemOf(mesh.elementNodes(e)[k])]++] = e;
    return out;
}

// The graph of the corner nodes that share an element, in METIS's compressed rows, each corner
// weighed by the nodes that go with it: itself and the mid-side nodes of the edges it leads. A
// quadratic mesh has about seven mid-side nodes a corner, so this graph is several times smaller
// than the graph of all nodes and partitions that much faster, to the same pieces. The weights
// are set afterwards (cornerWeights).
struct CornerGraph {
    std::vector<int> vertexOf;  // per node: its corner's vertex, -1 for a mid-side node
    std::vector<int> leader;    // per node: the node whose piece it takes (itself for a corner)
    std::vector<idx_t> start, neighbours, weight;
};

// Local corners (a, b) of each of the quadratic element's mid-side nodes 4 to 9.
constexpr int kEdgeEnds[6][2] = {{0, 1}, {1, 2}, {0, 2}, {0, 3}, {1, 3}, {2, 3}};

CornerGraph cornerGraph(const FeMesh& mesh) {
    const int nodes = mesh.nodeCount(), elements = mesh.elementCount();
    CornerGraph g;
    g.vertexOf.assign(static_cast<std::size_t>(nodes), -1);
    g.leader.assign(static_cast<std::size_t>(nodes), -1);
    int vertices = 0;
    for (int e = 0; e < elements; ++e)
        for (int k = 0; k < 4; ++k) {
            const int n = mesh.elementNodes(e)[k];
            if (g.vertexOf[n] < 0) g.vertexOf[n] = vertices++, g.leader[n] = n;
        }
    if (mesh.nodesPerElement == 10)
        for (int e = 0; e < elements; ++e) {
            const auto en = mesh.elementNodes(e);
            for (int k = 0; k < 6; ++k) {
                const int mid = en[4 + k];
                if (g.leader[mid] >= 0) continue;  // a corner of another element, or led already
                g.leader[mid] = std::min(en[kEdgeEnds[k][0]], en[kEdgeEnds[k][1]]);
            }
        }
    // Each vertex's neighbours: the other corners of its elements, from the elements at it.
    const ElementsAt atVertex = elementsAt(mesh, vertices, 4, [&](int n) { return g.vertexOf[n]; });
    const std::vector<int>&first = atVertex.first, &at = atVertex.at;
    g.start.reserve(static_cast<std::size_t>(vertices) + 1);
    g.start.push_back(0);
    std::vector<idx_t> row;
    for (int v = 0; v < vertices; ++v) {
        row.clear();
        for (int i = first[v]; i < first[v + 1]; ++i)
            for (int k = 0; k < 4; ++k)
                if (const int w = g.vertexOf[mesh.elementNodes(at[i])[k]]; w != v) row.push_back(w);
        std::sort(row.begin(), row.end());
        row.erase(std::unique(row.begin(), row.end()), row.end());
        g.neighbours.insert(g.neighbours.end(), row.begin(), row.end());
        g.start.push_back(static_cast<idx_t>(g.neighbours.size()));
    }
    return g;
}

// The matrix entries of every node's rows: each free unknown of the node couples with every free
// unknown of the nodes it shares an element with (itself included), each held unknown only with
// itself, on its diagonal. Held unknowns are left out of the matrix, so a piece that holds a
// restrained face has fewer entries for as many rows; weighing by entries evens the stiffness,
// the preconditioner's levels and the matrix products each process holds and works on.
std::vector<long long> rowEntries(const FeMesh& mesh, std::span<const int> held, int unknownsPerNode) {
    const int nodes = mesh.nodeCount();
    const auto freeOf = [&](int n) { return held.empty() ? unknownsPerNode : unknownsPerNode - held[n]; };
    const ElementsAt atNode = elementsAt(mesh, nodes, mesh.nodesPerElement, [](int n) { return n; });
    const std::vector<int>&first = atNode.first, &at = atNode.at;
    std::vector<long long> entries(static_cast<std::size_t>(nodes), 0);
    std::vector<int> seenBy(static_cast<std::size_t>(nodes), -1);
    for (int n = 0; n < nodes; ++n) {
        long long coupled = 0;  // free unknowns of the nodes node n shares an element with
        for (int i = first[n]; i < first[n + 1]; ++i)
            for (const int m : mesh.elementNodes(at[i]))
                if (seenBy[m] != n) seenBy[m] = n, coupled += freeOf(m);
        entries[n] = freeOf(n) * coupled + (unknownsPerNode - freeOf(n));
    }
    return entries;
}

// Each corner's weight: the entries of its own rows and of the mid-side nodes it leads, scaled so
// that their sum stays well within METIS's integers (it adds them up), and at least 1.
void setCornerWeights(CornerGraph& g, const FeMesh& mesh, std::span<const int> held, int unknownsPerNode) {
    const std::vector<long long> entries = rowEntries(mesh, held, unknownsPerNode);
    std::vector<long long> sums(g.start.size() - 1, 0);
    long long total = 0;
    for (std::size_t n = 0; n < entries.size(); ++n)
        if (g.leader[n] >= 0) sums[g.vertexOf[g.leader[n]]] += entries[n], total += entries[n];
    const long long unit = std::max(1LL, total / (1LL << 28) + 1);
    g.weight.resize(sums.size());
    for (std::size_t v = 0; v < sums.size(); ++v)
        g.weight[v] = static_cast<idx_t>(std::max(1LL, sums[v] / unit));
}

}  // namespace

std::vector<int> nodePieces(const FeMesh& mesh, int pieces, std::span<const int> held, int unknownsPerNode) {
    const auto nodes = static_cast<std::size_t>(mesh.nodeCount());
    if (pieces <= 1) return std::vector<int>(nodes, 0);
    CornerGraph graph = cornerGraph(mesh);
    setCornerWeights(graph, mesh, held.size() == nodes ? held : std::span<const int>{}, unknownsPerNode);
    idx_t vertices = static_cast<idx_t>(graph.weight.size()), constraints = 1, parts = pieces, cut = 0;
    std::vector<idx_t> piece(static_cast<std::size_t>(vertices), 0);
    if (vertices >= pieces) {
        idx_t options[METIS_NOPTIONS];
        METIS_SetDefaultOptions(options);
        options[METIS_OPTION_UFACTOR] = 10;  // pieces within 1 % of equal: the entries are the work
        if (METIS_PartGraphKway(&vertices, &constraints, graph.start.data(), graph.neighbours.data(),
                                graph.weight.data(), nullptr, nullptr, &parts, nullptr, nullptr, options,
                                &cut, piece.data()) != METIS_OK)
            return {};
    }
    // Nodes no element uses go with the first piece.
    std::vector<int> out(nodes, 0);
    for (std::size_t n = 0; n < nodes; ++n)
        if (graph.leader[n] >= 0) out[n] = static_cast<int>(piece[graph.vertexOf[graph.leader[n]]]);
    return out;
}

void numberByPieces(FeMesh& mesh, std::span<const int> piece, int pieces) {
    const int nodes = mesh.nodeCount();
    std::vector<int> starts(static_cast<std::size_t>(pieces) + 1, 0);
    for (const int p : piece) ++starts[p + 1];
    std::partial_sum(starts.begin(), starts.end(), starts.begin());
    std::vector<int> next(starts.begin(), starts.end() - 1), numberOf(static_cast<std::size_t>(nodes));
    std::vector<int> fileNodes(static_cast<std::size_t>(nodes));
    std::vector<double> xyz(mesh.xyz.size());
    for (int n = 0; n < nodes; ++n) {
        const int m = next[piece[n]]++;
        numberOf[n] = m;
        fileNodes[m] = mesh.fileNumber(n);
        std::copy_n(mesh.xyz.begin() + 3 * static_cast<std::ptrdiff_t>(n), 3,
                    xyz.begin() + 3 * static_cast<std::ptrdiff_t>(m));
    }
    for (int& n : mesh.conn) n = numberOf[n];
    mesh.xyz = std::move(xyz);
    mesh.fileNodes = std::move(fileNodes);
    mesh.pieceStarts = std::move(starts);
}

bool numberByPieces(FeMesh& mesh, MPI_Comm comm, std::span<const int> held, int unknownsPerNode) {
    int rank = 0, processes = 1;
    MPI_Comm_rank(comm, &rank);
    MPI_Comm_size(comm, &processes);
    if (processes <= 1) return false;
    // Every process must number alike: the first partitions and hands its pieces on.
    std::vector<int> piece;
    if (rank == 0) piece = nodePieces(mesh, processes, held, unknownsPerNode);
    waitForAll(comm);  // the others sleep through the partition instead of polling beside it
    int found = piece.empty() ? 0 : 1;
    MPI_Bcast(&found, 1, MPI_INT, 0, comm);
    if (!found) return false;
    piece.resize(static_cast<std::size_t>(mesh.nodeCount()));
    MPI_Bcast(piece.data(), mesh.nodeCount(), MPI_INT, 0, comm);
    numberByPieces(mesh, piece, processes);
    return true;
}

std::vector<int> elementPieces(const FeMesh& mesh) {
    const std::vector<int>& starts = mesh.pieceStarts;
    if (starts.size() < 3) return {};
    const auto pieceOf = [&](int n) {
        return static_cast<int>(std::upper_bound(starts.begin(), starts.end() - 1, n) - starts.begin()) - 1;
    };
    std::vector<int> pieces(static_cast<std::size_t>(mesh.elementCount()));
    std::vector<int> held(starts.size() - 1);
    for (int e = 0; e < mesh.elementCount(); ++e) {
        std::fill(held.begin(), held.end(), 0);
        for (const int n : mesh.elementNodes(e)) ++held[static_cast<std::size_t>(pieceOf(n))];
        pieces[static_cast<std::size_t>(e)] =
            static_cast<int>(std::max_element(held.begin(), held.end()) - held.begin());
    }
    return pieces;
}

void putElementsInPieceOrder(FeMesh& mesh) {
    const std::vector<int> pieces = elementPieces(mesh);
    if (pieces.empty()) return;
    std::vector<int> order(pieces.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return pieces[a] < pieces[b]; });
    std::vector<int> conn;
    conn.reserve(mesh.conn.size());
    for (int e : order) conn.insert(conn.end(), mesh.elementNodes(e).begin(), mesh.elementNodes(e).end());
    mesh.conn = std::move(conn);
    mesh.facets.clear();
}

FeMesh inFileOrder(const FeMesh& mesh) {
    FeMesh file = mesh;
    if (mesh.fileNodes.empty()) return file;
    for (int n = 0; n < mesh.nodeCount(); ++n)
        std::copy_n(mesh.xyz.begin() + 3 * static_cast<std::ptrdiff_t>(n), 3,
                    file.xyz.begin() + 3 * static_cast<std::ptrdiff_t>(mesh.fileNodes[n]));
    for (int& n : file.conn) n = mesh.fileNodes[n];
    file.fileNodes.clear();
    file.pieceStarts.clear();
    return file;
}

namespace {

// Moves every node's `width` values from position `from(n)` to `to(n)`; a mesh in the file's order
// or values that do not cover every node are handed back as they are.
template <class From, class To>
std::vector<double> reordered(const FeMesh& mesh, std::span<const double> values, int width, From from,
                              To to) {
    std::vector<double> out(values.begin(), values.end());
    const auto w = static_cast<std::size_t>(width);
    if (mesh.fileNodes.empty() || w == 0 || values.size() < w * mesh.fileNodes.size()) return out;
    for (std::size_t n = 0; n < mesh.fileNodes.size(); ++n)
        std::copy_n(values.begin() + static_cast<std::ptrdiff_t>(w * from(n)), w,
                    out.begin() + static_cast<std::ptrdiff_t>(w * to(n)));
    return out;
}

}  // namespace

std::vector<double> inFileOrder(const FeMesh& mesh, std::span<const double> values, int width) {
    return reordered(
        mesh, values, width, [](std::size_t n) { return n; },
        [&](std::size_t n) { return static_cast<std::size_t>(mesh.fileNodes[n]); });
}

std::vector<double> inMeshOrder(const FeMesh& mesh, std::span<const double> values, int width) {
    return reordered(
        mesh, values, width, [&](std::size_t n) { return static_cast<std::size_t>(mesh.fileNodes[n]); },
        [](std::size_t n) { return n; });
}

}  // namespace tarvsolv
