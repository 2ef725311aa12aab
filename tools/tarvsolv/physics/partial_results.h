#pragma once
// How a stepped run (load steps, time steps) ends when a step does not converge after others did.
#include <stdexcept>

namespace tarvsolv {

// A run that stopped after some steps converged, whose results the run's sinks already hold: what
// converged is written, then the run fails with this message.
struct PartialResults : std::runtime_error {
    using std::runtime_error::runtime_error;
};

}  // namespace tarvsolv
