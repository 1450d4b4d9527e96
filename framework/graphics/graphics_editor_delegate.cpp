#include "framework/graphics/graphics_editor_delegate.h"

#include "framework/graphics/igraphics.h"

#include <cmath>

namespace plugkit::igraphics {

IGEditorDelegate::IGEditorDelegate(int nParams) : IEditorDelegate(nParams) {}

IGEditorDelegate::~IGEditorDelegate() { graphics_.reset(); }

IGraphics* IGEditorDelegate::CreateGraphics() {
  return makeGraphicsFunc_ ? makeGraphicsFunc_() : nullptr;
}

void IGEditorDelegate::LayoutEditor(IGraphics* graphics) {
  if (layoutFunc_) layoutFunc_(graphics);
}

bool IGEditorDelegate::ShowHostContextMenuForParam(IControl&, int, float, float) { return false; }

void IGEditorDelegate::ConstrainParentWindowSize(int& width, int& height) const {
  ClampEditorSize(width, height);
}

void* IGEditorDelegate::OpenEditor(void* parentWindow) {
  if (!graphics_) {
    graphics_.reset(CreateGraphics());
    // A NaN scale counts as given; Resize refuses it.
    if (graphics_ && savedWidth_ != 0 && savedHeight_ != 0 && savedScale_ != 0.f)
      graphics_->Resize(savedWidth_, savedHeight_, savedScale_, true);
  }
  if (!graphics_) return nullptr;
  void* window = graphics_->OpenWindow(parentWindow);
  if (window && hostScreenScale_ > 0.f) graphics_->SetScreenScale(hostScreenScale_);
  return window;
}

void IGEditorDelegate::CloseEditor() {
  if (closing_) return;
  closing_ = true;
  OnEditorClose();
  if (graphics_) {
    savedWidth_ = graphics_->Width();
    savedHeight_ = graphics_->Height();
    savedScale_ = graphics_->GetDrawScale();
    graphics_->CloseWindow();
    graphics_.reset();
  }
  closing_ = false;
}

void IGEditorDelegate::OnParentWindowResize(int width, int height) {
  if (!graphics_) return;
  const float s = graphics_->GetPlatformWindowScale();
  graphics_->Resize(static_cast<int>(static_cast<float>(width) / s),
                    static_cast<int>(static_cast<float>(height) / s), 1.f, false);
}

bool IGEditorDelegate::OnHostKeyDown(const IKeyPress& key) {
  if (!graphics_) return false;
  float x = 0.f;
  float y = 0.f;
  graphics_->GetMouseLocation(x, y);
  return graphics_->OnKeyDown(x, y, key);
}

bool IGEditorDelegate::OnHostKeyUp(const IKeyPress& key) {
  if (!graphics_) return false;
  float x = 0.f;
  float y = 0.f;
  graphics_->GetMouseLocation(x, y);
  return graphics_->OnKeyUp(x, y, key);
}

void IGEditorDelegate::SetControlValueFromDelegate(int ctrlTag, double normalized) {
  if (!graphics_) return;
  if (IControl* control = graphics_->FindControlByTag(ctrlTag))
    control->SetValueFromDelegate(normalized, 0);
}

void IGEditorDelegate::SendMsgToControl(int ctrlTag, int msgTag, int dataSize, const void* data) {
  if (!graphics_) return;
  if (IControl* control = graphics_->FindControlByTag(ctrlTag))
    control->OnMsgFromDelegate(msgTag, dataSize, data);
}

void IGEditorDelegate::SendMidiToUI(const MidiMessage& message) {
  if (graphics_) {
    for (int i = 0; i < graphics_->NControls(); ++i) {
      IControl* control = graphics_->GetControl(i);
      if (control->GetWantsMidi()) control->OnMidi(message);
    }
  }
  IEditorDelegate::SendMidiToUI(message);
}

void IGEditorDelegate::SendParamValueToUI(int paramIdx, double value, bool normalized) {
  if (graphics_) {
    if (!normalized) {
      const IParam* param = GetParam(paramIdx);
      value = param ? param->NormalizeValue(value) : value;
    }
    for (int i = 0; i < graphics_->NControls(); ++i) {
      IControl* control = graphics_->GetControl(i);
      for (int v = 0; v < control->NVals(); ++v) {
        if (control->GetParamIdx(v) == paramIdx) control->SetValueFromDelegate(value, v);
      }
    }
  }
  IEditorDelegate::SendParamValueToUI(paramIdx, value, normalized);
}

bool IGEditorDelegate::SerializeEditorSize(ByteChunk& chunk) const {
  const int32_t width = graphics_ ? graphics_->Width() : savedWidth_;
  const int32_t height = graphics_ ? graphics_->Height() : savedHeight_;
  const float scale = graphics_ ? graphics_->GetDrawScale() : savedScale_;
  const int before = chunk.Size();
  chunk.Put(width);
  chunk.Put(height);
  chunk.Put(scale);
  return chunk.Size() == before + kEditorSizeDataSize;
}

int IGEditorDelegate::UnserializeEditorSize(const ByteChunk& chunk, int startPos) {
  // A field that does not fit, and every field after it, reads as 0.
  int32_t width = 0;
  int32_t height = 0;
  float scale = 0.f;
  int pos = chunk.Get(width, startPos);
  if (pos >= 0) pos = chunk.Get(height, pos);
  if (pos >= 0) pos = chunk.Get(scale, pos);
  if (!graphics_) {
    savedWidth_ = width;
    savedHeight_ = height;
    savedScale_ = scale;
  } else if (width != 0 && height != 0 && scale != 0.f) {
    graphics_->Resize(width, height, scale, true);
  }
  return pos;
}

void IGEditorDelegate::SetEditorScreenScale(float scale) {
  if (!(scale > 0.f) || !std::isfinite(scale)) return;
  hostScreenScale_ = scale;
  if (graphics_) graphics_->SetScreenScale(scale);
}

} // namespace plugkit::igraphics
