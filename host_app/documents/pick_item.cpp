#include "documents/pick_item.h"

namespace hostapp {

const char* pickKindWord(PickKind kind) {
    switch (kind) {
        case PickKind::Face:
            return "face";
        case PickKind::Edge:
            return "edge";
        case PickKind::Vertex:
            return "vertex";
        case PickKind::Point:
            return "point";
        case PickKind::Plane:
            return "plane";
    }
    return "?";
}

std::string PickItem::text() const {
    return std::string(pickKindWord(kind)) + ":" + (kind == PickKind::Plane ? plane : std::to_string(number));
}

}  // namespace hostapp
