// Reading von Mises stress from the result file of a quadratic mesh of about a million nodes,
// against counting the file's lines with `wc -l`; and building the contour view's triangle list.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "formats/derived_stress.h"
#include "formats/mesh.h"
#include "formats/result_reader.h"
#include "results/quantity_list.h"
#include "results/triangle_list.h"

namespace {

// A box of n^3 cubes, each split into six quadratic tetrahedra around its main diagonal; the nodes
// are the (2n + 1)^3 points of the halved grid. n = 50 gives 1,030,301 nodes and 750,000 elements.
constexpr int kCubes = 50;
constexpr int kGrid = 2 * kCubes + 1;

int nodeAt(int i, int j, int k) {
    return i + kGrid * (j + kGrid * k) + 1;
}

struct Bench {
    mesh_solve::Mesh mesh;
    std::string path;
};

mesh_solve::Mesh buildMesh() {
    mesh_solve::MeshArrays a;
    a.coordinates.reserve(3 * static_cast<std::size_t>(kGrid) * kGrid * kGrid);
    for (int k = 0; k < kGrid; ++k)
        for (int j = 0; j < kGrid; ++j)
            for (int i = 0; i < kGrid; ++i)
                a.coordinates.insert(a.coordinates.end(), {i * 0.5, j * 0.5, k * 0.5});
    static constexpr std::array<std::array<int, 3>, 6> kOrders{
        {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}}};
    // Corners (local 1, 3, 5, 10) of each face, by the quadratic face table.
    static constexpr int kFaceCorners[4][3] = {{0, 2, 1}, {0, 1, 3}, {1, 2, 3}, {2, 0, 3}};
    int element = 0;
    for (int z = 0; z < kCubes; ++z)
        for (int y = 0; y < kCubes; ++y)
            for (int x = 0; x < kCubes; ++x)
                for (const auto& order : kOrders) {
                    std::array<std::array<int, 3>, 4> v{};  // corners on the halved grid
                    v[0] = {2 * x, 2 * y, 2 * z};
                    for (int c = 1; c < 4; ++c) {
                        v[c] = v[c - 1];
                        v[c][order[c - 1]] += 2;
                    }
                    auto mid = [&](int p, int q) {
                        return nodeAt((v[p][0] + v[q][0]) / 2, (v[p][1] + v[q][1]) / 2,
                                      (v[p][2] + v[q][2]) / 2);
                    };
                    auto corner = [&](int p) { return nodeAt(v[p][0], v[p][1], v[p][2]); };
                    a.connectivity.insert(a.connectivity.end(),
                                          {corner(0), mid(0, 1), corner(1), mid(1, 2), corner(2), mid(2, 0),
                                           mid(0, 3), mid(1, 3), mid(2, 3), corner(3)});
                    ++element;
                    for (int f = 0; f < 4; ++f)
                        for (int axis = 0; axis < 3; ++axis) {
                            const int value = v[kFaceCorners[f][0]][axis];
                            if ((value == 0 || value == kGrid - 1) && v[kFaceCorners[f][1]][axis] == value &&
                                v[kFaceCorners[f][2]][axis] == value) {
                                a.facetTags.push_back(0);
                                a.facetElements.push_back(element);
                                a.facetFaces.push_back(f + 1);
                            }
                        }
                }
    mesh_solve::Mesh mesh;
    mesh.load(kGrid * kGrid * kGrid, element, 10, std::move(a));
    return mesh;
}

