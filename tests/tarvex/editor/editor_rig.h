#pragma once

#include "framework/graphics/igraphics.h"
#include "tarvex/editor/editor_layout.h"
#include "tarvex/editor/editor_palette.h"
#include "tarvex/plugin/tarvex_plugin.h"
#include "tests/support/graphics/recording_graphics.h"

#include <atomic>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace tarvex::testing {

using plugkit::igraphics::IColor;
using plugkit::igraphics::IControl;
using plugkit::igraphics::IGraphics;
using plugkit::igraphics::IKeyPress;
using plugkit::igraphics::IMouseInfo;
using plugkit::igraphics::IMouseMod;
using plugkit::igraphics::IPopupMenu;
using plugkit::igraphics::IRect;

// One drawing call as a control made it, before it became paths.
struct Drawn {
  std::string op;
  IRect rect;
  IColor color;
  std::vector<float> args;
  std::string text;
  float size = 0.f;
};

// The recording back end seen from the editor: besides the back-end calls
// it keeps the drawing interface's shape, line and text calls, the links
// opened, and answers popup menus with a chosen item. Opening its window
// lays the editor out and sends it the parameter values, as a window does.
class EditorGraphics : public plugkit::igraphics::testing::RecordingGraphics {
public:
  EditorGraphics(plugkit::igraphics::IGEditorDelegate& delegate)
      : RecordingGraphics(delegate, kEditorWidth, kEditorHeight, kEditorFps, 1.f) {}

  void* OpenWindow(void*) override;
  void FillRoundRect(const IColor& c, const IRect& r, float radius,
                     const plugkit::igraphics::IBlend* b) override;
  void DrawRoundRect(const IColor& c, const IRect& r, float radius,
                     const plugkit::igraphics::IBlend* b, float thickness) override;
  void DrawLine(const IColor& c, float x1, float y1, float x2, float y2,
                const plugkit::igraphics::IBlend* b, float thickness) override;
  void FillCircle(const IColor& c, float cx, float cy, float r,
                  const plugkit::igraphics::IBlend* b) override;
  void DrawCircle(const IColor& c, float cx, float cy, float r, const plugkit::igraphics::IBlend* b,
                  float thickness) override;
  void DrawArc(const IColor& c, float cx, float cy, float r, float a1, float a2,
               const plugkit::igraphics::IBlend* b, float thickness) override;
  void DoDrawText(const plugkit::igraphics::ITextStyle& style, const char* text, const IRect& r,
                  const plugkit::igraphics::IBlend* b) override;
  void DrawMultiLineText(const plugkit::igraphics::ITextStyle& style, const char* text,
                         const IRect& r, const plugkit::igraphics::IBlend* b) override;
  bool OpenURL(const char* url, const char*, const char*, const char*) override;
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRect& bounds) override;

  // Polls every control and draws the whole editor once; the drawn calls
  // replace the previous frame's.
  void Frame();
  // The texts drawn in the last frame.
  std::vector<std::string> Texts() const;
  bool Drew(const std::string& text) const;
  // The last text call with the text, or null.
  const Drawn* Text(const std::string& text) const;
  // The last text call with the text drawn in the rectangle, or null.
  const Drawn* Text(const std::string& text, const IRect& within) const;
  std::vector<Drawn> Named(const std::string& op) const;

  // Pointer gestures through the input dispatch.
  void Click(float x, float y, IMouseMod mod = IMouseMod());
  void Drag(float x0, float y0, float x1, float y1, IMouseMod mod = IMouseMod());
  void Key(float x, float y, int vk, bool shift = false);

  std::vector<Drawn> drawn;
  std::vector<std::string> urls;
  // The item the next popup menu chooses; -1 dismisses it.
  int menuChoice = -1;
  IPopupMenu* lastMenu = nullptr;

private:
  Drawn& Add(const char* op, const IRect& r, const IColor& c, std::initializer_list<float> args);
};

// A Tarvex whose editor is the recording back end, which counts host edits
// per parameter and notes every engine command with the mode it came in.
class EditorTarvex : public Tarvex {
public:
  EditorTarvex();

  void BeginHostParamEdit(int paramIdx) override;
  void SendParamValueToHost(int paramIdx, double normalized) override;
  void EndHostParamEdit(int paramIdx) override;
  bool QueueCommand(unsigned bits) override;
  bool ResizeEditorFromUI(int width, int height, bool needsPlatformResize) override {
    platformResizes.push_back(needsPlatformResize);
    return Tarvex::ResizeEditorFromUI(width, height, needsPlatformResize);
  }
  std::vector<bool> platformResizes;
  void SendParamValueToUI(int paramIdx, double value, bool normalized) override {
    if (duringUpdate) duringUpdate();
    Tarvex::SendParamValueToUI(paramIdx, value, normalized);
  }
  // Runs inside every value sent to the editor, e.g. in the middle of a bank
  // operation.
  std::function<void()> duringUpdate;
  // Makes the engine's command word refuse.
  bool refuseCommands = false;

  EditorGraphics& Open();
  EditorGraphics& UI() const { return *static_cast<EditorGraphics*>(GetUI()); }
  void Activate(double fs = 48000.0);
  // Runs frames of audio through the block processing.
  void Process(long frames, const std::function<double(long)>& source);
  double Plain(int paramIdx) const { return GetParam(paramIdx)->Value(); }
  void SetPlain(int paramIdx, double value);
  EngineSnapshot Snapshot() const;

  // Host edits: whether each value sent lay inside its parameter's edit,
  // and the edits still open.
  bool valueOutsideEdit = false;
  bool endWithoutBegin = false;
  int OpenEdits() const;
  std::map<int, int> openEdits;
  int valuesSent = 0;

  struct Command {
    unsigned bits;
    int mode;
  };
  std::vector<Command> commands;
  long position = 0;
};

// A sine growing by rateDb per second from startDb dBFS.
std::function<double(long)> GrowingSine(double startDb, double rateDb, double frequency, double fs);

template <typename T>
std::vector<T*> ControlsOf(IGraphics& g) {
  std::vector<T*> found;
  for (int i = 0; i < g.NControls(); ++i)
    if (auto* c = dynamic_cast<T*>(g.GetControl(i))) found.push_back(c);
  return found;
}

} // namespace tarvex::testing
