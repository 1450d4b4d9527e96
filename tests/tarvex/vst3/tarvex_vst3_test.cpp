#include "tarvex/vst3/tarvex_vst3.h"
#include "tests/support/chunk_sizes.h"
#include "tests/support/failing_stream.h"
#include "tests/support/vst3_text.h"

#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"
#include "public.sdk/source/vst/hosting/processdata.h"
#include "tarvex/engine/param_table.h"
#include "tarvex/plugin/state_chunk.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

namespace tarvex {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;
using plugkit::test::Utf8Of;
using testsupport::FailingStream;
using testsupport::kComponentStateBytes;
using testsupport::kStateChunkBytes;

constexpr int32 kBlock = 256;

class TarvexVst3 : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(plug->initialize(&host), kResultOk);
    ProcessSetup setup{kRealtime, kSample32, kBlock, 48000.0};
    ASSERT_EQ(plug->setupProcessing(setup), kResultOk);
    ASSERT_EQ(plug->setActive(true), kResultOk);
    ASSERT_EQ(plug->setProcessing(true), kResultOk);
    ASSERT_TRUE(data.prepare(*plug, kBlock, kSample32));
    data.numSamples = kBlock;
    data.inputParameterChanges = &changes;
  }
  void TearDown() override {
    data.unprepare();
    plug->setProcessing(false);
    plug->setActive(false);
    plug->terminate();
  }
  void AddPoint(ParamID id, int32 offset, double value) {
    int32 index = 0;
    IParamValueQueue* queue = changes.addParameterData(id, index);
    queue->addPoint(offset, value, index);
  }
  void FillInput(float value) {
    for (int32 ch = 0; ch < data.inputs[0].numChannels; ++ch)
      std::fill_n(data.inputs[0].channelBuffers32[ch], kBlock, value);
  }
  void FillOutput(float value) {
    for (int32 ch = 0; ch < data.outputs[0].numChannels; ++ch)
      std::fill_n(data.outputs[0].channelBuffers32[ch], kBlock, value);
  }
  bool OutputIs(float value) const {
    for (int32 ch = 0; ch < data.outputs[0].numChannels; ++ch)
      for (int32 i = 0; i < kBlock; ++i)
        if (!(data.outputs[0].channelBuffers32[ch][i] == value)) return false;
    return true;
  }
  std::vector<uint8_t> Saved() {
    MemoryStream stream;
    EXPECT_EQ(plug->getState(&stream), kResultOk);
    const auto* bytes = reinterpret_cast<const uint8_t*>(stream.getData());
    return std::vector<uint8_t>(bytes, bytes + stream.getSize());
  }
  tresult Load(std::vector<uint8_t> bytes) {
    MemoryStream stream(bytes.data(), static_cast<TSize>(bytes.size()));
    return plug->setState(&stream);
  }
  std::vector<double> ControllerValues() {
    std::vector<double> values;
    for (ParamID id = 0; id < kParamCount; ++id) values.push_back(plug->getParamNormalized(id));
    values.push_back(plug->getParamNormalized(plugkit::kBypassParamId));
    return values;
  }
  std::vector<double> ProcessorValues() {
    std::vector<double> values;
    for (int i = 0; i < kParamCount; ++i) values.push_back(plug->GetParam(i)->Value());
    values.push_back(plug->HostBypass() ? 1.0 : 0.0);
    return values;
  }

  HostApplication host;
  IPtr<TarvexVST3> plug = owned(new TarvexVST3(TarvexInstanceInfo{}));
  HostProcessData data;
  ParameterChanges changes{8};
};

