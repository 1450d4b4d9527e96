#include "framework/app/app_main_win.h"

#include "framework/app/app_resource_ids.h"
#include "framework/app/command_line.h"
#include "framework/app/main_window_win.h"
#include "framework/core/plugin_instance_handle.h"
#include "framework/core/string_buffer.h"
#include "framework/core/win_files.h"
#include "framework/core/win_text.h"

#include <commctrl.h>
#include <shellapi.h>

#include <cstdio>
#include <exception>
#include <optional>
#include <string>
#include <vector>

namespace plugkit {

namespace {

// The named mutex that marks the running instance, released when the
// program ends however it ends. Made in one step, so of two starts close
// together only one finds itself first.
class SingleInstanceGuard {
public:
  explicit SingleInstanceGuard(const char* name) : mutex_(CreateMutexA(nullptr, FALSE, name)) {
    const DWORD error = GetLastError();
    // A mutex of another user's instance cannot be opened at all.
    anotherRuns_ = error == ERROR_ALREADY_EXISTS || (!mutex_ && error == ERROR_ACCESS_DENIED);
  }
  ~SingleInstanceGuard() {
    if (mutex_) CloseHandle(mutex_);
  }
  SingleInstanceGuard(const SingleInstanceGuard&) = delete;
  SingleInstanceGuard& operator=(const SingleInstanceGuard&) = delete;

  bool AnotherRuns() const { return anotherRuns_; }

private:
  HANDLE mutex_;
  bool anotherRuns_ = false;
};

void BringRunningInstanceForward(const char* name) {
  if (const HWND window = FindWindowA("#32770", name)) SetForegroundWindow(window);
}

// The words after the program's name, from the wide command line so that
// paths in any script arrive whole.
std::vector<std::string> CommandLineWords() {
  std::vector<std::string> words;
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) return words;
  StringBuffer word;
  for (int i = 1; i < count; ++i) {
    WideToUtf8(word, arguments[i]);
    words.emplace_back(word.Get());
  }
  LocalFree(arguments);
  return words;
}

void EnablePerMonitorDpiAwareness() {
  using SetAwareness = BOOL(WINAPI*)(HANDLE);
  const HMODULE user32 = Utf8LoadLibrary("user32.dll");
  if (!user32) return;
  const auto set = reinterpret_cast<SetAwareness>(
      reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDpiAwarenessContext")));
  // Per-monitor aware, version 2.
  if (set) set(reinterpret_cast<HANDLE>(static_cast<intptr_t>(-4)));
}

// The dialog that should see a message for keyboard navigation: the first
// top-level dialog among the window and its parents, else the outermost
// child dialog met.
HWND DialogFor(HWND window) {
  HWND childDialog = nullptr;
  for (HWND w = window; w; w = GetParent(w)) {
    char className[16] = {};
    GetClassNameA(w, className, sizeof className);
    if (std::string(className) != "#32770") continue;
    if (!(GetWindowLongPtrW(w, GWL_STYLE) & WS_CHILD)) return w;
    childDialog = w;
  }
  return childDialog;
}

bool TakenByMainWindow(HACCEL accelerators, MSG& message) {
  const HWND main = GetMainWindow();
  if (!main) return false;
  return (accelerators && TranslateAcceleratorW(main, accelerators, &message)) ||
         IsDialogMessageW(main, &message);
}

void RunMessageLoop(HACCEL accelerators) {
  MSG message;
  for (;;) {
    const BOOL result = GetMessageW(&message, nullptr, 0, 0);
    if (result < 0) {
      Sleep(10);
      continue;
    }
    if (result == 0) break;
    if (!message.hwnd) {
      DispatchMessageW(&message);
      continue;
    }
    if (TakenByMainWindow(accelerators, message)) continue;
    const HWND dialog = DialogFor(message.hwnd);
    if (dialog && IsDialogMessageW(dialog, &message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (const HWND main = GetMainWindow()) DestroyWindow(main);
}

int Run(HINSTANCE module, AppHost::PluginFactory factory, const CommandLineOptions& options) {
  AppHost* host = AppHost::Create(factory);
  if (!host) return 1;
  host->SetScreenshotPath(options.screenshotPath.c_str());
  host->SetNoIO(options.noIO);
  host->Init();
  host->StartAudio();
  const HACCEL accelerators = LoadAcceleratorsW(module, MAKEINTRESOURCEW(IDR_ACCELERATORS));
  EnablePerMonitorDpiAwareness();
  const HWND window =
      CreateDialogParamW(module, MAKEINTRESOURCEW(IDD_MAIN), GetDesktopWindow(), MainDialogProc, 0);
  if (!window) {
    AppHost::Destroy();
    return 1;
  }
  // The debug commands are not offered; their shortcuts stay.
  RemoveMenu(GetMenu(window), 1, MF_BYPOSITION);
  DrawMenuBar(window);
  FitMainWindowToEditor(window);
  RunMessageLoop(accelerators);
  if (ScreenshotModeSucceeded()) return 0;
  std::fprintf(stderr, "Failed to save screenshot to %s\n", options.screenshotPath.c_str());
  return 1;
}

} // namespace

int AppMain(HINSTANCE module, AppHost::PluginFactory factory, const char* name) {
  const CommandLineOptions options = ParseCommandLine(CommandLineWords());
  // A screenshot start opens no device and ends by itself: it neither defers
  // to a running instance nor keeps another start away.
  std::optional<SingleInstanceGuard> guard;
  if (options.screenshotPath.empty()) {
    guard.emplace(name);
    if (guard->AnotherRuns()) {
      BringRunningInstanceForward(name);
      return 0;
    }
  }
  SetAppModule(module);
  SetPluginInstanceHandle(module);
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  try {
    return Run(module, factory, options);
  } catch (const std::exception&) {
    AppHost::Destroy();
    return 1;
  }
}

} // namespace plugkit
