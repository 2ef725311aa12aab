// tarvsolv-ccx: helpers of the CalculiX comparison.
//   faces <job.txt>                 one line per tagged face: tag, facets, area, centroid, mean normal
//   inp <job.txt> <out.inp>         the same mesh, material, restraints and pressures as a CalculiX
//                                   input (C3D10 or C3D4, pressures as *DLOAD on element faces, two
//                                   boi faces as a surface-to-surface *CONTACT PAIR with a linear
//                                   penalty, the finer face the slave): a
//                                   *STATIC step, *BUCKLE for an input with BUCKLE, *FREQUENCY for
//                                   natural frequencies (ana=3), *DYNAMIC, DIRECT
//                                   for forced vibrations (ana=5), and for plasticity (ana=-1) the
//                                   material's yield as *PLASTIC (perfectly plastic) with the
//                                   pressures in 10 fixed increments up to the load factor, as
//                                   tarvsolv steps them; a thermal stress (ana=11) as
//                                   *COUPLED TEMPERATURE-DISPLACEMENT, STEADY STATE (or *UNCOUPLED
//                                   with a third argument "uncoupled") with the held temperatures
//                                   and the stress-free temperature of solve row 2
//   bar <out.meb> <n>               a 200 x 20 x 20 bar along x of 10n x n x n quadratic cells,
//                                   its sides tagged 1 to 6 (x, y, z; min then max)
//   blocks <out.meb> <n>            two 10 mm cubes stacked along z with separate nodes, n and n + 1
//                                   quadratic cells a side, the upper one's faces tagged 7 to 12
//                                   (a part's second body); for the contact comparison
//   factors <job.out> <ccx.dat>     the lowest load factor (or frequency) of each (a ".out" file is read as
//   ours) compare <job.out> <ccx.dat>     the largest difference in the last step's displacements,
//                                   absolute and relative to the largest displacement (a second
//                                   ".out" file is read as one of tarvsolv's)
//   tcompare <job.out> <ccx.dat>    the same for the temperatures
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "fem/box_mesh.h"
#include "fem/element_kernels.h"
#include "fem/fe_mesh.h"
#include "io/solver_input.h"
#include "physics/model_entries.h"
#include "physics/thermal_stress_input.h"

