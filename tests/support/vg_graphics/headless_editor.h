#pragma once

#include "tarvex/plugin/tarvex_plugin.h"
#include "tests/support/vg_graphics/headless_graphics_vg.h"

#include <string>

namespace tarvex::testing {

// A Tarvex instance whose editor opens on a headless GL context at a draw
// scale, with its font read from a folder, so the editor can be drawn,
// pictured and timed without a window.
class HeadlessEditor : public Tarvex {
public:
  HeadlessEditor(float scale, const std::string& fontFolder);
  ~HeadlessEditor() override;

  // Opens the editor; null when no GL context or renderer can be had.
  plugkit::igraphics::testing::HeadlessGraphicsVG* Open();
  // A stereo 48 kHz processor, as a host's activation leaves it.
  void Activate();
  // Runs frames of a 1 kHz tone at -12 dBFS through the block processing.
  void Process(int frames);
  // Draws what the editor finds dirty and reads the window back.
  testsupport::RgbaImage DrawFrame();

private:
  long position_ = 0;
};

} // namespace tarvex::testing
