#include "framework/graphics/vg/vg_path_cache.h"

#include <cstdlib>

namespace plugkit {

namespace {

constexpr int32_t kInitialPoints = 128;
constexpr int32_t kInitialPaths = 16;
constexpr int32_t kInitialVertices = 256;

template <typename T>
bool Grow(T** items, int32_t* capacity, int32_t needed) {
  if (needed <= *capacity) return true;
  const int64_t wanted = static_cast<int64_t>(needed) + *capacity / 2;
  if (wanted > INT32_MAX / static_cast<int64_t>(sizeof(T))) return false;
  void* grown = std::realloc(*items, static_cast<size_t>(wanted) * sizeof(T));
  if (grown == nullptr) return false;
  *items = static_cast<T*>(grown);
  *capacity = static_cast<int32_t>(wanted);
  return true;
}

} // namespace

VgPathCache* VgPathCacheCreate() {
  auto* cache = static_cast<VgPathCache*>(std::calloc(1, sizeof(VgPathCache)));
  if (cache == nullptr) return nullptr;
  cache->points = static_cast<VgPoint*>(std::malloc(sizeof(VgPoint) * kInitialPoints));
  cache->paths = static_cast<VgPath*>(std::malloc(sizeof(VgPath) * kInitialPaths));
  cache->vertices = static_cast<VgVertex*>(std::malloc(sizeof(VgVertex) * kInitialVertices));
  if (cache->points == nullptr || cache->paths == nullptr || cache->vertices == nullptr) {
    VgPathCacheDelete(cache);
    return nullptr;
  }
  cache->pointCapacity = kInitialPoints;
  cache->pathCapacity = kInitialPaths;
  cache->vertexCapacity = kInitialVertices;
  return cache;
}

void VgPathCacheDelete(VgPathCache* cache) {
  if (cache == nullptr) return;
  std::free(cache->points);
  std::free(cache->paths);
  std::free(cache->vertices);
  std::free(cache);
}

bool VgAddPath(VgPathCache* cache) {
  if (!Grow(&cache->paths, &cache->pathCapacity, cache->pathCount + 1)) return false;
  VgPath* path = &cache->paths[cache->pathCount];
  *path = VgPath{};
  path->first = cache->pointCount;
  path->winding = kVgCcw;
  ++cache->pathCount;
  return true;
}

void VgAddPoint(VgPathCache* cache, float x, float y, uint8_t flags, float distanceTolerance) {
  if (cache->pathCount == 0) return;
  VgPath* path = &cache->paths[cache->pathCount - 1];
  if (path->count > 0 && cache->pointCount > 0) {
    VgPoint* last = &cache->points[cache->pointCount - 1];
    const float dx = x - last->x;
    const float dy = y - last->y;
    if (dx * dx + dy * dy < distanceTolerance * distanceTolerance) {
      last->flags |= flags;
      return;
    }
  }
  if (!Grow(&cache->points, &cache->pointCapacity, cache->pointCount + 1)) return;
  VgPoint* point = &cache->points[cache->pointCount];
  *point = VgPoint{};
  point->x = x;
  point->y = y;
  point->flags = flags;
  ++cache->pointCount;
  ++path->count;
}

VgVertex* VgAllocTempVerts(VgPathCache* cache, int32_t count) {
  if (count < 0) return nullptr;
  if (count > cache->vertexCapacity) {
    const int64_t rounded = (static_cast<int64_t>(count) + 0xff) & ~static_cast<int64_t>(0xff);
    if (rounded > INT32_MAX / static_cast<int64_t>(sizeof(VgVertex))) return nullptr;
    void* grown = std::realloc(cache->vertices, static_cast<size_t>(rounded) * sizeof(VgVertex));
    if (grown == nullptr) return nullptr;
    cache->vertices = static_cast<VgVertex*>(grown);
    cache->vertexCapacity = static_cast<int32_t>(rounded);
  }
  return cache->vertices;
}

} // namespace plugkit