namespace {

using namespace tarvsolv;

// tarvsolv's equal load steps of a plasticity run.
constexpr int kLoadSteps = 10;

struct FaceSummary {
    int facets = 0;
    double area = 0;
    Vec3 centroid, normal;
};

int listFaces(const std::string& inputPath) {
    const SolverInput input = readSolverInput(inputPath);
    const FeMesh mesh = readMeshFile(input.meshPath);
    std::map<int, FaceSummary> faces;
    for (const Facet& f : mesh.facets) {
        FaceSummary& s = faces[f.tag];
        ++s.facets;
        for (const BoundaryPoint& p : facePoints(mesh, f)) {
            s.area += p.measure;
            s.centroid = s.centroid + p.measure * p.x;
            s.normal = s.normal + p.measure * p.normal;
        }
    }
    for (auto& [tag, s] : faces) {
        const Vec3 c = (1.0 / s.area) * s.centroid, n = (1.0 / s.area) * s.normal;
        std::printf("%d %d %.6g %.6g %.6g %.6g %.4f %.4f %.4f\n", tag, s.facets, s.area, c.x, c.y, c.z, n.x,
                    n.y, n.z);
    }
    return 0;
}

// The two numbers after the DYNAMIC section's heading (mass and stiffness damping), 0 without it.
std::pair<double, double> rayleighDamping(const std::string& inputPath) {
    std::ifstream in(inputPath);
    std::string line;
    while (std::getline(in, line))
        if (line.rfind("DYNAMIC", 0) == 0 && std::getline(in, line)) {
            std::istringstream f(line);
            double alpha = 0, beta = 0;
            f >> alpha >> beta;
            return {alpha, beta};
        }
    return {0, 0};
}

// The step line of the analysis the input asks for, and how often nodes are printed.
std::string stepLines(const SolverInput& input, const std::string& inputPath, bool uncoupled,
                      int& printEvery) {
    printEvery = 1;
    char text[200];
    if (input.analysisCode == 5) {
        // The same fixed step as ours (DIRECT: no automatic incrementation), the displacements of
        // the last step only, so that writing the output does not dominate the time.
        const int steps = static_cast<int>(input.solve[1]);
        const double dt = input.solve[2];
        printEvery = steps;
        std::snprintf(text, sizeof text, "*DYNAMIC, DIRECT\n%.9g, %.9g\n", dt, steps * dt);
        return text;
    }
    if (input.analysisCode == -1) {
        std::snprintf(text, sizeof text, "*STATIC, DIRECT\n%.9g, 1\n", 1.0 / kLoadSteps);
        return text;
    }
    if (input.analysisCode == 11) {
        // One increment: the materials do not follow temperature, so the coupled solve has nothing
        // to iterate on beyond its first equilibrium.
        std::snprintf(text, sizeof text, "*%s TEMPERATURE-DISPLACEMENT, STEADY STATE\n1, 1\n",
                      uncoupled ? "UNCOUPLED" : "COUPLED");
        return text;
    }
    if (input.analysisCode == 3) {
        std::snprintf(text, sizeof text, "*FREQUENCY\n%d\n", std::max(1, static_cast<int>(input.row2())));
        return text;
    }
    if (input.buckle) {
        std::snprintf(text, sizeof text, "*BUCKLE\n%d\n", std::max(1, static_cast<int>(input.row2())));
        return text;
    }
    (void)inputPath;
    return "*STATIC\n";
}

// Two boi faces as a contact pair: element-face surfaces, the face with more facets the slave, and
// a linear pressure-overclosure law whose slope is 10 E over the slave's facet size (as our
// penalty).
void writeContactPair(std::ofstream& out, const FeMesh& mesh, const ModelEntries& entries, double young) {
    std::vector<int> faces;
    for (const ContactEntry& c : entries.contacts) {
        if (c.kind != ContactEntry::Kind::Interface)
            throw std::runtime_error("the comparison takes contact between bodies only");
        faces.push_back(c.face);
    }
    if (faces.empty()) return;
    if (faces.size() != 2) throw std::runtime_error("the comparison takes one pair of contact faces");
    std::map<int, int> count;
    std::map<int, double> area;
    for (int face : faces) {
        out << "*SURFACE, NAME=S" << face << ", TYPE=ELEMENT\n";
        for (const Facet& f : mesh.facets)
            if (f.tag == face) {
                out << f.element + 1 << ", S" << f.face + 1 << "\n";
                ++count[face];
                for (const BoundaryPoint& p : facePoints(mesh, f)) area[face] += p.measure;
            }
    }
    const int slave = count[faces[0]] >= count[faces[1]] ? faces[0] : faces[1];
    const int master = slave == faces[0] ? faces[1] : faces[0];
    const double size = std::sqrt(area[slave] / count[slave]);
    out << "*SURFACE INTERACTION, NAME=SI\n*SURFACE BEHAVIOR, PRESSURE-OVERCLOSURE=LINEAR\n"
        << 10 * young / size << "\n*CONTACT PAIR, INTERACTION=SI, TYPE=SURFACE TO SURFACE\n";
    out << "S" << slave << ", S" << master << "\n";
}

int writeBlocks(const std::string& path, int n) {
    BoxSpec lower, upper;
    lower.size = upper.size = {10, 10, 10};
    lower.nx = lower.ny = lower.nz = n;
    upper.nx = upper.ny = upper.nz = n + 1;
    upper.origin = {0, 0, 10};
    FeMesh mesh = makeBoxMesh(lower);
    const FeMesh second = makeBoxMesh(upper);
    const int nodes = mesh.nodeCount(), elements = mesh.elementCount();
    mesh.xyz.insert(mesh.xyz.end(), second.xyz.begin(), second.xyz.end());
    for (int v : second.conn) mesh.conn.push_back(v + nodes);
    for (Facet f : second.facets) {
        f.tag += 6;
        f.element += elements;
        mesh.facets.push_back(f);
    }
    writeMeshFile(mesh, path);
    return 0;
}

int writeBar(const std::string& path, int n) {
    if (n < 1) throw std::runtime_error("the bar needs at least one cell across");
    writeMeshFile(makeBoxMesh({{}, {200, 20, 20}, 10 * n, n, n, true}), path);
    return 0;
}

// The nodes of the facets tagged `face`, each once.
std::vector<int> faceNodes(const FeMesh& mesh, int face) {
    std::map<int, bool> nodes;
    for (const Facet& f : mesh.facets)
        if (f.tag == face)
            for (int n : mesh.faceNodes(f.element, f.face)) nodes[n] = true;
    std::vector<int> list;
    for (const auto& [n, on] : nodes) list.push_back(n);
    return list;
}

// The thermal part of a thermal stress: the conductivity and the expansion of the one material,
// and the stress-free temperature (solve row 2) as every node's initial temperature, from which
// CalculiX measures the thermal strain. Returns the held temperatures' boundary lines.
std::string writeThermalPart(std::ofstream& out, const SolverInput& input, const FeMesh& mesh,
                             const std::vector<std::string>& mechanical) {
    const ModelEntries heat = readModelEntries(thermalPartInput(input), Physics::Thermal);
    if (!heat.loads.empty())
        throw std::runtime_error("the comparison takes held temperatures as the only heat loads");
    for (const MaterialEntry& m : heat.materials)
        if (m.fields != heat.materials[0].fields)
            throw std::runtime_error("the comparison takes one thermal material for every body");
    const auto& fields = heat.materials.at(0).fields;
    const double k = std::stod(fields.at(0));
    for (int axis = 1; axis < 3; ++axis)
        if (const double kAxis = std::stod(fields.at(axis)); kAxis != 0 && kAxis != k)
            throw std::runtime_error("the comparison takes an isotropic conductivity");
    out << "*CONDUCTIVITY\n" << k << "\n*EXPANSION\n" << mechanical.at(2) << "\n";
    std::string held;
    for (const HeldTemperature& h : heat.heldTemperatures) {
        if (h.where.kind != EntityRef::Kind::Face || !h.value.isConstant())
            throw std::runtime_error("the comparison takes constant temperatures held on faces only");
        char value[32];
        std::snprintf(value, sizeof value, "%.9g", h.value(EvalPoint{}));
        for (int n : faceNodes(mesh, h.where.first))
            held += std::to_string(n + 1) + ", 11, 11, " + std::string(value) + "\n";
    }
    out << "*INITIAL CONDITIONS, TYPE=TEMPERATURE\nNALL, " << input.row2() << "\n";
    return held;
}

int writeInp(const std::string& inputPath, const std::string& outPath, bool uncoupled) {
    const SolverInput input = readSolverInput(inputPath);
    const ModelEntries entries = readModelEntries(input, Physics::Mechanical);
    const FeMesh mesh = readMeshFile(input.meshPath);
    for (const MaterialEntry& m : entries.materials)
        if (m.fields != entries.materials[0].fields)
            throw std::runtime_error("the comparison takes one material for every body");
    std::ofstream out(outPath);
    out << "*NODE, NSET=NALL\n";
    char line[200];
    for (int n = 0; n < mesh.nodeCount(); ++n) {
        const Vec3 p = mesh.node(n);
        // CalculiX reads at most 20 characters a number: 12 digits keep every coordinate within that.
        std::snprintf(line, sizeof line, "%d, %.12g, %.12g, %.12g\n", n + 1, p.x, p.y, p.z);
        out << line;
    }
    // The solver's local order (corners, then mid-side nodes 0-1, 1-2, 2-0, 0-3, 1-3, 2-3) is
    // CalculiX's, and its local faces 1..4 are CalculiX's faces 1..4.
    out << "*ELEMENT, TYPE=" << (mesh.nodesPerElement == 10 ? "C3D10" : "C3D4") << ", ELSET=EALL\n";
    for (int e = 0; e < mesh.elementCount(); ++e) {
        out << e + 1;
        for (int n : mesh.elementNodes(e)) out << ", " << n + 1;
        out << "\n";
    }
    const auto& fields = entries.materials[0].fields;
    out << "*MATERIAL, NAME=M1\n*ELASTIC\n" << fields.at(0) << ", " << fields.at(1) << "\n";
    int printEvery = 1;
    const std::string step = stepLines(input, inputPath, uncoupled, printEvery);
    const bool thermalStress = input.analysisCode == 11;
    const std::string heldTemperatures = thermalStress ? writeThermalPart(out, input, mesh, fields) : "";
    if (input.analysisCode == 5 || input.analysisCode == 3) {
        // Density in CalculiX's consistent units: the solver takes kg per length unit cubed and
        // converts to N s2 per length unit (mm: tonnes per mm3).
        out << "*DENSITY\n" << std::stod(fields.at(3)) * 1e-3 << "\n";
        const auto [alpha, beta] = rayleighDamping(inputPath);
        if (alpha != 0 || beta != 0) out << "*DAMPING, ALPHA=" << alpha << ", BETA=" << beta << "\n";
    }
    double loadFactor = 1;
    if (input.analysisCode == -1) {
        out << "*PLASTIC\n" << fields.at(9) << ", 0\n";
        loadFactor = input.solve[4] != 0 ? input.solve[4] : 1;
    }
    out << "*SOLID SECTION, ELSET=EALL, MATERIAL=M1\n";
    writeContactPair(out, mesh, entries, std::stod(fields.at(0)));
    out << "*STEP, INC=1000\n" << step << "*BOUNDARY\n";
    for (const Restraint& r : entries.restraints) {
        if (r.where.kind != EntityRef::Kind::Face)
            throw std::runtime_error("the comparison takes face restraints only");
        for (int n : faceNodes(mesh, r.where.first))
            for (int a = 0; a < 3; ++a)
                if (r.fixed[a]) out << n + 1 << ", " << a + 1 << ", " << a + 1 << "\n";
    }
    out << heldTemperatures;
    if (!entries.loads.empty()) out << "*DLOAD\n";
    for (const Load& load : entries.loads) {
        if (load.kind != LoadKind::Pressure || load.where.kind != EntityRef::Kind::Face ||
            !load.values[0].isConstant())
            throw std::runtime_error("the comparison takes constant pressures on faces only");
        const double p = loadFactor * load.values[0](EvalPoint{});
        for (const Facet& f : mesh.facets)
            if (f.tag == load.where.first) out << f.element + 1 << ", P" << f.face + 1 << ", " << p << "\n";
    }
    out << "*NODE PRINT, NSET=NALL" << (printEvery > 1 ? ", FREQUENCY=" + std::to_string(printEvery) : "")
        << "\nU" << (thermalStress ? ", NT" : "") << "\n*END STEP\n";
    return out ? 0 : 1;
}

// The values of the last block headed `keyword` ("DISP": three a node, "TEMP": one).
std::vector<double> tarvsolvBlock(const std::string& path, const std::string& keyword, int components) {
    std::ifstream in(path);
    std::string line;
    std::vector<double> values;
    while (std::getline(in, line)) {
        if (line.rfind(keyword + " ", 0) != 0) continue;
        values.clear();
        while (std::getline(in, line) && !line.empty()) {
            std::istringstream f(line);
            double n, v;
            f >> n;
            for (int c = 0; c < components && f >> v; ++c) values.push_back(v);
        }
    }
    return values;
}

// The values of the last increment CalculiX printed under a heading holding `heading`
// ("displacements": three a node, "temperatures": one).
std::vector<double> calculixBlock(const std::string& path, const std::string& heading, int components) {
    std::ifstream in(path);
    std::string line;
    std::vector<double> values;
    while (std::getline(in, line)) {
        if (line.find(heading) == std::string::npos) continue;
        values.clear();
        while (std::getline(in, line)) {
            std::istringstream f(line);
            long n;
            std::vector<double> v(components);
            bool read = static_cast<bool>(f >> n);
            for (double& x : v) read = read && f >> x;
            if (!read) {
                if (values.empty()) continue;  // the blank line after the heading
                break;
            }
            if (static_cast<std::size_t>(n) != values.size() / components + 1)
                throw std::runtime_error("CalculiX lists the nodes out of order");
            values.insert(values.end(), v.begin(), v.end());
        }
    }
    return values;
}

// The largest difference of the last block of `ours` against the other file's, absolute and
// relative to the other's largest magnitude.
int compare(const std::string& outPath, const std::string& datPath, bool temperatures) {
    const bool ours = datPath.size() > 4 && datPath.compare(datPath.size() - 4, 4, ".out") == 0;
    const int components = temperatures ? 1 : 3;
    const auto a = tarvsolvBlock(outPath, temperatures ? "TEMP" : "DISP", components),
               b = ours ? tarvsolvBlock(datPath, temperatures ? "TEMP" : "DISP", components)
                        : calculixBlock(datPath, temperatures ? "temperatures" : "displacements", components);
    if (a.size() != b.size() || a.empty()) {
        std::fprintf(stderr, "tarvsolv-ccx: %zu against %zu %s values\n", a.size(), b.size(),
                     temperatures ? "temperature" : "displacement");
        return 1;
    }
    double largest = 0, difference = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        largest = std::max(largest, std::abs(b[i]));
        difference = std::max(difference, std::abs(a[i] - b[i]));
    }
    std::printf("%.6g %.6g %.3e\n", largest, difference, difference / largest);
    return 0;
}

