// One pick in the host view on the sample bracket in the iso view: pixels on a grid over the
// part's picture (faces, edges, vertices, holes and the background, as a person's clicks land),
// and a pixel in the middle of a face alone.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <vector>

#include "documents/host_session.h"
#include "program/view_picker.h"

namespace {

struct Scene {
    platform::RefPtr<hostapp::HostSession> session;
    hostapp::ViewTessellation tessellation;
    hostapp::ViewPicker picker;
    hostapp::ViewCamera camera;

    Scene()
        : session(platform::makeRef<hostapp::HostSession>(
              "bracket", hostapp::OcctDocument::open(KOLVANE_SAMPLES_DIR "/bracket.step"),
              hostapp::SessionOptions{})),
          tessellation(session->document()),
          picker(*session, tessellation) {
        const auto box = session->document().boundingBox();
        camera.fit(box.first, box.second, 800, 600);
    }
};

Scene& scene() {
    static Scene s;
    return s;
}

void BM_PickAtPixelsOverThePart(benchmark::State& state) {
    Scene& s = scene();
    // A 20 x 20 grid over the picture of the model's box.
    const auto box = s.session->document().boundingBox();
    double left = 1e9, right = -1e9, top = 1e9, bottom = -1e9;
    for (int c = 0; c < 8; ++c) {
        const auto p =
            s.camera.project({(c & 1) ? box.second.x : box.first.x, (c & 2) ? box.second.y : box.first.y,
                              (c & 4) ? box.second.z : box.first.z});
        left = std::min(left, p.x), right = std::max(right, p.x);
        top = std::min(top, p.y), bottom = std::max(bottom, p.y);
    }
    std::vector<std::pair<double, double>> pixels;
    for (int j = 0; j < 20; ++j)
        for (int k = 0; k < 20; ++k)
            pixels.push_back({left + (right - left) * (k + 0.5) / 20, top + (bottom - top) * (j + 0.5) / 20});
    std::size_t i = 0, faces = 0;
    for (auto _ : state) {
        const auto& [x, y] = pixels[i++ % pixels.size()];
        const auto picked = s.picker.pickAt(s.camera, x, y);
        faces += picked && picked->kind == hostapp::PickKind::Face;
        benchmark::DoNotOptimize(picked);
    }
    state.counters["face share"] = static_cast<double>(faces) / static_cast<double>(i);
}
BENCHMARK(BM_PickAtPixelsOverThePart)->Repetitions(15)->ReportAggregatesOnly(true);

void BM_PickAtAFacesMiddle(benchmark::State& state) {
    Scene& s = scene();
    const auto p = s.camera.project({45, 20, 8});  // the top of the base, between its holes
    for (auto _ : state) benchmark::DoNotOptimize(s.picker.pickAt(s.camera, p.x, p.y));
}
BENCHMARK(BM_PickAtAFacesMiddle)->Repetitions(15)->ReportAggregatesOnly(true);

}  // namespace

BENCHMARK_MAIN();
