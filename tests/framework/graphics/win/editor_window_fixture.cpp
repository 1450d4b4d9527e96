#include "tests/framework/graphics/win/editor_window_fixture.h"

#include "framework/graphics/vg/vg_framebuffer.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace plugkit::igraphics::testing {

Watchdog::Watchdog(DWORD milliseconds)
    : thread_([this, milliseconds] {
        std::unique_lock<std::mutex> lock(mutex_);
        if (stopped_.wait_for(lock, std::chrono::milliseconds(milliseconds),
                              [this] { return stopping_; }))
          return;
        std::fprintf(stderr, "watchdog: a native loop never returned\n");
        std::fflush(stderr);
        std::_Exit(3);
      }) {}

Watchdog::~Watchdog() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  stopped_.notify_one();
  thread_.join();
}

void RecordingControl::Draw(IGraphics& g) {
  ++draws;
  const double v = GetValue();
  g.FillRect(v > 0.5 ? IColor(255, 255, 255, 255) : color_, GetRECT());
}

void RecordingControl::OnMouseDown(float, float, const IMouseMod&) {
  SetValue(GetValue() > 0.5 ? 0.0 : 1.0);
  SetDirty(true);
}

void RecordingControl::OnMouseWheel(float, float, const IMouseMod&, float delta) {
  wheels.push_back(delta);
}

bool RecordingControl::OnKeyDown(float, float, const IKeyPress& key) {
  keys.push_back(key.VK);
  return true;
}

void RecordingControl::OnDropMultiple(const std::vector<const char*>& paths) {
  multipleDrops.emplace_back(paths.begin(), paths.end());
}

void RecordingControl::OnMouseOver(float x, float y, const IMouseMod& mod) {
  if (cursorType >= 0) GetUI()->SetMouseCursor(cursorType);
  IControl::OnMouseOver(x, y, mod);
}

void RecordingControl::OnMouseOut() {
  if (cursorType >= 0) GetUI()->SetMouseCursor(0);
  IControl::OnMouseOut();
}

void TestKnob::Draw(IGraphics& g) {
  g.FillRect(IColor(255, 0, static_cast<int32_t>(255 * GetValue()), 0), GetRECT());
}

WindowTestDelegate::WindowTestDelegate() : TestDelegate(4) {
  makeGraphicsFunc_ = [this]() -> IGraphics* {
    auto* graphics = new IGraphicsWin(*this, 400, 300, 60, 1.f);
    graphics->SetModuleHandle(GetModuleHandleW(nullptr));
    if (configure) configure(*graphics);
    return graphics;
  };
  layoutFunc_ = [this](IGraphics* g) {
    auto* backdrop = new RecordingControl(IRect(0, 0, 400, 300), -1, IColor(255, 0, 0, 64));
    backdrop->SetIgnoreMouse(true);
    g->AttachControl(backdrop);
    button = new RecordingControl(IRect(20, 20, 120, 80), 0, IColor(255, 255, 0, 0));
    g->AttachControl(button);
    knob = new TestKnob(IRect(200, 20, 300, 120), 1);
    g->AttachControl(knob);
    if (layout) layout(*g);
  };
}

LRESULT SendMouse(HWND window, UINT message, int x, int y, WPARAM keys) {
  return SendMessageW(window, message, keys, MAKELPARAM(x, y));
}

uint32_t ReadEditorPixel(IGraphicsWin& graphics, int x, int y) {
  VgFramebuffer* layer = graphics.GetBackingLayer();
  if (!layer) return 0;
  const int height = graphics.WindowHeight();
  uint8_t pixel[4] = {};
  graphics.ActivateGLContext();
  VgBindFramebuffer(layer);
  // Rows run from the bottom up.
  vgGl.ReadPixels(x, height - 1 - y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
  VgBindFramebuffer(nullptr);
  graphics.DeactivateGLContext();
  return static_cast<uint32_t>(pixel[0]) << 24 | static_cast<uint32_t>(pixel[1]) << 16 |
         static_cast<uint32_t>(pixel[2]) << 8 | pixel[3];
}

} // namespace plugkit::igraphics::testing
