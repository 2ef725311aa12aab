// The velgrin program end to end: sample parts meshed in both orders and read back with the
// add-on's own mesh reader; local sizes; units; damaged input and unmeshable models.
#include <gtest/gtest.h>

#include <BRepBuilderAPI_MakeFace.hxx>
#include <BRepGProp.hxx>
#include <BRepPrimAPI_MakeBox.hxx>
#include <BRep_Builder.hxx>
#include <BRep_Tool.hxx>
#include <GProp_GProps.hxx>
#include <TopExp.hxx>
#include <TopTools_IndexedMapOfShape.hxx>
#include <TopoDS.hxx>
#include <TopoDS_Compound.hxx>
#include <TopoDS_Edge.hxx>
#include <TopoDS_Vertex.hxx>
#include <gp_Pln.hxx>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <tuple>

#include "cad_model.h"
#include "formats/companion_file.h"
#include "formats/face_tables.h"
#include "formats/mesh_reader.h"
#include "formats/size_field.h"
#include "mesh_checks.h"
#include "sample_parts.h"
#include "support/scratch_folder.h"
#include "velgrin_error.h"
#include "velgrin_runner.h"

namespace velgrin_test {
namespace {

namespace fs = std::filesystem;

class VelgrinTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<ScratchFolder>();
        for (const auto& part : sampleParts()) {
            ASSERT_TRUE(writeStep(part.shape, stepPath(part.name)));
            // The host numbers the model as it reads it from the file, which may list edges in
            // another order than the shape it was written from.
            shapes_[part.name] = velgrin::CadModel::readStep(stepPath(part.name)).shape();
        }
    }
    static void TearDownTestSuite() { folder_.reset(); }

    static std::string stepPath(const std::string& name) { return folder_->file(name + ".step"); }

    // Writes `input` as job `job` (its mesh file named after the job) and runs the mesher on it.
    static RunResult run(const std::string& job, InputText input) {
        input.meshPath = meshPath(job);
        writeFile(inputPath(job), solverInputText(input));
        return runVelgrin(inputPath(job));
    }
    // Meshes `part` with the given settings line and local sizes.
    static RunResult mesh(const std::string& job, const std::string& part, const std::string& settings,
                          std::vector<std::string> localSizes = {}, const std::string& unit = "mm") {
        return run(
            job, {.unit = unit, .stepPath = stepPath(part), .settings = settings, .localSizes = localSizes});
    }
    static std::string inputPath(const std::string& job) { return folder_->file(job + ".txt"); }
    // The companion file of job `job`, read by the solver's reader.
    static formats::MeshCompanion companion(const std::string& job) {
        formats::MeshCompanion file;
        const formats::CompanionReadResult read =
            formats::readCompanionFile(file, folder_->file(job + ".mtp"));
        EXPECT_EQ(read.status, formats::CompanionReadStatus::Read) << read.message;
        return file;
    }
    static std::string meshPath(const std::string& job) { return folder_->file(job + ".meb"); }

    mesh_solve::Mesh read(const std::string& job) {
        mesh_solve::Mesh m;
        const auto result = mesh_solve::readMeshFile(m, meshPath(job));
        EXPECT_EQ(result.status, mesh_solve::MeshReadStatus::Read) << result.message;
        return m;
    }

    static std::unique_ptr<ScratchFolder> folder_;
    static std::map<std::string, TopoDS_Shape> shapes_;
};

std::unique_ptr<ScratchFolder> VelgrinTest::folder_;
std::map<std::string, TopoDS_Shape> VelgrinTest::shapes_;

// The MSET line: element size `upper`, linear (order 0) or quadratic (1) elements.
std::string settings(double upper, int order) {
    return " " + std::to_string(upper) + " 0 0.5 0.25 0 2 2 3 3 " + std::to_string(order) + " 0";
}

// The stand-in host's sample parts (built into the build folder's samples/) and their element size,
// numbered as the host numbers them: as read from their files.
struct HostPart {
    std::string file;
    double upperSize;
};

// A host part meshed with the MSET order field 0 (linear) or 1 (quadratic).
class SamplePartTest : public VelgrinTest, public ::testing::WithParamInterface<std::tuple<HostPart, int>> {};

