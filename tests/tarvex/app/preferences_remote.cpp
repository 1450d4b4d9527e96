// Works the running Tarvex.exe's menu and preferences dialog from another
// process, as a user would, for the scripts that test the program on real
// devices. It never waits without a limit, and a message box the program
// shows is read out, closed and reported as a failure (exit status 2).
//
//   preferences_remote threads            the program's thread count
//   preferences_remote open               opens the preferences dialog
//   preferences_remote list ID            the entries of the dialog's list ID
//   preferences_remote press ID [TIMES]   presses a dialog button, printing
//                                         the seconds each press took
//   preferences_remote quit               File, Quit
//   preferences_remote dismiss            waits for a message box of the
//                                         program, prints and closes it
#include "framework/app/app_resource_ids.h"
#include "tests/support/win/thread_count.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

namespace {

constexpr int kWindowWaitMs = 10000;
constexpr int kPressWaitMs = 20000;
constexpr int kPollMs = 10;

// The visible dialog window of Tarvex.exe with that caption, or null.
HWND FindDialog(const char* caption, DWORD* processId = nullptr) {
  for (HWND window = FindWindowExA(nullptr, nullptr, "#32770", caption); window;
       window = FindWindowExA(nullptr, window, "#32770", caption)) {
    if (!IsWindowVisible(window)) continue;
    if (processId) GetWindowThreadProcessId(window, processId);
    return window;
  }
  return nullptr;
}

HWND WaitForDialog(const char* caption, DWORD* processId = nullptr) {
  for (int waited = 0; waited < kWindowWaitMs; waited += kPollMs) {
    if (const HWND window = FindDialog(caption, processId)) return window;
    Sleep(kPollMs);
  }
  return nullptr;
}

// The lists hold wide texts, which reach another process only as such.
std::string ItemText(HWND list, int index) {
  const LRESULT length = SendMessageW(list, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR) return {};
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  SendMessageW(list, CB_GETLBTEXT, static_cast<WPARAM>(index),
               reinterpret_cast<LPARAM>(wide.data()));
  const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<size_t>(bytes > 0 ? bytes : 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), -1, text.data(), bytes, nullptr, nullptr);
  text.resize(std::strlen(text.c_str()));
  return text;
}

// Reads and closes a message box of the program; true when there was one.
bool CloseMessageBox() {
  const HWND box = FindDialog("Error");
  if (!box) return false;
  char text[1024] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  std::printf("message box: %s\n", text);
  PostMessageA(box, WM_COMMAND, IDOK, 0);
  return true;
}

// One press, sent from a thread of its own so that a message box it opens
// can be seen and closed meanwhile. 0 done, 2 a message box, 1 no answer.
int Press(HWND dialog, int id) {
  const auto begin = std::chrono::steady_clock::now();
  DWORD_PTR result = 0;
  bool answered = false;
  std::atomic<bool> returned{false};
  std::thread sender([&] {
    answered = SendMessageTimeoutA(dialog, WM_COMMAND, static_cast<WPARAM>(id), 0, SMTO_NORMAL,
                                   kPressWaitMs, &result) != 0;
    returned.store(true);
  });
  bool boxShown = false;
  for (int waited = 0; waited < kPressWaitMs && !returned.load() && !boxShown; waited += kPollMs) {
    Sleep(kPollMs);
    boxShown = CloseMessageBox();
  }
  sender.join();
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - begin;
  std::printf("%.3f\n", took.count());
  if (boxShown) return 2;
  return answered ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "dismiss") {
    for (int waited = 0; waited < kWindowWaitMs; waited += kPollMs) {
      if (CloseMessageBox()) return 0;
      Sleep(kPollMs);
    }
    return 1;
  }
  DWORD processId = 0;
  const HWND main = WaitForDialog("Tarvex", &processId);
  if (!main) {
    std::printf("Tarvex.exe shows no window\n");
    return 1;
  }
  if (command == "threads") {
    std::printf("%d\n", plugkit::test::CountThreads(processId));
    return 0;
  }
  if (command == "quit") return PostMessageA(main, WM_COMMAND, ID_QUIT, 0) ? 0 : 1;
  if (command == "open") {
    PostMessageA(main, WM_COMMAND, ID_PREFERENCES, 0);
    return WaitForDialog("Preferences") ? 0 : 1;
  }
  const HWND dialog = FindDialog("Preferences");
  if (!dialog || argc < 3) {
    std::printf("no preferences dialog, or no control id\n");
    return 1;
  }
  const int id = std::atoi(argv[2]);
  if (command == "list") {
    const HWND list = GetDlgItem(dialog, id);
    const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) std::printf("%s\n", ItemText(list, i).c_str());
    return 0;
  }
  if (command == "press") {
    const int times = argc > 3 ? std::atoi(argv[3]) : 1;
    for (int i = 0; i < times; ++i) {
      if (const int status = Press(dialog, id)) return status;
    }
    return 0;
  }
  std::printf("unknown command\n");
  return 1;
}
