#pragma once
// The results of a run as VTK files beside the result file, taken from the very result blocks the
// result file gets: "<job>.vtu" for an analysis of one step (statics, steady heat), otherwise
// "<job>.pvd" listing "<job>_<n>.vtu" for every printed step or mode, with the step's time, the
// mode's frequency, the buckling load factor or the load step's load factor as time value.
//
// Point data: displacement (or mode shape), velocity and temperature as the blocks give them; the
// stress tensor, von Mises and the principal stresses, and the plastic strain, each worked out at
// the element corners and averaged per node as the add-on's displays do, mid-side nodes taking the
// mean of their edge's corners. Cell data: the body of each element.
#include <string>
#include <vector>

#include "physics/job.h"

namespace tarvsolv {

// Writes the files and answers their paths; throws std::runtime_error when one cannot be written
// (files written before stay).
std::vector<std::string> writeVtkResults(const Job& job, const std::string& blocks);

}  // namespace tarvsolv
