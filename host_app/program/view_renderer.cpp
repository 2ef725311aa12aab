#define GL_GLEXT_PROTOTYPES 1
#include "program/view_renderer.h"

#include <GL/gl.h>

#include <algorithm>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include "documents/host_geometry.h"
#include "documents/host_points.h"
#include "program/addon_library.h"
#include "program/view_picker.h"
#include "program/view_scene.h"
#include "program/view_tessellation.h"
#include "render/gl/gl_canvas.h"
#include "render/gl/gl_render_device.h"
#include "render/gl/offscreen_context.h"

namespace hostapp {

namespace {

using host::Point3;

constexpr GLfloat kSteel[4] = {0.59f, 0.67f, 0.78f, 1.0f};
constexpr GLfloat kPicked[4] = {0.9f, 0.3f, 0.75f, 1.0f};  // unlike every band colour of the contours
constexpr GLfloat kEdgeGrey = 0.25f;
constexpr GLfloat kPointBlue[3] = {0.1f, 0.2f, 0.8f};
constexpr GLfloat kPlaneGrey[3] = {0.55f, 0.55f, 0.6f};

// What the session's selection holds, as the view marks it.
struct Highlight {
    std::set<std::pair<int, int>> faces, edges, vertices;  // (body, index)
    std::set<int> points;
    std::set<std::string> planes;
};

Highlight highlightOf(const HostSession& session) {
    Highlight h;
    for (platform::IUnknown* object : session.selection().objects()) {
        if (auto* face = dynamic_cast<HostFace*>(object)) {
            h.faces.insert({face->ref().body, face->ref().index});
        } else if (auto* edge = dynamic_cast<HostEdge*>(object)) {
            h.edges.insert({edge->ref().body, edge->ref().index});
        } else if (auto* vertex = dynamic_cast<HostVertex*>(object)) {
            h.vertices.insert({vertex->ref().body, vertex->ref().index});
        } else if (auto* point = dynamic_cast<HostDesignPoint*>(object)) {
            h.points.insert(point->number());
        } else if (auto* plane = dynamic_cast<HostPlane*>(object)) {
            h.planes.insert(plane->name());
        }
    }
    return h;
}

// The camera's matrices as the view's 3-D device gets them, so the part and the contours line up.
void loadCamera(const ViewCamera& camera) {
    render::Matrix4 depthToOpenGl;  // the device's depth 0..1 to OpenGL's -1..1
    depthToOpenGl.m[2][2] = 2;
    depthToOpenGl.m[3][2] = -1;
    const render::Matrix4 projection = camera.projectionMatrix() * depthToOpenGl;
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(&projection.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    const render::Matrix4 view = camera.viewMatrix();
    glLoadMatrixf(&view.m[0][0]);
}

void setUpLight() {
    glPushMatrix();
    glLoadIdentity();
    // The view's eye space has its depth away from the viewer: the light comes from over the
    // viewer's shoulder.
    const GLfloat ambient[] = {0.4f, 0.4f, 0.4f, 1}, diffuse[] = {0.65f, 0.65f, 0.65f, 1},
                  direction[] = {-0.3f, 0.4f, -1.0f, 0};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_POSITION, direction);
    glPopMatrix();
    glLightModeli(GL_LIGHT_MODEL_TWO_SIDE, 1);
    glEnable(GL_LIGHT0);
    glEnable(GL_NORMALIZE);
}

void drawFaces(const ViewTessellation& part, const Highlight& picked) {
    glEnable(GL_LIGHTING);
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonOffset(1.0f, 1.0f);  // edges drawn afterwards stay in front of their faces
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    for (const TessellatedFace& face : part.faces()) {
        if (face.positions.empty()) continue;
        const bool isPicked = picked.faces.count({face.ref.body, face.ref.index}) > 0;
        glMaterialfv(GL_FRONT_AND_BACK, GL_AMBIENT_AND_DIFFUSE, isPicked ? kPicked : kSteel);
        glVertexPointer(3, GL_FLOAT, 0, face.positions.data());
        glNormalPointer(GL_FLOAT, 0, face.normals.data());
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(face.positions.size() / 3));
    }
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_LIGHTING);
}

void drawEdges(const ViewTessellation& part, const Highlight& picked) {
    for (const TessellatedEdge& edge : part.edges()) {
        const bool isPicked = picked.edges.count({edge.ref.body, edge.ref.index}) > 0;
        glLineWidth(isPicked ? 4.0f : 1.5f);
        isPicked ? glColor3fv(kPicked) : glColor3f(kEdgeGrey, kEdgeGrey, kEdgeGrey);
        glBegin(GL_LINE_STRIP);
        for (const Point3& p : edge.points) glVertex3d(p.x, p.y, p.z);
        glEnd();
    }
    glPointSize(9.0f);
    glColor3fv(kPicked);
    glBegin(GL_POINTS);
    for (const TessellatedVertex& vertex : part.vertices())
        if (picked.vertices.count({vertex.ref.body, vertex.ref.index}) > 0)
            glVertex3d(vertex.point.x, vertex.point.y, vertex.point.z);
    glEnd();
}

