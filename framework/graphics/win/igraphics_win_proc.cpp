#include "framework/graphics/win/igraphics_win.h"

#include "framework/core/win_text.h"

#include <shellapi.h>
#include <windowsx.h>

#include <cmath>
#include <string>
#include <vector>

namespace plugkit::igraphics {
namespace {

// Releases a drop handle however the drop is handled.
class DropHandle {
public:
  explicit DropHandle(HDROP drop) : drop_(drop) {}
  DropHandle(const DropHandle&) = delete;
  DropHandle& operator=(const DropHandle&) = delete;
  ~DropHandle() { DragFinish(drop_); }
  HDROP Get() const { return drop_; }

private:
  HDROP drop_;
};

// Closes a touch-input handle however the touches are handled.
class TouchInputHandle {
public:
  TouchInputHandle(HTOUCHINPUT input, BOOL(WINAPI* close)(HTOUCHINPUT))
      : input_(input), close_(close) {}
  TouchInputHandle(const TouchInputHandle&) = delete;
  TouchInputHandle& operator=(const TouchInputHandle&) = delete;
  ~TouchInputHandle() { close_(input_); }
  HTOUCHINPUT Get() const { return input_; }

private:
  HTOUCHINPUT input_;
  BOOL(WINAPI* close_)(HTOUCHINPUT);
};

// A dropped path, read whole (never cut inside a character).
std::string DroppedPath(HDROP drop, UINT index) {
  const UINT units = DragQueryFileW(drop, index, nullptr, 0);
  if (units == 0) return {};
  std::wstring wide(units + 1, L'\0');
  const UINT read = DragQueryFileW(drop, index, wide.data(), units + 1);
  wide.resize(read);
  StringBuffer utf8;
  WideToUtf8(utf8, wide.c_str());
  return utf8.Get();
}

bool KeyDown(int key) { return (GetKeyState(key) & 0x8000) != 0; }

// Messages that end the press holding the mouse: its release, or the mouse
// taken away.
bool EndsPress(UINT message) {
  return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP ||
         message == WM_CAPTURECHANGED || message == WM_CANCELMODE;
}

} // namespace

LRESULT CALLBACK IGraphicsWin::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    auto* graphics = static_cast<IGraphicsWin*>(create->lpCreateParams);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(graphics));
    graphics->window_ = window;
    graphics->OnCreate();
    return 0;
  }
  auto* graphics = reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!graphics || graphics->window_ != window)
    return DefWindowProcW(window, message, wParam, lParam);
  return graphics->HandleMessage(message, wParam, lParam);
}

void IGraphicsWin::OnCreate() {
  StartDisplayTick();
  SetFocus(window_);
  DragAcceptFiles(window_, TRUE);
}

