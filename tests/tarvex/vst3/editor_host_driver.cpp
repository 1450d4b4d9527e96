// Drives the VST3 SDK's editor host as a user would: starts it on the
// module, waits for the editor window inside the host's window, resizes the
// host's window, closes it and checks that the host ended cleanly. It never
// waits without a limit: a host stopped in a message box, a window that
// does not come and a host that does not end are failures. Between steps it
// prints "ready WIDTH HEIGHT" and waits for a file named "shotN" in the
// signal folder, so that a script can picture the editor meanwhile.
//
//   editor_host_driver HOST BUNDLE SIGNAL_FOLDER
#include "tests/support/win/client_size.h"
#include "tests/support/win/thread_count.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using plugkit::test::ClientSize;
using plugkit::test::CountThreads;

constexpr DWORD kWindowWaitMs = 30000;
constexpr DWORD kShotWaitMs = 30000;
constexpr DWORD kSettleMs = 1500;
constexpr DWORD kExitWaitMs = 10000;

struct Host {
  PROCESS_INFORMATION process = {};
  HWND frame = nullptr;
  HWND editor = nullptr;
};

bool Fail(const char* what) {
  std::printf("FAIL %s\n", what);
  std::fflush(stdout);
  return false;
}

struct WindowSearch {
  DWORD processId;
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  if (owner == search->processId && (!search->className || lstrcmpW(name, search->className) == 0))
    search->found.push_back(window);
  return TRUE;
}

std::vector<HWND> TopWindows(DWORD processId, const wchar_t* className) {
  WindowSearch search{processId, className, {}};
  EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> ChildWindows(HWND parent, DWORD processId, const wchar_t* className) {
  WindowSearch search{processId, className, {}};
  EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool HostEnded(const Host& host) {
  return WaitForSingleObject(host.process.hProcess, 0) == WAIT_OBJECT_0;
}

// A host that cannot open the editor says so in a message box and waits.
bool InMessageBox(const Host& host) {
  return !TopWindows(host.process.dwProcessId, L"#32770").empty();
}

bool WaitForEditor(Host& host) {
  for (DWORD waited = 0; waited < kWindowWaitMs; waited += 100) {
    if (HostEnded(host)) return Fail("the host ended before its editor window opened");
    if (InMessageBox(host)) return Fail("the host stopped in a message box");
    for (HWND top : TopWindows(host.process.dwProcessId, nullptr)) {
      const std::vector<HWND> editors =
          ChildWindows(top, host.process.dwProcessId, L"IPluginWndClass");
      if (!editors.empty() && IsWindowVisible(top)) {
        host.frame = top;
        host.editor = editors[0];
        return true;
      }
    }
    Sleep(100);
  }
  return Fail("no editor window inside the host's window");
}

bool WaitForShot(const std::wstring& folder, int n, SIZE size) {
  std::printf("ready %ld %ld\n", size.cx, size.cy);
  std::fflush(stdout);
  const std::wstring path = folder + L"\\shot" + std::to_wstring(n);
  for (DWORD waited = 0; waited < kShotWaitMs; waited += 100) {
    if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return true;
    Sleep(100);
  }
  return Fail("no picture was taken");
}

// The host's window grows so that its client area is `client`.
void ResizeFrame(HWND frame, SIZE client) {
  RECT outer = {};
  GetWindowRect(frame, &outer);
  const SIZE now = ClientSize(frame);
  const int width = (outer.right - outer.left) + (client.cx - now.cx);
  const int height = (outer.bottom - outer.top) + (client.cy - now.cy);
  SetWindowPos(frame, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool Run(Host& host, const std::wstring& signalFolder) {
  if (!WaitForEditor(host)) return false;
  Sleep(kSettleMs);
  const SIZE opened = ClientSize(host.editor);
  std::printf("editor %ld x %ld in a %ld x %ld host window\n", opened.cx, opened.cy,
              ClientSize(host.frame).cx, ClientSize(host.frame).cy);
  if (opened.cx < 100 || opened.cy < 100) return Fail("the editor window has no size");
  if (!WaitForShot(signalFolder, 1, opened)) return false;
  const int threadsOpen = CountThreads(host.process.dwProcessId);

  // A quarter larger: the editor scales to fill the host's window.
  const SIZE wanted{opened.cx * 5 / 4, opened.cy * 5 / 4};
  ResizeFrame(host.frame, wanted);
  Sleep(kSettleMs);
  const SIZE resized = ClientSize(host.editor);
  std::printf("resized to %ld x %ld\n", resized.cx, resized.cy);
  if (resized.cx != wanted.cx || resized.cy != wanted.cy)
    return Fail("the editor did not follow the host's window");
  if (!WaitForShot(signalFolder, 2, resized)) return false;

  if (InMessageBox(host)) return Fail("the host stopped in a message box");
  const std::vector<HWND> editors =
      ChildWindows(host.frame, host.process.dwProcessId, L"IPluginWndClass");
  if (editors.size() != 1) return Fail("resizing left more than one editor window");
  const int threadsResized = CountThreads(host.process.dwProcessId);
  std::printf("threads: %d open, %d after resizing\n", threadsOpen, threadsResized);
  if (threadsResized != threadsOpen) return Fail("resizing started or ended threads");

  PostMessageW(host.frame, WM_CLOSE, 0, 0);
  if (WaitForSingleObject(host.process.hProcess, kExitWaitMs) != WAIT_OBJECT_0)
    return Fail("the host did not end after its window closed");
  DWORD code = 1;
  GetExitCodeProcess(host.process.hProcess, &code);
  std::printf("host exit code %lu\n", code);
  if (code != 0) return Fail("the host did not end cleanly");
  return true;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 4) {
    std::printf("usage: editor_host_driver HOST BUNDLE SIGNAL_FOLDER\n");
    return 2;
  }
  std::wstring command = L"\"" + std::wstring(argv[1]) + L"\" \"" + argv[2] + L"\"";
  STARTUPINFOW startup = {};
  startup.cb = sizeof(startup);
  Host host;
  if (!CreateProcessW(argv[1], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &host.process)) {
    Fail("the host did not start");
    return 1;
  }
  const bool passed = Run(host, argv[3]);
  if (!HostEnded(host)) TerminateProcess(host.process.hProcess, 1);
  CloseHandle(host.process.hThread);
  CloseHandle(host.process.hProcess);
  std::printf(passed ? "PASS\n" : "FAIL\n");
  return passed ? 0 : 1;
}
