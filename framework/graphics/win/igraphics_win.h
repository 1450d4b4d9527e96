#pragma once

#include "framework/graphics/vg/igraphics_vg.h"
#include "framework/graphics/win/editor_window_class.h"
#include "framework/graphics/win/tooltip_window.h"
#include "framework/graphics/win/vblank_thread.h"
#include "framework/graphics/win/window_scale.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <shellapi.h>
#include <windows.h>
// windows.h maps these names to its narrow functions; here they are the
// graphics context's operations.
#undef LoadBitmap
#undef GetModuleHandle

#include <atomic>
#include <cstdint>
#include <memory>
#include <unordered_map>

namespace plugkit::igraphics {

// Native text entry: what the edit window and the display tick agree on.
enum class TextEntryState : uint32_t {
  None = 0,
  Shown = 1,
  ShownAndDrawn = 2,
  CancelRequested = 3,
  CommitRequested = 4,
};

// GetTouchInputInfo and CloseTouchInputHandle, through which the window
// reads and releases the contacts of a WM_TOUCH.
struct TouchFunctions {
  BOOL(WINAPI* getTouchInputInfo)(HTOUCHINPUT, UINT, PTOUCHINPUT, int) = GetTouchInputInfo;
  BOOL(WINAPI* closeTouchInputHandle)(HTOUCHINPUT) = CloseTouchInputHandle;
};

// The editor's graphics context on Windows: one child window with its own
// window procedure and WGL context, turning Win32 input into the graphics
// context's input calls and painting only the dirty areas. Everything runs on
// the user-interface thread except the vertical-blank thread, which only
// posts ticks to the window.
class IGraphicsWin : public IGraphicsVG {
public:
  // Posted by the vertical-blank thread; wParam carries the tick counter.
  static constexpr UINT kDisplayTickMessage = WM_USER + 1;
  static constexpr UINT_PTR kDisplayTimerId = 2;
  static constexpr int kTextEntryId = 99;
  static constexpr LONG_PTR kTextEntryMarker = 0xDEADF00B;
  // GetMessageExtraInfo's top 24 bits on mouse messages made from pen or touch.
  static constexpr LPARAM kSynthesizedMouseSignature = 0xFF515700;

  IGraphicsWin(IGEditorDelegate& delegate, int width, int height, int fps = 30, float scale = 1.f);
  ~IGraphicsWin() override;

  void GetMouseLocation(float& x, float& y) const override;
  void HideMouseCursor(bool hide = true, bool lock = true) override;
  void MoveMouseCursor(float x, float y) override;
  int SetMouseCursor(int cursorType) override;
  void RemovePlatformTextEntry() override;
  void* OpenWindow(void* parent) override;
  void CloseWindow() override;
  void* GetWindow() override { return window_; }
  bool WindowIsOpen() override { return window_ != nullptr; }
  bool GetTextFromClipboard(StringBuffer& text) override;
  bool SetTextInClipboard(const char* text) override;
  bool SetFilePathInClipboard(const char* path) override;
  bool InitiateExternalFileDragDrop(const char* path) override;
  int ShowMessageBox(const char* text, const char* caption, int type,
                     MsgBoxCompletion completion = {}) override;
  void PromptForFile(StringBuffer& fileName, StringBuffer& path, int action, const char* extensions,
                     FileCompletion completion = {}) override;
  void PromptForDirectory(StringBuffer& dir, FileCompletion completion = {}) override;
  bool PromptForColor(IColor& color, const char* title, ColorCompletion completion = {}) override;
  bool OpenURL(const char* url, const char* windowTitle = nullptr, const char* confirmMsg = nullptr,
               const char* errMsgOnFailure = nullptr) override;
  const char* GetPlatformAPIName() override { return "win32"; }
  bool RevealPathInExplorer(const char* path, bool select) override;
  void SetModuleHandle(void* module) override { module_ = static_cast<HINSTANCE>(module); }
  void* GetModuleHandle() override { return module_; }
  std::unique_ptr<PlatformFont> LoadPlatformFontByName(const char* fontID, const char* family,
                                                       int style) override;
  std::unique_ptr<PlatformFont> LoadPlatformFontFromMemory(const char* fontID, const void* data,
                                                           int dataSize) override;
  std::unique_ptr<PlatformFont> LoadPlatformFontFromFile(const char* fontID,
                                                         const char* fileNameOrResID) override;
  void CachePlatformFont(const char* fontID, const PlatformFont& font) override;
  void ActivateGLContext() override;
  void DeactivateGLContext() override;
  void CreatePlatformTextEntry(int paramIdx, const ITextStyle& style, const IRect& bounds,
                               int length, const char* str) override;
  IPopupMenu* CreatePlatformPopupMenu(IPopupMenu& menu, const IRect& bounds) override;
  bool PlatformSupportsMultiTouch() const override;
  float GetPlatformWindowScale() const override { return GetScreenScale(); }
  void PlatformResize(bool parentHasResized) override;

