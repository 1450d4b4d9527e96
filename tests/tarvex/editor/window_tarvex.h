#pragma once

#include "framework/graphics/win/igraphics_win.h"
#include "tarvex/plugin/tarvex_plugin.h"

#include <functional>
#include <map>

namespace tarvex::testing {

// A Tarvex whose editor opens in a real Win32 window (as in the standalone
// program) and which checks every host edit it is sent.
class WindowTarvex : public Tarvex {
public:
  // `make` builds the window's graphics context; by default a plain
  // IGraphicsWin of the editor's size and frame rate.
  using MakeWindowGraphics = std::function<plugkit::igraphics::IGraphicsWin*(WindowTarvex&)>;
  explicit WindowTarvex(MakeWindowGraphics make = {});

  void BeginHostParamEdit(int paramIdx) override { ++openEdits[paramIdx]; }
  void SendParamValueToHost(int paramIdx, double normalized) override;
  void EndHostParamEdit(int paramIdx) override;

  plugkit::igraphics::IGraphicsWin& UI() const {
    return *static_cast<plugkit::igraphics::IGraphicsWin*>(GetUI());
  }
  void Activate(double fs = 48000.0);
  // Runs one block of up to 512 frames from `source` (sample index to value).
  void Process(int frames, const std::function<float(long)>& source);
  int OpenEdits() const;

  std::map<int, int> openEdits;
  std::map<int, int> valuesSent;
  bool valueOutsideEdit = false;
  bool endWithoutBegin = false;
  long position = 0;
};

} // namespace tarvex::testing
