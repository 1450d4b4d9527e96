#include "tests/tarvex/editor/window_tarvex.h"

#include "tarvex/editor/editor_layout.h"

#include <algorithm>
#include <vector>

namespace tarvex::testing {

WindowTarvex::WindowTarvex(MakeWindowGraphics make) : Tarvex(plugkit::InstanceInfo{}) {
  makeGraphicsFunc_ = [this, make]() -> plugkit::igraphics::IGraphics* {
    plugkit::igraphics::IGraphicsWin* graphics =
        make ? make(*this)
             : new plugkit::igraphics::IGraphicsWin(*this, kEditorWidth, kEditorHeight, kEditorFps,
                                                    1.f);
    graphics->SetModuleHandle(GetModuleHandleW(nullptr));
    return graphics;
  };
}

void WindowTarvex::SendParamValueToHost(int paramIdx, double) {
  ++valuesSent[paramIdx];
  if (openEdits[paramIdx] <= 0) valueOutsideEdit = true;
}

void WindowTarvex::EndHostParamEdit(int paramIdx) {
  if (--openEdits[paramIdx] < 0) endWithoutBegin = true;
}

int WindowTarvex::OpenEdits() const {
  int open = 0;
  for (const auto& entry : openEdits) open += entry.second;
  return open;
}

void WindowTarvex::Activate(double fs) {
  SetChannelConnections(plugkit::kDirectionInput, 0, 2, true);
  SetChannelConnections(plugkit::kDirectionOutput, 0, 2, true);
  SetSampleRate(fs);
  OnActivate(true);
}

void WindowTarvex::Process(int frames, const std::function<float(long)>& source) {
  std::vector<float> in(512), out0(512), out1(512);
  const int n = std::min(frames, 512);
  for (int i = 0; i < n; ++i) in[i] = source(position + i);
  float* ins[2] = {in.data(), in.data()};
  float* outs[2] = {out0.data(), out1.data()};
  ProcessBlock(ins, outs, n);
  position += n;
}

} // namespace tarvex::testing
