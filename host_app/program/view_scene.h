#pragma once
// What the host view shows, as the renderer draws it: the session's part seen by the view's
// camera, and the running commands' drawing over it. The host program provides it; the renderer
// sees nothing else of the program.
#include "documents/host_session.h"
#include "program/view_camera.h"
#include "program/view_tessellation.h"

namespace platform {
class IUnknown;
}
namespace render {
class Canvas;
}

namespace hostapp {

class ViewScene {
  public:
    virtual ~ViewScene() = default;
    // The session shown; throws HostAppError when no document is open.
    virtual HostSession& requireSession() const = 0;
    virtual ViewCamera& camera() = 0;
    // Makes the camera ready for a view of this size before it is drawn.
    virtual void prepareView(int width, int height) = 0;
    // The shown session's part as triangles and polylines.
    virtual const ViewTessellation& tessellation() = 0;
    // The running commands draw into the view's 3-D device, then their overlay marks on top.
    virtual bool draw3D(platform::IUnknown* device) = 0;
    virtual void drawOverlays(render::Canvas& canvas) = 0;
};

}  // namespace hostapp