// One stress block: four corner lines per element, as the solver writes them.
void writeResultFile(const mesh_solve::Mesh& mesh, const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    std::fprintf(file, "MESHFILE\nbench.meb\nDISP 1\n");
    for (int n = 1; n <= mesh.nodeCount(); ++n)
        std::fprintf(file, "%d %.6e %.6e %.6e\n", n, n * 1e-6, 0.0, -n * 1e-6);
    std::fprintf(file, "\nSTRESS 1\n element node sx sy sz txy tyz txz\n");
    for (int e = 1; e <= mesh.elementCount(); ++e) {
        const auto nodes = mesh.elementNodes(e);
        for (int local : {0, 2, 4, 9}) {
            const double s = (e % 997) * 0.37 + local;
            std::fprintf(file, "%d %d %.6e %.6e %.6e %.6e %.6e %.6e\n", e, nodes[local], s, -0.5 * s,
                         0.25 * s, 0.1 * s, -0.2 * s, 0.05 * s);
        }
    }
    std::fprintf(file, "\n");
    std::fclose(file);
}

Bench& bench() {
    static Bench* b = [] {
        auto* made =
            new Bench{buildMesh(), (std::filesystem::temp_directory_path() / "kolvane_bench.out").string()};
        writeResultFile(made->mesh, made->path);
        return made;
    }();
    return *b;
}

void VonMisesRead(benchmark::State& state) {
    Bench& b = bench();
    results::NodeResults out;
    for (auto _ : state) {
        const auto status = results::readResult(b.path, results::ResultMesh::of(b.mesh),
                                                {results::kKindStress, results::kItemVonMises, 1, 0}, out);
        if (status != results::ReadStatus::Read) state.SkipWithError("read failed");
        benchmark::DoNotOptimize(out.values.data());
    }
    state.counters["nodes"] = b.mesh.nodeCount();
    state.counters["MB"] = static_cast<double>(std::filesystem::file_size(b.path)) / 1e6;
}

void WcLines(benchmark::State& state) {
    const std::string command = "wc -l " + bench().path + " > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("wc failed");
}

double seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) * 1e-6;
}

// CPU seconds (user + system) used so far by this process, or by its finished children.
double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Both in one loop, with the ratio of their CPU times: on a busy machine wall times swing with the
// load, while the CPU each needs stays comparable.
void VonMisesAgainstWc(benchmark::State& state) {
    Bench& b = bench();
    const std::string command = "wc -l " + b.path + " > /dev/null";
    results::NodeResults out;
    double wcCpu = 0.0, readCpu = 0.0;
    for (auto _ : state) {
        const double childrenBefore = cpuSeconds(RUSAGE_CHILDREN);
        if (std::system(command.c_str()) != 0) state.SkipWithError("wc failed");
        wcCpu += cpuSeconds(RUSAGE_CHILDREN) - childrenBefore;
        const double selfBefore = cpuSeconds(RUSAGE_SELF);
        results::readResult(b.path, results::ResultMesh::of(b.mesh),
                            {results::kKindStress, results::kItemVonMises, 1, 0}, out);
        readCpu += cpuSeconds(RUSAGE_SELF) - selfBefore;
        benchmark::DoNotOptimize(out.values.data());
    }
    const auto n = static_cast<double>(state.iterations());
    state.counters["wc_cpu_ms"] = 1e3 * wcCpu / n;
    state.counters["read_cpu_ms"] = 1e3 * readCpu / n;
    state.counters["cpu_ratio"] = wcCpu > 0.0 ? readCpu / wcCpu : 0.0;
}

void TriangleListBoundary(benchmark::State& state) {
    Bench& b = bench();
    for (auto _ : state) {
        auto list = results::buildTriangleList(b.mesh, false);
        state.counters["triangles"] = static_cast<double>(list.triangleCount());
        benchmark::DoNotOptimize(list.nodes.data());
    }
}

void TriangleListAllFaces(benchmark::State& state) {
    Bench& b = bench();
    for (auto _ : state) {
        auto list = results::buildTriangleList(b.mesh, true);
        state.counters["triangles"] = static_cast<double>(list.triangleCount());
        benchmark::DoNotOptimize(list.nodes.data());
    }
}

}  // namespace

BENCHMARK(WcLines)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(VonMisesRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(VonMisesAgainstWc)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(TriangleListBoundary)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);
BENCHMARK(TriangleListAllFaces)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);
BENCHMARK_MAIN();
