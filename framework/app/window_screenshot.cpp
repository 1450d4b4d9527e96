#include "framework/app/window_screenshot.h"

#include "framework/core/win_files.h"
#include "framework/core/win_text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <type_traits>

#define STB_IMAGE_WRITE_STATIC
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image_write.h>

namespace plugkit {

namespace {

// PrintWindow: the client area only, with content drawn by the window
// itself (PW_CLIENTONLY | PW_RENDERFULLCONTENT).
constexpr UINT kPrintClientFullContent = 3;

class WindowDC {
public:
  explicit WindowDC(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDC() {
    if (dc_) ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return dc_; }

private:
  HWND window_;
  HDC dc_;
};

class MemoryDC {
public:
  explicit MemoryDC(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
  ~MemoryDC() {
    if (dc_) DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;
  HDC Get() const { return dc_; }

private:
  HDC dc_;
};

struct ObjectDeleter {
  void operator()(HBITMAP bitmap) const { DeleteObject(bitmap); }
};
using Bitmap = std::unique_ptr<std::remove_pointer_t<HBITMAP>, ObjectDeleter>;

struct FreeDeleter {
  void operator()(unsigned char* bytes) const { std::free(bytes); }
};

// Draws the window's client area into a 32-bit top-down section; its pixels
// (blue, green, red, unused) are in `pixels`. Null when nothing was drawn.
Bitmap CaptureClient(HWND window, int width, int height, uint8_t*& pixels) {
  const WindowDC windowDC(window);
  if (!windowDC.Get()) return nullptr;
  const MemoryDC memoryDC(windowDC.Get());
  if (!memoryDC.Get()) return nullptr;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Bitmap section(CreateDIBSection(memoryDC.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!section || !bits) return nullptr;
  const HGDIOBJ previous = SelectObject(memoryDC.Get(), section.get());
  const bool drawn = PrintWindow(window, memoryDC.Get(), kPrintClientFullContent) ||
                     BitBlt(memoryDC.Get(), 0, 0, width, height, windowDC.Get(), 0, 0, SRCCOPY);
  SelectObject(memoryDC.Get(), previous);
  if (!drawn) return nullptr;
  GdiFlush();
  pixels = static_cast<uint8_t*>(bits);
  return section;
}

void RemoveFile(const char* path) {
  if (PathNeedsWide(path)) {
    WidePath wide(path);
    if (wide.Ok()) {
      AddLongPathPrefix(wide.Get());
      DeleteFileW(wide.Get());
      return;
    }
  }
  DeleteFileA(path);
}

bool WriteWhole(const char* path, const unsigned char* bytes, int size) {
  FILE* file = Utf8Fopen(path, "wb");
  if (!file) return false;
  const bool written =
      std::fwrite(bytes, 1, static_cast<size_t>(size), file) == static_cast<size_t>(size);
  const bool closed = std::fclose(file) == 0;
  if (written && closed) return true;
  RemoveFile(path); // a cut PNG is no picture
  return false;
}

} // namespace

bool SaveWindowScreenshot(HWND window, const char* path) {
  if (!window || !path || !*path) return false;
  RECT client{};
  if (!GetClientRect(window, &client)) return false;
  const int width = client.right - client.left;
  const int height = client.bottom - client.top;
  if (width <= 0 || height <= 0) return false;

  uint8_t* pixels = nullptr;
  const Bitmap section = CaptureClient(window, width, height, pixels);
  if (!section) return false;
  const size_t count = static_cast<size_t>(width) * static_cast<size_t>(height);
  for (size_t i = 0; i < count; ++i) {
    uint8_t* pixel = pixels + 4 * i;
    const uint8_t blue = pixel[0];
    pixel[0] = pixel[2];
    pixel[2] = blue;
    pixel[3] = 255;
  }
  int size = 0;
  const std::unique_ptr<unsigned char, FreeDeleter> png(
      stbi_write_png_to_mem(pixels, width * 4, width, height, 4, &size));
  return png && size > 0 && WriteWhole(path, png.get(), size);
}

} // namespace plugkit
