#pragma once

#include <cstdint>
#include <vector>

namespace plugkit::igraphics {

// One step of the skyline: the span [x, x + width) is free from y downward.
struct VgAtlasNode {
  int16_t x;
  int16_t y;
  int16_t width;
};

// Skyline packer for the glyph atlas. Rectangles are placed on the lowest
// step that holds them, so rows fill from the top and the skyline stays flat.
struct VgAtlas {
  int width = 0;
  int height = 0;
  std::vector<VgAtlasNode> nodes;
};

// Starts an empty skyline over width x height; false when memory is missing.
bool VgAtlasInit(VgAtlas& atlas, int width, int height);

// Places a w x h rectangle; false (and no change) when no step has room.
bool VgAtlasAddRect(VgAtlas& atlas, int w, int h, int* x, int* y);

// Raises the skyline over [x, x + w) to y + h at node index; false when the
// node cannot be stored.
bool VgAtlasAddSkylineLevel(VgAtlas& atlas, int index, int x, int y, int w, int h);

// Inserts the node (x, y, w) before index; false when memory is missing.
bool VgAtlasInsertNode(VgAtlas& atlas, int index, int x, int y, int w);

} // namespace plugkit::igraphics