std::string partName(const ::testing::TestParamInfo<SamplePartTest::ParamType>& param) {
    return fs::path(std::get<0>(param.param).file).stem().string() +
           (std::get<1>(param.param) ? "_quadratic" : "_linear");
}

TEST_P(SamplePartTest, MeshMatchesTheModel) {
    const auto& [part, order] = GetParam();
    const std::string step = std::string(KOLVANE_SAMPLES_DIR) + "/" + part.file;
    if (!fs::exists(step)) GTEST_SKIP() << "the host's sample parts are not built: " << step;
    const TopoDS_Shape shape = velgrin::CadModel::readStep(step).shape();
    const std::string job = fs::path(part.file).stem().string() + "_" + std::to_string(order);
    const RunResult result = run(job, {.stepPath = step, .settings = settings(part.upperSize, order)});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    const mesh_solve::Mesh m = read(job);
    ASSERT_EQ(m.nodesPerElement(), order == 1 ? 10 : 4);
    ASSERT_GT(m.elementCount(), 0);
    EXPECT_TRUE(fs::exists(folder_->file(job + ".mtp")));
    EXPECT_NE(result.log.find("summary: nodes=" + std::to_string(m.nodeCount()) +
                              ", elements=" + std::to_string(m.elementCount()) +
                              ", facets=" + std::to_string(m.facetCount())),
              std::string::npos)
        << result.log;

    // Every element is positive under the add-on's node order; together they fill the model.
    double total = 0;
    int folded = 0;
    for (int e = 1; e <= m.elementCount(); ++e) {
        folded += smallestJacobian(m, e) <= 0;
        total += elementVolume(m, e);
    }
    EXPECT_EQ(folded, 0);
    const double tolerance = order == 1 ? 0.005 : 0.03;
    EXPECT_NEAR(total / cadVolume(shape), 1.0, tolerance);
    RecordProperty("volume_error_percent", std::to_string(100 * (total / cadVolume(shape) - 1)));
    RecordProperty("elements", m.elementCount());

    // Every host face has facets, and the facets tagged with a face lie on it (mid-side nodes too).
    const auto faces = hostFaces(shape);
    std::map<int, std::vector<int>> facetsOfFace;
    for (int f = 0; f < m.facetCount(); ++f) facetsOfFace[m.facetTags()[f]].push_back(f);
    for (std::size_t i = 0; i < faces.size(); ++i) {
        const int face = static_cast<int>(i) + 1;
        const auto& facets = facetsOfFace[face];
        ASSERT_FALSE(facets.empty()) << "face " << face;
        const std::size_t stride = std::max<std::size_t>(1, facets.size() / 12);
        for (std::size_t k = 0; k < facets.size(); k += stride)
            for (const auto& p : facetNodes(m, facets[k]))
                ASSERT_LT(distanceTo(faces[i], p), 1e-5) << "face " << face << " facet " << facets[k];
    }
    EXPECT_EQ(facetsOfFace.size(), faces.size()) << "facet tags outside the host's face numbers";
    // A large model's volumes are meshed by Gmsh's parallel mesher, the others' by its default.
    EXPECT_EQ(result.log.find("parallel mesher on") != std::string::npos, m.facetCount() >= 40000)
        << result.log;
}

INSTANTIATE_TEST_SUITE_P(
    HostSamples, SamplePartTest,
    ::testing::Combine(::testing::Values(HostPart{"beam.step", 8}, HostPart{"bracket.step", 8},
                                         HostPart{"plate.step", 8}, HostPart{"two_solids.step", 5},
                                         HostPart{"tube.step", 5}),
                       ::testing::Values(0, 1)),
    partName);

// The bracket at 0.8 mm: over 40,000 surface facets, so its volumes are meshed in parallel.
INSTANTIATE_TEST_SUITE_P(LargeHostSample, SamplePartTest,
                         ::testing::Values(std::tuple{HostPart{"bracket.step", 0.8}, 0}), partName);

