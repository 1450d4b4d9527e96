#include "framework/app/app_resource_ids.h"
#include "framework/core/win_files.h"
#include "framework/core/win_profile.h"
#include "framework/core/win_shell.h"
#include "framework/core/win_text.h"
#include "tests/support/win/client_size.h"
#include "tests/support/win/files.h"
#include "tests/support/win/scratch_folder.h"
#include "tests/support/win/utf16_file.h"

#include <gtest/gtest.h>

#include <shlobj.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace plugkit {
namespace {

using test::ClientSize;
using test::ReadUtf16File;
using test::ScratchFolder;
using test::WriteUtf16File;

constexpr DWORD kWaitMs = 20000;
// The Tarvex editor's size: the main window's client area must hold it whole.
constexpr int kEditorWidth = 1180;
constexpr int kEditorHeight = 800;

std::wstring Wide(const std::string& utf8) {
  HeapBuffer wide(4096);
  Utf8ToWide(wide, utf8.c_str());
  return reinterpret_cast<const wchar_t*>(wide.Data());
}

// One run of Tarvex.exe, its standard error stream written to errorPath
// when one is given. A run the test leaves behind is ended, so the
// single-instance guard never outlives its test.
class Program {
public:
  explicit Program(const std::string& arguments, const std::string& errorPath = {}) {
    std::wstring commandLine = L"\"" + Wide(TARVEX_APP_EXE) + L"\" " + Wide(arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    const HANDLE errors = errorPath.empty()
                              ? INVALID_HANDLE_VALUE
                              : CreateFileW(Wide(errorPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                            &inherited, CREATE_ALWAYS, 0, nullptr);
    if (errors != INVALID_HANDLE_VALUE) {
      startup.dwFlags = STARTF_USESTDHANDLES;
      startup.hStdError = errors;
    }
    started_ =
        CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr,
                       errors != INVALID_HANDLE_VALUE, 0, nullptr, nullptr, &startup, &info_);
    if (errors != INVALID_HANDLE_VALUE) CloseHandle(errors);
  }
  ~Program() {
    if (!started_) return;
    if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(info_.hProcess, 99);
      WaitForSingleObject(info_.hProcess, kWaitMs);
    }
    CloseHandle(info_.hThread);
    CloseHandle(info_.hProcess);
  }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  bool Started() const { return started_; }
  // The exit code, or -1 when the program did not end in time.
  long Exit() const {
    if (!started_ || WaitForSingleObject(info_.hProcess, kWaitMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(info_.hProcess, &code);
    return static_cast<long>(code);
  }
  // The program's visible main window once it shows, else null.
  HWND MainWindow() const {
    for (DWORD waited = 0; started_ && waited < kWaitMs; waited += 10) {
      const HWND window = FindWindowA("#32770", "Tarvex");
      DWORD process = 0;
      if (window) GetWindowThreadProcessId(window, &process);
      if (window && process == info_.dwProcessId && IsWindowVisible(window)) return window;
      if (WaitForSingleObject(info_.hProcess, 10) == WAIT_OBJECT_0) return nullptr;
    }
    return nullptr;
  }

private:
  PROCESS_INFORMATION info_{};
  bool started_ = false;
};

// The frame above the client area: caption, menu bar and borders.
int FrameAbove(HWND window) {
  RECT frame{};
  GetWindowRect(window, &frame);
  POINT clientTop{0, 0};
  ClientToScreen(window, &clientTop);
  return clientTop.y - frame.top;
}

TEST(TarvexApp, NoIoShowsTheEditorWholeAndClosesFromQuitAndFromTheCloseBox) {
  for (const UINT closing : {static_cast<UINT>(WM_COMMAND), static_cast<UINT>(WM_CLOSE)}) {
    Program program("--no-io");
    ASSERT_TRUE(program.Started());
    const HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr);
    const SIZE client = ClientSize(window);
    EXPECT_EQ(client.cx, kEditorWidth);
    EXPECT_EQ(client.cy, kEditorHeight);
    // The editor fills the client area from its top-left corner.
    const HWND editor = GetWindow(window, GW_CHILD);
    ASSERT_NE(editor, nullptr);
    RECT editorRect{};
    GetWindowRect(editor, &editorRect);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&editorRect), 2);
    EXPECT_EQ(editorRect.left, 0);
    EXPECT_EQ(editorRect.top, 0);
    EXPECT_EQ(editorRect.right, kEditorWidth);
    EXPECT_EQ(editorRect.bottom, kEditorHeight);
    // The menu bar lies above the editor, not over it.
    EXPECT_GE(FrameAbove(window), GetSystemMetrics(SM_CYCAPTION) + GetSystemMetrics(SM_CYMENU));
    PostMessageW(window, closing, closing == WM_COMMAND ? ID_QUIT : 0, 0);
    EXPECT_EQ(program.Exit(), 0) << closing;
  }
}

TEST(TarvexApp, ASecondStartLeavesTheFirstRunningAndExitsAtOnceButAScreenshotIsTaken) {
  Program first("--no-io");
  const HWND window = first.MainWindow();
  ASSERT_NE(window, nullptr);
  Program second("--no-io");
  EXPECT_EQ(second.Exit(), 0);
  EXPECT_EQ(FindWindowExA(nullptr, window, "#32770", "Tarvex"), nullptr);
  const ScratchFolder scratch("tarvex-app-beside");
  const std::string path = scratch.Path() + "\\shot.png";
  Program screenshot("--screenshot \"" + path + "\"");
  EXPECT_EQ(screenshot.Exit(), 0);
  EXPECT_TRUE(test::FileExists(path));
  EXPECT_TRUE(IsWindowVisible(window));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(first.Exit(), 0);
}

