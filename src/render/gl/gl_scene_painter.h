#pragma once
// Draws a SceneFrame with OpenGL 1.x fixed function in whatever context is current (off screen
// here, a window's context in the GUI): client-side arrays with one draw per pass, edge flags for
// the outline pass, the 16-texel colour ramp as a 1-D texture, node numbers in a display list,
// the orientation triad with GLU quadrics and bitmap glyphs made from the bundled font.
#include <cstdint>

#include "render/scene_renderer.h"

namespace render::gl {

// Display lists of the glyphs for characters 0 to 255 start here.
inline constexpr unsigned kGlyphListBase = 1000;
inline constexpr int kTriadSize = 150;

class GlScenePainter {
  public:
    // Sets up the context's state, the ramp texture and the glyph lists; the context must be current.
    GlScenePainter();
    ~GlScenePainter();
    GlScenePainter(const GlScenePainter&) = delete;
    GlScenePainter& operator=(const GlScenePainter&) = delete;

    void draw(const SceneFrame& frame);

  private:
    void setUpState();
    void makeRampTexture();
    void makeGlyphLists();
    void setCamera(const SceneFrame& frame);
    void drawSurface(const SceneFrame& frame);
    void drawEdges(const SceneFrame& frame);
    void drawLabels(const SceneFrame& frame);
    void compileNumberList(const SceneFrame& frame);
    void drawTriad(const SceneFrame& frame);
    static void drawText(const SceneLabel& label);

    unsigned texture_ = 0;
    unsigned numberList_ = 0;
    std::uint64_t numberListVersion_ = 0;
    void* quadric_ = nullptr;
};

}  // namespace render::gl