// Reference planes and design points are drawn over the part, so they can be seen and picked
// wherever they lie.
void drawPointsAndPlanes(const HostSession& session, const Highlight& picked) {
    glDisable(GL_DEPTH_TEST);
    const auto box = session.document().boundingBox();
    for (const auto& plane : session.planes()) {
        const bool isPicked = picked.planes.count(plane->name()) > 0;
        const auto frame = planeFrame(plane->normal(), box);
        glLineWidth(isPicked ? 3.0f : 1.0f);
        isPicked ? glColor3fv(kPicked) : glColor3fv(kPlaneGrey);
        glBegin(GL_LINE_LOOP);
        for (const Point3& corner : frame) glVertex3d(corner.x, corner.y, corner.z);
        glEnd();
    }
    glPointSize(7.0f);
    glBegin(GL_POINTS);
    for (const auto& point : session.designPoints()) {
        picked.points.count(point->number()) > 0 ? glColor3fv(kPicked) : glColor3fv(kPointBlue);
        const Point3 p = point->position();
        glVertex3d(p.x, p.y, p.z);
    }
    glEnd();
    glEnable(GL_DEPTH_TEST);
}

void drawPart(ViewScene& scene, int width, int height) {
    HostSession& session = scene.requireSession();
    const Highlight picked = highlightOf(session);
    glViewport(0, 0, width, height);
    glClearColor(1, 1, 1, 1);
    glClearDepth(1);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glDisable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    loadCamera(scene.camera());
    setUpLight();
    const ViewTessellation& part = scene.tessellation();
    drawFaces(part, picked);
    drawEdges(part, picked);
    drawPointsAndPlanes(session, picked);
    glLineWidth(1.0f);
    glPointSize(1.0f);
}

// The commands draw through a device of their own over the part; its state stays its own.
void drawCommands(ViewScene& scene, render::gl::GlRenderDevice& device, int width, int height) {
    glPushAttrib(GL_ALL_ATTRIB_BITS);
    glPushClientAttrib(GL_CLIENT_ALL_ATTRIB_BITS);
    device.resize(width, height);
    device.setTransform(render::TransformKind::View, scene.camera().viewMatrix());
    device.setTransform(render::TransformKind::Projection, scene.camera().projectionMatrix());
    scene.draw3D(static_cast<render::IRenderDevice*>(&device));
    glPopClientAttrib();
    glPopAttrib();
    render::gl::GlCanvas canvas(width, height);
    scene.drawOverlays(canvas);
}

// The off-screen view of a run's pictures: one context and one device for all of them, as a
// window keeps its own, so what a command made on the device stays valid from picture to picture.
struct OffscreenView {
    render::gl::OffscreenContext context;
    platform::RefPtr<render::gl::GlRenderDevice> device;
    OffscreenView(int width, int height)
        : context(width, height), device(platform::makeRef<render::gl::GlRenderDevice>(width, height)) {}
    ~OffscreenView() {
        context.makeCurrent();  // the device's textures go with their context
        device = nullptr;
    }
};

OffscreenView& offscreenView(int width, int height) {
    static std::unique_ptr<OffscreenView> view;
    if (!view) view = std::make_unique<OffscreenView>(width, height);
    view->context.resize(width, height);
    view->context.makeCurrent();
    return *view;
}

}  // namespace

void drawViewGl(ViewScene& scene, render::gl::GlRenderDevice& device, int width, int height) {
    drawPart(scene, width, height);
    drawCommands(scene, device, width, height);
    glFinish();
}

RasterImage drawView(ViewScene& scene, int width, int height) {
    scene.requireSession();
    OffscreenView* view = nullptr;
    try {
        view = &offscreenView(width, height);
    } catch (const std::runtime_error& e) {
        throw HostAppError(std::string("the view cannot be drawn here: ") + e.what());
    }
    scene.prepareView(width, height);
    drawViewGl(scene, *view->device, width, height);
    return readFrame(width, height);
}

RasterImage readFrame(int width, int height) {
    std::vector<unsigned char> rgb(static_cast<std::size_t>(width) * height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    RasterImage image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const unsigned char* p = &rgb[(static_cast<std::size_t>(height - 1 - y) * width + x) * 3];
            image.set(x, y, p[0] | (p[1] << 8) | (p[2] << 16));
        }
    return image;
}

}  // namespace hostapp
