#include "tests/support/win/client_size.h"

namespace plugkit::test {

SIZE ClientSize(HWND window) {
  RECT client{};
  GetClientRect(window, &client);
  return SIZE{client.right - client.left, client.bottom - client.top};
}

} // namespace plugkit::test
