// Time to draw the Tarvex editor on the headless llvmpipe context: a whole
// frame (as after opening or resizing), and the frame of a running show,
// where the engine has processed a thirtieth of a second of audio and only
// the controls that follow it are dirty. Each frame ends with glFinish, so
// the rasterising the driver defers is timed too.

#include "framework/graphics/vg/vg_gl_functions.h"
#include "tarvex/editor/editor_layout.h"
#include "tests/support/vg_graphics/headless_editor.h"

#include <benchmark/benchmark.h>

namespace tarvex {
namespace {

using plugkit::vgGl;
using plugkit::igraphics::IRectList;
using plugkit::igraphics::testing::HeadlessGraphicsVG;

constexpr int kFramesPerShowFrame = 48000 / 30;

// Draws what is dirty; returns the share of the editor's area redrawn.
double DrawDirty(HeadlessGraphicsVG& g) {
  IRectList rects;
  double area = 0.0;
  if (g.IsDirty(rects)) {
    g.ClearAllControlsDirty();
    for (int i = 0; i < rects.Size(); ++i) area += rects.Get(i).Area();
    g.Draw(rects);
  }
  vgGl.Finish();
  return area / (kEditorWidth * kEditorHeight);
}

void BM_EditorFullFrame(benchmark::State& state) {
  testing::HeadlessEditor editor(static_cast<float>(state.range(0)) / 10.f, TARVEX_FONT_FOLDER);
  HeadlessGraphicsVG* g = editor.Open();
  if (!g) {
    state.SkipWithError("no headless OpenGL context");
    return;
  }
  editor.DrawFrame();
  for (auto _ : state) {
    g->SetAllControlsDirty();
    benchmark::DoNotOptimize(DrawDirty(*g));
  }
}
BENCHMARK(BM_EditorFullFrame)->Arg(10)->Arg(15)->Unit(benchmark::kMillisecond);

void BM_EditorRunningShowFrame(benchmark::State& state) {
  testing::HeadlessEditor editor(static_cast<float>(state.range(0)) / 10.f, TARVEX_FONT_FOLDER);
  HeadlessGraphicsVG* g = editor.Open();
  if (!g) {
    state.SkipWithError("no headless OpenGL context");
    return;
  }
  editor.Activate();
  editor.Process(48000);
  editor.DrawFrame();
  double area = 0.0;
  for (auto _ : state) {
    state.PauseTiming();
    editor.Process(kFramesPerShowFrame);
    state.ResumeTiming();
    area += DrawDirty(*g);
  }
  state.counters["redrawn"] = benchmark::Counter(area / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_EditorRunningShowFrame)->Arg(10)->Arg(15)->Unit(benchmark::kMillisecond);

// What every frame costs whatever is dirty: the frame's start and end, with
// the copy of the backing layer to the window, around one small area.
void BM_EditorFrameFixedCost(benchmark::State& state) {
  testing::HeadlessEditor editor(static_cast<float>(state.range(0)) / 10.f, TARVEX_FONT_FOLDER);
  HeadlessGraphicsVG* g = editor.Open();
  if (!g) {
    state.SkipWithError("no headless OpenGL context");
    return;
  }
  editor.DrawFrame();
  for (auto _ : state) {
    IRectList rects;
    rects.Add(plugkit::igraphics::IRect(500.f, 780.f, 510.f, 790.f));
    g->Draw(rects);
    vgGl.Finish();
  }
}
BENCHMARK(BM_EditorFrameFixedCost)->Arg(10)->Arg(15)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarvex

BENCHMARK_MAIN();
