#pragma once

#include "framework/core/editor_delegate.h"

#include <functional>
#include <memory>

namespace plugkit::igraphics {

class IControl;
class IGraphics;

// Connects a plug-in instance to its graphical editor. It creates the
// graphics context through the make-graphics function when the editor
// opens, deletes it when the editor closes, keeps the editor's size and
// scale while it is closed, and forwards values, messages, MIDI and host
// keys from the plug-in to the controls. Parameter values reach the controls
// only through IControl::SetValueFromDelegate.
class IGEditorDelegate : public IEditorDelegate {
public:
  // The delegate owns the returned context.
  using MakeGraphicsFunc = std::function<IGraphics*()>;
  using LayoutFunc = std::function<void(IGraphics*)>;

  // Bytes of the editor size data: width and height (int32), draw scale
  // (float32), little-endian.
  static constexpr int kEditorSizeDataSize = 12;

  explicit IGEditorDelegate(int nParams);
  ~IGEditorDelegate() override;

  void* OpenEditor(void* parentWindow) override;
  void CloseEditor() override;
  void OnParentWindowResize(int width, int height) override;
  bool OnHostKeyDown(const IKeyPress& key) override;
  bool OnHostKeyUp(const IKeyPress& key) override;
  void SetControlValueFromDelegate(int ctrlTag, double normalized) override;
  void SendMsgToControl(int ctrlTag, int msgTag, int dataSize, const void* data) override;
  void SendMidiToUI(const MidiMessage& message) override;
  void SendParamValueToUI(int paramIdx, double value, bool normalized) override;
  bool SerializeEditorSize(ByteChunk& chunk) const override;
  int UnserializeEditorSize(const ByteChunk& chunk, int startPos) override;
  // The host's content scale: it holds, for this editor and every later
  // one of the instance, until the host sets another. A scale that is not
  // a finite positive number is ignored.
  void SetEditorScreenScale(float scale) override;

  // Null when no make-graphics function is installed.
  virtual IGraphics* CreateGraphics();
  virtual void LayoutEditor(IGraphics* graphics);
  // A right click on a control value bound to `paramIdx`, at (x, y) in
  // editor units. A delegate whose host builds context menus shows the menu
  // and returns true; false leaves the editor to show the control's own.
  virtual bool ShowHostContextMenuForParam(IControl& control, int paramIdx, float x, float y);
  // Changes a size in pixels proposed for the editor's parent window to the
  // size the editor takes when its parent is resized to it
  // (OnParentWindowResize), so that a host can offer only sizes the editor
  // keeps. The base keeps the proposal within the editor size limits.
  virtual void ConstrainParentWindowSize(int& width, int& height) const;

  // The open editor's context; null while the editor is closed.
  IGraphics* GetUI() const { return graphics_.get(); }
  // The screen scale the host has set, or 0 while it has set none; only
  // then does the editor follow its monitor's scale.
  float HostScreenScale() const { return hostScreenScale_; }

protected:
  MakeGraphicsFunc makeGraphicsFunc_;
  LayoutFunc layoutFunc_;

private:
  std::unique_ptr<IGraphics> graphics_;
  int savedWidth_ = 0;
  int savedHeight_ = 0;
  float savedScale_ = 0.f;
  float hostScreenScale_ = 0.f;
  bool closing_ = false;
};

} // namespace plugkit::igraphics
