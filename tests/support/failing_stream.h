#pragma once

#include <algorithm>
#include <cstdint>
#include <vector>

#include "public.sdk/source/common/memorystream.h"

namespace testsupport {

// A host's stream of the given bytes whose reads fail from a position on: the
// read that reaches it delivers only the bytes before it, every later read
// delivers nothing and reports an error.
class FailingStream : public Steinberg::MemoryStream {
public:
  FailingStream(const std::vector<std::uint8_t>& bytes, Steinberg::int64 failAt) : failAt_(failAt) {
    Steinberg::int32 written = 0;
    write(const_cast<std::uint8_t*>(bytes.data()), static_cast<Steinberg::int32>(bytes.size()),
          &written);
    seek(0, kIBSeekSet, nullptr);
  }

  Steinberg::tresult PLUGIN_API read(void* buffer, Steinberg::int32 numBytes,
                                     Steinberg::int32* numBytesRead) override {
    Steinberg::int64 position = 0;
    tell(&position);
    if (position >= failAt_) {
      if (numBytesRead) *numBytesRead = 0;
      return Steinberg::kInternalError;
    }
    const auto before = std::min<Steinberg::int64>(numBytes, failAt_ - position);
    return MemoryStream::read(buffer, static_cast<Steinberg::int32>(before), numBytesRead);
  }

private:
  Steinberg::int64 failAt_;
};

} // namespace testsupport