TEST_F(VelgrinTest, SecondBodyContinuesTheNumbersAndKeepsItsElementsTogether) {
    ASSERT_EQ(mesh("two", "two_bodies", settings(5, 1)).exitCode, 0);
    const mesh_solve::Mesh m = read("two");
    // The box has faces 1 to 6; the cylinder, the second body, 7 to 9 (the host samples check that
    // facets lie on the face of their tag). The companion file puts each body's elements in one range.
    const std::vector<formats::CompanionBody> bodies = companion("two").bodies;
    ASSERT_EQ(bodies.size(), 2u);
    const int firstEnd = bodies[0].lastElement;
    EXPECT_EQ(bodies[0].firstElement, 1);
    EXPECT_EQ(bodies[1].firstElement, firstEnd + 1);
    EXPECT_EQ(bodies[1].lastElement, m.elementCount());
    for (int e = 1; e <= m.elementCount(); ++e)
        ASSERT_EQ(m.nodePosition(m.elementNodes(e)[0]).x > 50, e > firstEnd) << "element " << e;
}

// How many nodes of `m` lie on the point of another.
int doubledNodes(const mesh_solve::Mesh& m) {
    std::set<std::tuple<long, long, long>> points;
    int doubled = 0;
    for (int n = 1; n <= m.nodeCount(); ++n) {
        const auto p = m.nodePosition(n);
        doubled +=
            !points.insert({std::lround(p.x * 1e6), std::lround(p.y * 1e6), std::lround(p.z * 1e6)}).second;
    }
    return doubled;
}

// Two boxes that meet on a whole face of each, written to STEP (which keeps that face once per
// solid): a flow meshes the face once, its nodes common to both bodies and a facet of each body's
// face on either side; any other analysis keeps the bodies apart as they were. Boxes that meet on
// part of a face, or overlap, are refused for a flow.
TEST_F(VelgrinTest, AFlowsBodiesShareTheFacesTheyMeetOn) {
    const auto boxes = [&](const char* name, double x, double width) {
        TopoDS_Compound both;
        BRep_Builder builder;
        builder.MakeCompound(both);
        builder.Add(both, BRepPrimAPI_MakeBox(gp_Pnt(0, 0, 0), 10, 10, 10).Shape());
        builder.Add(both, BRepPrimAPI_MakeBox(gp_Pnt(x, 0, 0), 10, width, 10).Shape());
        EXPECT_TRUE(writeStep(both, stepPath(name)));
        return stepPath(name);
    };
    const std::string touching = boxes("touching", 10, 10);
    for (int analysis : {0, 8, 10}) {
        const std::string job = "touching_" + std::to_string(analysis);
        const RunResult r =
            run(job, {.stepPath = touching, .settings = settings(5, 1), .analysis = analysis});
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const mesh_solve::Mesh m = read(job);
        const int doubled = doubledNodes(m);
        int onSharedFace[2] = {0, 0};  // facets tagged with face 2 (x = 10 of body 1) and 7 (of body 2)
        for (int f = 0; f < m.facetCount(); ++f) {
            onSharedFace[0] += m.facetTags()[f] == 2;
            onSharedFace[1] += m.facetTags()[f] == 7;
        }
        EXPECT_GT(onSharedFace[0], 0);
        if (analysis == 0) {
            EXPECT_GT(doubled, 0) << "a mechanical model's touching bodies stay apart";
        } else {
            EXPECT_EQ(doubled, 0) << "analysis " << analysis;
            EXPECT_EQ(onSharedFace[0], onSharedFace[1]);
            EXPECT_NE(r.log.find("flow: 1 faces shared by two bodies"), std::string::npos) << r.log;
        }
    }
    const RunResult partial = run("partial", {.stepPath = boxes("partial", 10, 5), .analysis = 8});
    EXPECT_EQ(partial.exitCode, 2);
    EXPECT_NE(partial.err.find("each must have the same face"), std::string::npos) << partial.err;
    const RunResult overlapping =
        run("overlapping", {.stepPath = boxes("overlapping", 5, 10), .analysis = 8});
    EXPECT_EQ(overlapping.exitCode, 2);
    EXPECT_NE(overlapping.err.find("overlap"), std::string::npos) << overlapping.err;
    EXPECT_FALSE(fs::exists(meshPath("overlapping")));
}

