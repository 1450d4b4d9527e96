#include "tarvex/plugin/preset_chunk.h"

#include "tarvex/engine/factory_presets.h"
#include "tarvex/plugin/chunk_fields.h"

namespace tarvex {

bool WritePresetChunk(plugkit::ByteChunk& chunk, const PresetChunkData& preset) {
  const int start = chunk.Size();
  WriteChunkHeader(chunk, kPresetChunkMagic);
  WriteParamValues(chunk, preset.values);
  chunk.Put(preset.presetIndex);
  if (chunk.Size() == start + kPresetChunkSize) return true;
  chunk.Resize(start, false);
  return false;
}

int ReadPresetChunk(const plugkit::ByteChunk& chunk, int pos, PresetChunkData& out) {
  PresetChunkData preset;
  ChunkHeader header;
  pos = ReadChunkHeader(chunk, pos, header);
  if (pos < 0 || !HeaderMatches(header, kPresetChunkMagic)) return -1;
  pos = ReadParamValues(chunk, pos, preset.values);
  pos = chunk.Get(preset.presetIndex, pos);
  if (pos < 0 || !ValidateParamValues(preset.values.data()) ||
      static_cast<std::uint32_t>(preset.presetIndex) >=
          static_cast<std::uint32_t>(kFactoryPresetCount))
    return -1;
  out = preset;
  return pos;
}

} // namespace tarvex
