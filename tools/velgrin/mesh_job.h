#pragma once
// Everything one mesher run is asked to do, as read from the solver input file.
#include <array>
#include <string>
#include <vector>

namespace velgrin {

// The parameter line of the MSET section, field by field, in the display length unit.
struct MesherSettings {
    double upperSize = 0;        // 1: largest element size; 0 or less means "no bound given"
    double lowerSize = 0;        // 2: smallest element size
    double fineness = 0.5;       // 3: 0 (very coarse) to 1 (very fine)
    double grading = 0.25;       // 4: 0 (uniform) to 1 (extreme)
    double closeEdgeFactor = 0;  // 5: 0 switches the close-edge refinement off
    int curveElements = 2;       // 6: elements per radius of curvature
    int edgeElements = 2;        // 7: least elements along any edge
    int surfaceSteps = 3;        // 8: smoothing passes of the surface mesh
    int volumeSteps = 3;         // 9: most optimisation passes of the volume mesh
    int order = 1;               // 10: 0 linear, 1 quadratic
};

enum class LocalSizeTarget { Face, Edge, Point };

// One ESIZE line: "bos <face> <size>", "eos <edge> <size>" or "pxs <x>,<y>,<z> <size>".
struct LocalSize {
    LocalSizeTarget target = LocalSizeTarget::Face;
    int entity = 0;                        // host face or edge number (faces and edges)
    std::array<double, 3> point{0, 0, 0};  // display-unit coordinates (points)
    double size = 0;                       // display units
    int line = 0;                          // line in the input file, for messages
};

struct MeshJob {
    std::string inputPath;
    std::string unitText;      // "mm", "cm", "m.", "in", "ft"
    double scale = 1;          // the add-on's length scale (host units to display units)
    int nodesPerElement = 10;  // from HEADER; MSET's order field decides when present
    int analysisCode = 0;      // HEADER's ana=
    std::string stepPath;      // MODEL
    std::string meshPath;      // MFILE
    bool hasSettingsLine = false;
    MesherSettings settings;
    std::vector<LocalSize> localSizes;
    std::string sizeFieldPath;       // the sizes a refinement asks for (formats/size_field.h); empty: none
    std::vector<std::string> notes;  // things the run log should mention (defaults taken, entries skipped)
};

}  // namespace velgrin