// Face sizes are checked by the hole end-to-end run, whose peak stress at the hole needs them.
TEST_F(VelgrinTest, PointSizeRefinesAroundThePoint) {
    auto nodesNearOrigin = [&](const std::string& job) {
        const mesh_solve::Mesh m = read(job);
        int near = 0;
        for (int n = 1; n <= m.nodeCount(); ++n) {
            const auto p = m.nodePosition(n);
            near += std::hypot(p.x, p.y, p.z) < 6;
        }
        return near;
    };
    ASSERT_EQ(mesh("plain", "beam", settings(8, 0)).exitCode, 0);
    ASSERT_EQ(mesh("pointed", "beam", settings(8, 0), {"pxs 0,0,0 1.000000"}).exitCode, 0);
    EXPECT_GT(nodesNearOrigin("pointed"), 3 * nodesNearOrigin("plain"));
}

// The box [-1, 201] x [-1, 21] x [-1, 11] around the beam in six tetrahedra, with the size
// `sizeAt(x)` at each corner.
template <typename SizeAt>
formats::SizeField beamSizeField(const std::string& unit, double perMillimetre, SizeAt sizeAt) {
    formats::SizeField field;
    field.unitText = unit;
    for (int corner = 0; corner < 8; ++corner) {
        const double x = corner & 1 ? 201 : -1, y = corner & 2 ? 21 : -1, z = corner & 4 ? 11 : -1;
        field.positions.push_back({x * perMillimetre, y * perMillimetre, z * perMillimetre});
        field.sizes.push_back(sizeAt(x) * perMillimetre);
    }
    // The diagonal 1-8 shared by all six (Kuhn's subdivision).
    field.tetrahedra = {{1, 2, 4, 8}, {1, 4, 3, 8}, {1, 3, 7, 8}, {1, 7, 5, 8}, {1, 5, 6, 8}, {1, 6, 2, 8}};
    return field;
}

// A refinement asks for sizes by a field: 3 mm at one end of the beam growing to 6 mm at the other
// gives the smaller elements where it asks, in the display unit; sizes above the user's upper size are held
// to it; a damaged field stops the run before a mesh is written.
TEST_F(VelgrinTest, RefinementSizeFieldRefinesWhereItAsksUnderTheUserSizes) {
    auto elementsAtEnds = [&](const std::string& job, double perMillimetre) {
        const mesh_solve::Mesh m = read(job);
        std::pair<int, int> ends{0, 0};
        for (int e = 1; e <= m.elementCount(); ++e) {
            const double x = m.nodePosition(m.elementNodes(e)[0]).x / perMillimetre;
            ends.first += x < 20;
            ends.second += x > 180;
        }
        return ends;
    };
    const std::string field = folder_->file("beam.size");
    ASSERT_TRUE(formats::writeSizeField(
        field, beamSizeField("cm", 0.1, [](double x) { return x < 100 ? 3.0 : 6.0; })));
    auto input = [&](const std::string& job) {
        InputText text{.unit = "cm",
                       .stepPath = stepPath("beam"),
                       .meshPath = meshPath(job),
                       .settings = settings(0.6, 0)};
        writeFile(inputPath(job), solverInputText(text));
        return inputPath(job);
    };
    const RunResult refined = runVelgrin(input("sized"), field);
    ASSERT_EQ(refined.exitCode, 0) << refined.log;
    EXPECT_NE(refined.log.find("refinement size field: 6 elements, sizes 0.3 to 0.6"), std::string::npos);
    const auto [fine, coarse] = elementsAtEnds("sized", 0.1);
    // Sizes of about 3.2 and 5.7 mm in the end 20 mm: six times the elements in a 3-D mesh, less
    // what the faces' mesh sets.
    EXPECT_GT(fine, 3 * coarse);

    // A field asking for 50 mm meshes as one asking for the upper size of 6 mm.
    ASSERT_TRUE(formats::writeSizeField(field, beamSizeField("cm", 0.1, [](double) { return 6.0; })));
    ASSERT_EQ(runVelgrin(input("upper"), field).exitCode, 0);
    ASSERT_TRUE(formats::writeSizeField(field, beamSizeField("cm", 0.1, [](double) { return 50.0; })));
    ASSERT_EQ(runVelgrin(input("capped"), field).exitCode, 0);
    EXPECT_EQ(read("capped").elementCount(), read("upper").elementCount());

    writeFile(field, "KOLVANE SIZE FIELD 1\nUNIT cm\nNODES 1\n0 0 0 1\nTETRAHEDRA 1\n1 1 1 2\nEND\n");
    const RunResult damaged = runVelgrin(input("damaged"), field);
    EXPECT_EQ(damaged.exitCode, static_cast<int>(velgrin::ExitCode::BadInput));
    EXPECT_NE(damaged.log.find("is damaged"), std::string::npos) << damaged.log;
    EXPECT_FALSE(fs::exists(meshPath("damaged")));
}

