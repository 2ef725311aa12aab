#include "render/gl/gl_scene_painter.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <string>
#include <vector>

#include "render/gl/glyph_rasteriser.h"

namespace render::gl {

namespace {

constexpr int kGlyphPixels = 13;
constexpr double kFieldOfView = 35.0, kNear = 0.01, kFar = 2000.0;

// The ramp: texel 0 and 15 transparent black, bands 0 to 9 on texels 3 to 12.
constexpr std::uint32_t kRamp[16] = {0,        0x0000FF, 0x0000FF, 0x0000FF, 0x00A0FF, 0x00FFFF,
                                     0x2E8B57, 0x00FF00, 0xADFF2F, 0xD3D3D3, 0xFFFF00, 0xFFA500,
                                     0xFF0000, 0xFF0000, 0xFF0000, 0};

void setPerspective(int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(kFieldOfView, static_cast<double>(width) / std::max(height, 1), kNear, kFar);
    glMatrixMode(GL_MODELVIEW);
}

}  // namespace

GlScenePainter::GlScenePainter() {
    setUpState();
    makeRampTexture();
    makeGlyphLists();
    quadric_ = gluNewQuadric();
    gluQuadricNormals(static_cast<GLUquadric*>(quadric_), GLU_SMOOTH);
}

GlScenePainter::~GlScenePainter() {
    if (quadric_) gluDeleteQuadric(static_cast<GLUquadric*>(quadric_));
    if (numberList_) glDeleteLists(numberList_, 1);
    glDeleteLists(kGlyphListBase, 256);
    if (texture_) glDeleteTextures(1, &texture_);
}

void GlScenePainter::setUpState() {
    glClearColor(1, 1, 1, 1);
    glClearDepth(1.0);
    glFrontFace(GL_CCW);
    glCullFace(GL_BACK);
    glEnable(GL_CULL_FACE);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    const GLfloat ambient[] = {0.7f, 0.7f, 0.7f, 1}, diffuse[] = {0.8f, 0.8f, 0.8f, 1},
                  specular[] = {1, 1, 1, 1};
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightModelf(GL_LIGHT_MODEL_TWO_SIDE, 1.0f);
    glEnable(GL_LIGHT0);
    glEnable(GL_LIGHTING);
    glMaterialfv(GL_FRONT_AND_BACK, GL_DIFFUSE, diffuse);
    glPolygonOffset(0.8f, 0.8f);
}

void GlScenePainter::makeRampTexture() {
    GLubyte texels[16 * 4];
    for (int i = 0; i < 16; ++i) {
        texels[4 * i] = static_cast<GLubyte>(kRamp[i] >> 16);
        texels[4 * i + 1] = static_cast<GLubyte>(kRamp[i] >> 8);
        texels[4 * i + 2] = static_cast<GLubyte>(kRamp[i]);
        texels[4 * i + 3] = (i == 0 || i == 15) ? 0 : 255;
    }
    glGenTextures(1, &texture_);
    glBindTexture(GL_TEXTURE_1D, texture_);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_WRAP_S, GL_CLAMP);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage1D(GL_TEXTURE_1D, 0, GL_RGBA, 16, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    glEnable(GL_TEXTURE_1D);
}

// Characters 32 to 126 from the bundled font as 1-bit bitmaps; the others stay empty lists.
void GlScenePainter::makeGlyphLists() {
    glGenLists(256);  // reserves names; the glyphs use their own fixed base
    std::unique_ptr<GlyphRasteriser> font;
    try {
        font = std::make_unique<GlyphRasteriser>(fontFileFor("Arial", 400), kGlyphPixels);
    } catch (const std::exception&) {
        font.reset();
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (int c = 0; c < 256; ++c) {
        glNewList(kGlyphListBase + static_cast<unsigned>(c), GL_COMPILE);
        if (font && c >= 32 && c < 127) {
            const TextBitmap glyph = font->render(std::string(1, static_cast<char>(c)));
            const int rowBytes = (glyph.width + 7) / 8;
            std::vector<GLubyte> bits(static_cast<std::size_t>(rowBytes) * glyph.height, 0);
            // glBitmap rows run from the bottom up.
            for (int y = 0; y < glyph.height; ++y)
                for (int x = 0; x < glyph.width; ++x)
                    if (glyph.coverage[static_cast<std::size_t>(y) * glyph.width + x] >= 96)
                        bits[static_cast<std::size_t>(glyph.height - 1 - y) * rowBytes + x / 8] |=
                            static_cast<GLubyte>(0x80 >> (x % 8));
            glBitmap(glyph.width, glyph.height, 0, static_cast<float>(glyph.height) / 5,
                     static_cast<float>(glyph.width), 0, bits.data());
        }
        glEndList();
    }
}

void GlScenePainter::setCamera(const SceneFrame& frame) {
    glViewport(0, 0, frame.width, frame.height);
    setPerspective(frame.width, frame.height);
    glLoadIdentity();
    glTranslatef(frame.panX, frame.panY, -frame.distance);
    glMultMatrixd(frame.rotation.data());
}

void GlScenePainter::draw(const SceneFrame& frame) {
    const GLint filter = frame.smooth ? GL_LINEAR : GL_NEAREST;
    glBindTexture(GL_TEXTURE_1D, texture_);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_1D, GL_TEXTURE_MAG_FILTER, filter);
    setCamera(frame);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    const std::size_t vertices = frame.positions.size() / 3;
    if (vertices > 0 && frame.normals.size() >= 3 * vertices && frame.rampCoordinates.size() >= vertices) {
        drawSurface(frame);
        if (frame.showEdges && frame.edgeFlags.size() >= vertices) drawEdges(frame);
    }
    drawLabels(frame);
    drawTriad(frame);
    glEnable(GL_TEXTURE_1D);
    glEnable(GL_LIGHTING);
    glFinish();
}

void GlScenePainter::drawSurface(const SceneFrame& frame) {
    glEnable(GL_POLYGON_OFFSET_FILL);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(3, GL_FLOAT, 0, frame.positions.data());
    glNormalPointer(GL_FLOAT, 0, frame.normals.data());
    glTexCoordPointer(1, GL_FLOAT, 0, frame.rampCoordinates.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(frame.positions.size() / 3));
}

// The same arrays outlined in black; edge flags keep the inner edges of quadratic faces out.
void GlScenePainter::drawEdges(const SceneFrame& frame) {
    glColor3f(0, 0, 0);
    if (frame.meshOnly) glDisable(GL_TEXTURE_1D);
    glDisable(GL_POLYGON_OFFSET_FILL);
    glDisable(GL_LIGHTING);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnableClientState(GL_EDGE_FLAG_ARRAY);
    glEdgeFlagPointer(0, frame.edgeFlags.data());
    glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(frame.positions.size() / 3));
    glDisableClientState(GL_EDGE_FLAG_ARRAY);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
}

