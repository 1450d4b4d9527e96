#include "tests/support/vg/recording_backend.h"

#include <cstring>

namespace plugkit::testing {

namespace {

RecordingBackend* Self(void* user) { return static_cast<RecordingBackend*>(user); }

std::vector<RecordedPath> CopyPaths(const VgPath* paths, int32_t count) {
  std::vector<RecordedPath> out;
  for (int32_t i = 0; i < count; ++i) {
    RecordedPath p;
    p.fill.assign(paths[i].fill, paths[i].fill + paths[i].fillCount);
    p.stroke.assign(paths[i].stroke, paths[i].stroke + paths[i].strokeCount);
    p.count = paths[i].count;
    p.closed = paths[i].closed;
    p.winding = paths[i].winding;
    p.convex = paths[i].convex;
    out.push_back(p);
  }
  return out;
}

RecordedCall Call(RecordedCall::Kind kind, const VgPaint* paint, VgBlendState blend,
                  const VgScissorState* scissor, float fringe) {
  RecordedCall call;
  call.kind = kind;
  call.paint = *paint;
  call.blend = blend;
  call.scissor = *scissor;
  call.fringe = fringe;
  return call;
}

int32_t Create(void* user) {
  Self(user)->created = !Self(user)->refuseCreate;
  return Self(user)->created ? 1 : 0;
}

int32_t CreateTexture(void* user, int32_t type, int32_t width, int32_t height, int32_t flags,
                      const uint8_t* data) {
  RecordingBackend* self = Self(user);
  if (self->refuseTextures) return 0;
  RecordedTexture texture{type, width, height, flags, {}};
  const size_t bytes = static_cast<size_t>(width) * height * (type == kVgTextureRgba ? 4 : 1);
  texture.pixels.assign(bytes, 0);
  if (data != nullptr) std::memcpy(texture.pixels.data(), data, bytes);
  self->textures[++self->lastTextureId] = texture;
  return self->lastTextureId;
}

int32_t DeleteTexture(void* user, int32_t image) {
  return Self(user)->textures.erase(image) > 0 ? 1 : 0;
}

int32_t UpdateTexture(void* user, int32_t image, int32_t x, int32_t y, int32_t width,
                      int32_t height, const uint8_t* data) {
  auto it = Self(user)->textures.find(image);
  if (it == Self(user)->textures.end()) return 0;
  RecordedTexture& t = it->second;
  const int32_t bpp = t.type == kVgTextureRgba ? 4 : 1;
  for (int32_t row = y; row < y + height; ++row) {
    const size_t at = (static_cast<size_t>(row) * t.width + x) * bpp;
    std::memcpy(t.pixels.data() + at, data + at, static_cast<size_t>(width) * bpp);
  }
  return 1;
}

int32_t GetTextureSize(void* user, int32_t image, int32_t* width, int32_t* height) {
  auto it = Self(user)->textures.find(image);
  if (it == Self(user)->textures.end()) return 0;
  *width = it->second.width;
  *height = it->second.height;
  return 1;
}

void Viewport(void* user, float width, float height, float ratio) {
  Self(user)->viewport[0] = width;
  Self(user)->viewport[1] = height;
  Self(user)->viewport[2] = ratio;
}

void Cancel(void* user) {
  Self(user)->queued.clear();
  ++Self(user)->cancels;
}

void Flush(void* user) {
  RecordingBackend* self = Self(user);
  self->drawn.insert(self->drawn.end(), self->queued.begin(), self->queued.end());
  self->queued.clear();
  ++self->flushes;
}

void Fill(void* user, const VgPaint* paint, VgBlendState blend, const VgScissorState* scissor,
          float fringe, const float* bounds, const VgPath* paths, int32_t count) {
  RecordedCall call = Call(RecordedCall::Kind::Fill, paint, blend, scissor, fringe);
  std::memcpy(call.bounds, bounds, sizeof(call.bounds));
  call.paths = CopyPaths(paths, count);
  Self(user)->queued.push_back(call);
}

void Stroke(void* user, const VgPaint* paint, VgBlendState blend, const VgScissorState* scissor,
            float fringe, float strokeWidth, const VgPath* paths, int32_t count) {
  RecordedCall call = Call(RecordedCall::Kind::Stroke, paint, blend, scissor, fringe);
  call.strokeWidth = strokeWidth;
  call.paths = CopyPaths(paths, count);
  Self(user)->queued.push_back(call);
}

void Triangles(void* user, const VgPaint* paint, VgBlendState blend, const VgScissorState* scissor,
               const VgVertex* vertices, int32_t count, float fringe) {
  RecordedCall call = Call(RecordedCall::Kind::Triangles, paint, blend, scissor, fringe);
  call.triangles.assign(vertices, vertices + count);
  Self(user)->queued.push_back(call);
}

void Destroy(void* user) { Self(user)->destroyed = true; }

} // namespace

VgBackendCallbacks RecordingBackend::Callbacks(int32_t edgeAntialias) {
  VgBackendCallbacks callbacks;
  callbacks.user = this;
  callbacks.edgeAntialias = edgeAntialias;
  callbacks.create = Create;
  callbacks.createTexture = CreateTexture;
  callbacks.deleteTexture = DeleteTexture;
  callbacks.updateTexture = UpdateTexture;
  callbacks.getTextureSize = GetTextureSize;
  callbacks.viewport = Viewport;
  callbacks.cancel = Cancel;
  callbacks.flush = Flush;
  callbacks.fill = Fill;
  callbacks.stroke = Stroke;
  callbacks.triangles = Triangles;
  callbacks.destroy = Destroy;
  return callbacks;
}

} // namespace plugkit::testing
