#pragma once

#include <cstdint>

#include "framework/core/byte_chunk.h"
#include "tarvex/engine/learned_set.h"
#include "tarvex/engine/param_table.h"

namespace tarvex {

// "BKTX" read as a little-endian 32-bit integer.
constexpr std::int32_t kStateChunkMagic = 0x424B5458;
constexpr int kStateChunkSize = 2708;

// The whole state of an instance: both banks, the factory preset index and
// which bank is active.
struct StateChunkData {
  ParamValues current{};
  ParamValues other{};
  std::int32_t presetIndex = 0;
  std::int32_t activeBank = 0;
  LearnedSet actual{};
  LearnedSet stored{};
};

// Appends the 2708 bytes; when the chunk cannot grow it is left as it was
// and the result is false.
bool WriteStateChunk(plugkit::ByteChunk& chunk, const StateChunkData& state);

// Reads and checks a whole state at pos: magic, version, count, both value
// blocks, preset index, bank and both learned sets. Returns the position
// after it, or -1 with out untouched when anything is wrong.
int ReadStateChunk(const plugkit::ByteChunk& chunk, int pos, StateChunkData& out);

} // namespace tarvex
