#pragma once

#include <cstdint>

#include "framework/core/byte_chunk.h"
#include "tarvex/engine/param_table.h"

namespace tarvex {

// "BKTP" read as a little-endian 32-bit integer.
constexpr std::int32_t kPresetChunkMagic = 0x424B5450;
constexpr int kPresetChunkSize = 784;

// One factory preset as its preset slot stores it.
struct PresetChunkData {
  ParamValues values{};
  std::int32_t presetIndex = 0;
};

// Appends the 784 bytes; when the chunk cannot grow it is left as it was and
// the result is false.
bool WritePresetChunk(plugkit::ByteChunk& chunk, const PresetChunkData& preset);

// Reads and checks a whole preset at pos. Returns the position after it, or
// -1 with out untouched when anything is wrong.
int ReadPresetChunk(const plugkit::ByteChunk& chunk, int pos, PresetChunkData& out);

} // namespace tarvex
