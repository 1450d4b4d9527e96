#include "framework/core/editor_delegate.h"

#include <algorithm>

namespace plugkit {

IEditorDelegate::IEditorDelegate(int nParams) {
  for (int i = 0; i < nParams; ++i) params_.Add(new IParam());
}

IEditorDelegate::~IEditorDelegate() { params_.DeleteAll(); }

void* IEditorDelegate::OpenEditor(void*) {
  OnEditorOpened();
  return nullptr;
}

void IEditorDelegate::CloseEditor() { OnEditorClose(); }

void IEditorDelegate::OnParentWindowResize(int, int) {}

void IEditorDelegate::OnEditorOpened() { SendAllParamValuesToUI(); }

void IEditorDelegate::OnEditorClose() {}

void IEditorDelegate::OnParamValueChange(int) {}

void IEditorDelegate::OnParamChange(int paramIdx, ParamChangeSource, int) {
  OnParamValueChange(paramIdx);
}

void IEditorDelegate::OnUIParamChange(int, ParamChangeSource) {}

void IEditorDelegate::OnAllParamsChange(ParamChangeSource source) {
  for (int i = 0, n = NParams(); i < n; ++i) {
    OnParamChange(i, source, -1);
    OnUIParamChange(i, source);
  }
}

void IEditorDelegate::OnUIMidiMessage(const MidiMessage&) {}

void IEditorDelegate::OnUISysEx(const SysExMessage&) {}

bool IEditorDelegate::HandleMessage(int, int, int, const void*) { return false; }

void IEditorDelegate::OnStateRestored() { SendAllParamValuesToUI(); }

bool IEditorDelegate::OnHostKeyDown(const igraphics::IKeyPress&) { return false; }

bool IEditorDelegate::OnHostKeyUp(const igraphics::IKeyPress&) { return false; }

void IEditorDelegate::SetControlValueFromDelegate(int, double) {}

void IEditorDelegate::SendMsgToControl(int ctrlTag, int msgTag, int dataSize, const void* data) {
  HandleMessage(msgTag, ctrlTag, dataSize, data);
}

void IEditorDelegate::SendMsgToUI(int msgTag, int dataSize, const void* data) {
  HandleMessage(msgTag, -1, dataSize, data);
}

void IEditorDelegate::SendMidiToUI(const MidiMessage& message) { OnUIMidiMessage(message); }

void IEditorDelegate::SendSysExToUI(const SysExMessage& message) { OnUISysEx(message); }

void IEditorDelegate::SendParamValueToUI(int paramIdx, double, bool) {
  OnUIParamChange(paramIdx, ParamChangeSource::EditorDelegate);
}

void IEditorDelegate::SyncAllParamsToHost() {}

void IEditorDelegate::SetParamValueFromUI(int paramIdx, double normalized) {
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  param->SetNormalized(normalized);
  OnUIParamChange(paramIdx, ParamChangeSource::UI);
}

bool IEditorDelegate::ResizeEditorFromUI(int, int, bool) { return false; }

void IEditorDelegate::SendMidiFromUI(const MidiMessage&) {}

void IEditorDelegate::SendSysExFromUI(const SysExMessage&) {}

void IEditorDelegate::SendMsgFromUI(int, int, int, const void*) {}

void IEditorDelegate::QueueMidiFromUI(const MidiMessage&) {}

void IEditorDelegate::QueueSysExFromUI(const SysExMessage&) {}

bool IEditorDelegate::ClampEditorSize(int& width, int& height) const {
  if (width >= minWidth_ && width <= maxWidth_ && height >= minHeight_ && height <= maxHeight_)
    return true;
  width = std::min(maxWidth_, std::max(width, minWidth_));
  height = std::min(maxHeight_, std::max(height, minHeight_));
  return false;
}

bool IEditorDelegate::SerializeEditorSize(ByteChunk&) const { return true; }

int IEditorDelegate::UnserializeEditorSize(const ByteChunk&, int startPos) { return startPos; }

void IEditorDelegate::SetEditorScreenScale(float) {}

void IEditorDelegate::SendAllParamValuesToUI() {
  for (int i = 0, n = NParams(); i < n; ++i)
    SendParamValueToUI(i, GetParam(i)->NormalizeValue(GetParam(i)->Value()), true);
}

} // namespace plugkit
