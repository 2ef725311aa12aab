#pragma once
// The parts the mesher is tested and measured on, made with OpenCASCADE and written as STEP files
// (millimetres).
#include <string>
#include <vector>

#include <TopoDS_Shape.hxx>

namespace velgrin_test {

struct SamplePart {
    std::string name;  // file stem: "beam", "bracket", "plate_with_hole", "two_bodies", "cylinder"
    TopoDS_Shape shape;
};

// A 200 x 20 x 10 beam; an L-shaped bracket (80 x 40 x 8 base with two holes, 8 x 40 x 60 upright
// with one); a 100 x 60 x 5 plate with a hole of radius 10 in its middle; two separate bodies in one
// compound (a 40 x 20 x 10 box and a cylinder of radius 8, height 30); a cylinder of radius 10, height 30.
std::vector<SamplePart> sampleParts();

// Writes `shape` as a STEP file; false when it could not be written.
bool writeStep(const TopoDS_Shape& shape, const std::string& path);

}  // namespace velgrin_test
