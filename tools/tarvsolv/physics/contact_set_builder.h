#pragma once
// The points of every gap and contact face of a job, on every process.
#include "physics/contact_point.h"
#include "physics/contact_search.h"
#include "physics/job.h"

namespace tarvsolv {

// Reads the gap and contact faces of `job` into faces and points, and hands the facets of its
// contact faces between bodies to `search` as the facets that points may face. A gap point's gap
// is complete; a point between bodies holds its own facet's part and awaits its pair. Only the
// body that carries the points of a pair (see ContactSearch::carries) gets points.
ContactSet buildContactSet(const Job& job, ContactSearch& search);

}  // namespace tarvsolv
