#pragma once

#include "framework/core/byte_chunk.h"
#include "framework/core/param.h"
#include "framework/core/param_change_source.h"
#include "framework/core/pointer_list.h"
#include "framework/core/queue_messages.h"

namespace plugkit {

namespace igraphics {
struct IKeyPress;
} // namespace igraphics

// Where the editor and the plug-in meet: owns the parameters, holds the
// editor's size and limits, and declares the first operations of the plug-in
// object's virtual interface. The declaration order of the virtual functions
// is part of the interface; new ones go after those of the derived classes.
// Everything here runs on the user-interface thread.
class IEditorDelegate {
public:
  explicit IEditorDelegate(int nParams);
  IEditorDelegate(const IEditorDelegate&) = delete;
  IEditorDelegate& operator=(const IEditorDelegate&) = delete;
  virtual ~IEditorDelegate();

  // Returns the editor's window handle; null when no editor was opened.
  virtual void* OpenEditor(void* parentWindow);
  virtual void CloseEditor();
  virtual void OnParentWindowResize(int width, int height);
  virtual void OnEditorOpened();
  virtual void OnEditorClose();
  virtual void OnParamValueChange(int paramIdx);
  virtual void OnParamChange(int paramIdx, ParamChangeSource source, int sampleOffset);
  virtual void OnUIParamChange(int paramIdx, ParamChangeSource source);
  virtual void OnAllParamsChange(ParamChangeSource source);
  virtual void OnUIMidiMessage(const MidiMessage& message);
  virtual void OnUISysEx(const SysExMessage& message);
  virtual bool HandleMessage(int msgTag, int ctrlTag, int dataSize, const void* data);
  virtual void OnStateRestored();
  virtual bool OnHostKeyDown(const igraphics::IKeyPress& key);
  virtual bool OnHostKeyUp(const igraphics::IKeyPress& key);
  virtual void SetControlValueFromDelegate(int ctrlTag, double normalized);
  virtual void SendMsgToControl(int ctrlTag, int msgTag, int dataSize, const void* data);
  virtual void SendMsgToUI(int msgTag, int dataSize, const void* data);
  virtual void SendMidiToUI(const MidiMessage& message);
  virtual void SendSysExToUI(const SysExMessage& message);
  virtual void SendParamValueToUI(int paramIdx, double value, bool normalized);
  virtual void SyncAllParamsToHost();
  virtual void BeginParamEditFromUI(int paramIdx) = 0;
  virtual void SetParamValueFromUI(int paramIdx, double normalized);
  virtual void EndParamEditFromUI(int paramIdx) = 0;
  virtual bool ResizeEditorFromUI(int width, int height, bool needsPlatformResize);
  virtual void SendMidiFromUI(const MidiMessage& message);
  virtual void SendSysExFromUI(const SysExMessage& message);
  virtual void SendMsgFromUI(int msgTag, int ctrlTag, int dataSize, const void* data);
  virtual void QueueMidiFromUI(const MidiMessage& message);
  virtual void QueueSysExFromUI(const SysExMessage& message);
  // True when the size already lies within the limits; otherwise clamps it
  // and returns false.
  virtual bool ClampEditorSize(int& width, int& height) const;
  virtual bool SerializeEditorSize(ByteChunk& chunk) const;
  // Returns the position after the editor size data, or -1.
  virtual int UnserializeEditorSize(const ByteChunk& chunk, int startPos);
  virtual void SetEditorScreenScale(float scale);

  void SendAllParamValuesToUI();

  // Null for an index outside 0..NParams()-1.
  IParam* GetParam(int paramIdx) const { return params_.Get(paramIdx); }
  int NParams() const { return params_.Count(); }
  int GetEditorWidth() const { return width_; }
  int GetEditorHeight() const { return height_; }
  int GetMinWidth() const { return minWidth_; }
  int GetMaxWidth() const { return maxWidth_; }
  int GetMinHeight() const { return minHeight_; }
  int GetMaxHeight() const { return maxHeight_; }

protected:
  int width_ = 0;
  int height_ = 0;
  int minWidth_ = 10;
  int maxWidth_ = 100000;
  int minHeight_ = 10;
  int maxHeight_ = 100000;

private:
  PointerList<IParam> params_{4096};
};

} // namespace plugkit
