// Time to draw the Tarvex editor on the headless llvmpipe context: a whole
// frame (as after opening or resizing), and the frame of a running show,
// where the engine has processed a thirtieth of a second of audio and only
// the controls that follow it are dirty. Each frame ends with glFinish, so
// the rasterising the driver defers is timed too.
//
// Where the time goes: the CPU column is the drawing thread's own time (the
// controls, the renderer, and the driver's vertex work and binning, which
// llvmpipe does on the thread that draws); the rest of the wall time is the
// wait for llvmpipe's threads to shade the fragments. "redrawn" is the share
// of the editor's area in the frame's areas after they are aligned and
// merged, as drawn.

#include "framework/graphics/vg/vg_gl_functions.h"
#include "tarvex/editor/editor_layout.h"
#include "tests/support/vg_graphics/headless_editor.h"

#include <benchmark/benchmark.h>

namespace tarvex {
namespace {

using plugkit::vgGl;
using plugkit::igraphics::IRect;
using plugkit::igraphics::IRectList;
using plugkit::igraphics::testing::HeadlessGraphicsVG;

constexpr int kFramesPerShowFrame = 48000 / 30;

// Draws the areas and waits for the pixels; returns the share of the
// editor's area drawn.
double DrawAreas(HeadlessGraphicsVG& g, IRectList& rects) {
  g.Draw(rects);
  vgGl.Finish();
  double area = 0.0;
  for (int i = 0; i < rects.Size(); ++i) area += rects.Get(i).Area();
  return area / (kEditorWidth * kEditorHeight);
}

double DrawDirty(HeadlessGraphicsVG& g) {
  IRectList rects;
  if (!g.IsDirty(rects)) return 0.0;
  g.ClearAllControlsDirty();
  return DrawAreas(g, rects);
}

void ReportRedrawn(benchmark::State& state, double area) {
  state.counters["redrawn"] = area / static_cast<double>(state.iterations());
}

float Scale(const benchmark::State& state) { return static_cast<float>(state.range(0)) / 10.f; }

// The editor's graphics, opened; null, with the benchmark marked failed,
// without a context.
HeadlessGraphicsVG* Open(testing::HeadlessEditor& editor, benchmark::State& state) {
  HeadlessGraphicsVG* g = editor.Open();
  if (!g) state.SkipWithError("no headless OpenGL context");
  return g;
}

void BM_EditorFullFrame(benchmark::State& state) {
  testing::HeadlessEditor editor(Scale(state), TARVEX_FONT_FOLDER);
  HeadlessGraphicsVG* g = Open(editor, state);
  if (!g) return;
  editor.DrawFrame();
  double area = 0.0;
  for (auto _ : state) {
    g->SetAllControlsDirty();
    area += DrawDirty(*g);
  }
  ReportRedrawn(state, area);
}
BENCHMARK(BM_EditorFullFrame)->Arg(10)->Arg(15)->Unit(benchmark::kMillisecond);

void BM_EditorRunningShowFrame(benchmark::State& state) {
  testing::HeadlessEditor editor(Scale(state), TARVEX_FONT_FOLDER);
  HeadlessGraphicsVG* g = Open(editor, state);
  if (!g) return;
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
  ReportRedrawn(state, area);
}
BENCHMARK(BM_EditorRunningShowFrame)->Arg(10)->Arg(15)->Unit(benchmark::kMillisecond);

// What every frame costs whatever is dirty: the frame's start and end, with
// the copy of the backing layer to the window, around one small area.
void BM_EditorFrameFixedCost(benchmark::State& state) {
  testing::HeadlessEditor editor(Scale(state), TARVEX_FONT_FOLDER);
  HeadlessGraphicsVG* g = Open(editor, state);
  if (!g) return;
  editor.DrawFrame();
  IRectList rects;
  rects.Add(IRect(500.f, 780.f, 510.f, 790.f));
  for (auto _ : state) {
    IRectList area = rects;
    DrawAreas(*g, area);
  }
}
BENCHMARK(BM_EditorFrameFixedCost)->Arg(10)->Arg(15)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace tarvex

BENCHMARK_MAIN();
