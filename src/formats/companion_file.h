#pragma once
// The mesher's companion file beside the mesh (".mtp" in place of ".meb"): the element range of
// every body and the mesh nodes on every host face, edge and vertex. Text, written by the mesher and
// read by the solver:
//
//   VELGRIN TOPOLOGY 1 / UNIT <unit> / NODES <n> ELEMENTS <e>
//   BODIES <count>, then "<body> <first element> <last element>" per body
//   FACES <count>, then "<face> <node count>" and the node numbers, ten a line
//   EDGES <count>, then "<edge> <face a> <face b> <node count>" and the nodes along the edge
//   VERTICES <count>, then "<vertex> <node> <x> <y> <z>" (node 0: the vertex carries none)
//   END
#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace formats {

// The mesh path with its ".meb" replaced by ".mtp" (appended when the mesh path has another ending).
std::string companionPathFor(const std::string& meshPath);

struct CompanionBody {
    int body = 0;          // host body number
    int firstElement = 0;  // from 1; a body's elements are numbered consecutively
    int lastElement = 0;
    friend bool operator==(const CompanionBody&, const CompanionBody&) = default;
};

struct CompanionFace {
    int face = 0;            // host face number
    std::vector<int> nodes;  // mesh nodes from 1, ascending
    friend bool operator==(const CompanionFace&, const CompanionFace&) = default;
};

struct CompanionEdge {
    int edge = 0;              // host edge number
    int faceA = 0, faceB = 0;  // the host faces beside the edge, 0 where there is none
    std::vector<int> nodes;    // mesh nodes from 1, in order along the edge
    friend bool operator==(const CompanionEdge&, const CompanionEdge&) = default;
};

struct CompanionVertex {
    int vertex = 0;  // host vertex number
    int node = 0;    // mesh node from 1; 0 when the vertex carries none
    std::array<double, 3> position{};
    friend bool operator==(const CompanionVertex&, const CompanionVertex&) = default;
};

struct MeshCompanion {
    std::string unitText = "mm";
    int nodeCount = 0, elementCount = 0;  // of the mesh it belongs to
    std::vector<CompanionBody> bodies;
    std::vector<CompanionFace> faces;
    std::vector<CompanionEdge> edges;
    std::vector<CompanionVertex> vertices;
    friend bool operator==(const MeshCompanion&, const MeshCompanion&) = default;
};

// Writes `companion` to the open `file`; false when a write fails.
bool writeCompanionFile(std::FILE* file, const MeshCompanion& companion);

enum class CompanionReadStatus {
    Read,       // the file was read whole
    NotOpened,  // there is no such file, or it cannot be opened
    Refused,    // the file is damaged; `message` says where
};

struct CompanionReadResult {
    CompanionReadStatus status = CompanionReadStatus::NotOpened;
    std::string message;
};

// Replaces `companion` with the file at `path`. Every count is checked before it is used, every node
// against the file's node count and every body's range against its element count (vertices may
// name node 0), so a damaged file is refused instead of read in part; `companion` is then empty.
CompanionReadResult readCompanionFile(MeshCompanion& companion, const std::string& path);

}  // namespace formats
