#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>

#include "tests/support/chunk_sizes.h"
#include "tests/tarvex/plugin/tarvex_rig.h"

namespace tarvex {
namespace {

using testing::PresetBytes;
using testing::RichState;
using testing::StateBytes;
using testing::StateFields;
using testing::TestTarvex;
using testsupport::kPresetChunkBytes;
using testsupport::kStateChunkBytes;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct Malformed {
  std::string name;
  std::vector<std::uint8_t> bytes;
  int startPos = 0;
};

void PutInt(std::vector<std::uint8_t>& bytes, int offset, std::int32_t value) {
  std::memcpy(bytes.data() + offset, &value, 4);
}

void PutFloat(std::vector<std::uint8_t>& bytes, int offset, float value) {
  std::memcpy(bytes.data() + offset, &value, 4);
}

// Every way a state chunk can be wrong, each in one field of an otherwise
// valid chunk.
std::vector<Malformed> MalformedStates() {
  const std::vector<std::uint8_t> valid = StateBytes(RichState());
  std::vector<Malformed> cases;
  const auto edited = [&](const std::string& name,
                          const std::function<void(std::vector<std::uint8_t>&)>& edit) {
    std::vector<std::uint8_t> bytes = valid;
    edit(bytes);
    cases.push_back({name, bytes});
  };
  edited("magic", [](auto& b) { b[3] = 'C'; });
  edited("preset magic", [](auto& b) { PutInt(b, 0, 0x424B5450); });
  edited("version 0", [](auto& b) { PutInt(b, 4, 0); });
  edited("version 2", [](auto& b) { PutInt(b, 4, 2); });
  edited("count 191", [](auto& b) { PutInt(b, 8, 191); });
  edited("count 193", [](auto& b) { PutInt(b, 8, 193); });
  for (int block : {12, 780}) {
    const std::string where = block == 12 ? "current " : "other ";
    edited(where + "NaN", [=](auto& b) { PutFloat(b, block + 4 * kParamInput, kNaN); });
    edited(where + "infinity", [=](auto& b) { PutFloat(b, block + 4 * kParamMix, kInf); });
    edited(where + "below range",
           [=](auto& b) { PutFloat(b, block + 4 * kParamNoiseFloor, -90.5f); });
    edited(where + "above range",
           [=](auto& b) { PutFloat(b, block + 4 * SlotParamIndex(3, kSlotFrequency), 20000.5f); });
    edited(where + "mode off its steps",
           [=](auto& b) { PutFloat(b, block + 4 * kParamMode, 1.5f); });
    edited(where + "slot switch off its steps",
           [=](auto& b) { PutFloat(b, block + 4 * SlotParamIndex(23, kSlotDynamic), 0.25f); });
  }
  edited("preset index -1", [](auto& b) { PutInt(b, 1548, -1); });
  edited("preset index 16", [](auto& b) { PutInt(b, 1548, 16); });
  edited("bank 2", [](auto& b) { PutInt(b, 1552, 2); });
  edited("bank -1", [](auto& b) { PutInt(b, 1552, -1); });
  const struct {
    const char* name;
    int word;
    bool isFloat;
    float f;
    std::int32_t i;
  } fields[] = {
      {"frequency 19.9", 0, true, 19.9f, 0},
      {"frequency 20000.5", 0, true, 20000.5f, 0},
      {"frequency NaN", 0, true, kNaN, 0},
      {"depth -0.1", 1, true, -0.1f, 0},
      {"depth 36.1", 1, true, 36.1f, 0},
      {"depth infinity", 1, true, kInf, 0},
      {"Q 0.4", 2, true, 0.4f, 0},
      {"Q 80.5", 2, true, 80.5f, 0},
      {"confidence -0.01", 3, true, -0.01f, 0},
      {"confidence 1.01", 3, true, 1.01f, 0},
      {"confidence NaN", 3, true, kNaN, 0},
      {"kind manual", 4, false, 0.0f, kSlotManual},
      {"kind 4", 4, false, 0.0f, 4},
      {"kind -1", 4, false, 0.0f, -1},
      {"channel 3", 5, false, 0.0f, 3},
      {"channel -1", 5, false, 0.0f, -1},
  };
  for (int setOffset : {1556, 2132}) {
    for (int slot : {0, 23}) {
      for (const auto& f : fields) {
        const int offset = setOffset + 24 * slot + 4 * f.word;
        edited(std::string(setOffset == 1556 ? "actual " : "stored ") + "slot " +
                   std::to_string(slot) + " " + f.name,
               [&](auto& b) {
                 if (f.isFloat)
                   PutFloat(b, offset, f.f);
                 else
                   PutInt(b, offset, f.i);
               });
      }
    }
  }
  std::vector<std::uint8_t> longer = valid;
  longer.push_back(0);
  cases.push_back({"one trailing byte", longer});
  cases.push_back({"one byte short", std::vector<std::uint8_t>(valid.begin(), valid.end() - 1)});
  cases.push_back({"state read from byte 1", valid, 1});
  cases.push_back({"start beyond the end", valid, 3000});
  cases.push_back({"negative start", valid, -1});
  return cases;
}

std::vector<Malformed> MalformedPresets() {
  const std::vector<std::uint8_t> valid = PresetBytes(DefaultParamValues(), 4);
  std::vector<Malformed> cases;
  const auto edited = [&](const std::string& name,
                          const std::function<void(std::vector<std::uint8_t>&)>& edit) {
    std::vector<std::uint8_t> bytes = valid;
    edit(bytes);
    cases.push_back({name, bytes});
  };
  edited("magic", [](auto& b) { b[0] = 'Q'; });
  edited("state magic", [](auto& b) { PutInt(b, 0, 0x424B5458); });
  edited("version 0", [](auto& b) { PutInt(b, 4, 0); });
  edited("version 2", [](auto& b) { PutInt(b, 4, 2); });
  edited("count 191", [](auto& b) { PutInt(b, 8, 191); });
  edited("count 193", [](auto& b) { PutInt(b, 8, 193); });
  edited("NaN", [](auto& b) { PutFloat(b, 12 + 4 * kParamOutput, kNaN); });
  edited("infinity", [](auto& b) { PutFloat(b, 12 + 4 * kParamAttack, -kInf); });
  edited("below range", [](auto& b) { PutFloat(b, 12 + 4 * kParamAutoQ, 1.9f); });
  edited("above range", [](auto& b) { PutFloat(b, 12 + 4 * kParamFixedLimit, 25.0f); });
  edited("limit off its steps", [](auto& b) { PutFloat(b, 12 + 4 * kParamLiveLimit, 7.5f); });
  edited("index -1", [](auto& b) { PutInt(b, 780, -1); });
  edited("index 16", [](auto& b) { PutInt(b, 780, 16); });
  std::vector<std::uint8_t> longer = valid;
  longer.push_back(0);
  cases.push_back({"one trailing byte", longer});
  cases.push_back({"one byte short", std::vector<std::uint8_t>(valid.begin(), valid.end() - 1)});
  return cases;
}

std::vector<Malformed> WrongSizes() {
  std::vector<Malformed> cases;
  for (int size :
       {0, 1, 12, kPresetChunkBytes - 1, kPresetChunkBytes + 1, 1536, kStateChunkBytes - 1,
        kStateChunkBytes + 1, kStateChunkBytes + kPresetChunkBytes, 4096})
    cases.push_back({"size " + std::to_string(size), std::vector<std::uint8_t>(size, 0)});
  return cases;
}

class MalformedChunk : public ::testing::Test {
protected:
  void SetUp() override {
    plug.OnActivate(true);
    ASSERT_EQ(plug.Restore(StateBytes(RichState())), kStateChunkBytes);
    plug.ProcessBlock(nullptr, nullptr, 0);
    before = plug.State();
    ASSERT_EQ(before.size(), std::size_t{kStateChunkBytes});
    plug.valuesToUI = 0;
  }