LRESULT IGraphicsWin::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  // Closing comes first: a focused edit must not hand WM_CLOSE to the
  // default procedure, which would destroy the window behind our back.
  if (message == WM_CLOSE) {
    CloseWindow();
    return 0;
  }
  if (message == kDisplayTickMessage) vblank_.TickArrived();
  if (edit_ && textEntryState_ == TextEntryState::Shown) {
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
      textEntryState_ = TextEntryState::CancelRequested;
      return 0;
    }
    // A press that opened the edit must still end, or it would keep its
    // control, its host edit and the mouse, and a click into the edit would
    // come here.
    if (!EndsPress(message)) return DefWindowProcW(window_, message, wParam, lParam);
  }
  if ((message >= WM_MOUSEFIRST && message <= WM_MBUTTONDBLCLK) || message == WM_MOUSEHOVER ||
      message == WM_MOUSELEAVE) {
    touchInput_ = (GetMessageExtraInfo() & 0xFFFFFF00) == kSynthesizedMouseSignature;
    if (touchInput_) cursorLocked_ = false;
  }

  switch (message) {
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_ERASEBKGND:
      return 0;
    case WM_PAINT:
      OnPaint();
      return 0;
    case WM_SETCURSOR:
      SetMouseCursor(CursorType());
      return 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
    case WM_KEYDOWN:
    case WM_KEYUP:
      return OnKey(message, wParam, lParam);
    case WM_TIMER:
      if (wParam == kDisplayTimerId) OnDisplayTick(0);
      return 0;
    case kDisplayTickMessage:
      OnDisplayTick(static_cast<uint32_t>(wParam));
      return 0;
    case WM_DPICHANGED:
    case WM_DPICHANGED_AFTERPARENT:
      FollowMonitorScale();
      return 0;
    case WM_CTLCOLOREDIT: {
      if (!edit_) return 0;
      const auto dc = reinterpret_cast<HDC>(wParam);
      const IColor& background = editStyle_.textEntryBGColor;
      const IColor& text = editStyle_.textEntryFGColor;
      const COLORREF backgroundRgb =
          RGB(static_cast<BYTE>(background.R), static_cast<BYTE>(background.G),
              static_cast<BYTE>(background.B));
      SetBkColor(dc, backgroundRgb);
      SetDCBrushColor(dc, backgroundRgb);
      SetTextColor(
          dc, RGB(static_cast<BYTE>(text.R), static_cast<BYTE>(text.G), static_cast<BYTE>(text.B)));
      SetBkMode(dc, OPAQUE);
      return reinterpret_cast<LRESULT>(GetStockObject(DC_BRUSH));
    }
    case WM_MOUSEMOVE:
      if (!touchInput_) OnMouseMove(wParam, lParam);
      return 0;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (touchInput_) return 0;
      HideTooltip();
      if (edit_) {
        textEntryState_ = TextEntryState::CommitRequested;
        return 0;
      }
      SetFocus(window_);
      SetCapture(window_);
      OnMouseDown({MakeMouseInfo(lParam, wParam)});
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      // The release announces itself as a lost capture first; the button-up
      // below is what ends the press.
      releasingCapture_ = true;
      ReleaseCapture();
      releasingCapture_ = false;
      OnMouseUp({MakeMouseInfo(lParam, wParam)});
      return 0;
    case WM_CAPTURECHANGED:
      if (!releasingCapture_ && reinterpret_cast<HWND>(lParam) != window_)
        OnMouseCaptureLost(lastMouseX_, lastMouseY_);
      return 0;
    case WM_CANCELMODE:
      OnMouseCaptureLost(lastMouseX_, lastMouseY_);
      return DefWindowProcW(window_, message, wParam, lParam);
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDBLCLK: {
      if (touchInput_) return 0;
      const IMouseInfo info = MakeMouseInfo(lParam, wParam);
      if (OnMouseDblClick(info.x, info.y, info.ms)) SetCapture(window_);
      return 0;
    }
    case WM_MOUSEWHEEL: {
      if (edit_) {
        textEntryState_ = TextEntryState::CancelRequested;
        return 0;
      }
      // Screen coordinates, and no move of the mouse: the drag in progress
      // keeps measuring from where the pointer last was.
      IMouseInfo info = MouseSample(lParam, wParam);
      RECT r{};
      GetWindowRect(window_, &r);
      const float scale = GetTotalScale();
      info.x -= static_cast<float>(r.left) / scale;
      info.y -= static_cast<float>(r.top) / scale;
      const int delta = GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA;
      OnMouseWheel(info.x, info.y, info.ms, static_cast<float>(delta));
      return 0;
    }
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return 0;
    case WM_TOUCH:
      OnTouch(wParam, lParam);
      return 0;
    case WM_MOUSEHOVER:
      OnMouseHover();
      return 0;
    case WM_MOUSELEAVE:
      HideTooltip();
      OnMouseOut();
      return 0;
    default:
      return DefWindowProcW(window_, message, wParam, lParam);
  }
}

IMouseInfo IGraphicsWin::MakeMouseInfo(LPARAM lParam, WPARAM wParam) {
  const IMouseInfo info = MouseSample(lParam, wParam);
  lastMouseX_ = info.x;
  lastMouseY_ = info.y;
  return info;
}

IMouseInfo IGraphicsWin::MouseSample(LPARAM lParam, WPARAM wParam) const {
  const float scale = GetTotalScale();
  IMouseInfo info;
  info.x = static_cast<float>(GET_X_LPARAM(lParam)) / scale;
  info.y = static_cast<float>(GET_Y_LPARAM(lParam)) / scale;
  info.ms.L = (wParam & MK_LBUTTON) != 0;
  info.ms.R = (wParam & MK_RBUTTON) != 0;
  info.ms.S = (wParam & MK_SHIFT) != 0;
  info.ms.C = (wParam & MK_CONTROL) != 0;
  info.ms.A = KeyDown(VK_MENU);
  return info;
}

