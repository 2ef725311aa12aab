#include "fem/node_pieces.h"

#include <metis.h>

#include <algorithm>
#include <numeric>

namespace tarvsolv {
namespace {

// The graph of nodes that share an element, in METIS's compressed rows, without self loops.
struct NodeGraph {
    std::vector<idx_t> start, neighbours;
};

NodeGraph nodeGraph(const FeMesh& mesh) {
    const int nodes = mesh.nodeCount(), elements = mesh.elementCount();
    // The elements at every node, then each node's neighbours from them: the graph is built one row
    // at a time, never as the list of every element's node pairs, which is several times larger.
    std::vector<int> first(static_cast<std::size_t>(nodes) + 1, 0);
    for (const int n : mesh.conn) ++first[n + 1];
    std::partial_sum(first.begin(), first.end(), first.begin());
    std::vector<int> at(mesh.conn.size()), fill(first.begin(), first.end() - 1);
    for (int e = 0; e < elements; ++e)
        for (const int n : mesh.elementNodes(e)) at[fill[n]++] = e;
    NodeGraph graph;
    graph.start.reserve(static_cast<std::size_t>(nodes) + 1);
    graph.start.push_back(0);
    std::vector<idx_t> row;
    for (int n = 0; n < nodes; ++n) {
        row.clear();
        for (int k = first[n]; k < first[n + 1]; ++k)
            for (const int m : mesh.elementNodes(at[k]))
                if (m != n) row.push_back(m);
        std::sort(row.begin(), row.end());
        row.erase(std::unique(row.begin(), row.end()), row.end());
        graph.neighbours.insert(graph.neighbours.end(), row.begin(), row.end());
        graph.start.push_back(static_cast<idx_t>(graph.neighbours.size()));
    }
    return graph;
}

}  // namespace

std::vector<int> nodePieces(const FeMesh& mesh, int pieces) {
    idx_t count = mesh.nodeCount(), constraints = 1, parts = pieces, cut = 0;
    if (pieces <= 1 || count < pieces) return std::vector<int>(static_cast<std::size_t>(count), 0);
    NodeGraph graph = nodeGraph(mesh);
    idx_t options[METIS_NOPTIONS];
    METIS_SetDefaultOptions(options);
    options[METIS_OPTION_UFACTOR] = 10;  // pieces within 1 % of equal: the unknowns are the work
    std::vector<idx_t> piece(static_cast<std::size_t>(count), 0);
    const int status = METIS_PartGraphKway(&count, &constraints, graph.start.data(), graph.neighbours.data(),
                                           nullptr, nullptr, nullptr, &parts, nullptr, nullptr, options, &cut,
                                           piece.data());
    if (status != METIS_OK) return {};
    return {piece.begin(), piece.end()};
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

bool numberByPieces(FeMesh& mesh, MPI_Comm comm) {
    int rank = 0, processes = 1;
    MPI_Comm_rank(comm, &rank);
    MPI_Comm_size(comm, &processes);
    if (processes <= 1) return false;
    // Every process must number alike: the first partitions and hands its pieces on.
    std::vector<int> piece;
    if (rank == 0) piece = nodePieces(mesh, processes);
    int found = piece.empty() ? 0 : 1;
    MPI_Bcast(&found, 1, MPI_INT, 0, comm);
    if (!found) return false;
    piece.resize(static_cast<std::size_t>(mesh.nodeCount()));
    MPI_Bcast(piece.data(), mesh.nodeCount(), MPI_INT, 0, comm);
    numberByPieces(mesh, piece, processes);
    return true;
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
std::vector<double> reordered(const FeMesh& mesh, std::span<const double> values, int width, From from, To to) {
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
