#include "framework/graphics/vg/vg_commands.h"
#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_draw.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

namespace plugkit {
namespace {

// A back end that takes everything and draws nothing, so only the
// renderer's own work is timed.
VgBackendCallbacks NullBackend() {
  VgBackendCallbacks cb;
  cb.edgeAntialias = 1;
  cb.create = [](void*) { return 1; };
  cb.createTexture = [](void*, int32_t, int32_t, int32_t, int32_t, const uint8_t*) { return 1; };
  cb.deleteTexture = [](void*, int32_t) { return 1; };
  cb.getTextureSize = [](void*, int32_t, int32_t* w, int32_t* h) {
    *w = *h = 512;
    return 1;
  };
  cb.viewport = [](void*, float, float, float) {};
  cb.flush = [](void*) {};
  cb.fill = [](void*, const VgPaint*, VgBlendState, const VgScissorState*, float, const float*,
               const VgPath*, int32_t) {};
  cb.stroke = [](void*, const VgPaint*, VgBlendState, const VgScissorState*, float, float,
                 const VgPath*, int32_t) {};
  return cb;
}

// A knob-like shape: circle fill and an arc stroke, rebuilt every time.
void BM_FillAndStrokeArcs(benchmark::State& state) {
  VgContext* ctx = VgCreateContext(NullBackend());
  VgBeginFrame(ctx, 800, 600, 2.0f);
  VgGetState(ctx)->lineCap = kVgRound;
  VgGetState(ctx)->strokeWidth = 3.0f;
  for (auto _ : state) {
    VgBeginPath(ctx);
    VgArc(ctx, 100, 100, 40, 0, 6.2831855f, kVgCw);
    VgFill(ctx);
    VgBeginPath(ctx);
    VgArc(ctx, 100, 100, 46, 2.3f, 7.1f, kVgCw);
    VgStroke(ctx);
  }
  VgDeleteContext(ctx);
}
BENCHMARK(BM_FillAndStrokeArcs);

// A spectrum curve: one long polyline with round joins.
void BM_StrokeLongPolyline(benchmark::State& state) {
  VgContext* ctx = VgCreateContext(NullBackend());
  VgBeginFrame(ctx, 800, 600, 1.0f);
  VgGetState(ctx)->lineJoin = kVgRound;
  VgGetState(ctx)->strokeWidth = 2.0f;
  std::vector<float> commands;
  for (int i = 0; i < state.range(0); ++i) {
    commands.push_back(i == 0 ? kVgMoveTo : kVgLineTo);
    commands.push_back(static_cast<float>(i) * 800.0f / static_cast<float>(state.range(0)));
    commands.push_back(300.0f + 200.0f * std::sin(static_cast<float>(i) * 0.05f));
  }
  for (auto _ : state) {
    VgBeginPath(ctx);
    VgAppendCommands(ctx, commands.data(), static_cast<int32_t>(commands.size()));
    VgStroke(ctx);
  }
  VgDeleteContext(ctx);
}
BENCHMARK(BM_StrokeLongPolyline)->Arg(256)->Arg(2048);

} // namespace
} // namespace plugkit

BENCHMARK_MAIN();
