#include "framework/graphics/win/editor_window_class.h"

namespace plugkit::igraphics {
namespace {

int references = 0;

} // namespace

EditorWindowClass::EditorWindowClass(HINSTANCE module, WNDPROC windowProc) : module_(module) {
  if (references++ > 0) return;
  WNDCLASSW windowClass{};
  windowClass.style = CS_DBLCLKS | CS_OWNDC;
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = module;
  windowClass.lpszClassName = kName;
  RegisterClassW(&windowClass);
}

EditorWindowClass::~EditorWindowClass() {
  if (--references == 0) UnregisterClassW(kName, module_);
}

int EditorWindowClass::References() { return references; }

} // namespace plugkit::igraphics
