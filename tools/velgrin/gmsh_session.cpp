#include "gmsh_session.h"

#include <vector>

#include "gmsh_api.h"

namespace velgrin {

GmshSession::GmshSession() {
    gmsh::initialize(0, nullptr, false);
    gmsh::option::setNumber("General.Terminal", 0);
    gmsh::option::setNumber("General.Verbosity", 2);
    // The shape handed over is the one the host numbers; healing would change it.
    gmsh::option::setNumber("Geometry.OCCAutoFix", 0);
    gmsh::logger::start();
}

GmshSession::~GmshSession() {
    gmsh::logger::stop();
    gmsh::finalize();
}

std::string GmshSession::lastError() const {
    std::vector<std::string> lines;
    gmsh::logger::get(lines);
    for (auto it = lines.rbegin(); it != lines.rend(); ++it)
        if (it->rfind("Error", 0) == 0) return *it;
    return {};
}

}  // namespace velgrin
