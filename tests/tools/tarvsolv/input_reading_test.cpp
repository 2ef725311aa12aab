// Reading the solver input, its entries, tables and formulas, materials, the result preamble, the
// companion file, and writing result blocks.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <sstream>

#include "fem/box_mesh.h"
#include "io/result_file.h"
#include "io/result_file_sink.h"
#include "io/solver_input.h"
#include "physics/job.h"
#include "physics/materials.h"
#include "physics/mesher_companion.h"
#include "physics/model_entries.h"
#include "physics/unit_system.h"
#include "support/format_files.h"

namespace tarvsolv {
namespace {

using ::testing::HasSubstr;

// An input as the add-on writes it for a natural-frequency solve, with every section.
const char* kFullInput =
    "HEADER\n0.001 m. scale=1000 nod=4 elem=0 ana=3 1e-06 0 5\n"
    "MODEL\nC:\\p\\dump.stp\nMFILE\nC:\\p\\case 1.meb\n"
    "SOLVE\n5,20,0,0,0,1e-07\n"
    "TABLES\n tabl0, 2, 0, 1, 0, 100\n tabm0, 2, 20, 120, 200000, 180000\n"
    "MSET\n 1:0 0 0.5 0.25 0 2 2 3 3 1 0\n"
    "MATERIALS\n1  tabm0,0.3,1.2e-05,7850,0,0,0,0,0,0,0,0,0\n"
    "ESIZE\nbos 3 2.000000\n"
    "LOADS\nbol 3 1 tabl0*2\npxf 1,2,3 10, 0, -5\nefl 1 2 0 0, x, 0\nal 0, 0, -9.81\ncx 0,0,0 0 0 1 100\nt "
    "C:\\p\\hot case.out\n"
    "RESTRAINTS\nbor 7 0 0 0\nefr 1 2 1 0 1\neor 4 0 1 1\npor 2 1 1 0\npxr 1.5,2,3 0 1 1\n"
    "CONSTRAINTS\nbocn 2 0.1\nboc 5 0,0,2,0.5\n";

TEST(SolverInput, ReadsEverySectionOfTheAddOnsFile) {
    const SolverInput input = parseSolverInput(kFullInput, "job.txt");
    EXPECT_EQ(input.unitText, "m.");
    EXPECT_EQ(input.lengthScale, 1000);
    EXPECT_EQ(input.nodesPerElement, 4);
    EXPECT_EQ(solveKind(input), SolveKind::Modes);
    EXPECT_EQ(input.meshPath, "C:\\p\\case 1.meb");
    EXPECT_EQ(input.row2(), 5);
    EXPECT_EQ(input.solve[1], 20);
    // The sixth value is the tolerance; a line of five (the golden file's) has none.
    EXPECT_EQ(input.tolerance, 1e-07);
    RunLog log("", false, false);
    EXPECT_EQ(iterativeTolerance(input.tolerance, log), 1e-07);
    EXPECT_EQ(iterativeTolerance(0, log), kIterativeTolerance);
    EXPECT_EQ(iterativeTolerance(1e-15, log), kToleranceFloor);
    for (double bad : {-1e-6, 1.0}) EXPECT_THROW(iterativeTolerance(bad, log), std::runtime_error) << bad;
    EXPECT_EQ(input.meshSettings, "1:0 0 0.5 0.25 0 2 2 3 3 1 0");

    const ModelEntries m = readModelEntries(input, Physics::Mechanical);
    ASSERT_EQ(m.restraints.size(), 5u);
    const EntityRef::Kind kinds[] = {EntityRef::Kind::Face, EntityRef::Kind::EdgeByFaces,
                                     EntityRef::Kind::Edge, EntityRef::Kind::Vertex};
    for (std::size_t r = 0; r < 4; ++r) EXPECT_EQ(m.restraints[r].where.kind, kinds[r]) << "restraint " << r;
    EXPECT_EQ(m.restraints[0].where.first, 7);
    EXPECT_EQ(m.restraints[0].fixed, (std::array<bool, 3>{true, true, true}));
    EXPECT_EQ(m.restraints[1].fixed, (std::array<bool, 3>{false, true, false}));
    EXPECT_EQ(m.restraints[4].where.point.x, 1.5);
    ASSERT_EQ(m.loads.size(), 6u);
    const LoadKind loadKinds[] = {LoadKind::Pressure, LoadKind::Force, LoadKind::Traction,
                                  LoadKind::Acceleration, LoadKind::Spin};
    for (std::size_t l = 0; l < 5; ++l) EXPECT_EQ(m.loads[l].kind, loadKinds[l]) << "load " << l;
    EXPECT_EQ(m.loads[0].values[0](EvalPoint{}), 200);  // the table at the end of the step, doubled
    EXPECT_EQ(m.loads[1].values[2](EvalPoint{}), -5);
    EXPECT_EQ(m.loads[2].values[1](EvalPoint{{4, 0, 0}}), 4);
    EXPECT_EQ(m.loads[4].axisDirection.z, 1);
    EXPECT_EQ(m.loads[5].path, "C:\\p\\hot case.out");
    ASSERT_EQ(m.constraints.size(), 2u);
    EXPECT_EQ(m.constraints[1].direction.z, 1);
    EXPECT_EQ((*m.constraints[1].value)(EvalPoint{}), 0.5);

    // The material's Young's modulus follows its temperature table.
    const MaterialSet materials(m, Physics::Mechanical);
    EXPECT_DOUBLE_EQ(materials.forBody(1).elasticAt(EvalPoint{{}, 1, 70}).mu, 190000 / 2.6);
    EXPECT_THROW(materials.forBody(2), std::runtime_error);
}

// The shared golden solver input, read from its file: a plasticity solve with a step section and a
// SOLVE line of five values. (The header and path fields read as in the test above.)
TEST(SolverInput, ReadsTheGoldenFile) {
    const SolverInput input = readSolverInput(golden::path("solver_input.txt"));
    EXPECT_DOUBLE_EQ(input.lengthScale, 0.03937);
    EXPECT_EQ(solveKind(input), SolveKind::Plastic);
    EXPECT_TRUE(input.tstep);
    EXPECT_EQ(input.modelPath, "/p/dump.stp");
    EXPECT_EQ(input.solve, (std::array<double, 5>{1, 2, 3, 4, 5}));
    EXPECT_EQ(input.tolerance, 0);
    EXPECT_EQ(input.sizes.size(), 3u);
    EXPECT_EQ(input.sizes[2].number, 20);
    EXPECT_EQ(input.constraints.front().text, "boi 4");
    EXPECT_THROW(readSolverInput("/no/such/input.txt"), std::runtime_error);
}

TEST(SolverInput, RefusesEntriesItCannotSolveOrRead) {
    auto read = [](const std::string& section, const std::string& line) {
        return readModelEntries(
            parseSolverInput("HEADER\n0.001 mm scale=1 nod=10 elem=0 ana=0\n" + section + "\n" + line + "\n",
                             "r"),
            Physics::Mechanical);
    };
    auto message = [&](const std::string& section, const std::string& line) {
        try {
            read(section, line);
        } catch (const std::runtime_error& e) {
            return std::string(e.what());
        }
        return std::string("accepted");
    };
    const char* refusals[][3] = {{"CONSTRAINTS", "bog 3 0,0,1", "the plane's three numbers and the gap"},
                                 {"CONSTRAINTS", "bogn 3", "the gap is missing"},
                                 {"CONSTRAINTS", "boi x", "not a whole number"},
                                 {"LOADS", "xyz 3 1 5", "unknown load"},
                                 {"LOADS", "bol 3 2 5, 20", "not a mechanical load"},
                                 {"LOADS", "bol 3 1 5+", "cannot read the value"},
                                 {"LOADS", "bol 3 0 1, 2", "expected 3"},
                                 {"LOADS", "bol 3 1 tabl9", "'tabl9' is neither a table"},
                                 {"RESTRAINTS", "bor x 0 0 0", "not a whole number"},
                                 {"RESTRAINTS", "bor 3 temp 100", "belongs to a thermal loadcase"},
                                 {"TABLES", " tabl1, 2, 0, 1, 5", "row count"}};
    for (const auto& [section, line, part] : refusals)
        EXPECT_THAT(message(section, line), HasSubstr(part)) << line;
    EXPECT_THROW(parseSolverInput("SOLVE\n1e-6,abc\n", "s"), std::runtime_error);
    // A restraint whose fixity was never chosen carries no flags: it fixes nothing, with a warning.
    const ModelEntries m = read("RESTRAINTS", "bor 2 ");
    EXPECT_TRUE(m.restraints.empty());
    EXPECT_EQ(m.warnings.size(), 1u);
    // Two tables of one name (older loadcases) are read, the later one taking the name, with a
    // warning; a numbered second name is a table of its own.
    const ModelEntries twice = read(
        "TABLES", " tabl3, 1, 0, 10\n tabl3, 1, 0, 20\n tabl3_2, 1, 0, 30\nLOADS\nbol 1 1 tabl3+tabl3_2");
    ASSERT_EQ(twice.warnings.size(), 1u);
    EXPECT_THAT(twice.warnings[0], HasSubstr("input line 5: a second table named tabl3"));
    EXPECT_EQ(twice.loads.at(0).values[0](EvalPoint{}), 50);
}

TEST(Tables, InterpolateLinearlyAndHoldTheirEndValues) {
    TableSet tables;
    tables.addLine("tabl1, 3, 0, 2, 1, 0, 100, 50");  // rows out of order: sorted by time
    const Table& t = *tables.find("tabl1");
    for (const auto& [time, value] : {std::pair{-1.0, 0.0}, {0.5, 25.0}, {1.5, 75.0}, {5.0, 100.0}})
        EXPECT_DOUBLE_EQ(t.at(time), value) << time;
    EXPECT_THROW(tables.addLine("tabl2, 1, 0, x"), std::runtime_error);
    const Expression e("tabl1 * (1 + t) + sin(0)", tables);
    EXPECT_DOUBLE_EQ(e(EvalPoint{{}, 1.0}), 100);
    EXPECT_FALSE(e.isConstant());
    EXPECT_TRUE(Expression(" 2.5e3 ", tables).isConstant());
}

TEST(Materials, OrthotropicConstantsAndConductivities) {
    auto entries = [](const std::string& fields) {
        ModelEntries m;
        m.materials.push_back({1, {}, 9});
        std::string field;
        std::istringstream in(fields);
        while (std::getline(in, field, ',')) m.materials.back().fields.push_back(field);
        return m;
    };
    auto law = [&](const std::string& fields) {
        return MaterialSet(entries(fields), Physics::Mechanical).forBody(1).elasticAt(EvalPoint{});
    };
    // E2 and G12 equal to the isotropic values, or left at 0, are no orthotropy.
    EXPECT_TRUE(law("200000,0.25,1e-5,7.8e-9,0,200000,80000,30,1e-5,0,0,0,0").isotropic);
    EXPECT_TRUE(law("200000,0.25,1e-5,7.8e-9,0,0,0,30,0,0,0,0,0").isotropic);
    const ElasticMaterial ortho = law("200000,0.25,1e-5,7.8e-9,0,100000,0,0,2e-5,0,0,0,0");
    EXPECT_FALSE(ortho.isotropic);
    EXPECT_DOUBLE_EQ(ortho.expansion[1], 2e-5);
    // The refusals of invalid constants, which name the material's input line, are solver runs.
    const MaterialSet thermal(entries("0.05,0,0.02,7.8e-9,460"), Physics::Thermal);
    const Vec3 k = thermal.forBody(1).conductivityAt(EvalPoint{});
    EXPECT_EQ((std::array{k.x, k.y, k.z}), (std::array{0.05, 0.05, 0.02}));
}

TEST(UnitSystems, MakeMassAndAccelerationConsistentWithTheLengthUnit) {
    // 1 kg/mm3 x 1 mm3 under 1 m/s2 gives 1 N in every metric unit.
    for (const char* unit : {"mm", "cm", "m."}) {
        const UnitSystem u = unitSystemFor(unit);
        EXPECT_NEAR(u.massScale * u.accelerationScale, 1.0, 1e-12) << unit;
    }
    EXPECT_NEAR(unitSystemFor("in").massScale * 386.08858, 1.0, 1e-9);
    EXPECT_EQ(unitSystemFor("m.").name, "m");
    EXPECT_THROW(unitSystemFor("yd"), std::runtime_error);
}

// A scratch folder for the files of one test.
class SolverFiles : public ::testing::Test {
  protected:
    std::string path(const std::string& name) const { return scratch.file(name); }
    void write(const std::string& name, const std::string& text) const { writeFile(path(name), text); }
    ScratchFolder scratch;
};

TEST_F(SolverFiles, ResultFileKeepsThePreambleAndReplacesEarlierBlocks) {
    write("job.out", "MESHFILE\n/p/job.meb\nBODIES 2\n 1 6 12 8\n 2 9 21 14\nEND\nDISP 1\n1 0 0 0\n\n");
    const ResultPreamble preamble = readResultPreamble(path("job.out"), "/p/other.meb");
    ASSERT_EQ(preamble.bodies.size(), 2u);
    EXPECT_EQ((std::array{preamble.bodyOfFace(6), preamble.bodyOfFace(7)}), (std::array{1, 2}));
    ResultFileSink sink(path("job.out"), preamble);
    StepResult step;
    step.add(NodeQuantity::Temperature, {5});
    sink.step(step);
    sink.write();
    EXPECT_EQ(readFile(path("job.out")),
              "MESHFILE\n/p/job.meb\nBODIES 2\n 1 6 12 8\n 2 9 21 14\nEND\nTEMP 1\n1 5.00000000e+00\n\n");
    EXPECT_FALSE(std::filesystem::exists(path("job.out.part")));
    // Without a result file the preamble names the mesh.
    EXPECT_EQ(readResultPreamble(path("none.out"), "/p/m.meb").text, "MESHFILE\n/p/m.meb\n");
    // A folder that cannot take the file leaves nothing behind and says so.
    EXPECT_THROW(ResultFileSink(path("missing/job.out"), preamble).write(), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(path("missing/job.out.part")));
    // The head the add-on started for a solve is taken before the old result file.
    EXPECT_EQ(preamblePathFor(path("job.out")), path("job.out"));
    write("job.out.head", "MESHFILE\n/p/new.meb\n");
    EXPECT_EQ(preamblePathFor(path("job.out")), path("job.out.head"));
}

TEST_F(SolverFiles, TemperaturesComeFromTheLastTemperatureBlockOfTheSameMesh) {
    // A transient run's printed steps: the last one is taken.
    write("hot.out", "MESHFILE\nm\nTEMP 1\n1 10\n2 20.5\n\nTEMP 40\n1 30\n2 45\n\n");
    const TemperatureBlock last = readTemperatures(path("hot.out"), 2);
    EXPECT_EQ(last.values, (std::vector<double>{30, 45}));
    EXPECT_EQ(last.step, 40);
    EXPECT_EQ(last.blockCount, 2);
    // Another node count, a missing file, a file without temperatures.
    write("none.out", "MESHFILE\nm\nDISP 1\n1 0 0 0\n\n");
    for (const auto& [file, nodes] :
         {std::pair{"hot.out", 3}, {"hot.out", 1}, {"cold.out", 2}, {"none.out", 1}})
        EXPECT_THROW(readTemperatures(path(file), nodes), std::runtime_error) << file << ", " << nodes;
}

TEST_F(SolverFiles, CompanionFileGivesBodiesEdgesAndVertices) {
    const FeMesh mesh = makeBoxMesh({{}, {1, 1, 1}, 2, 1, 1, true});
    // The edge x = 0, y = 0 (box sides 1 and 3): nodes at z = 0, 0.5, 1.
    std::vector<int> edge;
    int corner = 0;
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const Vec3 p = mesh.node(n);
        if (p.x == 0 && p.y == 0) edge.push_back(n + 1);
        if (p.x == 1 && p.y == 1 && p.z == 1) corner = n + 1;
    }
    ASSERT_EQ(edge.size(), 3u);
    std::ostringstream text;
    text << "VELGRIN TOPOLOGY 1\nUNIT mm\nNODES " << mesh.nodeCount() << " ELEMENTS " << mesh.elementCount()
         << "\n";
    text << "BODIES 2\n1 1 6\n2 7 12\nFACES 0\nEDGES 1\n4 1 3 3\n " << edge[0] << " " << edge[1] << " "
         << edge[2] << "\n";
    text << "VERTICES 1\n5 " << corner << " 1 1 1\nEND\n";
    write("m.mtp", text.str());
    EXPECT_EQ(companionPathFor(path("m.meb")), path("m.mtp"));
    const auto companion = readMesherCompanion(path("m.mtp"), mesh);
    ASSERT_TRUE(companion.has_value());
    EXPECT_EQ(companion->elementBodies.front(), 1);
    EXPECT_EQ(companion->elementBodies.back(), 2);
    ASSERT_EQ(companion->edgeSegments.at(4).size(), 1u);
    EXPECT_EQ(companion->vertexNodes.at(5), corner - 1);

    const ModelGeometry geometry(mesh, ResultPreamble{}, *companion);
    EXPECT_EQ(geometry.nodesOf({EntityRef::Kind::Edge, 4, 0, {}}),
              geometry.nodesOf({EntityRef::Kind::EdgeByFaces, 1, 3, {}}));
    EXPECT_EQ(geometry.bodyOfElement(7), 2);

    write("other.mtp", "VELGRIN TOPOLOGY 1\nUNIT mm\nNODES 3 ELEMENTS 1\n");
    EXPECT_THROW(readMesherCompanion(path("other.mtp"), mesh), std::runtime_error);
    EXPECT_FALSE(readMesherCompanion(path("none.mtp"), mesh).has_value());
}

}  // namespace
}  // namespace tarvsolv
