#pragma once

#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#include "framework/core/byte_chunk.h"
#include "tarvex/engine/learned_set.h"
#include "tarvex/engine/param_table.h"
#include "tarvex/plugin/tarvex_plugin.h"
#include "tests/support/host_edits.h"

namespace tarvex::testing {

constexpr double kPi = 3.14159265358979323846;

// A Tarvex that records what it sends to the host and the editor, and lets a
// test set the input silence flags the plug-in module would set.
class TestTarvex : public Tarvex {
public:
  using HostEdit = testsupport::HostEdit;

  TestTarvex() : Tarvex(plugkit::InstanceInfo{}) {}

  void BeginHostParamEdit(int paramIdx) override { hostEdits.push_back({'b', paramIdx, 0.0}); }
  void SendParamValueToHost(int paramIdx, double normalized) override {
    hostEdits.push_back({'s', paramIdx, normalized});
  }
  void EndHostParamEdit(int paramIdx) override { hostEdits.push_back({'e', paramIdx, 0.0}); }
  void SendParamValueToUI(int paramIdx, double value, bool normalized) override {
    ++valuesToUI;
    if (duringUpdate) duringUpdate();
    Tarvex::SendParamValueToUI(paramIdx, value, normalized);
  }

  void SetInputSilenceFlags(std::uint64_t flags) { inputSilenceFlags_.store(flags); }
  ParamValues Values() const {
    ParamValues v;
    for (int i = 0; i < kParamCount; ++i) v[i] = static_cast<float>(GetParam(i)->Value());
    return v;
  }
  std::vector<std::uint8_t> State() {
    plugkit::ByteChunk chunk;
    if (!SerializeState(chunk)) return {};
    return std::vector<std::uint8_t>(chunk.Data(), chunk.Data() + chunk.Size());
  }
  int Restore(const std::vector<std::uint8_t>& bytes, int startPos = 0) {
    plugkit::ByteChunk chunk;
    chunk.PutBytes(bytes.data(), static_cast<int>(bytes.size()));
    return UnserializeState(chunk, startPos);
  }

  std::vector<HostEdit> hostEdits;
  int valuesToUI = 0;
  // Runs inside every value sent to the editor, i.e. in the middle of a state
  // or bank operation.
  std::function<void()> duringUpdate;
};

// Builds chunk bytes by hand, little-endian, independently of the plug-in's
// own writers.
class ChunkBuilder {
public:
  ChunkBuilder& Int(std::int32_t v) {
    const std::uint32_t u = static_cast<std::uint32_t>(v);
    for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<std::uint8_t>(u >> (8 * b)));
    return *this;
  }
  ChunkBuilder& Float(float v) {
    std::uint32_t u;
    std::memcpy(&u, &v, 4);
    return Int(static_cast<std::int32_t>(u));
  }
  ChunkBuilder& Tag(const char (&text)[5]) {
    for (int b = 0; b < 4; ++b) bytes.push_back(static_cast<std::uint8_t>(text[b]));
    return *this;
  }
  ChunkBuilder& Values(const ParamValues& values) {
    for (float v : values) Float(v);
    return *this;
  }
  ChunkBuilder& Set(const LearnedSet& set) {
    for (const LearnedFilter& f : set)
      Float(f.frequencyHz)
          .Float(f.depthDb)
          .Float(f.q)
          .Float(f.confidence)
          .Int(f.kind)
          .Int(f.channel);
    return *this;
  }

  std::vector<std::uint8_t> bytes;
};

struct StateFields {
  ParamValues current = DefaultParamValues();
  ParamValues other = DefaultParamValues();
  std::int32_t presetIndex = 0;
  std::int32_t activeBank = 0;
  LearnedSet actual{};
  LearnedSet stored{};
};

inline std::vector<std::uint8_t> StateBytes(const StateFields& s) {
  return ChunkBuilder()
      .Tag("XTKB")
      .Int(1)
      .Int(192)
      .Values(s.current)
      .Values(s.other)
      .Int(s.presetIndex)
      .Int(s.activeBank)
      .Set(s.actual)
      .Set(s.stored)
      .bytes;
}

inline std::vector<std::uint8_t> PresetBytes(const ParamValues& values, std::int32_t index) {
  return ChunkBuilder().Tag("PTKB").Int(1).Int(192).Values(values).Int(index).bytes;
}

// A state with something in every field: Live Assist on bank B, a manual cut,
// learned filters of both kinds on both channels in both banks.
inline StateFields RichState() {
  StateFields s;
  s.current[kParamMode] = 2.0f;
  s.current[kParamRouting] = 1.0f;
  s.current[kParamMix] = 80.0f;
  s.current[SlotParamIndex(0, kSlotEnabled)] = 1.0f;
  s.current[SlotParamIndex(0, kSlotFrequency)] = 250.0f;
  s.other[kParamInput] = -6.5f;
  s.other[kParamLiveHold] = 0.1f;
  s.other[SlotParamIndex(23, kSlotRelease)] = 5000.0f;
  s.presetIndex = 9;
  s.activeBank = 1;
  s.actual[0] = {950.0f, 9.0f, 30.0f, 0.8f, kSlotFixed, 0};
  s.actual[5] = {2400.0f, 6.0f, 40.0f, 0.6f, kSlotLive, 2};
  s.stored[23] = {20000.0f, 36.0f, 80.0f, 1.0f, kSlotFixed, 1};
  s.stored[1] = {20.0f, 0.0f, 0.5f, 0.0f, kSlotLive, 0};
  return s;
}

} // namespace tarvex::testing
