#pragma once
// Turns a loadcase document and the host's geometry into the solver input file (job base path +
// ".txt") and starts the result file (job base path + ".out"). The mesh command calls it without
// solve values, the solve command with the seven values of its dialog.
#include <array>
#include <optional>
#include <string>

#include "host/host_interfaces.h"
#include "loadcase/loadcase_document.h"
#include "platform/ref_ptr.h"

namespace loadcase {

using SolveValues = std::array<double, 7>;

// What the solver input is written from.
struct SolverInputSource {
    const Document& document;
    // The host geometry the entries' keys name: the part session of a part, the session of an
    // assembly (read as its design session).
    platform::RefPtr<host::IQDPartSession> partSession;
    platform::RefPtr<host::IQDSession> assemblySession;
    // The header's length unit text and the model-to-display length scale.
    std::string unitText;
    double lengthScale = 1.0;
    // 4 or 10: the element of the mesh in memory.
    int nodesPerElement = 10;
};

// 0 when the files were written (or the solver input could not be created); 1 when writing was
// refused ("Assign a Material first", "Create a Mesh first") or the host's bodies could not be read.
// Other host failures throw HostError for the calling command to report.
int writeSolverInput(const SolverInputSource& source, const std::optional<SolveValues>& values);

// The header analysis code of a solve index: 0, 2, 3 -> 0; 1 -> -1; 4 -> 3; 5 -> 5; 6 -> 1; 7 -> 2;
// the fluid analyses 8, 9, 10 and the thermal stress analyses 11 to 14 keep their number; higher
// indexes give 8.
int headerCodeForSolveIndex(int solveIndex);

}  // namespace loadcase