TEST_F(TarvexVst3, ParametersAsTheHostSeesThem) {
  ASSERT_EQ(plug->getParameterCount(), kParamCount + 1);
  ParameterInfo info{};
  ASSERT_EQ(plug->getParameterInfo(0, info), kResultOk);
  EXPECT_EQ(info.id, plugkit::kBypassParamId);
  EXPECT_EQ(Utf8Of(info.title), "Bypass");
  EXPECT_NE(info.flags & ParameterInfo::kIsBypass, 0);
  for (int32 i = 0; i < kParamCount; ++i) {
    ASSERT_EQ(plug->getParameterInfo(i + 1, info), kResultOk);
    const ParamSpec& spec = ParamSpecAt(i);
    EXPECT_EQ(info.id, static_cast<ParamID>(i));
    EXPECT_EQ(Utf8Of(info.title), spec.name) << i;
    EXPECT_EQ(Utf8Of(info.units), spec.unit) << i;
    EXPECT_EQ(info.stepCount,
              IsEnumParam(i) ? static_cast<int32>(spec.maxValue - spec.minValue) : 0)
        << i;
    EXPECT_EQ(info.flags & ParameterInfo::kCanAutomate, ParameterInfo::kCanAutomate);
    EXPECT_NEAR(info.defaultNormalizedValue, plug->GetParam(i)->DefaultValue(true), 1e-12);

    // Every value's text reads back as the same value.
    for (double normalized : {0.0, 0.37, 1.0}) {
      String128 text{};
      ASSERT_EQ(plug->getParamStringByValue(static_cast<ParamID>(i), normalized, text), kResultOk);
      ParamValue back = -1.0;
      ASSERT_EQ(plug->getParamValueByString(static_cast<ParamID>(i), text, back), kResultOk)
          << i << Utf8Of(text);
      String128 again{};
      plug->getParamStringByValue(static_cast<ParamID>(i), back, again);
      EXPECT_EQ(Utf8Of(text), Utf8Of(again)) << i;
    }
  }
  ParamValue value = 0;
  TChar nan[] = u"nan";
  EXPECT_NE(plug->getParamValueByString(0, nan, value), kResultOk);
  ParamID id = 0;
  EXPECT_EQ(plug->getMidiControllerAssignment(0, 0, 7, id), kResultFalse);
}

TEST_F(TarvexVst3, LastPointOfEachQueueReachesTheEngineAndBypassFromAboveOneHalf) {
  ParamID continuous = 0;
  while (IsEnumParam(static_cast<int>(continuous))) ++continuous;
  const plugkit::IParam& param = *plug->GetParam(static_cast<int>(continuous));
  int32 index = 0;
  IParamValueQueue* queue = changes.addParameterData(continuous, index);
  queue->addPoint(0, 0.1, index);
  queue->addPoint(100, 0.9, index);
  queue->addPoint(200, 0.3, index);
  AddPoint(plugkit::kBypassParamId, 0, 0.5);
  AddPoint(continuous + 1, 0, std::numeric_limits<double>::quiet_NaN());
  const double beforeNext = plug->GetParam(static_cast<int>(continuous) + 1)->Value();
  ASSERT_EQ(plug->process(data), kResultOk);
  EXPECT_NEAR(param.NormalizeValue(param.Value()), 0.3, 0.01);
  EXPECT_DOUBLE_EQ(plug->GetParam(static_cast<int>(continuous) + 1)->Value(), beforeNext);
  EXPECT_FALSE(plug->HostBypass());

  changes.clearQueue();
  AddPoint(plugkit::kBypassParamId, 0, 0.51);
  data.numSamples = 0;
  ASSERT_EQ(plug->process(data), kResultOk) << "an empty block still takes the changes";
  EXPECT_TRUE(plug->HostBypass());
  changes.clearQueue();
  AddPoint(plugkit::kBypassParamId, 0, std::numeric_limits<double>::infinity());
  ASSERT_EQ(plug->process(data), kResultOk);
  EXPECT_TRUE(plug->HostBypass());
}