TEST_F(VelgrinTest, MeshIsInTheDisplayUnit) {
    // The STEP model is in millimetres; the header's unit is centimetres, and so are the sizes.
    ASSERT_EQ(mesh("cm", "beam", settings(0.8, 0), {}, "cm").exitCode, 0);
    const mesh_solve::Mesh m = read("cm");
    double largestX = 0, total = 0;
    for (int n = 1; n <= m.nodeCount(); ++n) largestX = std::max(largestX, m.nodePosition(n).x);
    for (int e = 1; e <= m.elementCount(); ++e) total += elementVolume(m, e);
    EXPECT_NEAR(largestX, 20.0, 1e-9);
    EXPECT_NEAR(total, 40.0, 1e-9);
    // An element size of 0.8 cm over a 20 cm beam: at least 25 elements along it.
    EXPECT_GT(m.elementCount(), 25 * 2 * 6);
}

TEST_F(VelgrinTest, CompanionFileListsNodesOfEveryHostEntityAndEdgeSizesRefine) {
    ASSERT_EQ(mesh("edges", "bracket", settings(8, 1)).exitCode, 0);
    const mesh_solve::Mesh m = read("edges");
    const formats::MeshCompanion c = companion("edges");
    std::map<int, std::set<int>> faceNodes;
    for (const formats::CompanionFace& f : c.faces) faceNodes[f.face] = {f.nodes.begin(), f.nodes.end()};
    const TopoDS_Shape& shape = shapes_.at("bracket");
    TopTools_IndexedMapOfShape edges, vertices;
    TopExp::MapShapes(shape, TopAbs_EDGE, edges);
    TopExp::MapShapes(shape, TopAbs_VERTEX, vertices);
    ASSERT_EQ(c.faces.size(), hostFaces(shape).size());
    ASSERT_EQ(c.edges.size(), std::size_t(edges.Extent()));
    ASSERT_EQ(c.vertices.size(), std::size_t(vertices.Extent()));

    // Each facet's nodes, mid-side nodes included, are listed under the face of its tag.
    for (int f = 0; f < m.facetCount(); ++f) {
        const auto nodes = m.elementNodes(m.facetElements()[f]);
        for (const auto local : mesh_solve::localFaceNodes(m.nodesPerElement(), m.facetFaces()[f]))
            ASSERT_TRUE(faceNodes.at(m.facetTags()[f]).count(nodes[local - 1])) << "facet " << f;
    }
    // Edge nodes lie on their edge, in order along it, and on both faces named with it.
    for (const auto& [edge, faceA, faceB, nodes] : c.edges) {
        ASSERT_GE(nodes.size(), 3u) << "edge " << edge << ": two ends and a mid-side node at least";
        double travelled = 0;
        for (std::size_t i = 0; i < nodes.size(); ++i) {
            const auto p = m.nodePosition(nodes[i]);
            ASSERT_LT(distanceTo(edges(edge), {p.x, p.y, p.z}), 1e-6) << "edge " << edge;
            for (const int face : {faceA, faceB}) {
                if (face == 0) continue;  // a seam edge has one face
                ASSERT_TRUE(faceNodes.at(face).count(nodes[i])) << "edge " << edge;
            }
            if (i > 0) {
                const auto q = m.nodePosition(nodes[i - 1]);
                travelled += std::hypot(p.x - q.x, p.y - q.y, p.z - q.z);
            }
        }
        // A closed edge (a circle) starts and ends at the same vertex, listed once.
        if (TopExp::FirstVertex(TopoDS::Edge(edges(edge)))
                .IsSame(TopExp::LastVertex(TopoDS::Edge(edges(edge))))) {
            const auto p = m.nodePosition(nodes.front()), q = m.nodePosition(nodes.back());
            travelled += std::hypot(p.x - q.x, p.y - q.y, p.z - q.z);
        }
        GProp_GProps props;
        BRepGProp::LinearProperties(edges(edge), props);
        EXPECT_NEAR(travelled, props.Mass(), 0.02 * props.Mass()) << "edge " << edge << " nodes out of order";
    }
    for (const auto& [vertex, node, position] : c.vertices) {
        const gp_Pnt v = BRep_Tool::Pnt(TopoDS::Vertex(vertices(vertex)));
        const auto p = m.nodePosition(node);
        EXPECT_LT(v.Distance(gp_Pnt(p.x, p.y, p.z)), 1e-9) << "vertex " << vertex;
    }

    // A local size on edge 1 puts more nodes on it.
    ASSERT_EQ(mesh("edge_sized", "bracket", settings(8, 1), {"eos 1 1.000000"}).exitCode, 0);
    const formats::MeshCompanion sized = companion("edge_sized");
    ASSERT_EQ(sized.edges.at(0).edge, 1);
    ASSERT_EQ(c.edges.at(0).edge, 1);
    EXPECT_GT(sized.edges[0].nodes.size(), 2 * c.edges[0].nodes.size());
}

