#pragma once

#include <cstdint>

#include "framework/core/byte_chunk.h"
#include "tarvex/engine/learned_set.h"
#include "tarvex/engine/param_table.h"

namespace tarvex {

// Fields shared by the state and preset chunks. Writers append; readers
// return the position after the field, or -1 when the chunk is too short
// (or, for a learned set, when the set is invalid).
constexpr int kParamValuesChunkSize = kParamCount * 4;
constexpr int kLearnedSetChunkSize = kLearnedSetWords * 4;

// The magic, version and parameter count every chunk starts with.
struct ChunkHeader {
  std::int32_t magic = 0;
  std::int32_t version = 0;
  std::int32_t count = 0;
};

constexpr std::int32_t kChunkVersion = 1;

void WriteChunkHeader(plugkit::ByteChunk& chunk, std::int32_t magic);
int ReadChunkHeader(const plugkit::ByteChunk& chunk, int pos, ChunkHeader& out);
// True for the given magic with the current version and parameter count.
bool HeaderMatches(const ChunkHeader& header, std::int32_t magic);

void WriteParamValues(plugkit::ByteChunk& chunk, const ParamValues& values);
int ReadParamValues(const plugkit::ByteChunk& chunk, int pos, ParamValues& out);

void WriteLearnedSetToChunk(plugkit::ByteChunk& chunk, const LearnedSet& set);
int ReadLearnedSetFromChunk(const plugkit::ByteChunk& chunk, int pos, LearnedSet& out);

} // namespace tarvex
