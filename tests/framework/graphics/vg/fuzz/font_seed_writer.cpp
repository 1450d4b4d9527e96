// Writes a seed of the font fuzzer: a face whose "A" needs more memory to
// rasterise at 41 pixels than the glyph cache's scratch area holds.
#include <cstdint>
#include <fstream>
#include <vector>

#include "tests/framework/graphics/sfnt_builder.h"

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  const std::vector<uint8_t> bytes =
      plugkit::igraphics::BuildFace(plugkit::igraphics::ComplexGlyphFace(2265));
  std::ofstream file(argv[1], std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
  return file ? 0 : 1;
}
