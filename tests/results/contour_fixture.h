#pragma once
// A Plot command started from a shown explorer on a small solved example: a mesh file and a result
// file in the project folder, a command site whose render device records every call.
#include <filesystem>

#include "support/explorer_fixture.h"
#include "mesh_solve/mesh.h"
#include "mesh_solve/mesh_file_builder.h"
#include "mesh_solve/mesh_store.h"
#include "render/recording_device.h"
#include "results/animation_pacer.h"
#include "results/contours_command.h"
#include "results/contours_dialog.h"
#include "results/display_state.h"

namespace results_test {

// Two linear tetrahedra sharing face (2, 3, 4), every outer face a boundary facet.
inline mesh_test::MeshFileContent twoTetrahedra() {
    mesh_test::MeshFileContent c;
    c.nodes = 5;
    c.elements = 2;
    c.nodesPerElement = 4;
    c.coordinates = {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 1, 1, 1};
    c.connectivity = {1, 2, 3, 4, 5, 3, 2, 4};
    c.facets = 6;
    c.facetRecords = {1, 1, 1, 1, 1, 2, 1, 1, 4, 2, 2, 1, 2, 2, 2, 2, 2, 4};
    return c;
}

// One quadratic tetrahedron: corners 1, 3, 5, 10 of the unit tetrahedron and mid-side nodes halfway
// between them; the faces listed are its boundary facets (tag 0).
inline mesh_test::MeshFileContent quadraticTetrahedron(std::initializer_list<std::int32_t> faces) {
    mesh_test::MeshFileContent c;
    c.nodes = 10;
    c.elements = 1;
    c.nodesPerElement = 10;
    c.coordinates = {0, 0, 0, .5, 0, 0, 1, 0, 0, .5, .5, 0, 0, 1, 0, 0, .5, 0, 0, 0, .5, .5, 0, .5, 0, .5, .5, 0, 0, 1};
    c.connectivity = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    c.facets = static_cast<std::int32_t>(faces.size());
    for (const std::int32_t face : faces) c.facetRecords.insert(c.facetRecords.end(), {0, 1, face});
    return c;
}

// The mesh `c` describes, loaded in memory without a file.
inline mesh_solve::Mesh meshOf(const mesh_test::MeshFileContent& c) {
    mesh_solve::Mesh mesh;
    mesh_solve::MeshArrays arrays;
    arrays.coordinates = c.coordinates;
    arrays.connectivity = c.connectivity;
    for (std::size_t i = 0; i < c.facetRecords.size(); i += 3) {
        arrays.facetTags.push_back(c.facetRecords[i]);
        arrays.facetElements.push_back(c.facetRecords[i + 1]);
        arrays.facetFaces.push_back(c.facetRecords[i + 2]);
    }
    mesh.load(c.nodes, c.elements, c.nodesPerElement, std::move(arrays));
    return mesh;
}

// Stress lines of both elements: sx at node n is 10 n (so von Mises too), node 5 at 100.
inline std::string twoTetrahedraStresses(int step = 1) {
    std::string text = "MESHFILE\nx.meb\nSTRESS " + std::to_string(step) + "\n\n";
    const int nodes[8] = {1, 2, 3, 4, 5, 3, 2, 4};
    for (int i = 0; i < 8; ++i) {
        const int n = nodes[i];
        const double sx = n == 5 ? 100 : 10 * n;
        text += std::to_string(i / 4 + 1) + " " + std::to_string(n) + " " + std::to_string(sx) + " 0 0 0 0 0\n";
    }
    return text + "\n" + "DISP 1\n1 0 0 0\n2 0.1 0 0\n3 0 0.1 0\n4 0 0 0.1\n5 0.1 0.1 0.1\n\n";
}

class ContourFixture : public ExplorerFixture {
public:
    ContourFixture() {
        show();
        mesh_test::writeFile(explorer->document().meshPath(), twoTetrahedra().bytes());
        writeFile(explorer->document().jobBasePath() + ".out", twoTetrahedraStresses());
        results::setAnimationPacer(std::make_shared<results::ImmediatePacer>());
    }
    ~ContourFixture() {
        if (command) command->OnTerminate();
        results::setAnimationPacer(nullptr);
        mesh_solve::libraryMesh().release();
    }

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
