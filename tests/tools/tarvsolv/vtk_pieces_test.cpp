// The VTK pieces of a step the processes share, each writing the piece of its own elements, against
// the pieces the first process writes from the whole step; a failure on one process, a piece it
// cannot write or memory it runs out of, fails both; the pieces of an earlier run on more processes
// and the step files of an earlier run of other steps go, and one that cannot go is logged. Runs
// under mpiexec -n 2.
#include <gtest/gtest.h>
#include <petscsys.h>
#include <stdlib.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>

#include "failing_allocation.h"
#include "fem/box_mesh.h"
#include "fem/node_pieces.h"
#include "vtk_results.h"

namespace tarvsolv {
namespace {

namespace fs = std::filesystem;

// A quadratic box numbered by two pieces (split in x). The box's elements go along x first, so the
// pieces' elements interleave in element order, as a mesher's do.
FeMesh twoPieceBox() {
    FeMesh mesh = makeBoxMesh({{}, {4, 2, 2}, 4, 2, 2, true});
    std::vector<int> piece(static_cast<std::size_t>(mesh.nodeCount()));
    for (int n = 0; n < mesh.nodeCount(); ++n) piece[n] = mesh.node(n).x < 1.4 ? 0 : 1;
    numberByPieces(mesh, piece, 2);
    return mesh;
}

// A step of the whole model in the file's node order, every value with more digits than the
// result file keeps.
StepResult stepOfTheWholeBox(const FeMesh& file, int number) {
    StepResult step;
    step.number = number;
    step.time = 0.25 * number;
    std::vector<double> u, t, errors;
    for (int n = 0; n < file.nodeCount(); ++n) {
        for (int c = 0; c < 3; ++c) u.push_back(std::sin(0.37 * n + c + number) * 1.234567891e-3);
        t.push_back(20 + 7.1234567891 * std::cos(0.11 * n));
        errors.push_back(0.5 + 0.0123456789 * n);
    }
    step.add(NodeQuantity::Displacement, u);
    step.add(NodeQuantity::Temperature, t);
    step.add(NodeQuantity::ErrorEstimate, errors);
    for (int e = 0; e < file.elementCount(); ++e) {
        for (int c = 0; c < 4; ++c) {
            step.corners.nodes.push_back(file.elementNodes(e)[c] + 1);
            results::CornerStress s{};
            for (int k = 0; k < 6; ++k) s[k] = 100 * std::sin(1.3 * e + 0.7 * c + k + number) + 1e-7 * e;
            step.corners.stresses.push_back(s);
            step.corners.plasticStrains.push_back(1e-3 * std::cos(0.9 * e + c) * std::cos(0.9 * e + c));
        }
        step.elementErrors.push_back(1.0 / (e + 3));
    }
    return step;
}

// `whole` cut to `share`, as an analysis that shares its results hands it on.
StepResult processShare(const StepResult& whole, const std::shared_ptr<const ModelShare>& share) {
    StepResult out = whole;
    out.share = share;
    for (std::size_t f = 0; f < whole.nodeFields.size(); ++f) {
        const std::size_t w = nodeQuantityInfo(whole.nodeFields[f].quantity).width;
        std::vector<double>& values = out.nodeFields[f].values;
        values.clear();
        for (const int n : share->nodes)
            values.insert(values.end(), whole.nodeFields[f].values.begin() + n * w,
                          whole.nodeFields[f].values.begin() + (n + 1) * w);
    }
    const auto cut = [&](const auto& all, std::size_t per) {
        std::remove_cvref_t<decltype(all)> part;
        for (const int e : share->elements)
            part.insert(part.end(), all.begin() + e * per, all.begin() + (e + 1) * per);
        return part;
    };
    out.corners.nodes = cut(whole.corners.nodes, 4);
    out.corners.stresses = cut(whole.corners.stresses, 4);
    out.corners.plasticStrains = cut(whole.corners.plasticStrains, 4);
    out.elementErrors = cut(whole.elementErrors, 1);
    return out;
}

std::map<std::string, std::string> filesOfFolder(const std::string& folder) {
    std::map<std::string, std::string> out;
    for (const auto& entry : fs::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        out[entry.path().filename().string()] = {std::istreambuf_iterator<char>(in), {}};
    }
    return out;
}

// The same folder on every process.
std::string folderOfEveryProcess() {
    char name[] = "/tmp/vtk_pieces_XXXXXX";
    int rank = 0;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    if (rank == 0 && !mkdtemp(name)) throw std::runtime_error("no temporary folder");
    MPI_Bcast(name, sizeof name, MPI_CHAR, 0, PETSC_COMM_WORLD);
    return name;
}

TEST(VtkPieces, EachProcessWritesItsShareAsTheFirstWritesItFromTheWholeStepAndAllFailTogether) {
    int rank = 0, size = 1;
    MPI_Comm_rank(PETSC_COMM_WORLD, &rank);
    MPI_Comm_size(PETSC_COMM_WORLD, &size);
    if (size != 2) GTEST_SKIP() << "runs on two processes (mpiexec -n 2)";
    const std::string folder = folderOfEveryProcess();
    const auto job = [&](const std::string& name, const FeMesh& mesh) {
        auto out = std::make_unique<Job>();
        out->kind = SolveKind::TransientHeat;
        out->resultPath = folder + "/" + name + "/job.out";
        out->mesh = mesh;
        if (rank == 0) fs::create_directories(folder + "/" + name);
        return out;
    };
    const FeMesh mesh = twoPieceBox();
    const FeMesh file = inFileOrder(mesh);
    // The elements of each process's share are its piece's, which interleave with the other's in
    // element order; the node shares split the file's numbering where the pieces do not (every
    // third node to the second process), so that most of a piece's nodes lie in the other share.
    auto share = std::make_shared<ModelShare>();
    const std::vector<int> pieces = elementPieces(mesh);
    for (int e = 0; e < file.elementCount(); ++e)
        if (pieces[e] == rank) share->elements.push_back(e);
    for (int n = 0; n < file.nodeCount(); ++n)
        if ((n % 3 == 0) == (rank == 1)) share->nodes.push_back(n);
    const auto runs = [](const std::vector<int>& items) {
        int count = 0;
        for (std::size_t i = 0; i < items.size(); ++i) count += i == 0 || items[i] != items[i - 1] + 1;
        return count;
    };
    ASSERT_GT(runs(share->elements), 2);
    ASSERT_GT(runs(share->nodes), 2);

    const auto whole = job("whole", mesh), shared = job("shared", mesh), failing = job("failing", mesh);
    MPI_Barrier(PETSC_COMM_WORLD);
    // Warnings go to a log file the test reads; only the first process writes it.
    const std::string logPath = folder + "/vtk.slog";
    RunLog log(logPath, false, rank == 0);
    VtkResultSink fromWhole(*whole, file, log), fromShares(*shared, file, log), failed(*failing, file, log);
    for (int number : {1, 2}) {
        const StepResult step = stepOfTheWholeBox(file, number);
        fromWhole.step(step);  // on every process, as analyses that keep the whole state there do
        fromShares.step(processShare(step, share));
        failed.step(processShare(step, share));
    }
    const std::vector<std::string> wholeFiles = fromWhole.write();
    // The others return once the first has written (a run stopping with partial results ends right
    // after on every process).
    EXPECT_TRUE(fs::exists(folder + "/whole/job.pvd"));
    const std::vector<std::string> sharedFiles = fromShares.write();
    const auto names = [](std::vector<std::string> paths) {
        for (std::string& path : paths) path = fs::path(path).filename().string();
        return paths;
    };
    if (rank == 0) {
        // Two grids of two pieces and their .pvtu, and the .pvd: the same files, the same bytes.
        EXPECT_EQ(wholeFiles.size(), 7u);
        EXPECT_EQ(names(sharedFiles), names(wholeFiles));
        const auto expected = filesOfFolder(folder + "/whole"), got = filesOfFolder(folder + "/shared");
        EXPECT_EQ(got.size(), expected.size());
        for (const auto& [name, bytes] : expected) {
            ASSERT_TRUE(got.count(name)) << name;
            EXPECT_TRUE(got.at(name) == bytes) << name << " differs";
        }
    } else {
        EXPECT_EQ(names(sharedFiles), std::vector<std::string>({"job_1_p1.vtu", "job_2_p1.vtu"}));
    }

    // The second process cannot put its piece in place: both say so, no grid names a missing piece,
    // and the first process's piece of an earlier run stays as it was, nothing left beside it.
    const std::string earlier = "an earlier run's piece";
    if (rank == 0) std::ofstream(folder + "/failing/job_1_p0.vtu") << earlier;
    if (rank == 1) fs::create_directories(folder + "/failing/job_1_p1.vtu/in");
    MPI_Barrier(PETSC_COMM_WORLD);
    try {
        failed.write();
        ADD_FAILURE() << "no failure";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("job_1_p1.vtu"), std::string::npos) << e.what();
    }
    if (rank == 0) {
        EXPECT_FALSE(fs::exists(folder + "/failing/job_1.pvtu"));
        EXPECT_FALSE(fs::exists(folder + "/failing/job.pvd"));
        std::ifstream piece(folder + "/failing/job_1_p0.vtu");
        EXPECT_TRUE(std::string(std::istreambuf_iterator<char>(piece), {}) == earlier)
            << "the first process's piece of the earlier run was replaced";
        for (const auto& entry : fs::directory_iterator(folder + "/failing"))
            EXPECT_TRUE(entry.path().extension() == ".vtu" || entry.path().extension() == ".out")
                << entry.path() << " left behind";
    }