TEST_F(TarvexVst3, MalformedProcessDataIsRefusedAndNothingWritten) {
  AudioBusBuffers& in = data.inputs[0];
  AudioBusBuffers& out = data.outputs[0];
  AudioBusBuffers twoBuses[2] = {in, in};
  AudioBusBuffers threeChannels = in;
  threeChannels.numChannels = 3;
  float* nullChannel[2] = {in.channelBuffers32[0], nullptr};

  struct Case {
    const char* what;
    std::function<void(ProcessData&)> damage;
  };
  const std::vector<Case> cases = {
      {"too many samples", [](ProcessData& d) { d.numSamples = kBlock + 1; }},
      {"negative samples", [](ProcessData& d) { d.numSamples = -1; }},
      {"two input buses",
       [&](ProcessData& d) {
         d.numInputs = 2;
         d.inputs = twoBuses;
       }},
      {"null inputs", [](ProcessData& d) { d.inputs = nullptr; }},
      {"null outputs", [](ProcessData& d) { d.outputs = nullptr; }},
      {"other sample size", [](ProcessData& d) { d.symbolicSampleSize = kSample64; }},
      {"three channels", [&](ProcessData& d) { d.inputs = &threeChannels; }},
      {"null channel", [&](ProcessData&) { in.channelBuffers32 = nullChannel; }},
      {"null pointer array", [&](ProcessData&) { out.channelBuffers32 = nullptr; }},
  };
  float** inChannels = in.channelBuffers32;
  float** outChannels = out.channelBuffers32;
  AddPoint(0, 0, 0.9);
  const double before = plug->GetParam(0)->Value();
  for (const Case& c : cases) {
    FillOutput(7.0f);
    ProcessData copy = data;
    c.damage(copy);
    EXPECT_EQ(plug->process(copy), kInvalidArgument) << c.what;
    in.channelBuffers32 = inChannels;
    out.channelBuffers32 = outChannels;
    EXPECT_TRUE(OutputIs(7.0f)) << c.what;
    EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), before) << c.what;
  }

  ProcessData emptyBus = data;
  AudioBusBuffers noChannels{};
  emptyBus.inputs = &noChannels;
  EXPECT_EQ(plug->process(emptyBus), kResultOk) << "a bus without channels needs no pointers";
}

TEST_F(TarvexVst3, BusesTheHostSwitchedOffMayComeWithoutBuffers) {
  float* none[2] = {nullptr, nullptr};
  for (BusDirection direction : {kInput, kOutput}) {
    AudioBusBuffers& bus = direction == kInput ? data.inputs[0] : data.outputs[0];
    FillInput(0.5f);
    FillOutput(7.0f);
    float** channels = bus.channelBuffers32;
    bus.channelBuffers32 = none;
    ASSERT_EQ(plug->activateBus(kAudio, direction, 0, false), kResultOk);
    EXPECT_EQ(plug->process(data), kResultOk) << direction;
    EXPECT_EQ(data.outputs[0].silenceFlags, 3u) << direction;
    bus.channelBuffers32 = channels;
    EXPECT_TRUE(direction == kOutput || OutputIs(0.0f)) << "a switched-off input is silent";
    ASSERT_EQ(plug->activateBus(kAudio, direction, 0, true), kResultOk);
  }
}

TEST_F(TarvexVst3, OutputSilenceFlagsMarkChannelsOfZeros) {
  FillInput(0.0f);
  ASSERT_EQ(plug->process(data), kResultOk);
  EXPECT_EQ(data.outputs[0].silenceFlags, 3u);

  // The flags describe what the output holds, whatever the engine did.
  ProcessData copy = data;
  FillOutput(0.0f);
  data.outputs[0].channelBuffers32[0][10] = -0.0f;
  data.outputs[0].channelBuffers32[1][10] = std::numeric_limits<float>::quiet_NaN();
  copy.numSamples = 0;
  ASSERT_EQ(plug->process(copy), kResultOk);
  FillInput(0.25f);
  data.inputs[0].silenceFlags = 0;
  for (int block = 0; block < 20; ++block) ASSERT_EQ(plug->process(data), kResultOk);
  EXPECT_EQ(data.outputs[0].silenceFlags & 3u, 0u) << "sound is not flagged";
}

TEST_F(TarvexVst3, StateRoundTripsWithBypass) {
  plug->setParamNormalized(0, 0.8);
  AddPoint(plugkit::kBypassParamId, 0, 1.0);
  AddPoint(5, 0, 0.6);
  ASSERT_EQ(plug->process(data), kResultOk);
  const std::vector<double> processor = ProcessorValues();
  const std::vector<uint8_t> saved = Saved();
  ASSERT_EQ(saved.size(), std::size_t{kComponentStateBytes});
  int32_t magic = 0;
  std::memcpy(&magic, saved.data(), sizeof(magic));
  EXPECT_EQ(magic, kStateChunkMagic);
  EXPECT_EQ(saved[kStateChunkBytes], 1);

  auto other = owned(new TarvexVST3(TarvexInstanceInfo{}));
  ASSERT_EQ(other->initialize(&host), kResultOk);
  std::vector<uint8_t> bytes = saved;
  MemoryStream stream(bytes.data(), static_cast<TSize>(bytes.size()));
  ASSERT_EQ(other->setState(&stream), kResultOk);
  EXPECT_TRUE(other->HostBypass());
  EXPECT_DOUBLE_EQ(other->getParamNormalized(plugkit::kBypassParamId), 1.0);
  for (int i = 0; i < kParamCount; ++i) {
    EXPECT_DOUBLE_EQ(other->GetParam(i)->Value(), processor[static_cast<size_t>(i)]) << i;
    EXPECT_NEAR(other->getParamNormalized(static_cast<ParamID>(i)),
                other->GetParam(i)->NormalizeValue(other->GetParam(i)->Value()), 1e-12);
  }
  other->terminate();
}

