#include "framework/graphics/win/igraphics_win.h"

#include "framework/graphics/graphics_editor_delegate.h"
#include "framework/graphics/vg/vg_gl_loader_win.h"
#include "framework/graphics/win/font_caches.h"
#include "framework/graphics/win/win_font_loading.h"
#include "framework/graphics/win/window_dc.h"

#include <cmath>

namespace plugkit::igraphics {
namespace {

bool RunningWindows8OrLater() {
  OSVERSIONINFOEXW version{};
  version.dwOSVersionInfoSize = sizeof version;
  version.dwMajorVersion = 6;
  version.dwMinorVersion = 2;
  version.wServicePackMajor = 0;
  DWORDLONG condition = 0;
  condition = VerSetConditionMask(condition, VER_MAJORVERSION, VER_GREATER_EQUAL);
  condition = VerSetConditionMask(condition, VER_MINORVERSION, VER_GREATER_EQUAL);
  condition = VerSetConditionMask(condition, VER_SERVICEPACKMAJOR, VER_GREATER_EQUAL);
  return VerifyVersionInfoW(&version, VER_MAJORVERSION | VER_MINORVERSION | VER_SERVICEPACKMAJOR,
                            condition) != FALSE;
}

bool SetUpPixelFormat(HDC dc) {
  PIXELFORMATDESCRIPTOR format{};
  format.nSize = sizeof format;
  format.nVersion = 1;
  format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  format.iPixelType = PFD_TYPE_RGBA;
  format.cColorBits = 32;
  format.cDepthBits = 24;
  format.cStencilBits = 8;
  const int chosen = ChoosePixelFormat(dc, &format);
  return chosen != 0 && SetPixelFormat(dc, chosen, &format);
}

// Restores the GL context (a host's, say) that was current before.
class PreviousGLContext {
public:
  PreviousGLContext() : dc_(wglGetCurrentDC()), context_(wglGetCurrentContext()) {}
  PreviousGLContext(const PreviousGLContext&) = delete;
  PreviousGLContext& operator=(const PreviousGLContext&) = delete;
  ~PreviousGLContext() { wglMakeCurrent(dc_, context_); }

private:
  HDC dc_;
  HGLRC context_;
};

} // namespace

IGraphicsWin::IGraphicsWin(IGEditorDelegate& delegate, int width, int height, int fps, float scale)
    : IGraphicsVG(delegate, width, height, fps, scale) {
  RetainFontCaches();
  useVBlank_ = RunningWindows8OrLater();
}

IGraphicsWin::~IGraphicsWin() {
  DestroyTextEntry();
  CloseWindow();
  ReleaseFontCaches();
}

void* IGraphicsWin::OpenWindow(void* parent) {
  parent_ = static_cast<HWND>(parent);
  const float scale = GetWindowScale(parent_);
  int x = 0;
  int y = 0;
  const int wholeScale = static_cast<int>(scale);
  int w = wholeScale * static_cast<int>(static_cast<float>(Width()) * GetDrawScale());
  int h = wholeScale * static_cast<int>(static_cast<float>(Height()) * GetDrawScale());
  if (window_) {
    RECT parentRect{};
    RECT editorRect{};
    GetWindowRect(parent_, &parentRect);
    GetWindowRect(window_, &editorRect);
    CloseWindow();
    x = editorRect.left - parentRect.left;
    y = editorRect.top - parentRect.top;
    w = editorRect.right - editorRect.left;
    h = editorRect.bottom - editorRect.top;
  }

  if (!module_) module_ = ::GetModuleHandleW(nullptr);
  windowClass_ = std::make_unique<EditorWindowClass>(module_, WindowProc);
  CreateWindowExW(0, EditorWindowClass::kName, L"IPlugin",
                  WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, x, y, w, h, parent_,
                  nullptr, module_, this);
  if (!window_) {
    windowClass_.reset();
    return nullptr;
  }
  dc_ = TakeWindowDC(window_);
  GiveBackWindowDC(window_, dc_);

  {
    const PreviousGLContext previous;
    if (SetUpPixelFormat(dc_)) glContext_ = wglCreateContext(dc_);
    if (glContext_ && wglMakeCurrent(dc_, glContext_) && VgLoadGlFunctionsWin32())
      InitDrawContext();
    // The exact, fractional scale arrives with the first display tick.
    SetScreenScale(static_cast<float>(wholeScale > 0 ? wholeScale : 1));
    GetDelegate().LayoutEditor(this);
  }

  if (multiTouch_ && (GetSystemMetrics(SM_DIGITIZER) & NID_READY)) RegisterTouchWindow(window_, 0);
  SetAllControlsDirty();
  if (TooltipsEnabled()) {
    tooltip_ = TooltipWindow::Create(window_, module_);
    if (!tooltip_) EnableTooltips(false);
  }
  GetDelegate().OnEditorOpened();
  return window_;
}

void IGraphicsWin::CloseWindow() {
  if (!window_) return;
  StopDisplayTick();
  // The edit is a child of the editor window and must not outlive it with a
  // request the next window would act on.
  DestroyTextEntry();
  textEntryState_ = TextEntryState::None;
  if (glContext_) {
    ActivateGLContext();
    ReleaseDrawContext();
    DeactivateGLContext();
    if (wglGetCurrentContext() == glContext_) wglMakeCurrent(nullptr, nullptr);
    wglDeleteContext(glContext_);
    glContext_ = nullptr;
  } else {
    RemoveAllControls();
  }
  tooltip_.reset();
  tooltipShown_ = false;
  tooltipControlIdx_ = -1;
  touches_.clear();
  const HWND window = window_;
  window_ = nullptr;
  DestroyWindow(window);
  dc_ = nullptr;
  windowClass_.reset();
}

void IGraphicsWin::ActivateGLContext() {
  // Without a window GetDC would hand out the screen's device context, and
  // nothing would give it back; with neither there is nothing to draw into.
  if (!window_ || !glContext_) return;
  // Nested activations (a bitmap loaded while painting) keep the context
  // that was current before the outermost one.
  if (glActivations_++ == 0) {
    previousDC_ = wglGetCurrentDC();
    previousContext_ = wglGetCurrentContext();
  }
  wglMakeCurrent(TakeWindowDC(window_), glContext_);
}

void IGraphicsWin::DeactivateGLContext() {
  // Only an activation that took effect has a device context to give back.
  if (glActivations_ == 0) return;
  GiveBackWindowDC(window_, dc_);
  if (--glActivations_ > 0) return;
  wglMakeCurrent(previousDC_, previousContext_);
}

bool IGraphicsWin::PlatformSupportsMultiTouch() const {
  return (GetSystemMetrics(SM_DIGITIZER) & NID_READY) != 0;
}

void IGraphicsWin::GetMouseLocation(float& x, float& y) const {
  POINT p{};
  GetCursorPos(&p);
  ScreenToClient(window_, &p);
  const float scale = GetTotalScale();
  x = static_cast<float>(p.x) / scale;
  y = static_cast<float>(p.y) / scale;
}

void IGraphicsWin::HideMouseCursor(bool hide, bool lock) {
  if (CursorHidden() == hide) return;
  if (hide) {
    hiddenCursorX_ = lastMouseX_;
    hiddenCursorY_ = lastMouseY_;
    ShowCursor(FALSE);
    SetCursorHidden(true);
    cursorLocked_ = lock && !touchInput_;
    return;
  }
  if (cursorLocked_) MoveMouseCursor(hiddenCursorX_, hiddenCursorY_);
  ShowCursor(TRUE);
  SetCursorHidden(false);
  cursorLocked_ = false;
}

void IGraphicsWin::MoveMouseCursor(float x, float y) {
  if (touchInput_) return;
  const float scale = GetTotalScale();
  POINT p{static_cast<LONG>(std::lround(x * scale)), static_cast<LONG>(std::lround(y * scale))};
  ClientToScreen(window_, &p);
  if (!SetCursorPos(p.x, p.y)) return;
  GetCursorPos(&p);
  ScreenToClient(window_, &p);
  lastMouseX_ = hiddenCursorX_ = static_cast<float>(p.x) / scale;
  lastMouseY_ = hiddenCursorY_ = static_cast<float>(p.y) / scale;
}

void IGraphicsWin::PlatformResize(bool parentHasResized) {
  if (!window_) return;
  const float screenScale = GetScreenScale();
  const int width = static_cast<int>(
      static_cast<float>(static_cast<int>(static_cast<float>(Width()) * GetDrawScale())) *
      screenScale);
  const int height = static_cast<int>(
      static_cast<float>(static_cast<int>(static_cast<float>(Height()) * GetDrawScale())) *
      screenScale);
  RECT editorRect{};
  GetWindowRect(window_, &editorRect);
  const int dw = width - (editorRect.right - editorRect.left);
  const int dh = height - (editorRect.bottom - editorRect.top);
  const auto isPlainChild = [](HWND w) {
    return (GetWindowLongW(w, GWL_STYLE) & WS_CHILD) &&
           !(GetWindowLongW(w, GWL_EXSTYLE) & WS_EX_MDICHILD);
  };
  HWND parent = nullptr;
  HWND grandparent = nullptr;
  RECT parentRect{};
  RECT grandparentRect{};
  if (isPlainChild(window_)) {
    parent = GetParent(window_);
    GetWindowRect(parent, &parentRect);
    if (isPlainChild(parent)) {
      grandparent = GetParent(parent);
      GetWindowRect(grandparent, &grandparentRect);
    }
  }
  if (dw == 0 && dh == 0) return;
  constexpr UINT kFlags = SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE;
  SetWindowPos(window_, nullptr, 0, 0, width, height, kFlags);
  if (parentHasResized) return;
  if (parent)
    SetWindowPos(parent, nullptr, 0, 0, parentRect.right - parentRect.left + dw,
                 parentRect.bottom - parentRect.top + dh, kFlags);
  if (grandparent)
    SetWindowPos(grandparent, nullptr, 0, 0, grandparentRect.right - grandparentRect.left + dw,
                 grandparentRect.bottom - grandparentRect.top + dh, kFlags);
}

std::unique_ptr<PlatformFont> IGraphicsWin::LoadPlatformFontByName(const char*, const char* family,
                                                                   int style) {
  return LoadWinFontByName(family, style);
}

std::unique_ptr<PlatformFont> IGraphicsWin::LoadPlatformFontFromMemory(const char* fontID,
                                                                       const void* data,
                                                                       int dataSize) {
  return LoadWinFontFromMemory(fontID, data, dataSize);
}

std::unique_ptr<PlatformFont> IGraphicsWin::LoadPlatformFontFromFile(const char* fontID,
                                                                     const char* fileNameOrResID) {
  return LoadWinFontFromFile(fontID, fileNameOrResID, module_);
}

void IGraphicsWin::CachePlatformFont(const char* fontID, const PlatformFont& font) {
  AddFontHandle(fontID, font);
}

} // namespace plugkit::igraphics