  void ExpectAllRefused(const std::vector<Malformed>& cases) {
    for (const Malformed& c : cases) {
      SCOPED_TRACE(c.name);
      EXPECT_EQ(plug.Restore(c.bytes, c.startPos), -1);
      EXPECT_EQ(plug.valuesToUI, 0);
      plug.ProcessBlock(nullptr, nullptr, 0);
      EXPECT_EQ(plug.State(), before);
    }
  }

  TestTarvex plug;
  std::vector<std::uint8_t> before;
};

TEST_F(MalformedChunk, StatesAreRefusedWithoutAnyChange) { ExpectAllRefused(MalformedStates()); }

TEST_F(MalformedChunk, PresetsAreRefusedWithoutAnyChange) { ExpectAllRefused(MalformedPresets()); }

TEST_F(MalformedChunk, OtherSizesAreRefusedWithoutAnyChange) { ExpectAllRefused(WrongSizes()); }

TEST_F(MalformedChunk, TheValidOriginalsAreAccepted) {
  // The cases above differ from these in one field only.
  EXPECT_EQ(plug.Restore(StateBytes(StateFields{})), kStateChunkBytes);
  EXPECT_EQ(plug.Restore(PresetBytes(DefaultParamValues(), 4)), kPresetChunkBytes);
  ParamValues edges = DefaultParamValues();
  edges[kParamNoiseFloor] = -90.0f;
  edges[SlotParamIndex(3, kSlotFrequency)] = 20000.0f;
  edges[kParamLiveHold] = 0.1f;
  EXPECT_EQ(plug.Restore(PresetBytes(edges, 15)), kPresetChunkBytes);
  EXPECT_EQ(plug.Values(), edges);
}

} // namespace
} // namespace tarvex
