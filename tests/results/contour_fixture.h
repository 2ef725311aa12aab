#pragma once
// A Plot command started from a shown explorer on a small solved example: a mesh file and a result
// file in the project folder, a command site whose render device records every call.
#include <filesystem>

#include "formats/mesh.h"
#include "formats/mesh_writer.h"
#include "formats/result_writer.h"
#include "loadcase/header_file.h"
#include "mesh_solve/mesh_store.h"
#include "render/recording_device.h"
#include "results/animation_pacer.h"
#include "results/contours_command.h"
#include "results/contours_dialog.h"
#include "results/display_state.h"
#include "results/quantity_list.h"
#include "support/explorer_fixture.h"

namespace results_test {

// A small mesh for the views: its element order and arrays.
struct ViewMesh {
    std::int32_t nodesPerElement = 4;
    mesh_solve::MeshArrays arrays;

    // Boundary facets as (tag, element, local face) triples.
    void setFacets(std::initializer_list<std::int32_t> records) {
        const std::int32_t* r = records.begin();
        for (std::size_t i = 0; i + 2 < records.size(); i += 3) {
            arrays.facetTags.push_back(r[i]);
            arrays.facetElements.push_back(r[i + 1]);
            arrays.facetFaces.push_back(r[i + 2]);
        }
    }
};

// Two linear tetrahedra sharing face (2, 3, 4), every outer face a boundary facet.
inline ViewMesh twoTetrahedra() {
    ViewMesh m;
    m.arrays.coordinates = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 1};
    m.arrays.connectivity = {1, 2, 3, 4, 5, 3, 2, 4};
    m.setFacets({1, 1, 1, 1, 1, 2, 1, 1, 4, 2, 2, 1, 2, 2, 2, 2, 2, 4});
    return m;
}

// One quadratic tetrahedron: corners 1, 3, 5, 10 of the unit tetrahedron and mid-side nodes halfway
// between them; the faces listed are its boundary facets (tag 0).
inline ViewMesh quadraticTetrahedron(std::initializer_list<std::int32_t> faces) {
    ViewMesh m;
    m.nodesPerElement = 10;
    m.arrays.coordinates = {0, 0,  0, .5, 0, 0,  1,  0, 0,  .5, .5, 0,  0, 1, 0,
                            0, .5, 0, 0,  0, .5, .5, 0, .5, 0,  .5, .5, 0, 0, 1};
    m.arrays.connectivity = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    for (const std::int32_t face : faces) m.setFacets({0, 1, face});
    return m;
}

// The mesh `m` describes, loaded in memory without a file.
inline mesh_solve::Mesh meshOf(const ViewMesh& m) {
    mesh_solve::Mesh mesh;
    const auto nodes = static_cast<std::int32_t>(m.arrays.coordinates.size() / 3);
    const auto elements =
        static_cast<std::int32_t>(m.arrays.connectivity.size() / static_cast<std::size_t>(m.nodesPerElement));
    mesh.load(nodes, elements, m.nodesPerElement, m.arrays);
    return mesh;
}

// Writes `m` as a mesh file.
inline void writeMesh(const std::string& path, const ViewMesh& m) {
    mesh_solve::writeMeshFile(path, m.nodesPerElement, m.arrays);
}

// Stress lines of both elements: sx at node n is 10 n (so von Mises too), node 5 at 100.
inline std::string twoTetrahedraStresses(int step = 1) {
    std::string text = "MESHFILE\nx.meb\nSTRESS " + std::to_string(step) + "\n\n";
    const int nodes[8] = {1, 2, 3, 4, 5, 3, 2, 4};
    for (int i = 0; i < 8; ++i) {
        const int n = nodes[i];
        const double sx = n == 5 ? 100 : 10 * n;
        text +=
            std::to_string(i / 4 + 1) + " " + std::to_string(n) + " " + std::to_string(sx) + " 0 0 0 0 0\n";
    }
    return text + "\n" + "DISP 1\n1 0 0 0\n2 0.1 0 0\n3 0 0.1 0\n4 0 0 0.1\n5 0.1 0.1 0.1\n\n";
}

