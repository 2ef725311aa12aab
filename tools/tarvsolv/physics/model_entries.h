#pragma once
// The materials, restraints, loads and constraints of the solver input, read from their lines
// into typed entries. Values stay as compiled expressions; geometry references stay as numbers
// until they are resolved on the mesh.
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "fem/vec3.h"
#include "io/solver_input.h"
#include "physics/expressions.h"

namespace tarvsolv {

struct EntityRef {
    enum class Kind { Face, EdgeByFaces, Edge, Vertex, Point, Model };
    Kind kind = Kind::Model;
    int first = 0;   // face, edge or vertex number; first face of an edge
    int second = 0;  // second face of an edge
    Vec3 point;
    std::string describe() const;
};

struct MaterialEntry {
    int body = 0;
    std::vector<std::string> fields;  // the typed fields in dialog order
    int line = 0;
};

struct Restraint {
    EntityRef where;
    std::array<bool, 3> fixed{};  // X, Y, Z
    int line = 0;
};

// A face, edge or vertex of a thermal model held at a temperature: "bor 3 temp 100" (a number, a
// time table or a formula after the reference and the word "temp").
struct HeldTemperature {
    EntityRef where;
    Expression value;
    int line = 0;
};

// What the model's entries mean: the shared load codes and restraints read differently by physics.
enum class Physics { Mechanical, Thermal, Fluid };

enum class LoadKind {
    Traction,
    Pressure,
    Force,
    Acceleration,
    Spin,
    Temperatures,
    HeatFlux,
    Convection,
    HeatGeneration,
    Velocity,       // a flow's velocity held on a face ("bol F 3 vx, vy, vz"); Pressure and Acceleration
                    // serve flows too
    TotalPressure,  // a gas inlet at a total pressure and temperature ("bol F 4 p0, T0")
    InitialState    // a gas's initial pressure and temperature in the whole model ("il p, T")
};

struct Load {
    LoadKind kind = LoadKind::Force;
    EntityRef where;
    std::vector<Expression> values;  // traction / force / acceleration: 3; convection: h, fluid T
    std::string path;                // temperatures: the result file
    Vec3 axisPoint, axisDirection;   // spin
    int line = 0;
};

struct Constraint {
    enum class Kind { NormalDisplacement, PlaneDisplacement };
    Kind kind = Kind::NormalDisplacement;
    int face = 0;
    Vec3 direction;  // plane displacement: the direction the face moves along
    std::optional<Expression> value;
    int line = 0;
};

// A face that may not move through a limit: a gap to a rigid plane (`bog`: the face may move along
// the plane's direction up to the gap), a normal gap (`bogn`: each point's outward normal
// displacement may not exceed the gap) or a contact face (`boi`: it may touch the contact faces of
// other bodies but not pass through them).
struct ContactEntry {
    enum class Kind { PlaneGap, NormalGap, Interface };
    Kind kind = Kind::Interface;
    int face = 0;
    Vec3 direction;                 // plane gap: unit direction toward the plane
    std::optional<Expression> gap;  // plane and normal gaps
    int line = 0;
};

struct ModelEntries {
    TableSet tables;
    std::vector<MaterialEntry> materials;
    std::vector<Restraint> restraints;
    std::vector<HeldTemperature> heldTemperatures;
    std::vector<Load> loads;
    std::vector<Constraint> constraints;
    std::vector<ContactEntry> contacts;
    std::vector<std::string> warnings;
};

// Reads every entry; `physics` chooses how the shared load codes read. Throws std::runtime_error
// naming the line for an entry that cannot be read, an unknown load text, or (a flow) an entry a
// flow does not take.
ModelEntries readModelEntries(const SolverInput& input, Physics physics);
// Reads further restraint and load lines into `m` as `physics` reads them; their values name the
// tables of `m`, which must outlive them.
void readMoreEntries(ModelEntries& m, const std::vector<InputLine>& restraints,
                     const std::vector<InputLine>& loads, Physics physics);

}  // namespace tarvsolv
