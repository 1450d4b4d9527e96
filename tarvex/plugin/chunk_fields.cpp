#include "tarvex/plugin/chunk_fields.h"

namespace tarvex {

void WriteChunkHeader(plugkit::ByteChunk& chunk, std::int32_t magic) {
  chunk.Put(magic);
  chunk.Put(kChunkVersion);
  chunk.Put(static_cast<std::int32_t>(kParamCount));
}

int ReadChunkHeader(const plugkit::ByteChunk& chunk, int pos, ChunkHeader& out) {
  ChunkHeader h;
  pos = chunk.Get(h.magic, pos);
  pos = chunk.Get(h.version, pos);
  pos = chunk.Get(h.count, pos);
  if (pos >= 0) out = h;
  return pos;
}

bool HeaderMatches(const ChunkHeader& header, std::int32_t magic) {
  return header.magic == magic && header.version == kChunkVersion && header.count == kParamCount;
}

void WriteParamValues(plugkit::ByteChunk& chunk, const ParamValues& values) {
  for (float v : values) chunk.Put(v);
}

int ReadParamValues(const plugkit::ByteChunk& chunk, int pos, ParamValues& out) {
  ParamValues values;
  for (float& v : values) pos = chunk.Get(v, pos);
  if (pos >= 0) out = values;
  return pos;
}

void WriteLearnedSetToChunk(plugkit::ByteChunk& chunk, const LearnedSet& set) {
  for (const LearnedFilter& f : set) {
    chunk.Put(f.frequencyHz);
    chunk.Put(f.depthDb);
    chunk.Put(f.q);
    chunk.Put(f.confidence);
    chunk.Put(f.kind);
    chunk.Put(f.channel);
  }
}

int ReadLearnedSetFromChunk(const plugkit::ByteChunk& chunk, int pos, LearnedSet& out) {
  LearnedSet set;
  for (LearnedFilter& f : set) {
    pos = chunk.Get(f.frequencyHz, pos);
    pos = chunk.Get(f.depthDb, pos);
    pos = chunk.Get(f.q, pos);
    pos = chunk.Get(f.confidence, pos);
    pos = chunk.Get(f.kind, pos);
    pos = chunk.Get(f.channel, pos);
  }
  if (pos < 0 || !ValidateLearnedSet(set)) return -1;
  out = set;
  return pos;
}

} // namespace tarvex
