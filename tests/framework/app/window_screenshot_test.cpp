#include "framework/app/window_screenshot.h"

#include "tests/support/win/files.h"
#include "tests/support/win/message_pump.h"
#include "tests/support/win/scratch_folder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#define STB_IMAGE_STATIC
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>

namespace plugkit {
namespace {

using test::FileExists;
using test::PumpMessages;
using test::ReadWholeFile;
using test::ScratchFolder;

constexpr int kClientWidth = 320;
constexpr int kClientHeight = 200;
// The client area is four rectangles of their own colours that meet off
// centre, crossed by a line one pixel wide of each direction, so a picture
// flipped, mirrored, shifted by a pixel or of one colour differs from it.
constexpr int kSplitX = 120;
constexpr int kSplitY = 80;
constexpr int kLineRow = 37;
constexpr int kLineColumn = 251;
constexpr COLORREF kTopLeft = RGB(200, 30, 30);
constexpr COLORREF kTopRight = RGB(30, 200, 30);
constexpr COLORREF kBottomLeft = RGB(30, 30, 200);
constexpr COLORREF kBottomRight = RGB(220, 200, 40);
constexpr COLORREF kRowLine = RGB(250, 250, 250);
constexpr COLORREF kColumnLine = RGB(5, 5, 5);

void Fill(HDC dc, int left, int top, int right, int bottom, COLORREF colour) {
  const RECT area{left, top, right, bottom};
  SetDCBrushColor(dc, colour);
  FillRect(dc, &area, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void PaintClient(HDC dc) {
  Fill(dc, 0, 0, kSplitX, kSplitY, kTopLeft);
  Fill(dc, kSplitX, 0, kClientWidth, kSplitY, kTopRight);
  Fill(dc, 0, kSplitY, kSplitX, kClientHeight, kBottomLeft);
  Fill(dc, kSplitX, kSplitY, kClientWidth, kClientHeight, kBottomRight);
  Fill(dc, kLineColumn, 0, kLineColumn + 1, kClientHeight, kColumnLine);
  Fill(dc, 0, kLineRow, kClientWidth, kLineRow + 1, kRowLine);
}

LRESULT CALLBACK PaintedWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1; // the painting covers the whole client area
    case WM_PAINT: {
      PAINTSTRUCT paint;
      PaintClient(BeginPaint(window, &paint));
      EndPaint(window, &paint);
      return 0;
    }
    case WM_PRINTCLIENT:
      PaintClient(reinterpret_cast<HDC>(wParam));
      return 0;
    default:
      return DefWindowProcW(window, message, wParam, lParam);
  }
}

// A top-level window whose client area, of a known size, GDI paints with
// known pixels.
class PaintedWindow {
public:
  PaintedWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = PaintedWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TarvexScreenshotTest";
    RegisterClassW(&windowClass);
    RECT frame{0, 0, kClientWidth, kClientHeight};
    AdjustWindowRect(&frame, WS_OVERLAPPEDWINDOW, FALSE);
    window_ = CreateWindowW(L"TarvexScreenshotTest", L"Screenshot", WS_OVERLAPPEDWINDOW, 40, 40,
                            frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                            GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window_, SW_SHOWNORMAL);
    UpdateWindow(window_);
    PumpMessages(200);
  }
  ~PaintedWindow() { DestroyWindow(window_); }
  PaintedWindow(const PaintedWindow&) = delete;
  PaintedWindow& operator=(const PaintedWindow&) = delete;

  HWND Get() const { return window_; }

private:
  HWND window_ = nullptr;
};

struct Picture {
  int width = 0, height = 0;
  std::vector<uint8_t> rgba;

  // The pixel at (x, y) from the top left as a GDI colour; opacity aside.
  COLORREF At(int x, int y) const {
    const uint8_t* pixel = &rgba[4 * (static_cast<size_t>(y) * width + x)];
    return RGB(pixel[0], pixel[1], pixel[2]);
  }
  int Count(COLORREF colour) const {
    int count = 0;
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width; ++x) count += At(x, y) == colour;
    return count;
  }
};

