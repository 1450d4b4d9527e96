#include "tests/support/win/thread_count.h"

#include <tlhelp32.h>

#include <memory>
#include <type_traits>

namespace plugkit::test {

namespace {

struct HandleCloser {
  void operator()(HANDLE handle) const { CloseHandle(handle); }
};
using Snapshot = std::unique_ptr<std::remove_pointer_t<HANDLE>, HandleCloser>;

} // namespace

int CountThreads(DWORD processId) {
  const HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  if (taken == INVALID_HANDLE_VALUE) return -1;
  const Snapshot snapshot(taken);
  THREADENTRY32 entry = {};
  entry.dwSize = sizeof(entry);
  int count = 0;
  for (BOOL more = Thread32First(snapshot.get(), &entry); more;
       more = Thread32Next(snapshot.get(), &entry)) {
    if (entry.th32OwnerProcessID == processId) ++count;
  }
  return count;
}

} // namespace plugkit::test