void GlScenePainter::drawText(const SceneLabel& label) {
    glRasterPos3d(label.position[0], label.position[1], label.position[2]);
    glListBase(kGlyphListBase);
    glCallLists(static_cast<GLsizei>(label.text.size()), GL_UNSIGNED_BYTE, label.text.data());
}

void GlScenePainter::compileNumberList(const SceneFrame& frame) {
    if (numberList_ == 0) numberList_ = glGenLists(1);
    glNewList(numberList_, GL_COMPILE);
    glColor3f(0.5f, 0.5f, 0.5f);
    for (const SceneLabel& label : frame.numberLabels) drawText(label);
    glEndList();
    numberListVersion_ = frame.numberListVersion;
}

void GlScenePainter::drawLabels(const SceneFrame& frame) {
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_NORMAL_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_1D);
    // The frame holds only the labels of nodes the camera sees: each is drawn whole. Tested against
    // the depth of the surface they sit on, they came and went with its rounding.
    glDisable(GL_DEPTH_TEST);
    if (frame.numeric) {
        if (numberList_ == 0 || numberListVersion_ != frame.numberListVersion) compileNumberList(frame);
        glCallList(numberList_);
    } else {
        glColor3f(0.5f, 0.5f, 0.5f);
        for (const SceneLabel& label : frame.probeLabels) drawText(label);
    }
    glEnable(GL_DEPTH_TEST);
}

void GlScenePainter::drawTriad(const SceneFrame& frame) {
    auto* quadric = static_cast<GLUquadric*>(quadric_);
    glViewport(0, 0, kTriadSize, kTriadSize);
    // A square projection of its own, so the arrows keep their proportions in any window shape.
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    setPerspective(kTriadSize, kTriadSize);
    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0, 0, -5);
    glMultMatrixd(frame.rotation.data());
    glEnable(GL_LIGHTING);
    glEnable(GL_TEXTURE_1D);
    auto arrow = [quadric](float rampCoordinate) {
        glTexCoord1d(rampCoordinate);
        glPushMatrix();
        glTranslatef(0, 0, 0.1f);
        gluCylinder(quadric, 0.03, 0.03, 0.8, 16, 12);
        glTranslatef(0, 0, 0.8f);
        gluCylinder(quadric, 0.08, 0.001, 0.1, 16, 12);
        glPopMatrix();
    };
    arrow(0.8125f);  // Z, red
    glPushMatrix();
    glRotatef(-90, 1, 0, 0);
    arrow(0.1875f);  // Y, blue
    glPopMatrix();
    glPushMatrix();
    glRotatef(90, 0, 1, 0);
    arrow(0.5f);  // X, green-yellow
    glPopMatrix();
    glDisable(GL_LIGHTING);
    glDisable(GL_TEXTURE_1D);
    glColor3f(1, 0.3f, 0.3f);
    drawText({{0, 0, 1}, "Z"});
    glColor3f(0.3f, 0.3f, 1);
    drawText({{0, 1, 0}, "Y"});
    glColor3f(0.3f, 1, 0.3f);
    drawText({{1, 0, 0}, "X"});
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(0, 0, frame.width, frame.height);
}

}  // namespace render::gl
