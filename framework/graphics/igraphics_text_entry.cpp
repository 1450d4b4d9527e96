#include "framework/graphics/graphics_editor_delegate.h"
#include "framework/graphics/igraphics.h"
#include "framework/graphics/text_entry_control.h"

namespace plugkit::igraphics {

void IGraphics::AttachTextEntryControl() {
  if (textEntryControl_) return;
  textEntryControl_ = std::make_unique<ITextEntryControl>();
  textEntryControl_->SetDelegate(delegate_);
  textEntryControl_->SetGraphics(this);
  textEntryControl_->OnInit();
  textEntryControl_->OnResize();
  textEntryControl_->OnRescale();
}

void IGraphics::CreateTextEntry(IControl& control, const ITextStyle& style, const IRect& bounds,
                                const char* str, int valIdx) {
  inTextEntry_ = &control;
  textEntryValIdx_ = valIdx;
  const int paramIdx = valIdx >= 0 ? control.GetParamIdx(valIdx) : -1;
  if (textEntryControl_)
    textEntryControl_->CreateTextEntry(paramIdx, style, bounds, control.GetTextEntryLength(), str);
  else
    CreatePlatformTextEntry(paramIdx, style, bounds, control.GetTextEntryLength(), str);
  control.SetDirty(false);
}

void IGraphics::SetControlValueAfterTextEdit(const char* str) {
  IControl* control = inTextEntry_;
  if (!control) return;
  inTextEntry_ = nullptr;
  const IParam* param = textEntryValIdx_ >= 0 ? control->GetParam(textEntryValIdx_) : nullptr;
  if (param)
    control->SetValueFromUserInput(param->NormalizeValue(param->ValueFromText(str)),
                                   textEntryValIdx_);
  else
    control->OnTextEntryCompletion(str, textEntryValIdx_);
}

} // namespace plugkit::igraphics
