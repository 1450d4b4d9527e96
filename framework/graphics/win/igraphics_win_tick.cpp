#include "framework/graphics/win/igraphics_win.h"

#include "framework/core/win_text.h"
#include "framework/graphics/graphics_editor_delegate.h"

#include <cmath>

namespace plugkit::igraphics {

void IGraphicsWin::StartDisplayTick() {
  if (useVBlank_ && vblank_.Start(window_, VSyncThreadStart, this)) return;
  const int fps = FPS() > 0 ? FPS() : 1;
  UINT interval = static_cast<UINT>(1000 / fps);
  if (interval < 20) interval = 15;
  timerSet_ = SetTimer(window_, kDisplayTimerId, interval, nullptr) != 0;
}

void IGraphicsWin::StopDisplayTick() {
  vblank_.Stop();
  if (timerSet_) KillTimer(window_, kDisplayTimerId);
  timerSet_ = false;
}

DWORD WINAPI IGraphicsWin::VSyncThreadStart(LPVOID graphics) {
  static_cast<IGraphicsWin*>(graphics)->VSyncThread();
  return 0;
}

void IGraphicsWin::VSyncThread() {
  if (vblankFunctionsGiven_) {
    vblank_.Run(vblankFunctions_);
    return;
  }
  const HMODULE gdi32 = LoadLibraryW(L"gdi32.dll");
  vblank_.Run(LoadVBlankFunctions(gdi32));
  if (gdi32) FreeLibrary(gdi32);
}

RECT IGraphicsWin::ScaledOutward(const IRect& r) const {
  const float scale = GetTotalScale();
  return RECT{static_cast<LONG>(std::floor(r.L * scale)),
              static_cast<LONG>(std::floor(r.T * scale)), static_cast<LONG>(std::ceil(r.R * scale)),
              static_cast<LONG>(std::ceil(r.B * scale))};
}

void IGraphicsWin::FinishTextEntry() {
  if (textEntryState_ == TextEntryState::CancelRequested) {
    DestroyTextEntry();
    ClearInTextEntryControl();
  } else if (textEntryState_ == TextEntryState::CommitRequested) {
    wchar_t text[256] = {};
    SendMessageW(edit_, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
    StringBuffer utf8;
    WideToUtf8(utf8, text);
    // The control is told before the edit goes, so a value the control
    // refuses still leaves no edit behind.
    DestroyTextEntry();
    SetControlValueAfterTextEdit(utf8.Get());
  }
  textEntryState_ = TextEntryState::None;
}

void IGraphicsWin::FollowMonitorScale() {
  // A scale the host has set is the host's to change; a drag keeps the
  // scale it started with.
  if (GetCapture() || GetDelegate().HostScreenScale() > 0.f) return;
  const float scale = GetWindowScale(window_);
  if (scale != GetScreenScale()) SetScreenScale(scale);
}

void IGraphicsWin::OnDisplayTick(uint32_t tick) {
  if (!window_) return;
  if (useVBlank_ && vblank_.Running() && !AcceptTick(tick, vblank_.TickCounter(), skipUntil_))
    return;
  if (edit_ && textEntryState_ != TextEntryState::None) {
    FinishTextEntry();
    return;
  }
  FollowMonitorScale();
  IRectList rects;
  if (!IsDirty(rects)) return;
  ClearAllControlsDirty();
  for (int i = 0; i < rects.Size(); ++i) {
    const RECT r = ScaledOutward(rects.Get(i));
    InvalidateRect(window_, &r, FALSE);
  }
  if (edit_) {
    const RECT r = ScaledOutward(editBounds_);
    ValidateRect(window_, &r);
    UpdateWindow(window_);
    textEntryState_ = TextEntryState::ShownAndDrawn;
    return;
  }
  UpdateWindow(window_);
  if (useVBlank_ && vblank_.Running()) {
    const uint32_t now = vblank_.TickCounter();
    if (now != tick) skipUntil_ = now + 1;
  }
}

} // namespace plugkit::igraphics
