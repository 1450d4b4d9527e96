#include "tests/support/win/message_pump.h"

namespace plugkit::test {

void PumpMessages(DWORD milliseconds) {
  const DWORD start = GetTickCount();
  do {
    MSG message;
    // A timer always due (painting slower than its interval) keeps the
    // queue from ever running dry: the time is checked after each message.
    while (GetTickCount() - start < milliseconds &&
           PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(1);
  } while (GetTickCount() - start < milliseconds);
}

} // namespace plugkit::test