// Node values of the transient runs on the two tetrahedra at step 10: vectors 0, (3, 4, 0), (0, 0,
// -2), (1, 0, 0) and (0, 6, 8) (magnitudes 0 to 10), scalars 100, 80, 60, 40 and -20; step 5 holds
// half of each.
inline const std::vector<double> kStepTenVectors{0, 0, 0, 3, 4, 0, 0, 0, -2, 1, 0, 0, 0, 6, 8};
inline const std::vector<double> kStepTenScalars{100, 80, 60, 40, -20};
inline std::vector<double> atStep(std::vector<double> v, int step) {
    for (double& x : v) x *= step / 10.0;
    return v;
}

// A transient flow printed at steps 5 and 10: the vectors as its velocities, the scalars as its
// pressures, and the vorticity (0, 0, 0.5) at node 1 and (0, 0, 2) at node 5, 0 elsewhere.
inline std::string twoTetrahedraFlow() {
    const std::vector<double> vorticity{0, 0, 0.5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2};
    std::string text = "MESHFILE\nx.meb\n";
    for (const int step : {5, 10})
        text += results::nodeVectorBlock("VELO", step, atStep(kStepTenVectors, step)) +
                results::nodeScalarBlock("PRES", step, atStep(kStepTenScalars, step)) +
                results::nodeVectorBlock("VORT", step, atStep(vorticity, step));
    return text;
}

// A transient heat run printed at steps 5 and 10: the scalars as its temperatures and, with
// `flux`, the vectors as its heat flux (an older solver wrote none).
inline std::string twoTetrahedraHeat(bool flux) {
    std::string text = "MESHFILE\nx.meb\n";
    for (const int step : {5, 10}) {
        text += results::temperatureBlock(step, atStep(kStepTenScalars, step));
        if (flux) text += results::nodeVectorBlock("FLUX", step, atStep(kStepTenVectors, step));
    }
    return text;
}

class ContourFixture : public ExplorerFixture {
  public:
    ContourFixture() {
        show();
        writeMesh(explorer->document().meshPath(), twoTetrahedra());
        writeFile(explorer->document().jobBasePath() + ".out", twoTetrahedraStresses());
        results::setAnimationPacer(std::make_shared<results::ImmediatePacer>());
    }
    ~ContourFixture() {
        if (command) command->OnTerminate();
        results::setAnimationPacer(nullptr);
        mesh_solve::libraryMesh().release();
    }

    // The loadcase becomes an incompressible flow solved into twoTetrahedraFlow(); the header file
    // tells the results window so.
    void makeFlow() {
        loadcase::Document& doc = explorer->document();
        doc.setAnalysisType(results::kPhysicsFluid);
        doc.setSolveIndex(results::kPhysicsFluid);
        loadcase::writeHeaderFile(doc.jobBasePath() + ".txt", "mm", results::kPhysicsFluid, doc.meshPath());
        writeFile(doc.jobBasePath() + ".out", twoTetrahedraFlow());
    }

    // The loadcase becomes a transient heat run solved into twoTetrahedraHeat(flux).
    void makeHeat(bool flux) {
        loadcase::Document& doc = explorer->document();
        doc.setAnalysisType(results::kPhysicsThermal);
        doc.setSolveIndex(kTransientHeat);
        loadcase::writeHeaderFile(doc.jobBasePath() + ".txt", "mm", kTransientHeat, doc.meshPath());
        writeFile(doc.jobBasePath() + ".out", twoTetrahedraHeat(flux));
    }
    static constexpr int kTransientHeat = 2;

    CContours& start() {
        command = platform::makeRef<CContoursCommand>(explorer.get());
        explorer->setCurrentCommand(command);
        command->Start();
        command->putref_CommandSite(site.get());
        host.setRenderDevice(device);
        return *command->contours();
    }
    // Plots the list line `text` and renders once.
    void plot(CContours& d, const std::string& text) {
        d.userChoose(CContours::kQuantityList, d.findItemExact(CContours::kQuantityList, text));
        render();
    }
    void render() {
        device->clearRecord();
        command->On3DRender();
    }
    std::vector<std::string> texts() const {
        std::vector<std::string> out;
        for (const auto& t : device->texts()) out.push_back(t.text);
        return out;
    }

    platform::RefPtr<hostapp::CommandSite> site = host.newCommandSite();
    platform::RefPtr<render::RecordingDevice> device = platform::makeRef<render::RecordingDevice>();
    platform::RefPtr<CContoursCommand> command;
};

}  // namespace results_test
