// Reading a quadratic mesh of about a million nodes against a plain read of the same file into one
// buffer. The reader's work beyond the plain read (allocating the arrays and state characters, splitting
// the facet records, checking every reference) should cost less than the read itself: ratio under 2.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "formats/face_tables.h"
#include "formats/mesh_reader.h"

namespace {

// A block of cubes x cubes x cubes, each cut into six tetrahedra around its main diagonal, with
// quadratic nodes on the doubled grid: (2 cubes + 1)^3 nodes, 1,030,301 for 50 cubes a side.
class StructuredQuadraticBlock {
  public:
    explicit StructuredQuadraticBlock(int cubes) : cubes_(cubes), side_(2 * cubes + 1) {
        for (int c = 0; c < side_; ++c)
            for (int b = 0; b < side_; ++b)
                for (int a = 0; a < side_; ++a)
                    coordinates_.insert(coordinates_.end(), {0.5 * a, 0.5 * b, 0.5 * c});
        for (int k = 0; k < cubes; ++k)
            for (int j = 0; j < cubes; ++j)
                for (int i = 0; i < cubes; ++i) addCube(i, j, k);
    }

    std::int32_t nodes() const { return static_cast<std::int32_t>(coordinates_.size() / 3); }
    std::int32_t elements() const { return static_cast<std::int32_t>(connectivity_.size() / 10); }
    std::int32_t facets() const { return static_cast<std::int32_t>(facets_.size() / 3); }

    void write(const std::string& path) const {
        std::FILE* file = std::fopen(path.c_str(), "wb");
        if (!file) throw std::runtime_error("cannot write " + path);
        const std::int32_t header[5] = {nodes(), elements(), facets(), 10, 0};
        const char reserved[8] = {};
        std::fwrite(header, sizeof header, 1, file);
        std::fwrite(reserved, sizeof reserved, 1, file);
        std::fwrite(coordinates_.data(), sizeof(double), coordinates_.size(), file);
        std::fwrite(connectivity_.data(), sizeof(std::int32_t), connectivity_.size(), file);
        std::fwrite(facets_.data(), sizeof(std::int32_t), facets_.size(), file);
        std::fclose(file);
    }

  private:
    using GridPoint = std::array<int, 3>;  // on the doubled grid

    std::int32_t nodeAt(const GridPoint& p) const { return 1 + p[0] + side_ * (p[1] + side_ * p[2]); }
    static GridPoint mid(const GridPoint& p, const GridPoint& q) {
        return {(p[0] + q[0]) / 2, (p[1] + q[1]) / 2, (p[2] + q[2]) / 2};
    }

    static int volumeSign(const GridPoint& a, const GridPoint& b, const GridPoint& c, const GridPoint& d) {
        const auto edge = [&a](const GridPoint& p) {
            return GridPoint{p[0] - a[0], p[1] - a[1], p[2] - a[2]};
        };
        const GridPoint u = edge(b), v = edge(c), w = edge(d);
        const int det = u[0] * (v[1] * w[2] - v[2] * w[1]) - u[1] * (v[0] * w[2] - v[2] * w[0]) +
                        u[2] * (v[0] * w[1] - v[1] * w[0]);
        return det > 0 ? 1 : -1;
    }

    void addCube(int i, int j, int k) {
        static constexpr std::array<std::array<int, 3>, 6> kAxisOrders{
            {{0, 1, 2}, {0, 2, 1}, {1, 0, 2}, {1, 2, 0}, {2, 0, 1}, {2, 1, 0}}};
        const GridPoint origin{2 * i, 2 * j, 2 * k};
        for (const auto& order : kAxisOrders) {
            GridPoint v1 = origin, v2;
            v1[order[0]] += 2;
            v2 = v1;
            v2[order[1]] += 2;
            const GridPoint v3{origin[0] + 2, origin[1] + 2, origin[2] + 2};
            // Half of the axis orders wind the other way; swapping two corners keeps every volume positive.
            if (volumeSign(origin, v1, v2, v3) > 0)
                addTetrahedron(origin, v1, v2, v3);
            else
                addTetrahedron(origin, v2, v1, v3);
        }
    }

