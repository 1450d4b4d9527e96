#include "framework/graphics/vg/vg_commands.h"

#include "framework/graphics/vg/vg_context.h"
#include "framework/graphics/vg/vg_transform.h"

#include <cmath>
#include <cstdlib>

namespace plugkit {

namespace {

constexpr float kPi = 3.14159265358979323846f;
constexpr int32_t kMaxArcSegments = 5;

// Number of point pairs a command carries, or -1 for an unknown command.
int32_t PointsOf(float command) {
  switch (static_cast<int32_t>(command)) {
    case kVgMoveTo:
    case kVgLineTo:
      return 1;
    case kVgBezierTo:
      return 3;
    case kVgClose:
      return 0;
    default:
      return -1;
  }
}

int32_t LengthOf(float command) {
  if (static_cast<int32_t>(command) == kVgWindingCmd) return 2;
  const int32_t points = PointsOf(command);
  return points < 0 ? -1 : 1 + 2 * points;
}

bool WellFormed(const float* values, int32_t count) {
  int32_t i = 0;
  while (i < count) {
    if (!(values[i] >= 0.0f && values[i] <= static_cast<float>(kVgWindingCmd)) ||
        values[i] != std::floor(values[i]))
      return false;
    const int32_t length = LengthOf(values[i]);
    if (count - i < length) return false;
    for (int32_t k = 1; k < length; ++k)
      if (!std::isfinite(values[i + k])) return false;
    i += length;
  }
  return true;
}

bool Reserve(VgContext* ctx, int32_t count) {
  if (ctx->commandCount + count <= ctx->commandCapacity) return true;
  const int64_t wanted = static_cast<int64_t>(ctx->commandCount) + count + ctx->commandCapacity / 2;
  if (wanted > INT32_MAX / static_cast<int64_t>(sizeof(float))) return false;
  void* grown = std::realloc(ctx->commands, static_cast<size_t>(wanted) * sizeof(float));
  if (grown == nullptr) return false;
  ctx->commands = static_cast<float*>(grown);
  ctx->commandCapacity = static_cast<int32_t>(wanted);
  return true;
}

} // namespace

void VgBeginPath(VgContext* ctx) {
  ctx->commandCount = 0;
  ctx->cache->pointCount = 0;
  ctx->cache->pathCount = 0;
}

void VgAppendCommands(VgContext* ctx, const float* values, int32_t count) {
  if (count <= 0 || !WellFormed(values, count) || !Reserve(ctx, count)) return;
  const float* xform = VgGetState(ctx)->xform;
  float* out = ctx->commands + ctx->commandCount;
  int32_t lastPoint = -1;
  for (int32_t i = 0; i < count;) {
    const int32_t length = LengthOf(values[i]);
    const int32_t points = PointsOf(values[i]);
    for (int32_t k = 0; k < length; ++k) out[i + k] = values[i + k];
    for (int32_t p = 0; p < points; ++p) {
      const int32_t at = i + 1 + 2 * p;
      VgTransformPoint(&out[at], &out[at + 1], xform, values[at], values[at + 1]);
      // A huge transform can overflow finite input.
      if (!std::isfinite(out[at]) || !std::isfinite(out[at + 1])) return;
      lastPoint = at;
    }
    i += length;
  }
  if (lastPoint >= 0) {
    ctx->commandX = values[lastPoint];
    ctx->commandY = values[lastPoint + 1];
  }
  ctx->commandCount += count;
}

void VgRect(VgContext* ctx, float x, float y, float w, float h) {
  const float values[] = {kVgMoveTo, x,     y,         kVgLineTo, x, y + h,   kVgLineTo,
                          x + w,     y + h, kVgLineTo, x + w,     y, kVgClose};
  VgAppendCommands(ctx, values, static_cast<int32_t>(sizeof(values) / sizeof(values[0])));
}

void VgArc(VgContext* ctx, float cx, float cy, float r, float a0, float a1, int32_t dir) {
  const float twoPi = kPi * 2.0f;
  float da = a1 - a0;
  if (dir == kVgCw) {
    if (std::fabs(da) >= twoPi) {
      da = twoPi;
    } else {
      while (da < 0.0f) da += twoPi;
    }
  } else {
    if (std::fabs(da) >= twoPi) {
      da = -twoPi;
    } else {
      while (da > 0.0f) da -= twoPi;
    }
  }
  int32_t segments = static_cast<int32_t>(std::fabs(da) / (kPi * 0.5f) + 0.5f);
  if (segments < 1) segments = 1;
  if (segments > kMaxArcSegments) segments = kMaxArcSegments;
  const float hda = (da / static_cast<float>(segments)) / 2.0f;
  float kappa = std::fabs(4.0f / 3.0f * (1.0f - std::cos(hda)) / std::sin(hda));
  if (dir == kVgCcw) kappa = -kappa;

  // One move-to or line-to and up to five bezier-tos.
  float values[3 + kMaxArcSegments * 7];
  int32_t count = 0;
  float px = 0.0f;
  float py = 0.0f;
  float ptanx = 0.0f;
  float ptany = 0.0f;
  for (int32_t i = 0; i <= segments; ++i) {
    const float a = a0 + da * (static_cast<float>(i) / static_cast<float>(segments));
    const float dx = std::cos(a);
    const float dy = std::sin(a);
    const float x = cx + dx * r;
    const float y = cy + dy * r;
    const float tanx = -dy * r * kappa;
    const float tany = dx * r * kappa;
    if (i == 0) {
      values[count++] = static_cast<float>(ctx->commandCount > 0 ? kVgLineTo : kVgMoveTo);
      values[count++] = x;
      values[count++] = y;
    } else {
      values[count++] = kVgBezierTo;
      values[count++] = px + ptanx;
      values[count++] = py + ptany;
      values[count++] = x - tanx;
      values[count++] = y - tany;
      values[count++] = x;
      values[count++] = y;
    }
    px = x;
    py = y;
    ptanx = tanx;
    ptany = tany;
  }
  VgAppendCommands(ctx, values, count);
}

void VgPathWinding(VgContext* ctx, int32_t dir) {
  const float values[] = {kVgWindingCmd, static_cast<float>(dir)};
  VgAppendCommands(ctx, values, 2);
}

} // namespace plugkit
