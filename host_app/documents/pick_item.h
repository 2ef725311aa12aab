#pragma once
// One thing a person can pick in a session: a face, edge or vertex by its number over the whole
// part (from 1), a design point by its number, a reference plane by its name.
#include <stdexcept>
#include <string>

namespace hostapp {

enum class PickKind { Face, Edge, Vertex, Point, Plane };

// The word the scripts and the status bar use for the kind: "face", "edge", "vertex", "point",
// "plane".
const char* pickKindWord(PickKind kind);

struct PickItem {
    PickKind kind = PickKind::Face;
    int number = 0;     // faces, edges, vertices and design points
    std::string plane;  // planes

    // As the scripts write it: "face:3", "point:2", "plane:XY".
    std::string text() const;
    friend bool operator==(const PickItem&, const PickItem&) = default;
};

class PickError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace hostapp
