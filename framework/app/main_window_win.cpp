#include "framework/app/main_window_win.h"

#include "framework/app/app_host.h"
#include "framework/app/app_resource_ids.h"
#include "framework/app/preferences_dialog_win.h"
#include "framework/app/window_screenshot.h"
#include "framework/core/string_buffer.h"
#include "framework/core/win_shell.h"
#include "framework/core/win_text.h"
#include "framework/graphics/igraphics.h"
#include "framework/graphics/win/window_scale.h"

#include <shellapi.h>

#include <ctime>

namespace plugkit {

namespace {

constexpr UINT_PTR kScreenshotTimer = 1001;
constexpr UINT kScreenshotDelayMs = 500;
constexpr const char* kCaption = "Tarvex";

HINSTANCE gAppModule = nullptr;
HWND gMainWindow = nullptr;
bool gScreenshotSucceeded = true;

void ShowAbout(HWND window, IPluginApp& plug) {
  if (plug.OnAboutRequest()) return;
  StringBuffer text;
  text.SetFormatted(256, "%s by %s\nBuilt on Oct 11 2026", plug.GetProductName(),
                    plug.GetMakerName());
  Utf8MessageBox(window, text.Get(), kCaption, MB_OK);
}

// The picture goes to the temporary folder under a name with the time.
void SaveScreenshotToTemp(HWND window) {
  wchar_t tempWide[MAX_PATH + 1] = {};
  GetTempPathW(MAX_PATH + 1, tempWide);
  StringBuffer temp;
  WideToUtf8(temp, tempWide);
  char time[32] = {};
  const std::time_t now = std::time(nullptr);
  Utf8Strftime(time, sizeof time, "%Y%m%d_%H%M%S", std::localtime(&now));
  StringBuffer path;
  path.SetFormatted(512, "%s%s_screenshot_%s.png", temp.Get(), kCaption, time);
  if (!SaveWindowScreenshot(window, path.Get())) {
    Utf8MessageBox(window, "Failed to save screenshot", "Error", MB_OK);
    return;
  }
  StringBuffer question;
  question.SetFormatted(1024, "Screenshot saved to:\n%s\n\nOpen it?", path.Get());
  if (Utf8MessageBox(window, question.Get(), "Screenshot Saved", MB_YESNO) != IDYES) return;
  HeapBuffer widePath(4096);
  if (Utf8ToWide(widePath, path.Get()))
    ShellExecuteW(window, L"open", reinterpret_cast<const wchar_t*>(widePath.Data()), nullptr,
                  nullptr, SW_SHOWNORMAL);
}

void OnCommand(HWND window, AppHost& host, int id) {
  IPluginApp& plug = *host.GetPlug();
  switch (id) {
    case ID_ABOUT:
      ShowAbout(window, plug);
      break;
    case ID_PREFERENCES:
      RunPreferencesDialog(gAppModule, window);
      break;
    case ID_QUIT:
      DestroyWindow(window);
      break;
    case ID_READ_MANUAL:
      if (!plug.OnManualRequest()) Utf8MessageBox(window, "See the manual", kCaption, MB_OK);
      break;
    case ID_SAVE_SCREENSHOT:
      SaveScreenshotToTemp(window);
      break;
    default:
      break;
  }
}

void OnInitDialog(HWND window, AppHost& host) {
  gMainWindow = window;
  host.OpenEditorWindow(window);
  const IPluginApp& plug = *host.GetPlug();
  const int x = GetSystemMetrics(SM_CXSCREEN) / 2 - plug.GetEditorWidth() / 2;
  const int y = GetSystemMetrics(SM_CYSCREEN) / 2 - plug.GetEditorHeight() / 2;
  SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
  FitMainWindowToEditor(window);
  ShowWindow(window, SW_SHOW);
  if (host.GetScreenshotPath()[0] != '\0')
    SetTimer(window, kScreenshotTimer, kScreenshotDelayMs, nullptr);
}

// The editor's size limits in the window's pixels.
void LimitTrackingSize(HWND window, const IPluginApp& plug, MINMAXINFO& info) {
  const float scale = igraphics::GetWindowScale(window);
  const auto pixels = [scale](int size) {
    return static_cast<LONG>(static_cast<float>(size) * scale);
  };
  info.ptMinTrackSize = {pixels(plug.GetMinWidth()), pixels(plug.GetMinHeight())};
  info.ptMaxTrackSize = {pixels(plug.GetMaxWidth()), pixels(plug.GetMaxHeight())};
}

void OnScreenshotTimer(HWND window, AppHost& host) {
  KillTimer(window, kScreenshotTimer);
  gScreenshotSucceeded = SaveWindowScreenshot(window, host.GetScreenshotPath());
  DestroyWindow(window);
}

void OnDestroy() {
  if (AppHost* host = AppHost::Get()) host->CloseEditorWindow();
  gMainWindow = nullptr;
  AppHost::Destroy();
  PostQuitMessage(0);
}

} // namespace

void SetAppModule(HINSTANCE module) { gAppModule = module; }

HWND GetMainWindow() { return gMainWindow; }

bool ScreenshotModeSucceeded() { return gScreenshotSucceeded; }

void FitMainWindowToEditor(HWND window) {
  const AppHost* host = AppHost::Get();
  if (!host) return;
  const int width = host->GetPlug()->GetEditorWidth();
  const int height = host->GetPlug()->GetEditorHeight();
  RECT frame = {0, 0, width, height};
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_STYLE));
  const DWORD exStyle = static_cast<DWORD>(GetWindowLongPtrW(window, GWL_EXSTYLE));
  AdjustWindowRectEx(&frame, style, GetMenu(window) != nullptr, exStyle);
  const UINT flags = SWP_NOZORDER | SWP_NOMOVE | SWP_NOACTIVATE;
  SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, flags);
  // A menu bar that wraps onto more lines than the frame allowed for takes
  // them from the client area: the window grows by what is missing.
  RECT client = {};
  GetClientRect(window, &client);
  const int missingWidth = width - (client.right - client.left);
  const int missingHeight = height - (client.bottom - client.top);
  if (missingWidth != 0 || missingHeight != 0)
    SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left + missingWidth,
                 frame.bottom - frame.top + missingHeight, flags);
}

INT_PTR CALLBACK MainDialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  AppHost* host = AppHost::Get();
  switch (message) {
    case WM_INITDIALOG:
      if (!host) return FALSE;
      OnInitDialog(window, *host);
      return TRUE;
    case WM_SIZE:
      if ((wParam == SIZE_RESTORED || wParam == SIZE_MAXIMIZED) && host &&
          host->GetPlug()->HostResize()) {
        host->GetPlug()->OnParentWindowResize(LOWORD(lParam), HIWORD(lParam));
        return TRUE;
      }
      return FALSE;
    case WM_GETMINMAXINFO:
      if (host) LimitTrackingSize(window, *host->GetPlug(), *reinterpret_cast<MINMAXINFO*>(lParam));
      return TRUE;
    case WM_COMMAND:
      if (host) OnCommand(window, *host, LOWORD(wParam));
      return TRUE;
    case WM_TIMER:
      if (wParam == kScreenshotTimer && host) OnScreenshotTimer(window, *host);
      return TRUE;
    case WM_CLOSE:
      DestroyWindow(window);
      return TRUE;
    case WM_DPICHANGED: {
      const RECT* suggested = reinterpret_cast<const RECT*>(lParam);
      SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                   SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE);
      FitMainWindowToEditor(window);
      return TRUE;
    }
    case WM_DESTROY:
      OnDestroy();
      return TRUE;
    default:
      return FALSE;
  }
}

} // namespace plugkit