// The lowest load factor or natural frequency: the line after our NATU heading, or CalculiX's
// buckling factor or eigenvalue table.
double lowestFactor(const std::string& path) {
    std::ifstream in(path);
    std::string line;
    const bool ours = path.size() > 4 && path.compare(path.size() - 4, 4, ".out") == 0;
    while (std::getline(in, line)) {
        if (ours && line.rfind("NATU", 0) == 0 && std::getline(in, line)) {
            std::istringstream f(line);
            double value = 0;
            if (f >> value) return value;
        }
        if (!ours && line.find("B U C K L I N G") != std::string::npos)
            while (std::getline(in, line)) {
                std::istringstream f(line);
                int mode = 0;
                double value = 0;
                if (f >> mode >> value) return value;
            }
        // Natural frequencies: mode, eigenvalue, radians and cycles per time.
        if (!ours && line.find("E I G E N V A L U E   O U T P U T") != std::string::npos)
            while (std::getline(in, line)) {
                std::istringstream f(line);
                int mode = 0;
                double eigenvalue = 0, radians = 0, cycles = 0;
                if (f >> mode >> eigenvalue >> radians >> cycles) return cycles;
            }
    }
    throw std::runtime_error("no load factor in " + path);
}

}  // namespace

int main(int argc, char** argv) {
    try {
        const std::string mode = argc > 1 ? argv[1] : "";
        if (mode == "faces" && argc == 3) return listFaces(argv[2]);
        if (mode == "inp" && (argc == 4 || (argc == 5 && std::string(argv[4]) == "uncoupled")))
            return writeInp(argv[2], argv[3], argc == 5);
        if (mode == "blocks" && argc == 4) return writeBlocks(argv[2], std::atoi(argv[3]));
        if (mode == "bar" && argc == 4) return writeBar(argv[2], std::atoi(argv[3]));
        if (mode == "compare" && argc == 4) return compare(argv[2], argv[3], false);
        if (mode == "tcompare" && argc == 4) return compare(argv[2], argv[3], true);
        if (mode == "factors" && argc == 4) {
            std::printf("%.6g %.6g\n", lowestFactor(argv[2]), lowestFactor(argv[3]));
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tarvsolv-ccx: %s\n", e.what());
        return 1;
    }
    std::fprintf(
        stderr,
        "usage: tarvsolv-ccx faces JOB.txt | inp JOB.txt OUT.inp [uncoupled] | blocks OUT.meb N | bar "
        "OUT.meb N | compare JOB.out CCX.dat | tcompare JOB.out CCX.dat | factors JOB.out CCX.dat\n");
    return 2;
}