Picture ReadPng(const std::string& path) {
  Picture picture;
  const std::string bytes = ReadWholeFile(path);
  int channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(reinterpret_cast<const stbi_uc*>(bytes.data()),
                                          static_cast<int>(bytes.size()), &picture.width,
                                          &picture.height, &channels, 4);
  if (pixels) {
    picture.rgba.assign(pixels, pixels + 4 * picture.width * picture.height);
    stbi_image_free(pixels);
  }
  return picture;
}

TEST(SaveWindowScreenshot, ClientAreaExactlyAndOpaque) {
  const ScratchFolder scratch("screenshots");
  PaintedWindow window;
  ASSERT_NE(window.Get(), nullptr);
  struct Case {
    const char* label;
    std::string name;
  };
  const Case cases[] = {
      {"ascii", "shot.png"},
      {"non-ascii", "Bildschirm caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC.png"},
  };
  struct Expected {
    int x, y;
    COLORREF colour;
  };
  const Expected pixels[] = {
      // The corners of the client area.
      {0, 0, kTopLeft},
      {kClientWidth - 1, 0, kTopRight},
      {0, kClientHeight - 1, kBottomLeft},
      {kClientWidth - 1, kClientHeight - 1, kBottomRight},
      // Where the four rectangles meet.
      {kSplitX - 1, kSplitY - 1, kTopLeft},
      {kSplitX, kSplitY - 1, kTopRight},
      {kSplitX - 1, kSplitY, kBottomLeft},
      {kSplitX, kSplitY, kBottomRight},
      // Each line and the pixels on either side of it.
      {10, kLineRow - 1, kTopLeft},
      {10, kLineRow, kRowLine},
      {10, kLineRow + 1, kTopLeft},
      {kLineColumn - 1, kClientHeight - 10, kBottomRight},
      {kLineColumn, kClientHeight - 10, kColumnLine},
      {kLineColumn + 1, kClientHeight - 10, kBottomRight},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string path = scratch.Path() + "\\" + c.name;
    ASSERT_TRUE(SaveWindowScreenshot(window.Get(), path.c_str()));
    const Picture picture = ReadPng(path);
    ASSERT_EQ(picture.width, kClientWidth);
    ASSERT_EQ(picture.height, kClientHeight);
    int opaque = 0;
    for (size_t i = 3; i < picture.rgba.size(); i += 4) opaque += picture.rgba[i] == 255;
    EXPECT_EQ(opaque, kClientWidth * kClientHeight);
    for (const Expected& e : pixels)
      EXPECT_EQ(picture.At(e.x, e.y), e.colour) << "at (" << e.x << ", " << e.y << ")";
    // The row line crosses the column line, so each is whole and nowhere else.
    EXPECT_EQ(picture.Count(kRowLine), kClientWidth);
    EXPECT_EQ(picture.Count(kColumnLine), kClientHeight - 1);
  }
}

TEST(SaveWindowScreenshot, FailsWithoutWritingAnything) {
  const ScratchFolder scratch("screenshot-failures");
  PaintedWindow window;
  ASSERT_NE(window.Get(), nullptr);
  const std::string unwritable[] = {scratch.Path() + "\\missing folder\\shot.png", scratch.Path(),
                                    ""};
  for (const std::string& path : unwritable)
    EXPECT_FALSE(SaveWindowScreenshot(window.Get(), path.c_str())) << path;
  EXPECT_FALSE(SaveWindowScreenshot(window.Get(), nullptr));
  const std::string shot = scratch.Path() + "\\shot.png";
  EXPECT_FALSE(SaveWindowScreenshot(nullptr, shot.c_str()));

  ShowWindow(window.Get(), SW_MINIMIZE);
  PumpMessages(200);
  EXPECT_FALSE(SaveWindowScreenshot(window.Get(), shot.c_str()));
  EXPECT_FALSE(FileExists(shot));
}

} // namespace
} // namespace plugkit
