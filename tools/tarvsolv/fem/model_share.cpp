#include "fem/model_share.h"

#include <algorithm>

#include "fem/node_pieces.h"

namespace tarvsolv {

int firstOfShare(long long count, int process, int processes) {
    return static_cast<int>(count * process / processes);
}

ModelShare modelShare(const FeMesh& mesh, MPI_Comm comm) {
    int rank = 0, size = 1;
    MPI_Comm_rank(comm, &rank);
    MPI_Comm_size(comm, &size);
    return {firstOfShare(mesh.nodeCount(), rank, size), firstOfShare(mesh.nodeCount(), rank + 1, size),
            firstOfShare(mesh.elementCount(), rank, size), firstOfShare(mesh.elementCount(), rank + 1, size)};
}

std::vector<double> shareOfNodes(const FeMesh& mesh, std::span<const double> values, int width,
                                 const ModelShare& share) {
    const std::vector<double> file = inFileOrder(mesh, values, width);
    const auto w = static_cast<std::size_t>(width);
    const std::size_t end = std::min(file.size(), w * static_cast<std::size_t>(share.endNode));
    const std::size_t first = std::min(end, w * static_cast<std::size_t>(share.firstNode));
    return {file.begin() + static_cast<std::ptrdiff_t>(first),
            file.begin() + static_cast<std::ptrdiff_t>(end)};
}

std::vector<double> shareOfElements(std::span<const double> values, const ModelShare& share) {
    const std::size_t end = std::min(values.size(), static_cast<std::size_t>(share.endElement));
    const std::size_t first = std::min(end, static_cast<std::size_t>(share.firstElement));
    return {values.begin() + static_cast<std::ptrdiff_t>(first),
            values.begin() + static_cast<std::ptrdiff_t>(end)};
}

}  // namespace tarvsolv
