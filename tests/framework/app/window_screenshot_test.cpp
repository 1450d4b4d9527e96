#include "framework/app/window_screenshot.h"

#include "framework/core/win_files.h"
#include "tests/support/win/files.h"
#include "tests/support/win/scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace plugkit {
namespace {

using test::FileExists;
using test::ScratchFolder;

constexpr int kClientWidth = 320;
constexpr int kClientHeight = 200;
constexpr COLORREF kBackground = RGB(10, 200, 30);

// A plain top-level window with a client area of a known size and colour.
class PlainWindow {
public:
  PlainWindow() {
    brush_ = CreateSolidBrush(kBackground);
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hbrBackground = brush_;
    windowClass.lpszClassName = L"TarvexScreenshotTest";
    RegisterClassW(&windowClass);
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    window_ = CreateWindowW(L"TarvexScreenshotTest", L"Screenshot", WS_OVERLAPPEDWINDOW, 40, 40,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    Pump();
  }
  ~PlainWindow() {
    DestroyWindow(window_);
    DeleteObject(brush_);
  }
  PlainWindow(const PlainWindow&) = delete;
  PlainWindow& operator=(const PlainWindow&) = delete;

  HWND Get() const { return window_; }
  void Pump() {
    MSG message;
    for (int round = 0; round < 20; ++round) {
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
      Sleep(10);
    }
  }

private:
  HBRUSH brush_ = nullptr;
  HWND window_ = nullptr;
};

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;
};

Picture ReadPng(const std::string& path) {
  Picture picture;
  std::vector<uint8_t> bytes;
  if (FILE* f = Utf8Fopen(path.c_str(), "rb")) {
    uint8_t chunk[65536];
    size_t n;
    while ((n = std::fread(chunk, 1, sizeof chunk, f)) > 0)
      bytes.insert(bytes.end(), chunk, chunk + n);
    std::fclose(f);
  }
  int channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(bytes.data(), static_cast<int>(bytes.size()),
                                          &picture.width, &picture.height, &channels, 4);
  if (pixels) {
    picture.rgba.assign(pixels, pixels + 4 * picture.width * picture.height);
    stbi_image_free(pixels);
  }
  return picture;
}

TEST(SaveWindowScreenshot, ClientAreaExactlyAndOpaque) {
  const ScratchFolder scratch("screenshots");
  PlainWindow window;
  ASSERT_NE(window.Get(), nullptr);
  struct Case {
    const char* label;
    std::string name;
  };
  const Case cases[] = {
      {"ascii", "shot.png"},
      {"non-ascii", "Bildschirm caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC.png"},
  };
  for (const Case& c : cases) {
    const std::string path = scratch.Path() + "\\" + c.name;
    ASSERT_TRUE(SaveWindowScreenshot(window.Get(), path.c_str())) << c.label;
    const Picture picture = ReadPng(path);
    ASSERT_EQ(picture.width, kClientWidth) << c.label;
    ASSERT_EQ(picture.height, kClientHeight) << c.label;
    int opaque = 0;
    for (size_t i = 3; i < picture.rgba.size(); i += 4) opaque += picture.rgba[i] == 255;
    EXPECT_EQ(opaque, kClientWidth * kClientHeight) << c.label;
    const uint8_t* centre =
        &picture.rgba[4 * (kClientHeight / 2 * kClientWidth + kClientWidth / 2)];
    EXPECT_EQ(centre[0], GetRValue(kBackground)) << c.label;
    EXPECT_EQ(centre[1], GetGValue(kBackground)) << c.label;
    EXPECT_EQ(centre[2], GetBValue(kBackground)) << c.label;
  }
}

TEST(SaveWindowScreenshot, FailsWithoutWritingAnything) {
  const ScratchFolder scratch("screenshot-failures");
  PlainWindow window;
  ASSERT_NE(window.Get(), nullptr);
  const std::string unwritable[] = {scratch.Path() + "\\missing folder\\shot.png", scratch.Path(),
                                    ""};
  for (const std::string& path : unwritable)
    EXPECT_FALSE(SaveWindowScreenshot(window.Get(), path.c_str())) << path;
  EXPECT_FALSE(SaveWindowScreenshot(window.Get(), nullptr));
  const std::string shot = scratch.Path() + "\\shot.png";
  EXPECT_FALSE(SaveWindowScreenshot(nullptr, shot.c_str()));

  ShowWindow(window.Get(), SW_MINIMIZE);
  window.Pump();
  EXPECT_FALSE(SaveWindowScreenshot(window.Get(), shot.c_str()));
  EXPECT_FALSE(FileExists(shot));
}

} // namespace
} // namespace plugkit
