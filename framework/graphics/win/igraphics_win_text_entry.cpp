#include "framework/graphics/win/igraphics_win.h"

#include "framework/graphics/graphics_editor_delegate.h"
#include "framework/graphics/utf_conversion.h"
#include "framework/graphics/win/cursors.h"
#include "framework/graphics/win/font_caches.h"
#include "framework/graphics/win/native_menu.h"
#include "framework/graphics/win/text_entry_filter.h"

#include <string>

namespace plugkit::igraphics {
namespace {

// A new font for the edit from the cached handle of the style's font, at
// the entry's pixel height; the default GUI font's face where none is cached.
HFONT MakeEditFont(const char* fontID, int height) {
  LOGFONTW description{};
  bool found = false;
  {
    FontHandleCache& cache = GetFontHandleCache();
    const auto lock = cache.Lock();
    if (const HFONT cached = cache.Find(fontID, 1.0))
      found = GetObjectW(cached, sizeof description, &description) == sizeof description;
  }
  if (!found) GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof description, &description);
  description.lfHeight = height;
  return CreateFontIndirectW(&description);
}

DWORD EditAlignment(EAlign align) {
  switch (align) {
    case EAlign::Near:
      return ES_LEFT;
    case EAlign::Far:
      return ES_RIGHT;
    default:
      return ES_CENTER;
  }
}

} // namespace

void IGraphicsWin::CreatePlatformTextEntry(int paramIdx, const ITextStyle& style,
                                           const IRect& bounds, int length, const char* str) {
  if (edit_ || !window_) return;
  const DWORD editStyle = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | ES_MULTILINE |
                          ES_AUTOHSCROLL | EditAlignment(style.align);
  const float s = GetTotalScale();
  const int x = static_cast<int>(s * bounds.L);
  const int y = static_cast<int>(s * bounds.T);
  const int w = static_cast<int>(s * bounds.R - s * bounds.L + 1.f);
  const int h = static_cast<int>(s * bounds.B - s * bounds.T + 1.f);
  const std::u16string text = UTF8ToUTF16(str ? str : "");
  edit_ =
      CreateWindowExW(0, L"EDIT", reinterpret_cast<const wchar_t*>(text.c_str()), editStyle, x, y,
                      w, h, window_, reinterpret_cast<HMENU>(kTextEntryId), module_, nullptr);
  if (!edit_) return;
  editFont_ = MakeEditFont(style.font, static_cast<int>(s * style.size));
  editParam_ = paramIdx >= 0 ? GetDelegate().GetParam(paramIdx) : nullptr;
  editStyle_ = style;
  editBounds_ = bounds;

  SendMessageW(edit_, EM_LIMITTEXT, static_cast<WPARAM>(length), 0);
  SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(editFont_), 0);
  SendMessageW(edit_, EM_SETSEL, 0, -1);
  if (style.valign == EVAlign::Middle) {
    const RECT r{0, static_cast<LONG>(((s * bounds.B - s * bounds.T) - s * style.size) * 0.5f),
                 static_cast<LONG>(s * bounds.R - s * bounds.L) + 1,
                 static_cast<LONG>(s * bounds.B - s * bounds.T) + 1};
    SendMessageW(edit_, EM_SETRECT, 0, reinterpret_cast<LPARAM>(&r));
  }
  editPreviousProc_ = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(TextEntryProc)));
  SetWindowLongPtrW(edit_, GWLP_USERDATA, kTextEntryMarker);
  SetFocus(edit_);
  // The subclass was not yet in place when the edit took the focus.
  if (GetFocus() == edit_) textEntryState_ = TextEntryState::Shown;
}

void IGraphicsWin::RemovePlatformTextEntry() {
  if (edit_) textEntryState_ = TextEntryState::CancelRequested;
}

void IGraphicsWin::DestroyTextEntry() {
  if (!edit_) return;
  const HWND edit = edit_;
  SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(editPreviousProc_));
  edit_ = nullptr;
  editPreviousProc_ = nullptr;
  editParam_ = nullptr;
  const bool hadFocus = GetFocus() == edit;
  DestroyWindow(edit);
  if (editFont_) DeleteObject(editFont_);
  editFont_ = nullptr;
  if (hadFocus && window_) SetFocus(window_);
}

