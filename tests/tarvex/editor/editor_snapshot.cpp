// Draws the editor's default screen once on a headless GL context and writes
// it as a PNG, so the editor can be looked at without Windows.
//
//   tarvex_editor_snapshot [output.png [draw scale]]

#include "tests/support/vg_graphics/headless_editor.h"

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const std::string path = argc > 1 ? argv[1] : "editor.png";
  const float scale = argc > 2 ? std::strtof(argv[2], nullptr) : 1.f;
  if (!(scale >= 0.5f && scale <= 4.f)) {
    std::fprintf(stderr, "draw scale must lie between 0.5 and 4\n");
    return 2;
  }
  tarvex::testing::HeadlessEditor editor(scale, TARVEX_FONT_FOLDER);
  if (!editor.Open()) {
    std::fprintf(stderr, "no headless OpenGL context for the editor\n");
    return 1;
  }
  if (!editor.DrawFrame().WritePng(path)) {
    std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return 1;
  }
  std::printf("Editor picture: %s\n", path.c_str());
  return 0;
}
