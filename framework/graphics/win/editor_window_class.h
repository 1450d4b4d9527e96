#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

namespace plugkit::igraphics {

// One reference to the window class "IPluginWndClass": the first reference
// of the process registers it, the last one unregisters it. Only the
// user-interface thread makes references.
class EditorWindowClass {
public:
  static constexpr const wchar_t* kName = L"IPluginWndClass";

  EditorWindowClass(HINSTANCE module, WNDPROC windowProc);
  EditorWindowClass(const EditorWindowClass&) = delete;
  EditorWindowClass& operator=(const EditorWindowClass&) = delete;
  ~EditorWindowClass();

  // Windows of this process that hold a reference now.
  static int References();

private:
  HINSTANCE module_;
};

} // namespace plugkit::igraphics
