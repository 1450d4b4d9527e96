#include "tests/framework/vst3/vst3_test_plugin.h"

#include "public.sdk/source/vst/hosting/eventlist.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"
#include "public.sdk/source/vst/hosting/processdata.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace plugkit::test {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr int32 kBlock = 64;

class Vst3Processing : public ::testing::Test {
protected:
  void Start(GainPlugin& p, int32 sampleSize = kSample32) {
    ASSERT_EQ(p.initialize(&host), kResultOk);
    ProcessSetup setup{kRealtime, sampleSize, kBlock, 48000.0};
    ASSERT_EQ(p.setupProcessing(setup), kResultOk);
    ASSERT_EQ(p.setActive(true), kResultOk);
    ASSERT_EQ(p.setProcessing(true), kResultOk);
    ASSERT_TRUE(data.prepare(p, kBlock, sampleSize));
    data.numSamples = kBlock;
    data.inputParameterChanges = &changes;
  }
  void Fill32(float value) {
    for (int32 ch = 0; ch < data.inputs[0].numChannels; ++ch)
      for (int32 i = 0; i < kBlock; ++i) data.inputs[0].channelBuffers32[ch][i] = value;
  }
  void AddPoints(ParamID id, std::initializer_list<std::pair<int32, double>> points) {
    int32 index = 0;
    IParamValueQueue* queue = changes.addParameterData(id, index);
    for (const auto& [offset, value] : points) queue->addPoint(offset, value, index);
  }
  std::vector<GainPlugin::Change> HostChanges() const {
    std::vector<GainPlugin::Change> fromHost;
    for (const GainPlugin::Change& change : plug->changes)
      if (change.source == ParamChangeSource::Host) fromHost.push_back(change);
    return fromHost;
  }
  void TearDown() override {
    data.unprepare();
    plug->setProcessing(false);
    plug->setActive(false);
    plug->terminate();
  }

  NamedHost host{u"Test Host"};
  IPtr<GainPlugin> plug = owned(new GainPlugin());
  HostProcessData data;
  ParameterChanges changes{8};
};

TEST_F(Vst3Processing, BusesFollowTheConfigurationWithTheMostBuses) {
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  ASSERT_EQ(plug->getBusCount(kAudio, kInput), 1);
  ASSERT_EQ(plug->getBusCount(kAudio, kOutput), 1);
  EXPECT_EQ(plug->getBusCount(kEvent, kInput), 0);
  SpeakerArrangement arrangement = 0;
  ASSERT_EQ(plug->getBusArrangement(kOutput, 0, arrangement), kResultOk);
  EXPECT_EQ(arrangement, SpeakerArr::kStereo) << "the later configuration wins the tie";
  BusInfo info{};
  ASSERT_EQ(plug->getBusInfo(kAudio, kInput, 0, info), kResultOk);
  EXPECT_EQ(info.busType, kMain);
  EXPECT_EQ(info.flags, static_cast<uint32>(BusInfo::kDefaultActive));
}