struct FailureCase {
    std::string name;
    int exitCode;
    std::string messagePart;
};

class VelgrinFailureTest : public VelgrinTest, public ::testing::WithParamInterface<FailureCase> {
  protected:
    // Writes the job of each case; answers the input path.
    std::string prepare(const std::string& name) {
        InputText input;
        input.stepPath = stepPath("beam");
        input.meshPath = meshPath(name);
        if (name == "missing_input") return folder_->file("nowhere.txt");
        if (name == "missing_step") input.stepPath = folder_->file("nowhere.step");
        if (name == "face_out_of_range") input.localSizes = {"bos 99 2.0"};
        if (name == "damaged_step")
            writeFile(input.stepPath = folder_->file("damaged.step"), "ISO-10303-21;\nHEADER;garbage");
        if (name == "no_solid") {
            input.stepPath = folder_->file("face_only.step");
            EXPECT_TRUE(writeStep(BRepBuilderAPI_MakeFace(gp_Pln(), 0, 10, 0, 10).Shape(), input.stepPath));
        }
        std::string text = solverInputText(input);
        if (name == "missing_mfile") text.replace(text.find("MFILE\n"), 6, "");
        writeFile(inputPath(name), text);
        return inputPath(name);
    }
};

TEST_P(VelgrinFailureTest, ClearMessageNonZeroExitAndNoMeshFile) {
    const FailureCase c = GetParam();
    const RunResult run = runVelgrin(prepare(c.name));
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    EXPECT_NE(run.err.find(c.messagePart), std::string::npos) << run.err;
    if (c.name != "missing_input") {
        EXPECT_NE(run.log.find("velgrin error: "), std::string::npos) << run.log;
    }
    EXPECT_FALSE(fs::exists(meshPath(c.name)));
    EXPECT_FALSE(fs::exists(folder_->file(c.name + ".mtp")));
    for (const auto& entry : fs::directory_iterator(fs::path(meshPath(c.name)).parent_path()))
        EXPECT_EQ(entry.path().string().find(".part"), std::string::npos) << entry.path();
}

INSTANTIATE_TEST_SUITE_P(Failures, VelgrinFailureTest,
                         ::testing::Values(FailureCase{"missing_input", 1, "cannot be opened"},
                                           FailureCase{"missing_mfile", 1, "has no MFILE section"},
                                           FailureCase{"face_out_of_range", 1,
                                                       "names face 99, but the model has 6 faces"},
                                           FailureCase{"missing_step", 2, "does not exist"},
                                           FailureCase{"damaged_step", 2, "cannot be read"},
                                           FailureCase{"no_solid", 2, "holds no solid body"}),
                         [](const auto& param) { return param.param.name; });

}  // namespace
}  // namespace velgrin_test