LRESULT CALLBACK IGraphicsWin::TextEntryProc(HWND window, UINT message, WPARAM wParam,
                                             LPARAM lParam) {
  auto* graphics =
      reinterpret_cast<IGraphicsWin*>(GetWindowLongPtrW(GetParent(window), GWLP_USERDATA));
  if (!graphics || graphics->edit_ != window)
    return DefWindowProcW(window, message, wParam, lParam);
  graphics->HideTooltip();
  const WNDPROC previous = graphics->editPreviousProc_;
  switch (message) {
    case WM_SETFOCUS:
      graphics->textEntryState_ = TextEntryState::Shown;
      break;
    case WM_KILLFOCUS:
      graphics->textEntryState_ = TextEntryState::CommitRequested;
      break;
    case WM_GETDLGCODE: {
      LRESULT code = CallWindowProcW(previous, window, message, wParam, lParam);
      const auto* asked = reinterpret_cast<const MSG*>(lParam);
      if (asked && asked->message == WM_KEYDOWN && asked->wParam == VK_RETURN)
        code |= DLGC_WANTALLKEYS;
      return code;
    }
    case WM_KEYDOWN:
      if (wParam == VK_RETURN) {
        graphics->textEntryState_ = TextEntryState::CommitRequested;
        return 0;
      }
      if (wParam == VK_ESCAPE) {
        graphics->textEntryState_ = TextEntryState::CancelRequested;
        return 0;
      }
      break;
    case WM_CHAR:
      // Enter and Escape arrive as characters too; the key handled them.
      if (wParam == L'\r' || wParam == 27) return 0;
      if (!TextEntryAllowsChar(graphics->editParam_, static_cast<wchar_t>(wParam))) return 0;
      break;
    case WM_COMMAND:
      if (HIWORD(wParam) == 1) {
        graphics->textEntryState_ = TextEntryState::CommitRequested;
        return 0;
      }
      break;
    default:
      break;
  }
  return CallWindowProcW(previous, window, message, wParam, lParam);
}

int IGraphicsWin::SetMouseCursor(int cursorType) {
  const int previous = CursorType();
  SetCursor(LoadCursorW(nullptr, SystemCursorFor(cursorType)));
  SetCursorTypeValue(cursorType);
  return previous;
}

IPopupMenu* IGraphicsWin::CreatePlatformPopupMenu(IPopupMenu& menu, const IRect& bounds) {
  if (!window_) return nullptr;
  int runningId = 0;
  const MenuHandle native(BuildNativeMenu(menu, runningId));
  if (!native) return nullptr;
  const float s = GetTotalScale();
  POINT p{static_cast<LONG>(s * bounds.L), static_cast<LONG>(s * bounds.B)};
  ClientToScreen(window_, &p);
  IPopupMenu* found = nullptr;
  if (TrackPopupMenu(native.get(), TPM_LEFTBUTTON, p.x, p.y, 0, window_, nullptr)) {
    MSG message{};
    if (PeekMessageW(&message, window_, WM_COMMAND, WM_COMMAND, PM_REMOVE) &&
        HIWORD(message.wParam) == 0) {
      int itemIndex = -1;
      runningId = 0;
      found = FindMenuItem(LOWORD(message.wParam), itemIndex, runningId, menu);
      if (found) {
        found->SetChosenItemIdx(itemIndex);
        found->ExecFunction();
      }
    }
  }
  const RECT all{0, 0,
                 static_cast<LONG>(static_cast<float>(static_cast<int>(Width() * GetDrawScale())) *
                                   GetScreenScale()),
                 static_cast<LONG>(static_cast<float>(static_cast<int>(Height() * GetDrawScale())) *
                                   GetScreenScale())};
  InvalidateRect(window_, &all, FALSE);
  return found;
}

} // namespace plugkit::igraphics
