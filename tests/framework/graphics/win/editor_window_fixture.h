#pragma once

#include "framework/graphics/iknob_control_base.h"
#include "framework/graphics/win/igraphics_win.h"
#include "tests/support/graphics/test_delegate.h"
#include "tests/support/win/test_parent_window.h"

#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace plugkit::igraphics::testing {

// Ends the test program when a native loop (menu, dialog, drag) has not
// returned `milliseconds` after the watchdog was made, so that a run never
// hangs; a watchdog that goes out of scope first stops watching.
class Watchdog {
public:
  explicit Watchdog(DWORD milliseconds);
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;
  ~Watchdog();

private:
  std::mutex mutex_;
  std::condition_variable stopped_;
  bool stopping_ = false;
  std::thread thread_;
};

// A control bound to a parameter that flips it on a click, fills its
// rectangle with its colour and keeps what reached it.
class RecordingControl : public IControl {
public:
  RecordingControl(const IRect& bounds, int paramIdx, const IColor& color)
      : IControl(bounds, paramIdx), color_(color) {}
  void Draw(IGraphics& g) override;
  void OnMouseDown(float x, float y, const IMouseMod& mod) override;
  void OnMouseWheel(float x, float y, const IMouseMod& mod, float delta) override;
  bool OnKeyDown(float x, float y, const IKeyPress& key) override;
  void OnDrop(const char* path) override { drops.emplace_back(path); }
  void OnDropMultiple(const std::vector<const char*>& paths) override;
  void OnMouseOver(float x, float y, const IMouseMod& mod) override;
  void OnMouseOut() override;
  void OnPopupMenuSelection(IPopupMenu* selectedMenu, int) override {
    chosenItem = selectedMenu ? selectedMenu->GetChosenItemIdx() : -1;
  }

  std::vector<float> wheels;
  std::vector<int> keys;
  std::vector<std::string> drops;
  std::vector<std::vector<std::string>> multipleDrops;
  int cursorType = -1;
  int chosenItem = -2;
  int draws = 0;
  bool alwaysDirty = false;
  bool IsDirty() override { return alwaysDirty || IControl::IsDirty(); }

private:
  IColor color_;
};

class TestKnob : public IKnobControlBase {
public:
  TestKnob(const IRect& bounds, int paramIdx) : IKnobControlBase(bounds, paramIdx) {
    SetHideCursorOnDrag(false);
  }
  IRect GetDragBounds() const override { return GetRECT(); }
  void Draw(IGraphics& g) override;
  void OnMouseUp(float x, float y, const IMouseMod& mod) override {
    upsY.push_back(y);
    IKnobControlBase::OnMouseUp(x, y, mod);
  }
  using IKnobControlBase::SetHideCursorOnDrag;

  std::vector<float> upsY;
};

// An editor delegate that opens a 400 x 300 IGraphicsWin with a button at
// (20, 20, 120, 80) on parameter 0 and a knob at (200, 20, 300, 120) on
// parameter 1, over a backdrop control.
class WindowTestDelegate : public TestDelegate {
public:
  WindowTestDelegate();
  // Runs on the new graphics context before its window opens.
  std::function<void(IGraphicsWin&)> configure;
  // Further controls after the standard ones.
  std::function<void(IGraphics&)> layout;

  IGraphicsWin* Graphics() const { return static_cast<IGraphicsWin*>(GetUI()); }
  HWND Window() const { return static_cast<HWND>(Graphics()->GetWindow()); }
  RecordingControl* button = nullptr;
  TestKnob* knob = nullptr;
};

// The test delegate's editor open in a parent window for the length of a
// test; `configure` runs on the graphics context before its window opens.
struct OpenEditor {
  explicit OpenEditor(std::function<void(IGraphicsWin&)> configure = nullptr) {
    delegate.configure = std::move(configure);
    window = static_cast<HWND>(delegate.OpenEditor(parent.Get()));
  }
  OpenEditor(const OpenEditor&) = delete;
  OpenEditor& operator=(const OpenEditor&) = delete;
  ~OpenEditor() { delegate.CloseEditor(); }
  IGraphicsWin& G() { return *delegate.Graphics(); }

  test::TestParentWindow parent;
  WindowTestDelegate delegate;
  HWND window = nullptr;
};

// Sends a mouse message with client coordinates to the editor window.
LRESULT SendMouse(HWND window, UINT message, int x, int y, WPARAM keys = 0);

// The RGBA pixel at (x, y) (device pixels from the top left) of the
// editor's backing layer, read back from GL.
uint32_t ReadEditorPixel(IGraphicsWin& graphics, int x, int y);

} // namespace plugkit::igraphics::testing
