#include "framework/app/rtaudio_stream_thread_win.h"

namespace plugkit {

namespace {

// The library keeps its stream's thread and lock to itself. A derived class
// may name its protected members as pointers to members, which then reach
// them in any object of the library's own classes; nothing of the library
// is changed.
struct AudioMembers : RtAudio {
  static constexpr auto kApi = &AudioMembers::rtapi_;
};

struct ApiMembers : RtApi {
  static constexpr auto kStream = &ApiMembers::stream_;
  static constexpr int kClosed = STREAM_CLOSED;
};

} // namespace

HANDLE StreamCallbackThread(const RtAudio& audio) {
  const RtApi* api = (audio.*AudioMembers::kApi).get();
  if (!api) return nullptr;
  const auto& stream = api->*ApiMembers::kStream;
  if (stream.state == ApiMembers::kClosed) return nullptr;
  return reinterpret_cast<HANDLE>(stream.callbackInfo.thread);
}

bool StreamLockTaken(RtAudio& audio) {
  RtApi* api = (audio.*AudioMembers::kApi).get();
  if (!api) return false;
  auto& stream = api->*ApiMembers::kStream;
  // The library's lock is a POSIX mutex in the MinGW build.
  if (pthread_mutex_trylock(&stream.mutex) != 0) return true;
  pthread_mutex_unlock(&stream.mutex);
  return false;
}

} // namespace plugkit
