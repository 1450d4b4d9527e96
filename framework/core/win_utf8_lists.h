#pragma once

#include <windows.h>

namespace plugkit {

// Lets a combo box (or list box) and its edit child take and give UTF-8 item
// texts through the narrow messages: texts that read as UTF-8 are stored as
// UTF-16, and item texts come back as UTF-8, their lengths counted in UTF-8
// bytes so that a caller sizing its buffer by them gets the text whole. Each
// window is subclassed once; the subclass removes itself on destruction.
void Utf8SubclassEditControls(HWND comboBox);

} // namespace plugkit