void IGraphicsWin::OnMouseMove(WPARAM wParam, LPARAM lParam) {
  if (wParam & (MK_LBUTTON | MK_RBUTTON)) {
    if (GetCapture() != window_) return;
    if (GetControlInTextEntry() && !GetTextEntryControl()) return;
    const float previousX = lastMouseX_;
    const float previousY = lastMouseY_;
    IMouseInfo info = MakeMouseInfo(lParam, wParam);
    info.dX = info.x - previousX;
    info.dY = info.y - previousY;
    if (info.dX != 0.f || info.dY != 0.f) {
      OnMouseDrag({info});
      if (cursorLocked_) {
        const float keptX = hiddenCursorX_;
        const float keptY = hiddenCursorY_;
        MoveMouseCursor(keptX, keptY);
        hiddenCursorX_ = keptX;
        hiddenCursorY_ = keptY;
      }
    }
    return;
  }
  const IMouseInfo info = MakeMouseInfo(lParam, wParam);
  const bool overControl = OnMouseOver(info.x, info.y, info.ms);
  TRACKMOUSEEVENT track{};
  track.cbSize = sizeof track;
  track.dwFlags = TME_LEAVE;
  track.hwndTrack = window_;
  track.dwHoverTime = HOVER_DEFAULT;
  // Also where no control is: coming back to the last one is a change, which
  // asks for its tooltip again.
  const int over = GetMouseOverIdx();
  if (TooltipsEnabled() && over != tooltipControlIdx_) {
    if (over >= 0) track.dwFlags |= TME_HOVER;
    tooltipControlIdx_ = over;
    HideTooltip();
  }
  if (overControl) TrackMouseEvent(&track);
}

LRESULT IGraphicsWin::OnKey(UINT message, WPARAM wParam, LPARAM lParam) {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(window_, &p);
  BYTE keyboard[256] = {};
  GetKeyboardState(keyboard);
  WORD ascii[2] = {};
  const int translated =
      ToAscii(static_cast<UINT>(wParam), (lParam >> 16) & 0xFF, keyboard, ascii, 0);
  if (translated == 0 || translated == 1) {
    IKeyPress key;
    key.VK = static_cast<int32_t>(wParam);
    if (translated == 1 && ascii[0] < 0x80) key.utf8[0] = static_cast<char>(ascii[0]);
    key.S = KeyDown(VK_SHIFT);
    key.C = KeyDown(VK_CONTROL);
    key.A = KeyDown(VK_MENU);
    // Bit 30: the key was already down.
    key.repeat = message == WM_KEYDOWN && (lParam & 0x40000000) != 0;
    const float scale = GetTotalScale();
    const float x = static_cast<float>(p.x) / scale;
    const float y = static_cast<float>(p.y) / scale;
    const bool handled = message == WM_KEYDOWN ? OnKeyDown(x, y, key) : OnKeyUp(x, y, key);
    if (handled) return 0;
  }
  SendMessageW(GetAncestor(window_, GA_ROOT), message, wParam, lParam);
  return DefWindowProcW(window_, message, wParam, lParam);
}

void IGraphicsWin::OnDropFiles(HDROP drop) {
  const DropHandle handle(drop);
  const UINT count = DragQueryFileW(handle.Get(), 0xFFFFFFFF, nullptr, 0);
  if (count == 0) return;
  std::vector<std::string> paths;
  paths.reserve(count);
  for (UINT i = 0; i < count; ++i) paths.push_back(DroppedPath(handle.Get(), i));
  POINT p{};
  DragQueryPoint(handle.Get(), &p);
  const float scale = GetTotalScale();
  const float x = static_cast<float>(p.x) / scale;
  const float y = static_cast<float>(p.y) / scale;
  if (count == 1) {
    OnDrop(paths[0].c_str(), x, y);
    return;
  }
  std::vector<const char*> texts;
  texts.reserve(count);
  for (const std::string& path : paths) texts.push_back(path.c_str());
  OnDropMultiple(texts, x, y);
}

