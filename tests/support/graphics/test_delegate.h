#pragma once

#include "framework/graphics/graphics_editor_delegate.h"

#include <vector>

namespace plugkit::igraphics::testing {

// An editor delegate whose parameters are doubles from 0 to 1 (default 0.5),
// or left for the test to configure, and which keeps what the editor sent.
class TestDelegate : public IGEditorDelegate {
public:
  struct Sent {
    int paramIdx;
    double normalized;
  };

  explicit TestDelegate(int nParams = 4, bool configureDoubles = true);

  void BeginParamEditFromUI(int paramIdx) override { begun.push_back(paramIdx); }
  void EndParamEditFromUI(int paramIdx) override { ended.push_back(paramIdx); }
  void SetParamValueFromUI(int paramIdx, double normalized) override;
  // Notes the window size asked for and gives `resizeAnswer`.
  bool ResizeEditorFromUI(int width, int height, bool needsPlatformResize) override;

  struct ResizeRequest {
    int width;
    int height;
    bool needsPlatformResize;
  };
  std::vector<ResizeRequest> resizeRequests;
  bool resizeAnswer = true;

  std::vector<Sent> sent;
  std::vector<int> begun;
  std::vector<int> ended;
};

} // namespace plugkit::igraphics::testing
