#pragma once
// Gmsh's C++ interface. Its header derives from std::iterator, which C++17 deprecates; the warning
// concerns Gmsh's header, not this program, so it is silenced here only.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
#include <gmsh.h>
#pragma GCC diagnostic pop
