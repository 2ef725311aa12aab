#pragma once
// The boundary of an incompressible flow as its entries give it: walls and slip walls (restrained
// velocity components, held at 0), inlets (velocities held on faces, numbers or formulas of x, y,
// z and t), pressure faces, the free outlets (faces with nothing on them), and the pressure level
// held at one corner node when no face is open (pressure and free faces fix it otherwise). In a
// solid body nothing flows: its velocities are held at 0, and the pressures of its corners that
// no fluid element shares; its faces and the faces bodies share are never openings.
#include <optional>
#include <vector>

#include "fem/flow_layout.h"
#include "physics/flow_bodies.h"
#include "physics/job.h"

namespace tarvsolv {

// Values that follow temperature (fluid tables, loads in T) are taken at 20 degrees: the flow
// carries no temperature.
inline constexpr double kFluidTemperature = 20;

class FlowConditions {
  public:
    // Holds the walls and the inlets at `time` on `layout`, logs them; throws std::runtime_error
    // when nothing bounds the flow at all, and for a velocity or pressure on a solid's face.
    FlowConditions(const Job& job, FlowLayout& layout, const FlowBodies& bodies, double time, RunLog& log);

    // Moves the held inlet velocities to their values at `time` (walls stay at 0).
    void holdInletsAt(double time);
    // The pressure loads ("bol F 1 P").
    const std::vector<const Load*>& pressureFaces() const { return pressures_; }
    // The restrained faces of fluid bodies (the walls the report gives the fluid's force on) and the
    // faces the fluid may pass (inlets, pressure faces, free outlets), by host face number.
    const std::vector<int>& walls() const { return walls_; }
    const std::vector<int>& openings() const { return openings_; }
    // The corner node whose pressure is held at 0 (no face open), if any.
    std::optional<int> pressureNode() const { return pressureNode_; }

  private:
    void holdSolids(const FlowBodies& bodies, RunLog& log);

    const Job& job_;
    FlowLayout& layout_;
    std::vector<const Load*> pressures_;
    // The inlet velocity unknowns and which load and component each follows.
    struct HeldInlet {
        int dof, node, component;
        const Load* load;
    };
    std::vector<HeldInlet> inlets_;
    std::vector<int> walls_, openings_;
    std::optional<int> pressureNode_;
};

}  // namespace tarvsolv