TEST(TarvexApp, ScreenshotModeSavesTheClientAreaOpaqueAndSaysWhenItCannot) {
  const ScratchFolder scratch("tarvex-app-shots");
  struct Case {
    std::string file;
    bool saved;
  };
  const Case cases[] = {{"shot.png", true},
                        {"Schnappschu\xC3\x9F \xE2\x82\xAC.png", true},
                        {"no such folder\\shot.png", false}};
  const std::string errors = scratch.Path() + "\\errors.txt";
  for (const Case& c : cases) {
    const std::string path = scratch.Path() + "\\" + c.file;
    Program program("--screenshot \"" + path + "\"", errors);
    const HWND window = program.MainWindow();
    ASSERT_NE(window, nullptr) << c.file;
    const SIZE client = ClientSize(window);
    EXPECT_EQ(program.Exit(), c.saved ? 0 : 1) << c.file;
    EXPECT_EQ(test::ReadWholeFile(errors),
              c.saved ? "" : "Failed to save screenshot to " + path + "\r\n");
    FILE* file = Utf8Fopen(path.c_str(), "rb");
    ASSERT_EQ(file != nullptr, c.saved) << c.file;
    if (!file) continue;
    int width = 0, height = 0, channels = 0;
    stbi_uc* pixels = stbi_load_from_file(file, &width, &height, &channels, 4);
    std::fclose(file);
    ASSERT_NE(pixels, nullptr) << c.file;
    EXPECT_EQ(width, client.cx) << c.file;
    EXPECT_EQ(height, client.cy) << c.file;
    int translucent = 0;
    for (int i = 0; i < width * height; ++i) translucent += pixels[i * 4 + 3] != 255;
    EXPECT_EQ(translucent, 0) << c.file;
    stbi_image_free(pixels);
  }
}

TEST(TarvexApp, RunsWithoutDevicesKeepTheStoredChoices) {
  char folder[MAX_PATH * 4] = {};
  ASSERT_TRUE(Utf8GetSpecialFolderPath(nullptr, folder, sizeof folder, CSIDL_LOCAL_APPDATA, false));
  const std::string settingsFolder = std::string(folder) + "\\Tarvex";
  Utf8CreateDirectory(settingsFolder.c_str(), nullptr);
  const std::string settings = settingsFolder + "\\settings.ini";
  ASSERT_TRUE(Utf8WritePrivateProfileString("audio", "indev", "Mic", settings.c_str()));
  ASSERT_TRUE(Utf8WritePrivateProfileString("midi", "outdev", "Synth", settings.c_str()));
  for (const char* arguments : {"--no-io", "--screenshot shot-kept.png"}) {
    Program program(arguments);
    if (const HWND window = program.MainWindow()) PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.Exit(), 0) << arguments;
    char value[64] = {};
    Utf8GetPrivateProfileString("audio", "indev", "", value, sizeof value, settings.c_str());
    EXPECT_STREQ(value, "Mic") << arguments;
    Utf8GetPrivateProfileString("midi", "outdev", "", value, sizeof value, settings.c_str());
    EXPECT_STREQ(value, "Synth") << arguments;
    EXPECT_EQ(Utf8GetPrivateProfileInt("audio", "buffer", 0, settings.c_str()), 512u) << arguments;
  }
  std::remove("shot-kept.png");
}

// Names in any script, whether a person wrote them into the file or the
// program stores them, must stand in the file as they are after a start.
TEST(TarvexApp, NamesInAnyScriptSurviveAStartInTheSettingsFile) {
  char folder[MAX_PATH * 4] = {};
  ASSERT_TRUE(Utf8GetSpecialFolderPath(nullptr, folder, sizeof folder, CSIDL_LOCAL_APPDATA, false));
  const std::string settingsFolder = std::string(folder) + "\\Tarvex";
  Utf8CreateDirectory(settingsFolder.c_str(), nullptr);
  const std::string settings = settingsFolder + "\\settings.ini";
  const std::string speakers = "Lautsprecher: \xE6\x89\xAC\xE5\xA3\xB0\xE5\x99\xA8";
  const std::string keys = "\xD0\x9A\xD0\xBB\xD0\xB0\xD0\xB2\xD0\xB8\xD1\x88\xD0\xB8";
  const std::string microphone =
      "Mikrofon (Gr\xC3\xB6\xC3\x9F"
      "e 2) \xE2\x82\xAC";
  const std::string synth = "\xF0\x9F\x8E\xB9 Synth";
  ASSERT_TRUE(WriteUtf16File(
      settings,
      ("[audio]\r\noutdev=" + speakers + "\r\n[midi]\r\nindev=" + keys + "\r\n").c_str()));
  // Written as the program writes a device name it has chosen.
  ASSERT_TRUE(
      Utf8WritePrivateProfileString("audio", "indev", microphone.c_str(), settings.c_str()));
  ASSERT_TRUE(Utf8WritePrivateProfileString("midi", "outdev", synth.c_str(), settings.c_str()));
  for (int start = 1; start <= 2; ++start) {
    Program program("--no-io");
    if (const HWND window = program.MainWindow()) PostMessageW(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.Exit(), 0) << start;
    const std::string text = ReadUtf16File(settings);
    for (const std::string& line : {"outdev=" + speakers, "indev=" + keys, "indev=" + microphone,
                                    "outdev=" + synth, std::string("buffer=512")})
      EXPECT_NE(text.find(line + "\r\n"), std::string::npos) << start << ": " << line << " in\n"
                                                             << text;
  }
}

} // namespace
} // namespace plugkit
