#include "framework/graphics/vg/vg_gl_loader_win.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include "framework/graphics/vg/vg_gl2_backend.h"

namespace plugkit {
namespace {

// A hidden window with a WGL context current, made the way the editor's
// window makes its own.
class HiddenGlWindow {
public:
  HiddenGlWindow() {
    WNDCLASSA windowClass{};
    windowClass.style = CS_OWNDC;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    RegisterClassA(&windowClass);
    window_ = CreateWindowA(kClassName, "", WS_OVERLAPPEDWINDOW, 0, 0, 64, 64, nullptr, nullptr,
                            windowClass.hInstance, nullptr);
    if (!window_) return;
    dc_ = GetDC(window_);
    PIXELFORMATDESCRIPTOR format{};
    format.nSize = sizeof(format);
    format.nVersion = 1;
    format.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    format.iPixelType = PFD_TYPE_RGBA;
    format.cColorBits = 32;
    format.cDepthBits = 24;
    format.cStencilBits = 8;
    const int chosen = ChoosePixelFormat(dc_, &format);
    if (chosen == 0 || !SetPixelFormat(dc_, chosen, &format)) return;
    context_ = wglCreateContext(dc_);
    current_ = context_ && wglMakeCurrent(dc_, context_);
  }
  ~HiddenGlWindow() {
    if (current_) wglMakeCurrent(nullptr, nullptr);
    if (context_) wglDeleteContext(context_);
    if (dc_) ReleaseDC(window_, dc_);
    if (window_) DestroyWindow(window_);
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
  }
  HiddenGlWindow(const HiddenGlWindow&) = delete;
  HiddenGlWindow& operator=(const HiddenGlWindow&) = delete;

  bool Current() const { return current_; }

private:
  static constexpr const char* kClassName = "TarvexGlLoaderTest";
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  HGLRC context_ = nullptr;
  bool current_ = false;
};

TEST(VgGlLoaderWin32, FillsTheTableAndTheBackEndRuns) {
  const HiddenGlWindow window;
  ASSERT_TRUE(window.Current()) << "no WGL context";
  ASSERT_TRUE(VgLoadGlFunctionsWin32());
  // One entry point of each kind: exported by opengl32.dll, and found only
  // through wglGetProcAddress.
  EXPECT_NE(vgGl.BindTexture, nullptr);
  EXPECT_NE(vgGl.GenFramebuffers, nullptr);

  auto* backend = new VgGl2Backend{};
  backend->flags = kVgGl2Antialias;
  EXPECT_EQ(VgGl2RenderCreate(backend), 1);
  const uint8_t pixel[4] = {1, 2, 3, 4};
  const int32_t image = VgGl2CreateTexture(backend, kVgTextureRgba, 1, 1, 0, pixel);
  EXPECT_NE(image, 0);
  EXPECT_EQ(VgGl2UpdateTexture(backend, image, 0, 0, 1, 1, pixel), 1);
  EXPECT_EQ(vgGl.GetError(), static_cast<GLenum>(GL_NO_ERROR));
  VgGl2RenderDelete(backend);
}

} // namespace
} // namespace plugkit