  // The display tick: finishes a native text entry, applies a changed
  // monitor scale and paints what is dirty. `tick` is the posted tick
  // counter, 0 when the timer drives.
  void OnDisplayTick(uint32_t tick);

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TextEntryProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static DWORD WINAPI VSyncThreadStart(LPVOID graphics);

  void SetTooltipText(const char* text);
  void DestroyTextEntry();

  HWND GetEditWindow() const { return edit_; }
  HWND GetTooltipWindow() const { return tooltip_ ? tooltip_->Handle() : nullptr; }
  TextEntryState GetTextEntryState() const { return textEntryState_; }
  bool UsesVerticalBlank() const { return useVBlank_; }
  // The display-kernel functions the vertical-blank thread waits with, in
  // place of gdi32's, for a window opened from now on; the thread then runs
  // whatever the Windows version (incomplete functions give it its 16 ms
  // fallback).
  void SetVBlankFunctions(const VBlankFunctions& functions) {
    vblankFunctions_ = functions;
    vblankFunctionsGiven_ = true;
    useVBlank_ = true;
  }
  uint32_t TickCounter() const { return vblank_.TickCounter(); }
  bool VBlankThreadRunning() const { return vblank_.Running(); }
  // Touch input is taken only with multi-touch enabled before the window
  // opens and a digitiser ready.
  void EnableMultiTouch(bool enable) { multiTouch_ = enable; }
  // The functions WM_TOUCH is read and released with, in place of user32's,
  // so that touches can be handled where no digitiser can produce them.
  void SetTouchFunctions(const TouchFunctions& functions) { touchFunctions_ = functions; }

protected:
  // The sample of a mouse message, kept as the last mouse position.
  IMouseInfo MakeMouseInfo(LPARAM lParam, WPARAM wParam);
  // The sample of a mouse message, leaving the last mouse position alone.
  IMouseInfo MouseSample(LPARAM lParam, WPARAM wParam) const;
  void AddScaledDirtyRect(const RECT& r, IRectList& rects) const;

private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnCreate();
  void OnPaint();
  LRESULT OnKey(UINT message, WPARAM wParam, LPARAM lParam);
  void OnMouseMove(WPARAM wParam, LPARAM lParam);
  void OnDropFiles(HDROP drop);
  void OnTouch(WPARAM wParam, LPARAM lParam);
  void OnMouseHover();
  void HideTooltip();
  void FinishTextEntry();
  // Applies the window's monitor scale when it changed, unless the host
  // has set one or a drag is in progress.
  void FollowMonitorScale();
  RECT ScaledOutward(const IRect& r) const;
  HWND FindOwnerWindow();
  void VSyncThread();
  void StartDisplayTick();
  void StopDisplayTick();

  HINSTANCE module_ = nullptr;
  HWND window_ = nullptr;
  HWND parent_ = nullptr;
  HDC dc_ = nullptr;
  HGLRC glContext_ = nullptr;
  HDC previousDC_ = nullptr;
  HGLRC previousContext_ = nullptr;
  int glActivations_ = 0;
  std::unique_ptr<EditorWindowClass> windowClass_;

  std::unique_ptr<TooltipWindow> tooltip_;
  bool tooltipShown_ = false;
  int tooltipControlIdx_ = -1;

  HWND edit_ = nullptr;
  WNDPROC editPreviousProc_ = nullptr;
  HFONT editFont_ = nullptr;
  const IParam* editParam_ = nullptr;
  ITextStyle editStyle_;
  IRect editBounds_;
  TextEntryState textEntryState_ = TextEntryState::None;

  HWND owner_ = nullptr;

  bool useVBlank_ = false;
  VBlankThread vblank_;
  VBlankFunctions vblankFunctions_;
  bool vblankFunctionsGiven_ = false;
  uint32_t skipUntil_ = 0;
  bool timerSet_ = false;

  TouchFunctions touchFunctions_;
  std::unordered_map<int64_t, IMouseInfo> touches_{8};
  float hiddenCursorX_ = 0.f;
  float hiddenCursorY_ = 0.f;
  float lastMouseX_ = 0.f;
  float lastMouseY_ = 0.f;
  bool cursorLocked_ = false;
  // Set while a button-up gives back the mouse.
  bool releasingCapture_ = false;
  bool touchInput_ = false;
  bool multiTouch_ = false;
};

} // namespace plugkit::igraphics