    // Either process running out of memory anywhere in the pieces' exchanges and writing stops
    // both with its message, neither left waiting for the other; written again, the grids are whole.
    for (int short_of_memory = 0; short_of_memory < 2; ++short_of_memory)
        testing::failEachAllocation(
            short_of_memory, PETSC_COMM_WORLD, [&] { fromShares.write(); },
            [&](std::size_t failure, const std::string& message) {
                EXPECT_EQ(message, failure ? std::bad_alloc().what() : "")
                    << "allocation " << failure << " on process " << short_of_memory + 1;
            });
    fromShares.write();
    if (rank == 0) {
        const auto expected = filesOfFolder(folder + "/whole"), got = filesOfFolder(folder + "/shared");
        EXPECT_EQ(got.size(), expected.size());
        for (const auto& [name, bytes] : expected)
            EXPECT_TRUE(got.count(name) && got.at(name) == bytes) << name;
    }

    // What an earlier run left goes once the new files are in place: the pieces of a run on more
    // processes (on two processes and beside a grid in one file); the step files (grids, parallel
    // grids, pieces) of steps it wrote and this run did not; beside a grid in one file, its
    // collection and every step file; beside steps, its grid of one step in either form. Files of
    // other names stay, and so do another job's grid of a piece's or a step's name and that job's
    // pieces (its result file beside them). A stale name that cannot be removed (a folder with
    // something in it) is named in the log, with the reason.
    const auto single = job("single", makeBoxMesh({{}, {4, 2, 2}, 2, 1, 1, true}));
    single->kind = SolveKind::Static;
    VtkResultSink alone(*single, log);
    alone.step(stepOfTheWholeBox(single->mesh, 1));
    const std::map<std::string, bool> left = {
        {"shared/job_1_p2.vtu", false}, {"shared/job_2_p10.vtu", false}, {"shared/job_1_p02.vtu", true},
        {"shared/job_1_p2x.vtu", true}, {"shared/job_1_p3.vtu", true},   {"shared/job_1_p3.out", true},
        {"shared/jobs_1_p4.vtu", true}, {"single/job_p0.vtu", false},    {"single/job_p1.vtu", false},
        {"single/job_1_p1.vtu", false}, {"single/job_2.vtu", false},     {"single/job.pvd", false},
        {"single/job_2x.vtu", true},    {"shared/job.vtu", false},       {"whole/job.pvtu", false},
        {"whole/job_p1.vtu", false},    {"single/job_p.vtu", true},      {"shared/job_0.pvtu", false},
        {"shared/job_3.pvtu", false},   {"shared/job_3_p0.vtu", false},  {"shared/job_12_p2.vtu", false},
        {"shared/job_3.vtu", false},    {"shared/job_03.vtu", true},     {"shared/job_3x.vtu", true},
        {"shared/job_3_p1.vtk", true},  {"shared/job_-3.vtu", true},     {"shared/job_4.vtu", true},
        {"shared/job_4.out", true},     {"shared/job_4_p0.vtu", true},   {"shared/job_5_p0.vtu", true},
        {"shared/job_5_p0.out", true},  {"whole/job_3.vtu", false},      {"whole/job_3_p1.vtu", false},
        {"whole/job_1_p5.vtu", false}};
    if (rank == 0) {
        for (const auto& [name, kept] : left) std::ofstream(folder + "/" + name) << "an earlier run's";
        fs::create_directories(folder + "/shared/job_7.vtu/in");
        fs::create_directories(folder + "/shared/job_2_p4.vtu/in");
    }
    MPI_Barrier(PETSC_COMM_WORLD);
    fromShares.write();
    fromWhole.write();
    alone.write();
    if (rank == 0) {
        for (const auto& [name, kept] : left) EXPECT_EQ(fs::exists(folder + "/" + name), kept) << name;
        EXPECT_TRUE(fs::exists(folder + "/shared/job_1_p1.vtu"));
        EXPECT_TRUE(fs::exists(folder + "/whole/job_2_p1.vtu"));
        EXPECT_TRUE(fs::exists(folder + "/single/job.vtu"));
        std::ifstream in(logPath);
        const std::string text{std::istreambuf_iterator<char>(in), {}};
        for (const std::string name : {"shared/job_7.vtu", "shared/job_2_p4.vtu"})
            EXPECT_NE(text.find("warning: the VTK file " + folder + "/" + name +
                                " of an earlier run could not be removed: " + std::strerror(ENOTEMPTY)),
                      std::string::npos)
                << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 2) << text;
    }
    MPI_Barrier(PETSC_COMM_WORLD);
    if (rank == 0) fs::remove_all(folder);
}

}  // namespace
}  // namespace tarvsolv