    void addTetrahedron(const GridPoint& a, const GridPoint& b, const GridPoint& c, const GridPoint& d) {
        const std::array<GridPoint, 10> local{a,         mid(a, b), b,         mid(b, c), c,
                                              mid(c, a), mid(a, d), mid(b, d), mid(c, d), d};
        for (const GridPoint& p : local) connectivity_.push_back(nodeAt(p));
        const std::int32_t element = elements();
        for (std::int32_t face = 1; face <= mesh_solve::kFacesPerElement; ++face) {
            const auto faceNodes = mesh_solve::localFaceNodes(10, face);
            const int side =
                boundarySide(local[faceNodes[0] - 1], local[faceNodes[2] - 1], local[faceNodes[4] - 1]);
            if (side > 0) facets_.insert(facets_.end(), {side, element, face});
        }
    }

    // 1 to 6 when the three corners lie on one side of the block, else 0.
    int boundarySide(const GridPoint& p, const GridPoint& q, const GridPoint& r) const {
        for (int axis = 0; axis < 3; ++axis) {
            for (const int at : {0, side_ - 1})
                if (p[axis] == at && q[axis] == at && r[axis] == at) return 1 + 2 * axis + (at == 0 ? 0 : 1);
        }
        return 0;
    }

    int cubes_;
    int side_;
    std::vector<double> coordinates_;
    std::vector<std::int32_t> connectivity_;
    std::vector<std::int32_t> facets_;
};

const std::string& meshFile() {
    static const std::string path = [] {
        const auto folder = std::filesystem::temp_directory_path() / "kolvane-mesh-bench";
        std::filesystem::create_directories(folder);
        const std::string file = (folder / "block.meb").string();
        const StructuredQuadraticBlock block(50);
        block.write(file);
        std::cout << "mesh file " << file << ": " << block.nodes() << " nodes, " << block.elements()
                  << " elements, " << block.facets() << " facets, " << std::filesystem::file_size(file)
                  << " bytes\n";
        return file;
    }();
    return path;
}

void BM_ReadMeshFile(benchmark::State& state) {
    const std::string& path = meshFile();
    mesh_solve::Mesh mesh;
    for (auto _ : state) {
        const mesh_solve::MeshReadResult result = mesh_solve::readMeshFile(mesh, path);
        if (result.status != mesh_solve::MeshReadStatus::Read || !mesh.isLoaded()) {
            state.SkipWithError(("mesh not read: " + result.message).c_str());
            break;
        }
        benchmark::DoNotOptimize(mesh.connectivity().data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

void BM_PlainFileRead(benchmark::State& state) {
    const std::string& path = meshFile();
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::fseek(file, 0, SEEK_END);
        std::vector<char> buffer(static_cast<std::size_t>(std::ftell(file)));
        std::fseek(file, 0, SEEK_SET);
        benchmark::DoNotOptimize(std::fread(buffer.data(), 1, buffer.size(), file));
        std::fclose(file);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(std::filesystem::file_size(path)));
}

BENCHMARK(BM_ReadMeshFile)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PlainFileRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Prints the benchmarks as usual and keeps their times so that main can print the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
  public:
    RatioReporter() : ConsoleReporter(OO_Tabular) {}  // no colour codes: the figures go into reports
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                times[run.run_name.function_name] = run.GetAdjustedRealTime();
    }
    std::map<std::string, double> times;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    const auto mesh = reporter.times.find("BM_ReadMeshFile");
    const auto plain = reporter.times.find("BM_PlainFileRead");
    if (mesh != reporter.times.end() && plain != reporter.times.end() && plain->second > 0)
        std::cout << "mesh read / plain read: " << mesh->second / plain->second << " (target: at most 2)\n";
    std::filesystem::remove_all(std::filesystem::temp_directory_path() / "kolvane-mesh-bench");
    benchmark::Shutdown();
    return 0;
}
