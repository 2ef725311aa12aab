#pragma once
// "Plot": results drawn as coloured contours into the host's 3-D view, with its dialog CContours.
#include "formats/result_reader.h"
#include "loadcase/document_command.h"
#include "results/contour_renderer.h"

class CContours;

class CContoursCommand : public CDocumentCommand {
  public:
    explicit CContoursCommand(loadcase::DocumentOwner* explorer);

    std::string className() const override { return "CContoursCommand"; }
    void Start() override;

    platform::Status putref_CommandSite(platform::IUnknown* site) override;
    platform::Status On3DRender() override;

    // The loadcase the command was opened for.
    int physics() const { return physics_; }
    int solutionType() const { return solutionType_; }

    // ---- what the dialog drives ----
    // Makes the library mesh the loadcase's (read afresh when `reread`, or when it does not come from
    // the loadcase's mesh file); after a new reading writes "check.mes" when a mesh was read, sizes
    // the node arrays and builds the triangle list.
    void loadMesh(bool reread);
    void rebuildTriangles();
    void recomputeSliceFlags(const std::array<int, 3>& sliders);
    // The vertex buffers are made again at the next render (slice view or animation switched).
    void releaseBuffers() { releasePending_ = true; }
    void redraw();

    results::NodeResults& nodeResults() { return results_; }
    float phase() const { return phase_; }
    void setPhase(float phase) { phase_ = phase; }
    // The frame the next render draws.
    results::ContourFrame frame() const;
    CContours* contours() const;

    // Colours in place of the static pass's vertex buffer that the renderer wrote last (for tests
    // and for the host's own picture of the view).
    const results::ContourRenderer& renderer() const { return renderer_; }

  protected:
    void terminate() override;

  private:
    int physics_ = 0;
    int solutionType_ = 0;
    results::NodeResults results_;
    results::ContourRenderer renderer_;
    float phase_ = 1.0f;
    bool releasePending_ = false;
};

// Site options the command sets to -1 when it gets its site.
inline constexpr std::int32_t kContoursSiteOptions[2] = {1, 2};