TEST_F(TarvexVst3, MalformedStatesChangeNothing) {
  const std::vector<uint8_t> saved = Saved();
  plug->setParamNormalized(0, 0.8);
  AddPoint(0, 0, 0.8);
  ASSERT_EQ(plug->process(data), kResultOk);
  const std::vector<double> processor = ProcessorValues();
  const std::vector<double> controller = ControllerValues();

  std::vector<std::vector<uint8_t>> bad;
  bad.emplace_back(saved.begin(), saved.end() - 1);
  bad.push_back(saved);
  bad.back().push_back(0);
  bad.emplace_back();
  bad.push_back(saved);
  bad.back()[kStateChunkBytes] = 2;
  bad.push_back(saved);
  bad.back()[0] ^= 0xFF;
  for (size_t i = 0; i < bad.size(); ++i) {
    EXPECT_EQ(Load(bad[i]), kResultFalse) << i;
    EXPECT_EQ(ProcessorValues(), processor) << i;
    EXPECT_EQ(ControllerValues(), controller) << i;
  }
  for (int64 failAt :
       {int64{0}, int64{1000}, int64{kComponentStateBytes - 1}, int64{kComponentStateBytes}}) {
    FailingStream stream(saved, failAt);
    EXPECT_EQ(plug->setState(&stream), kResultFalse) << failAt;
    EXPECT_EQ(ProcessorValues(), processor) << failAt;
  }
  EXPECT_EQ(plug->setState(nullptr), kResultFalse);
  EXPECT_EQ(plug->getState(nullptr), kResultFalse);
}

TEST_F(TarvexVst3, ValuesTheEditorSendsAreTheControllersAtOnce) {
  // The first swap goes back to the defaults; the second brings the preset back.
  const std::vector<std::function<void()>> edits = {
      [&] { plug->LoadFactoryPreset(5); }, [&] { plug->SwapBanks(); }, [&] { plug->SwapBanks(); }};
  for (size_t e = 0; e < edits.size(); ++e) {
    edits[e]();
    for (int i = 0; i < kParamCount; ++i)
      ASSERT_NEAR(plug->getParamNormalized(static_cast<ParamID>(i)),
                  plug->GetParam(i)->NormalizeValue(plug->GetParam(i)->Value()), 1e-12)
          << "edit " << e << ", parameter " << i;
  }
}

TEST_F(TarvexVst3, TailSamplesFollowTheEngine) {
  EXPECT_EQ(plug->getTailSamples(), static_cast<uint32>(plug->TailLength()));
  AddPoint(0, 0, 1.0);
  ASSERT_EQ(plug->process(data), kResultOk);
  EXPECT_EQ(plug->getTailSamples(), static_cast<uint32>(plug->TailLength()));
}

TEST_F(TarvexVst3, UnsupportedRatesAreRefusedAndLeaveTheInstanceSilent) {
  plug->setProcessing(false);
  for (double rate : {8000.0, 384000.0}) {
    ProcessSetup setup{kRealtime, kSample32, kBlock, rate};
    EXPECT_EQ(plug->setupProcessing(setup), kResultFalse) << rate;
    EXPECT_FALSE(plug->IsReady());
    FillInput(0.5f);
    FillOutput(7.0f);
    EXPECT_EQ(plug->process(data), kResultOk);
    EXPECT_TRUE(OutputIs(0.0f)) << rate;
  }
  ProcessSetup setup{kRealtime, kSample32, kBlock, 44100.0};
  EXPECT_EQ(plug->setupProcessing(setup), kResultOk);
  EXPECT_TRUE(plug->IsReady());
}

} // namespace
} // namespace tarvex
