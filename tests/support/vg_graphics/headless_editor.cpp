#include "tests/support/vg_graphics/headless_editor.h"

#include "framework/core/channel_io.h"
#include "tarvex/editor/editor_layout.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarvex::testing {

using plugkit::igraphics::testing::HeadlessGraphicsVG;

HeadlessEditor::HeadlessEditor(float scale, const std::string& fontFolder)
    : Tarvex(plugkit::InstanceInfo{}) {
  makeGraphicsFunc_ = [this, scale, fontFolder] {
    auto* graphics = new HeadlessGraphicsVG(*this, kEditorWidth, kEditorHeight, scale);
    graphics->SetFontFolder(fontFolder);
    return graphics;
  };
}

HeadlessEditor::~HeadlessEditor() { CloseEditor(); }

HeadlessGraphicsVG* HeadlessEditor::Open() {
  if (!OpenEditor(nullptr)) return nullptr;
  return static_cast<HeadlessGraphicsVG*>(GetUI());
}

void HeadlessEditor::Activate() {
  SetChannelConnections(plugkit::kDirectionInput, 0, 2, true);
  SetChannelConnections(plugkit::kDirectionOutput, 0, 2, true);
  SetSampleRate(48000.0);
  OnActivate(true);
}

void HeadlessEditor::Process(int frames) {
  constexpr int kBlock = 512;
  std::vector<float> in(kBlock), out0(kBlock), out1(kBlock);
  const double amplitude = std::pow(10.0, -12.0 / 20.0);
  while (frames > 0) {
    const int n = std::min(frames, kBlock);
    for (int i = 0; i < n; ++i)
      in[static_cast<size_t>(i)] =
          static_cast<float>(amplitude * std::sin(2.0 * 3.14159265358979323846 * 1000.0 *
                                                  static_cast<double>(position_ + i) / 48000.0));
    float* ins[2] = {in.data(), in.data()};
    float* outs[2] = {out0.data(), out1.data()};
    ProcessBlock(ins, outs, n);
    position_ += n;
    frames -= n;
  }
}

testsupport::RgbaImage HeadlessEditor::DrawFrame() {
  auto* graphics = static_cast<HeadlessGraphicsVG*>(GetUI());
  if (!graphics) return {};
  graphics->DrawDirty();
  return graphics->ReadWindow();
}

} // namespace tarvex::testing
