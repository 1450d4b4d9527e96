#include <cstdint>

#include "tarvex/plugin/preset_chunk.h"
#include "tarvex/plugin/state_chunk.h"
#include "tarvex/plugin/state_guard.h"
#include "tarvex/plugin/tarvex_plugin.h"

namespace tarvex {

bool Tarvex::SerializeState(plugkit::ByteChunk& chunk) {
  const StateGuard guard(stateGuard_);
  if (!guard.Held()) return false;
  StateChunkData state;
  state.other = bankStore_.ReadValues();
  if (!engine_->ReadLearnedSet(state.actual) || !bankStore_.ReadLearnedSet(state.stored))
    return false;
  state.current = CurrentValues();
  state.presetIndex = presetIndex_.load();
  state.activeBank = activeBank_.load();
  return WriteStateChunk(chunk, state);
}

int Tarvex::UnserializeState(const plugkit::ByteChunk& chunk, int startPos) {
  if (startPos < 0) return -1;
  const StateGuard guard(stateGuard_);
  if (!guard.Held()) return -1;
  // The exact length tells the two formats apart; anything else is refused.
  const std::int64_t length = static_cast<std::int64_t>(chunk.Size()) - startPos;
  if (length == kPresetChunkSize) return RestorePreset(chunk, startPos);
  if (length == kStateChunkSize) return RestoreState(chunk, startPos);
  return -1;
}

int Tarvex::RestorePreset(const plugkit::ByteChunk& chunk, int startPos) {
  PresetChunkData preset;
  const int end = ReadPresetChunk(chunk, startPos, preset);
  if (end < 0) return -1;
  ApplyParamValues(preset.values, false);
  presetIndex_.exchange(preset.presetIndex);
  return end;
}

int Tarvex::RestoreState(const plugkit::ByteChunk& chunk, int startPos) {
  StateChunkData state;
  const int end = ReadStateChunk(chunk, startPos, state);
  // Everything is checked before the first change, and the engine's set is
  // the one step that can still be refused, so it goes first.
  if (end < 0 || !engine_->RequestLearnedSet(state.actual)) return -1;
  bankStore_.WriteLearnedSet(state.stored);
  ApplyParamValues(state.current, false);
  bankStore_.WriteValues(state.other);
  presetIndex_.exchange(state.presetIndex);
  activeBank_.exchange(state.activeBank != 0 ? 1 : 0);
  return end;
}

bool Tarvex::CopyToOtherBank() {
  const StateGuard guard(stateGuard_);
  if (!guard.Held()) return false;
  LearnedSet actual;
  if (!engine_->ReadLearnedSet(actual)) return false;
  bankStore_.WriteLearnedSet(actual);
  bankStore_.WriteValues(CurrentValues());
  return true;
}

bool Tarvex::SwapBanks() {
  const StateGuard guard(stateGuard_);
  if (!guard.Held()) return false;
  const ParamValues current = CurrentValues();
  const ParamValues other = bankStore_.ReadValues();
  LearnedSet actual;
  LearnedSet stored;
  if (!engine_->ReadLearnedSet(actual) || !bankStore_.ReadLearnedSet(stored) ||
      !engine_->RequestLearnedSet(stored))
    return false;
  bankStore_.WriteValues(current);
  bankStore_.WriteLearnedSet(actual);
  ApplyParamValues(other, true);
  activeBank_.fetch_xor(1);
  return true;
}

} // namespace tarvex
