#pragma once
// The mesher settings of the mesh dialog, their defaults, and the parameter line the mesher reads
// from the solver input's MSET section ("1:50 0 0.5 0.25 0 2 2 3 3 1 0").
#include <array>
#include <cstdint>
#include <string>

namespace mesh_solve {

inline constexpr std::array<const char*, 5> kFinenessChoices = {
    "very coarse, 0", "coarse, 0.25", "moderate, 0.5", "fine, 0.75", "very fine, 1"};
inline constexpr std::array<const char*, 5> kGradingChoices = {"uniform, 0", "0.25", "medium, 0.5", "0.75",
                                                               "extreme, 1"};
inline constexpr std::array<const char*, 2> kOrderChoices = {"linear", "parabolic"};

// "upper size" starts at this share of the model size.
inline constexpr double kUpperSizeShare = 0.25;

struct MesherSettings {
    int fineness = 2;  // choice index; the mesher gets index x 0.25
    int grading = 1;   // choice index; the mesher gets index x 0.25
    int order = 1;     // 0 linear, 1 parabolic
    double upperSize = 0.0;
    double lowerSize = 0.0;
    double curveElements = 2.0;
    double edgeElements = 2.0;
    double closeEdgeFactor = 0.0;
    double surfaceSteps = 3.0;
    double volumeSteps = 3.0;
};

// The defaults for a model of `modelSize`.
MesherSettings defaultMesherSettings(double modelSize);

// "1:%g %g %g %g %g %d %d %d %d %d 0": upper and lower size, fineness, grading, close edge
// factor, the whole parts of the four counts, the order index.
std::string mesherParameterLine(const MesherSettings& settings);

// Nodes per element of the chosen order: 4 linear, 10 parabolic.
std::int32_t nodesPerElement(const MesherSettings& settings);

}  // namespace mesh_solve
