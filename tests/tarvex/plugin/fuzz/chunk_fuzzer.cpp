#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "framework/core/byte_chunk.h"
#include "tarvex/plugin/preset_chunk.h"
#include "tarvex/plugin/state_chunk.h"

namespace {

// Inputs far beyond both chunk sizes teach the readers nothing new.
constexpr std::size_t kLargestInput = 8192;

// An accepted chunk must be exactly what writing the read data gives back:
// anything else means a field was read from the wrong place or lost.
void CheckRewrite(const plugkit::ByteChunk& rewritten, int expectedSize, const std::uint8_t* data) {
  if (rewritten.Size() != expectedSize || std::memcmp(rewritten.Data(), data, expectedSize) != 0)
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > kLargestInput) return 0;
  plugkit::ByteChunk chunk;
  chunk.PutBytes(data, static_cast<int>(size));

  tarvex::StateChunkData state;
  const int stateEnd = tarvex::ReadStateChunk(chunk, 0, state);
  if (stateEnd >= 0) {
    if (stateEnd != tarvex::kStateChunkSize) std::abort();
    plugkit::ByteChunk rewritten;
    if (!tarvex::WriteStateChunk(rewritten, state)) std::abort();
    CheckRewrite(rewritten, tarvex::kStateChunkSize, data);
  }

  tarvex::PresetChunkData preset;
  const int presetEnd = tarvex::ReadPresetChunk(chunk, 0, preset);
  if (presetEnd >= 0) {
    if (presetEnd != tarvex::kPresetChunkSize) std::abort();
    plugkit::ByteChunk rewritten;
    if (!tarvex::WritePresetChunk(rewritten, preset)) std::abort();
    CheckRewrite(rewritten, tarvex::kPresetChunkSize, data);
  }
  return 0;
}
