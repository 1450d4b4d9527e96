#include "framework/graphics/vg/vg_atlas.h"

#include <algorithm>
#include <new>

namespace plugkit::igraphics {
namespace {

constexpr size_t kInitialNodes = 256;
// Coordinates are stored as 16-bit values.
constexpr int kMaxAtlasSide = 32767;

// Top y at which a w x h rectangle would sit when its left edge is at node
// index, or -1 when it does not fit there.
int FitAt(const VgAtlas& atlas, size_t index, int w, int h) {
  const int x = atlas.nodes[index].x;
  if (x + w > atlas.width) return -1;
  int y = atlas.nodes[index].y;
  int spaceLeft = w;
  size_t i = index;
  while (spaceLeft > 0) {
    if (i == atlas.nodes.size()) return -1;
    y = std::max<int>(y, atlas.nodes[i].y);
    if (y + h > atlas.height) return -1;
    spaceLeft -= atlas.nodes[i].width;
    ++i;
  }
  return y;
}

} // namespace

bool VgAtlasInit(VgAtlas& atlas, int width, int height) {
  if (width < 1 || height < 1 || width > kMaxAtlasSide || height > kMaxAtlasSide) return false;
  atlas.width = width;
  atlas.height = height;
  try {
    atlas.nodes.clear();
    atlas.nodes.reserve(kInitialNodes);
    atlas.nodes.push_back({0, 0, static_cast<int16_t>(width)});
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool VgAtlasInsertNode(VgAtlas& atlas, int index, int x, int y, int w) {
  if (index < 0 || index > static_cast<int>(atlas.nodes.size())) return false;
  try {
    atlas.nodes.insert(atlas.nodes.begin() + index,
                       {static_cast<int16_t>(x), static_cast<int16_t>(y), static_cast<int16_t>(w)});
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

bool VgAtlasAddSkylineLevel(VgAtlas& atlas, int index, int x, int y, int w, int h) {
  if (!VgAtlasInsertNode(atlas, index, x, y + h, w)) return false;
  auto& nodes = atlas.nodes;
  // Steps that start under the new one are cut back to its right edge.
  for (size_t i = static_cast<size_t>(index) + 1; i < nodes.size();) {
    const int coveredTo = nodes[i - 1].x + nodes[i - 1].width;
    if (nodes[i].x >= coveredTo) break;
    const int overlap = coveredTo - nodes[i].x;
    if (nodes[i].width <= overlap) {
      nodes.erase(nodes.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    nodes[i].x = static_cast<int16_t>(nodes[i].x + overlap);
    nodes[i].width = static_cast<int16_t>(nodes[i].width - overlap);
    break;
  }
  // Neighbouring steps at one height become one.
  for (size_t i = 0; i + 1 < nodes.size();) {
    if (nodes[i].y == nodes[i + 1].y) {
      nodes[i].width = static_cast<int16_t>(nodes[i].width + nodes[i + 1].width);
      nodes.erase(nodes.begin() + static_cast<std::ptrdiff_t>(i) + 1);
    } else {
      ++i;
    }
  }
  return true;
}

bool VgAtlasAddRect(VgAtlas& atlas, int w, int h, int* x, int* y) {
  if (w < 1 || h < 1) return false;
  int bestIndex = -1;
  int bestBottom = atlas.height + 1;
  int bestWidth = atlas.width + 1;
  for (size_t i = 0; i < atlas.nodes.size(); ++i) {
    const int top = FitAt(atlas, i, w, h);
    if (top < 0) continue;
    const int nodeWidth = atlas.nodes[i].width;
    if (top + h < bestBottom || (top + h == bestBottom && nodeWidth < bestWidth)) {
      bestIndex = static_cast<int>(i);
      bestBottom = top + h;
      bestWidth = nodeWidth;
    }
  }
  if (bestIndex < 0) return false;
  const int placeX = atlas.nodes[static_cast<size_t>(bestIndex)].x;
  const int placeY = bestBottom - h;
  if (!VgAtlasAddSkylineLevel(atlas, bestIndex, placeX, placeY, w, h)) return false;
  *x = placeX;
  *y = placeY;
  return true;
}

} // namespace plugkit::igraphics
