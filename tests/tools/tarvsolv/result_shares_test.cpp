// Results handed on in shares, one per process of the test program (`tarvsolv_result_shares` runs
// these on two processes, the test program itself on one): the result file every process writes
// from its own share holds the bytes of the whole model's blocks, and the shares gathered onto the
// first process for the sinks that take the whole model are the whole step.
#include <gtest/gtest.h>
#include <petscsys.h>

#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <memory>
#include <new>
#include <sstream>
#include <stdexcept>
#include <string>

#include "failing_allocation.h"
#include "fem/box_mesh.h"
#include "fem/model_share.h"
#include "formats/result_writer.h"
#include "io/gathering_sink.h"
#include "io/result_file_sink.h"

namespace tarvsolv {
namespace {

namespace fs = std::filesystem;

int rank() {
    int r = 0;
    MPI_Comm_rank(PETSC_COMM_WORLD, &r);
    return r;
}

// A folder that every process names alike, made by the first.
std::string sharedFolder() {
    std::string folder;
    if (rank() == 0)
        folder = (fs::temp_directory_path() / ("result_shares_" + std::to_string(::getpid()))).string();
    int length = static_cast<int>(folder.size());
    MPI_Bcast(&length, 1, MPI_INT, 0, PETSC_COMM_WORLD);
    folder.resize(static_cast<std::size_t>(length));
    MPI_Bcast(folder.data(), length, MPI_CHAR, 0, PETSC_COMM_WORLD);
    if (rank() == 0) fs::create_directories(folder);
    MPI_Barrier(PETSC_COMM_WORLD);
    return folder;
}

std::string contents(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// A step of the whole model, its values all different, of either sign and of many magnitudes.
StepResult wholeStep(const FeMesh& mesh) {
    const auto value = [](std::size_t k) {
        return (k % 2 ? -1.0 : 1.0) * (k + 1) * std::pow(10.0, k % 7 - 3.0);
    };
    std::vector<double> u(3 * static_cast<std::size_t>(mesh.nodeCount())), errors(u.size() / 3);
    for (std::size_t k = 0; k < u.size(); ++k) u[k] = value(k);
    for (std::size_t n = 0; n < errors.size(); ++n) errors[n] = value(n + 5);
    StepResult step;
    step.number = 3;
    step.add(NodeQuantity::Displacement, u);
    step.add(NodeQuantity::ErrorEstimate, errors);
    for (int e = 0; e < mesh.elementCount(); ++e)
        for (int c = 0; c < 4; ++c) {
            step.corners.nodes.push_back(mesh.elementNodes(e)[c] + 1);
            results::CornerStress s{};
            for (std::size_t i = 0; i < s.size(); ++i) s[i] = value(24 * e + 6 * c + i);
            step.corners.stresses.push_back(s);
            step.corners.plasticStrains.push_back(std::abs(s[0]) * 1e-6);
        }
    for (int e = 0; e < mesh.elementCount(); ++e)
        step.elementErrors.push_back(value(e)), step.errorShares.push_back(1e-3 * e);
    return step;
}

// A share whose items interleave with the other processes' in runs of one to three, as a compact
// piece of a mesher's numbering does: item i goes to process (i / 3 + i % 2) % processes. On one
// process, the whole model.
std::shared_ptr<const ModelShare> interleavedShare(const FeMesh& mesh) {
    int size = 1;
    MPI_Comm_size(PETSC_COMM_WORLD, &size);
    auto share = std::make_shared<ModelShare>();
    const auto mine = [&](int i) { return (i / 3 + i % 2) % size == rank(); };
    for (int n = 0; n < mesh.nodeCount(); ++n)
        if (mine(n)) share->nodes.push_back(n);
    for (int e = 0; e < mesh.elementCount(); ++e)
        if (mine(e)) share->elements.push_back(e);
    share->nodeCount = mesh.nodeCount(), share->elementCount = mesh.elementCount();
    return share;
}

// This process's share of `whole`, as an analysis that shares its results hands it on.
StepResult shareOf(const StepResult& whole, const std::shared_ptr<const ModelShare>& share) {
    StepResult step;
    step.number = whole.number;
    step.share = share;
    for (const NodeField& field : whole.nodeFields) {
        const auto w = static_cast<std::size_t>(nodeQuantityInfo(field.quantity).width);
        std::vector<double> values;
        for (const int n : share->nodes)
            values.insert(values.end(), field.values.begin() + w * n, field.values.begin() + w * (n + 1));
        step.add(field.quantity, values);
    }
    const auto corners = [&](const auto& all) {
        std::decay_t<decltype(all)> part;
        for (const int e : share->elements)
            part.insert(part.end(), all.begin() + 4 * e, all.begin() + 4 * (e + 1));
        return part;
    };
    step.corners.nodes = corners(whole.corners.nodes);
    step.corners.stresses = corners(whole.corners.stresses);
    step.corners.plasticStrains = corners(whole.corners.plasticStrains);
    step.elementErrors = shareOfElements(whole.elementErrors, *share);
    step.errorShares = shareOfElements(whole.errorShares, *share);
    return step;
}

std::string blocksOf(const StepResult& step) {
    return results::nodeVectorBlock("DISP", step.number, step.nodeFields[0].values) +
           results::nodeScalarBlock("ERRE", step.number, step.nodeFields[1].values) +
           results::stressBlock(step.number, step.corners.nodes, step.corners.stresses) +
           results::plasticStrainBlock(step.number, step.corners.nodes, step.corners.plasticStrains);
}

// The file the processes write together from their shares, interleaved over the file, is the one
// the whole model's blocks make, whether every process holds a share or the first the whole step;
// nothing is left beside it.
TEST(ResultShares, TheFileWrittenFromEveryProcesssShareHoldsTheWholeModelsBlocks) {
    const FeMesh mesh = makeBoxMesh({{}, {3, 2, 2}, 3, 2, 1, true});
    const StepResult whole = wholeStep(mesh);
    const std::string folder = sharedFolder(), path = folder + "/job.out";
    ResultPreamble preamble;
    preamble.text = "MESHFILE\njob.meb\n";
    const double modes[] = {12.5, 40.25};
    const std::string want = preamble.text + results::modeValueBlock(modes) + blocksOf(whole);

    ResultFileSink shared(path, preamble);
    shared.modeValues(modes);
    shared.step(shareOf(whole, interleavedShare(mesh)));
    shared.write();
    EXPECT_EQ(contents(path), want);

    ResultFileSink gathered(path, preamble);
    if (rank() == 0) {
        gathered.modeValues(modes);
        gathered.step(whole);
    }
    EXPECT_FALSE(gathered.empty());
    gathered.write();
    EXPECT_EQ(contents(path), want);
    EXPECT_FALSE(fs::exists(path + ".part"));
    MPI_Barrier(PETSC_COMM_WORLD);
    if (rank() == 0) fs::remove_all(folder);
}

// Processes that were handed different steps, or one that runs out of memory, fail the write on
// every process and leave the old file as it was (a folder that cannot take the file:
// SolverFiles.ResultFileKeepsThePreamble...).
TEST(ResultShares, ProcessesHandedDifferentStepsFailOnAllAndKeepTheOldFile) {
    int size = 1;
    MPI_Comm_size(PETSC_COMM_WORLD, &size);
    if (size < 2) GTEST_SKIP() << "takes two processes";
    const std::string folder = sharedFolder(), path = folder + "/job.out";
    if (rank() == 0) std::ofstream(path) << "MESHFILE\nold.meb\nDISP 1\n1 0 0 0\n\n";
    MPI_Barrier(PETSC_COMM_WORLD);
    const std::string old = contents(path);
    ResultPreamble preamble;
    preamble.text = "MESHFILE\nnew.meb\n";
    ResultFileSink uneven(path, preamble);
    StepResult step;
    step.add(NodeQuantity::Displacement, {1, 2, 3, 4, 5, 6});
    uneven.step(step);
    if (rank() == size - 1) uneven.step(step);
    EXPECT_THROW(uneven.write(), std::runtime_error);
    EXPECT_EQ(contents(path), old);
    EXPECT_FALSE(fs::exists(path + ".part"));
    // Shares that both hold the first node and neither the last would write a wrong file.
    auto overlapping = std::make_shared<ModelShare>();
    overlapping->nodes = {0}, overlapping->nodeCount = 2;
    step.share = overlapping;
    step.nodeFields[0].values.resize(3);
    ResultFileSink overlapped(path, preamble);
    overlapped.step(step);
    EXPECT_THROW(overlapped.write(), std::runtime_error);
    EXPECT_EQ(contents(path), old);
    step.share.reset();
    // A file no process can create stops every process with the message, none left waiting.
    ResultFileSink nowhere(folder + "/missing/job.out", preamble);
    nowhere.step(step);
    try {
        nowhere.write();
        ADD_FAILURE() << "a result file in a missing folder was written";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("cannot create " + folder + "/missing/job.out.part"),
                  std::string::npos)
            << e.what();
    }
    // Either process running out of memory while the shares are formatted, sent on to the process
    // that writes their range of the file or written stops both with its message, the old file kept.
    const FeMesh mesh = makeBoxMesh({{}, {3, 2, 2}, 3, 2, 1, true});
    const StepResult whole = wholeStep(mesh);
    ResultFileSink shares(path, preamble);
    shares.step(shareOf(whole, interleavedShare(mesh)));
    for (int short_of_memory = 0; short_of_memory < size; ++short_of_memory)
        testing::failEachAllocation(
            short_of_memory, PETSC_COMM_WORLD, [&] { shares.write(); },
            [&](std::size_t failure, const std::string& message) {
                MPI_Barrier(PETSC_COMM_WORLD);  // the first process removes the temporary file
                EXPECT_EQ(message, failure ? std::bad_alloc().what() : "")
                    << "allocation " << failure << " on process " << short_of_memory + 1;
                EXPECT_EQ(contents(path), failure ? old : preamble.text + blocksOf(whole));
                EXPECT_FALSE(fs::exists(path + ".part"));
                MPI_Barrier(PETSC_COMM_WORLD);
                if (rank() == 0 && !failure) std::ofstream(path) << old;
                MPI_Barrier(PETSC_COMM_WORLD);
            });
    MPI_Barrier(PETSC_COMM_WORLD);
    if (rank() == 0) fs::remove_all(folder);
}

class Kept : public ResultSink {
  public:
    void modeValues(std::span<const double>) override {}
    void step(const StepResult& step) override { steps.push_back(step); }
    std::vector<StepResult> steps;
};

// The sinks of the whole model take a whole step at once and the processes' shares, put together on
// the first process, once the run is over.
TEST(ResultShares, TheSharesGatheredOntoTheFirstProcessAreTheWholeStep) {
    const FeMesh mesh = makeBoxMesh({{}, {3, 2, 2}, 3, 2, 1, false});
    StepResult whole = wholeStep(mesh);
    Kept kept;
    GatheringSink gathering(mesh, kept, PETSC_COMM_WORLD);
    if (rank() == 0) {
        gathering.step(whole);
        EXPECT_EQ(kept.steps.size(), 1u);
    }
    whole.number = 4;
    gathering.step(shareOf(whole, interleavedShare(mesh)));
    gathering.finish();
    if (rank() != 0) {
        EXPECT_TRUE(kept.steps.empty());
        return;
    }
    ASSERT_EQ(kept.steps.size(), 2u);
    const StepResult& got = kept.steps[1];
    EXPECT_EQ(got.number, 4);
    EXPECT_FALSE(got.share);
    ASSERT_EQ(got.nodeFields.size(), 2u);
    for (std::size_t f = 0; f < 2; ++f) EXPECT_EQ(got.nodeFields[f].values, whole.nodeFields[f].values);
    EXPECT_EQ(got.corners.nodes, whole.corners.nodes);
    EXPECT_EQ(got.corners.stresses, whole.corners.stresses);
    EXPECT_EQ(got.corners.plasticStrains, whole.corners.plasticStrains);
    EXPECT_EQ(got.elementErrors, whole.elementErrors);
    EXPECT_EQ(got.errorShares, whole.errorShares);
}

}  // namespace
}  // namespace tarvsolv
