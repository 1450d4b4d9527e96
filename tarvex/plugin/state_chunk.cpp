#include "tarvex/plugin/state_chunk.h"

#include "tarvex/engine/factory_presets.h"
#include "tarvex/plugin/chunk_fields.h"

namespace tarvex {

bool WriteStateChunk(plugkit::ByteChunk& chunk, const StateChunkData& state) {
  const int start = chunk.Size();
  WriteChunkHeader(chunk, kStateChunkMagic);
  WriteParamValues(chunk, state.current);
  WriteParamValues(chunk, state.other);
  chunk.Put(state.presetIndex);
  chunk.Put(state.activeBank);
  WriteLearnedSetToChunk(chunk, state.actual);
  WriteLearnedSetToChunk(chunk, state.stored);
  if (chunk.Size() == start + kStateChunkSize) return true;
  chunk.Resize(start, false);
  return false;
}

int ReadStateChunk(const plugkit::ByteChunk& chunk, int pos, StateChunkData& out) {
  StateChunkData state;
  ChunkHeader header;
  pos = ReadChunkHeader(chunk, pos, header);
  if (pos < 0 || !HeaderMatches(header, kStateChunkMagic)) return -1;
  pos = ReadParamValues(chunk, pos, state.current);
  pos = ReadParamValues(chunk, pos, state.other);
  pos = chunk.Get(state.presetIndex, pos);
  pos = chunk.Get(state.activeBank, pos);
  if (pos < 0) return -1;
  if (static_cast<std::uint32_t>(state.presetIndex) >=
          static_cast<std::uint32_t>(kFactoryPresetCount) ||
      static_cast<std::uint32_t>(state.activeBank) > 1u)
    return -1;
  if (!ValidateParamValues(state.current.data()) || !ValidateParamValues(state.other.data()))
    return -1;
  pos = ReadLearnedSetFromChunk(chunk, pos, state.actual);
  pos = ReadLearnedSetFromChunk(chunk, pos, state.stored);
  if (pos < 0) return -1;
  out = state;
  return pos;
}

} // namespace tarvex
