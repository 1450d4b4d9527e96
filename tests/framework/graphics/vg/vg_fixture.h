#pragma once

#include "framework/graphics/vg/vg_commands.h"
#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_draw.h"
#include "tests/support/vg/recording_backend.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace plugkit::testing {

// A context on a recording back end, inside a frame at device pixel ratio 1.
class VgFixture : public ::testing::Test {
protected:
  void SetUp() override {
    ctx = VgCreateContext(backend.Callbacks());
    ASSERT_NE(ctx, nullptr);
    VgBeginFrame(ctx, 400, 300, 1.0f);
  }
  void TearDown() override { VgDeleteContext(ctx); }

  void Commands(std::vector<float> values) {
    VgAppendCommands(ctx, values.data(), static_cast<int32_t>(values.size()));
  }
  const RecordedCall& OnlyCall() {
    EXPECT_EQ(backend.queued.size(), 1u);
    return backend.queued.at(0);
  }

  RecordingBackend backend;
  VgContext* ctx = nullptr;
};

// Twice the signed area of a triangle on a y-down screen; negative for the
// triangles the back end draws front-facing.
inline float TriangleArea(const VgVertex& a, const VgVertex& b, const VgVertex& c) {
  return (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
}

// Every triangle of a strip faces the same way as a fan of a solid path
// (culling would drop the others).
inline void ExpectStripFrontFacing(const std::vector<VgVertex>& strip) {
  for (size_t i = 0; i + 2 < strip.size(); ++i) {
    const float area = TriangleArea(strip[i], strip[i + 1], strip[i + 2]);
    const float facing = (i % 2 == 0) ? area : -area;
    EXPECT_LE(facing, 1e-3f) << "triangle " << i;
  }
}

inline float Distance(float x0, float y0, float x1, float y1) {
  return std::hypot(x1 - x0, y1 - y0);
}

// Signed distance from (x, y) to the axis-aligned rectangle, negative inside.
inline float RectDistance(float x, float y, float left, float top, float right, float bottom) {
  const float dx = std::fmax(left - x, x - right);
  const float dy = std::fmax(top - y, y - bottom);
  if (dx <= 0.0f && dy <= 0.0f) return std::fmax(dx, dy);
  return std::hypot(std::fmax(dx, 0.0f), std::fmax(dy, 0.0f));
}

} // namespace plugkit::testing