TEST_F(Vst3Processing, ArrangementsMatchAConfigurationOrAreRefused) {
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  SpeakerArrangement mono = SpeakerArr::kMono;
  SpeakerArrangement stereo = SpeakerArr::kStereo;
  EXPECT_EQ(plug->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
  EXPECT_EQ(plug->ConnectedChannelCount(kDirectionOutput), 0)
      << "a refused arrangement disconnects everything";
  SpeakerArrangement twoBuses[] = {stereo, stereo};
  EXPECT_EQ(plug->setBusArrangements(twoBuses, 2, &stereo, 1), kResultFalse);
  EXPECT_EQ(plug->setBusArrangements(nullptr, 1, &stereo, 1), kResultFalse);
  ASSERT_EQ(plug->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
  SpeakerArrangement arrangement = 0;
  ASSERT_EQ(plug->getBusArrangement(kInput, 0, arrangement), kResultOk);
  EXPECT_EQ(arrangement, SpeakerArr::kMono);
  ASSERT_EQ(plug->getBusArrangement(kOutput, 0, arrangement), kResultOk);
  EXPECT_EQ(arrangement, SpeakerArr::kMono);
}

TEST(Vst3ProcessingHosts, ArdourArrangementsAreAcceptedUnchanged) {
  auto plug = owned(new GainPlugin());
  NamedHost host{u"Ardour 8"};
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  SpeakerArrangement surround = SpeakerArr::k51;
  EXPECT_EQ(plug->setBusArrangements(&surround, 1, &surround, 1), kResultOk);
  SpeakerArrangement arrangement = 0;
  ASSERT_EQ(plug->getBusArrangement(kOutput, 0, arrangement), kResultOk);
  EXPECT_EQ(arrangement, SpeakerArr::kStereo);
  plug->terminate();
}

TEST_F(Vst3Processing, SetupRefusesUnknownSampleSizesAndResets) {
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  EXPECT_EQ(plug->canProcessSampleSize(kSample32), kResultOk);
  EXPECT_EQ(plug->canProcessSampleSize(kSample64), kResultOk);
  EXPECT_EQ(plug->canProcessSampleSize(2), kResultFalse);
  ProcessSetup bad{kRealtime, 2, kBlock, 48000.0};
  EXPECT_EQ(plug->setupProcessing(bad), kResultFalse);
  EXPECT_EQ(plug->resets, 0);
  ProcessSetup good{kRealtime, kSample32, 256, 44100.0};
  EXPECT_EQ(plug->setupProcessing(good), kResultOk);
  EXPECT_EQ(plug->GetBlockSize(), 256);
  EXPECT_DOUBLE_EQ(plug->GetSampleRate(), 44100.0);
  EXPECT_EQ(plug->resets, 1);
  plug->setProcessing(false);
  EXPECT_EQ(plug->resets, 2);
}

TEST_F(Vst3Processing, BlocksRunIn32And64BitWithTheLastPointOfEachQueue) {
  Start(*plug);
  Fill32(0.5f);
  AddPoints(0, {{3, 0.75}, {10, 0.25}, {40, 0.5}});
  ASSERT_EQ(plug->process(data), kResultOk);
  EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 2.0);
  const std::vector<GainPlugin::Change> fromHost = HostChanges();
  ASSERT_EQ(fromHost.size(), 1u);
  EXPECT_EQ(fromHost[0].offset, 40);
  EXPECT_FLOAT_EQ(data.outputs[0].channelBuffers32[1][kBlock - 1], 1.0f);

  HostProcessData data64;
  ASSERT_TRUE(data64.prepare(*plug, kBlock, kSample64));
  ProcessSetup setup{kRealtime, kSample64, kBlock, 48000.0};
  plug->setProcessing(false);
  ASSERT_EQ(plug->setupProcessing(setup), kResultOk);
  data64.numSamples = kBlock;
  for (int32 i = 0; i < kBlock; ++i) data64.inputs[0].channelBuffers64[0][i] = 0.25;
  ASSERT_EQ(plug->process(data64), kResultOk);
  EXPECT_DOUBLE_EQ(data64.outputs[0].channelBuffers64[0][5], 0.5);
}

TEST_F(Vst3Processing, BypassPassesAudioThroughFromAboveOneHalf) {
  Start(*plug);
  plug->setParamNormalized(0, 1.0);
  AddPoints(0, {{0, 1.0}});
  AddPoints(kBypassParamId, {{0, 0.5}});
  Fill32(0.5f);
  ASSERT_EQ(plug->process(data), kResultOk);
  EXPECT_FALSE(plug->IsBypassed());
  EXPECT_FLOAT_EQ(data.outputs[0].channelBuffers32[0][0], 2.0f);
  changes.clearQueue();
  AddPoints(kBypassParamId, {{0, 0.51}});
  ASSERT_EQ(plug->process(data), kResultOk);
  EXPECT_TRUE(plug->IsBypassed());
  EXPECT_FLOAT_EQ(data.outputs[0].channelBuffers32[0][0], 0.5f);
}

TEST_F(Vst3Processing, NonFiniteHostValuesAreIgnored) {
  Start(*plug);
  AddPoints(0, {{0, std::nan("")}});
  AddPoints(2, {{0, INFINITY}});
  ASSERT_EQ(plug->process(data), kResultOk);
  EXPECT_DOUBLE_EQ(plug->GetParam(0)->Value(), 1.0);
  EXPECT_DOUBLE_EQ(plug->GetParam(2)->Value(), 2.0);
  EXPECT_TRUE(HostChanges().empty());
}

TEST_F(Vst3Processing, DeactivatedOutputBusWritesToScratch) {
  Start(*plug);
  ASSERT_EQ(plug->activateBus(kAudio, kOutput, 0, false), kResultOk);
  Fill32(0.5f);
  data.outputs[0].channelBuffers32[0][0] = 9.0f;
  ASSERT_EQ(plug->process(data), kResultOk);
  EXPECT_EQ(plug->ConnectedChannelCount(kDirectionOutput), 0);
  EXPECT_FLOAT_EQ(data.outputs[0].channelBuffers32[0][0], 9.0f);
}

TEST_F(Vst3Processing, AnActiveSideChainFeedsTheChannelsAfterTheMainBus) {
  plug = owned(new GainPlugin(GainPlugin::Config("2.2-4")));
  Start(*plug, kSample64);
  ASSERT_EQ(data.numInputs, 2);
  ASSERT_EQ(plug->activateBus(kAudio, kInput, 1, true), kResultOk);
  for (int32 bus = 0; bus < 2; ++bus)
    for (int32 ch = 0; ch < 2; ++ch)
      for (int32 i = 0; i < kBlock; ++i)
        data.inputs[bus].channelBuffers64[ch][i] = 0.25 * (1 + 2 * bus + ch);
  ASSERT_EQ(plug->process(data), kResultOk);
  for (int32 ch = 0; ch < 4; ++ch)
    EXPECT_DOUBLE_EQ(data.outputs[0].channelBuffers64[ch][kBlock - 1], 0.25 * (1 + ch)) << ch;

  ASSERT_EQ(plug->activateBus(kAudio, kInput, 1, false), kResultOk);
  ASSERT_EQ(plug->process(data), kResultOk);
  EXPECT_DOUBLE_EQ(data.outputs[0].channelBuffers64[1][0], 0.5) << "the main bus still plays";
  for (int32 ch = 2; ch < 4; ++ch)
    for (int32 i = 0; i < kBlock; ++i)
      ASSERT_EQ(data.outputs[0].channelBuffers64[ch][i], 0.0)
          << "no stale side-chain audio on channel " << ch;
}

TEST_F(Vst3Processing, LatencyChangesAreReportedOnceAndNeverFromTheAudioThread) {
  auto handler = owned(new RecordingHandler());
  ASSERT_EQ(plug->initialize(&host), kResultOk);
  plug->SetLatency(0);
  EXPECT_TRUE(handler->log.empty());
  plug->SetLatency(32);
  EXPECT_EQ(plug->GetLatency(), 32) << "without a handler the latency still changes";
  ASSERT_EQ(plug->setComponentHandler(handler), kResultOk);
  plug->SetLatency(32);
  EXPECT_TRUE(handler->log.empty());
  plug->SetLatency(16);
  ASSERT_EQ(handler->log.size(), 1u);
  EXPECT_EQ(handler->log[0], "restart 8");
  EXPECT_EQ(plug->getLatencySamples(), 16u);
  {
    const GainPlugin::ProcessCallScope inProcess(*plug);
    EXPECT_TRUE(plug->IsInProcessCall());
    plug->SetLatency(64);
  }
  EXPECT_FALSE(plug->IsInProcessCall());
  EXPECT_EQ(handler->log.size(), 1u);
  plug->OnIdleTick();
  ASSERT_EQ(handler->log.size(), 2u);
  EXPECT_EQ(handler->log[1], "restart 8");
  plug->OnIdleTick();
  EXPECT_EQ(handler->log.size(), 2u);
}

TEST_F(Vst3Processing, MidiGoesInAndOutInOffsetOrder) {
  plug = owned(new GainPlugin(GainPlugin::Config("1-1 2-2", true)));
  Start(*plug);
  EventList in;
  EventList out;
  Event note{};
  note.type = Event::kNoteOnEvent;
  note.sampleOffset = 5;
  note.noteOn.pitch = 60;
  note.noteOn.velocity = 1.0f;
  in.addEvent(note);
  data.inputEvents = &in;
  data.outputEvents = &out;
  AddPoints(kMidiCCParamStartId + 129, {{7, 1.0}});
  plug->midiToSend = {
      {20, 0xB0, 1, 2}, {3, 0x90, 61, 127}, {20, 0xE1, 0x7F, 0x40}, {3, 0xF8, 0, 0}};
  ASSERT_EQ(plug->process(data), kResultOk);

  ASSERT_EQ(plug->midiIn.size(), 2u);
  EXPECT_EQ(plug->midiIn[0].status, 0xE0) << "pitch bend parameter";
  EXPECT_EQ(plug->midiIn[0].data1, 0x7F);
  EXPECT_EQ(plug->midiIn[0].data2, 0x7F);
  EXPECT_EQ(plug->midiIn[1].status, 0x90);
  EXPECT_EQ(plug->midiIn[1].data2, 127);

  ASSERT_EQ(out.getEventCount(), 3) << "system messages are not sent";
  Event e{};
  out.getEvent(0, e);
  EXPECT_EQ(e.type, Event::kNoteOnEvent);
  EXPECT_EQ(e.sampleOffset, 3);
  out.getEvent(1, e);
  EXPECT_EQ(e.type, Event::kLegacyMIDICCOutEvent);
  EXPECT_EQ(e.midiCCOut.controlNumber, 1);
  out.getEvent(2, e);
  EXPECT_EQ(e.midiCCOut.controlNumber, kPitchBend) << "equal offsets keep their order";
  EXPECT_EQ(e.midiCCOut.channel, 1);
  EXPECT_EQ(e.midiCCOut.value, 0x7F);
  EXPECT_EQ(e.midiCCOut.value2, 0x40);
}

} // namespace
} // namespace plugkit::test
