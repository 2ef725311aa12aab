#pragma once
// Which analysis types this version solves. SOLVE asks here before anything is written or
// started: a loadcase whose analysis cannot be solved keeps its choice and is told why.
#include <string>

namespace mesh_solve {

// What SOLVE tells the user about analysis type `type` when this version does not solve it;
// "" for a type it solves.
std::string unsolvedAnalysisMessage(int type);

}  // namespace mesh_solve