void IGraphicsWin::OnTouch(WPARAM wParam, LPARAM lParam) {
  const UINT count = LOWORD(wParam);
  if (count == 0) return;
  const TouchInputHandle handle(reinterpret_cast<HTOUCHINPUT>(lParam),
                                touchFunctions_.closeTouchInputHandle);
  std::vector<TOUCHINPUT> inputs(count);
  if (!touchFunctions_.getTouchInputInfo(handle.Get(), count, inputs.data(), sizeof(TOUCHINPUT)))
    return;
  const float scale = GetTotalScale();
  std::vector<IMouseInfo> downs;
  std::vector<IMouseInfo> ups;
  std::vector<IMouseInfo> moves;
  for (const TOUCHINPUT& input : inputs) {
    POINT p{input.x / 100, input.y / 100};
    ScreenToClient(window_, &p);
    IMouseInfo info;
    info.x = static_cast<float>(p.x) / scale;
    info.y = static_cast<float>(p.y) / scale;
    info.ms.touchID = static_cast<int64_t>(input.dwID);
    info.ms.touchRadius =
        (input.dwMask & TOUCHINPUTMASKF_CONTACTAREA) ? static_cast<float>(input.cxContact) : 0.f;
    if (input.dwFlags & TOUCHEVENTF_DOWN) {
      downs.push_back(info);
      touches_[info.ms.touchID] = info;
    } else if (input.dwFlags & TOUCHEVENTF_UP) {
      touches_.erase(info.ms.touchID);
      ups.push_back(info);
    } else if (input.dwFlags & TOUCHEVENTF_MOVE) {
      // A move of a contact never seen going down moves from where it is.
      const auto known = touches_.find(info.ms.touchID);
      if (known != touches_.end()) {
        info.dX = info.x - known->second.x;
        info.dY = info.y - known->second.y;
      }
      moves.push_back(info);
      touches_[info.ms.touchID] = info;
    }
  }
  if (!downs.empty()) OnMouseDown(downs);
  if (!ups.empty()) OnMouseUp(ups);
  if (!moves.empty()) OnMouseDrag(moves);
}

void IGraphicsWin::OnMouseHover() {
  if (!tooltip_ || tooltipControlIdx_ < 0) return;
  const IControl* control = GetControl(tooltipControlIdx_);
  if (!control) return;
  tooltip_->SetText(control->GetTooltip());
  tooltipShown_ = true;
}

void IGraphicsWin::HideTooltip() {
  if (!tooltipShown_) return;
  if (tooltip_) tooltip_->SetText(nullptr);
  tooltipShown_ = false;
}

void IGraphicsWin::SetTooltipText(const char* text) {
  if (tooltip_) tooltip_->SetText(text);
}

void IGraphicsWin::AddScaledDirtyRect(const RECT& r, IRectList& rects) const {
  const float scale = GetTotalScale();
  rects.Add(IRect(std::floor(static_cast<float>(r.left) / scale),
                  std::floor(static_cast<float>(r.top) / scale),
                  std::ceil(static_cast<float>(r.right) / scale),
                  std::ceil(static_cast<float>(r.bottom) / scale)));
}

void IGraphicsWin::OnPaint() {
  const HRGN region = CreateRectRgn(0, 0, 0, 0);
  const int type = GetUpdateRgn(window_, region, FALSE);
  if (type == SIMPLEREGION || type == COMPLEXREGION) {
    IRectList rects;
    alignas(RGNDATA) char buffer[1024];
    const DWORD needed = GetRegionData(region, 0, nullptr);
    if (type == COMPLEXREGION && needed > 0 && needed <= sizeof buffer &&
        GetRegionData(region, sizeof buffer, reinterpret_cast<RGNDATA*>(buffer)) != 0) {
      const auto* data = reinterpret_cast<const RGNDATA*>(buffer);
      const auto* r = reinterpret_cast<const RECT*>(data->Buffer);
      for (DWORD i = 0; i < data->rdh.nCount; ++i) AddScaledDirtyRect(r[i], rects);
    } else {
      RECT box{};
      GetRgnBox(region, &box);
      AddScaledDirtyRect(box, rects);
    }
    PAINTSTRUCT paint{};
    BeginPaint(window_, &paint);
    ActivateGLContext();
    Draw(rects);
    SwapBuffers(dc_);
    DeactivateGLContext();
    EndPaint(window_, &paint);
  }
  ValidateRect(window_, nullptr);
  DeleteObject(region);
}

} // namespace plugkit::igraphics
