#pragma once
// Gmsh is a process-wide library: this object initialises it quietly for one run, keeps its
// messages, and finalises it when the run ends.
#include <string>

namespace velgrin {

class GmshSession {
  public:
    GmshSession();
    ~GmshSession();
    GmshSession(const GmshSession&) = delete;
    GmshSession& operator=(const GmshSession&) = delete;

    // The last error Gmsh reported, or an empty text.
    std::string lastError() const;
};

}  // namespace velgrin
