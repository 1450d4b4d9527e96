#include "framework/core/plugin_processor.h"

#include <gtest/gtest.h>

#include <vector>

using namespace plugkit;

namespace {

PlugConfig ConfigFor(const char* channelIO, int latency = 0) {
  PlugConfig config;
  config.channelIO = channelIO;
  config.latency = latency;
  return config;
}

// Records what the processor hands to block processing and MIDI output.
class TestProcessor : public IPluginProcessor {
public:
  explicit TestProcessor(const char* channelIO, int latency = 0)
      : IPluginProcessor(ConfigFor(channelIO, latency)) {}

  void ProcessBlock(float** inputs, float** outputs, int nFrames) override {
    lastInputs = inputs;
    lastOutputs = outputs;
    lastFrames = nFrames;
    IPluginProcessor::ProcessBlock(inputs, outputs, nFrames);
  }

  bool SendMidiOut(const MidiMessage& message) override {
    sent.push_back(message);
    return message.status != failingStatus;
  }

  float** lastInputs = nullptr;
  float** lastOutputs = nullptr;
  int lastFrames = -1;
  std::vector<MidiMessage> sent;
  uint8_t failingStatus = 0;
};

TEST(PluginProcessor, ConstructionFollowsTheConfiguration) {
  TestProcessor processor("1-1 2-2", 5);
  EXPECT_EQ(processor.NIOConfigs(), 2);
  EXPECT_EQ(processor.NChannels(kDirectionInput), 2);
  EXPECT_EQ(processor.NChannels(kDirectionOutput), 2);
  EXPECT_EQ(processor.ConnectedChannelCount(kDirectionInput), 0);
  EXPECT_EQ(processor.GetLatency(), 5);
  EXPECT_EQ(processor.GetSampleRate(), 48000.0);
  EXPECT_EQ(processor.GetBlockSize(), 0);
  EXPECT_FALSE(processor.IsBypassed());
  EXPECT_EQ(processor.GetLatencyDelayLine(), nullptr);
  const TransportInfo& transport = processor.GetTransport();
  EXPECT_EQ(transport.tempo, 120.0);
  EXPECT_EQ(transport.samplePos, -1.0);
  EXPECT_EQ(transport.cycleEnd, -1.0);
  EXPECT_EQ(transport.numerator, 4);
  EXPECT_EQ(transport.denominator, 4);
  EXPECT_FALSE(transport.running);

  TestProcessor outputsOnly("0-2");
  EXPECT_EQ(outputsOnly.NChannels(kDirectionInput), 0);
  EXPECT_EQ(outputsOnly.NChannels(kDirectionOutput), 2);
}

TEST(PluginProcessor, BusNames) {
  TestProcessor processor("1-1");
  StringBuffer name;
  processor.GetBusName(kDirectionInput, 0, 1, name);
  EXPECT_STREQ(name.Get(), "Input");
  processor.GetBusName(kDirectionInput, 0, 2, name);
  EXPECT_STREQ(name.Get(), "Main");
  processor.GetBusName(kDirectionInput, 1, 2, name);
  EXPECT_STREQ(name.Get(), "Aux");
  processor.GetBusName(kDirectionInput, 2, 3, name);
  EXPECT_STREQ(name.Get(), "Input 2");
  processor.GetBusName(kDirectionOutput, 0, 1, name);
  EXPECT_STREQ(name.Get(), "Output");
  processor.GetBusName(kDirectionOutput, 1, 2, name);
  EXPECT_STREQ(name.Get(), "Output 1");
  processor.GetBusName(kDirectionOutput, 2, 3, name);
  EXPECT_STREQ(name.Get(), "Output 2");
}

TEST(PluginProcessor, SetBlockSizeZeroesAndRebindsScratchBuffers) {
  TestProcessor processor("2-2");
  processor.SetBlockSize(8);
  EXPECT_EQ(processor.GetBlockSize(), 8);
  processor.ProcessDoubleBuffers(8);
  float** inputs = processor.lastInputs;
  float** outputs = processor.lastOutputs;
  for (int c = 0; c < 2; ++c) {
    for (int i = 0; i < 8; ++i) {
      EXPECT_EQ(inputs[c][i], 0.0f);
      inputs[c][i] = 3.0f;
      outputs[c][i] = 4.0f;
    }
  }
  // A new size replaces the blocks; the disconnected channels must follow.
  processor.SetBlockSize(4096);
  processor.ProcessDoubleBuffers(4096);
  for (int c = 0; c < 2; ++c) {
    EXPECT_EQ(processor.lastInputs[c][0], 0.0f);
    EXPECT_EQ(processor.lastInputs[c][4095], 0.0f);
  }
  processor.SetBlockSize(-3);
  EXPECT_EQ(processor.GetBlockSize(), 0);
}

TEST(PluginProcessor, ConnectionsAndAttachingSkipDisconnectedChannels) {
  TestProcessor processor("2-2");
  processor.SetBlockSize(4);
  processor.SetChannelConnections(kDirectionInput, 0, 2, true);
  processor.SetChannelConnections(kDirectionInput, 1, 1, false);
  processor.SetChannelConnections(kDirectionOutput, 0, 5, true);
  processor.SetChannelConnections(kDirectionOutput, -3, 2, false);
  EXPECT_EQ(processor.ConnectedChannelCount(kDirectionInput), 1);
  EXPECT_EQ(processor.ConnectedChannelCount(kDirectionOutput), 2);
  EXPECT_FALSE(processor.IsChannelConnected(kDirectionInput, 1));
  EXPECT_FALSE(processor.IsChannelConnected(kDirectionInput, 7));

  double first[4] = {0.5, -0.25, 1.0, 0.0};
  double second[4] = {9.0, 9.0, 9.0, 9.0};
  double* hostIn[] = {first, second};
  double out0[4] = {};
  double out1[4] = {};
  double* hostOut[] = {out0, out1};
  processor.AttachDoubleBuffers(kDirectionInput, 0, 2, hostIn, 4);
  processor.AttachDoubleBuffers(kDirectionOutput, 0, 2, hostOut, 4);
  processor.ProcessDoubleBuffers(4);
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(processor.lastInputs[0][i], static_cast<float>(first[i]));
    EXPECT_EQ(processor.lastInputs[1][i], 0.0f);
    EXPECT_EQ(out0[i], first[i]);
    EXPECT_EQ(out1[i], 0.0);
  }
}

TEST(PluginProcessor, DisconnectingAnInputSilencesIt) {
  TestProcessor processor("1-1");
  processor.SetBlockSize(4);
  processor.SetChannelConnections(kDirectionInput, 0, 1, true);
  processor.SetChannelConnections(kDirectionOutput, 0, 1, true);
  double in[4] = {1.0, 1.0, 1.0, 1.0};
  double out[4] = {};
  double* hostIn[] = {in};
  double* hostOut[] = {out};
  processor.AttachDoubleBuffers(kDirectionInput, 0, 1, hostIn, 4);
  processor.AttachDoubleBuffers(kDirectionOutput, 0, 1, hostOut, 4);
  processor.ProcessDoubleBuffers(4);
  EXPECT_EQ(out[3], 1.0);

  processor.SetChannelConnections(kDirectionInput, 0, 1, false);
  processor.ProcessDoubleBuffers(4);
  for (double sample : out) EXPECT_EQ(sample, 0.0);
}

TEST(PluginProcessor, BasePassThroughCopiesMatchingChannelsAndSilencesTheRest) {
  TestProcessor processor("1-2");
  float in[3] = {0.1f, 0.2f, 0.3f};
  float out0[3] = {7.0f, 7.0f, 7.0f};
  float out1[3] = {7.0f, 7.0f, 7.0f};
  float* inputs[] = {in};
  float* outputs[] = {out0, out1};
  processor.IPluginProcessor::ProcessBlock(inputs, outputs, 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(out0[i], in[i]);
    EXPECT_EQ(out1[i], 0.0f);
  }
}

TEST(PluginProcessor, FramesBeyondTheBlockSizeNeverReachTheScratchBuffers) {
  TestProcessor processor("1-1");
  processor.SetBlockSize(4);
  processor.SetChannelConnections(kDirectionInput, 0, 1, true);
  processor.SetChannelConnections(kDirectionOutput, 0, 1, true);
  std::vector<double> in(16, 0.5);
  std::vector<double> out(16, 9.0);
  double* hostIn[] = {in.data()};
  double* hostOut[] = {out.data()};
  processor.AttachDoubleBuffers(kDirectionInput, 0, 1, hostIn, 16);
  processor.AttachDoubleBuffers(kDirectionOutput, 0, 1, hostOut, 16);
  processor.ProcessDoubleBuffers(16);
  EXPECT_EQ(processor.lastFrames, 4);
  for (int i = 0; i < 16; ++i) EXPECT_EQ(out[static_cast<size_t>(i)], i < 4 ? 0.5 : 0.0) << i;

  processor.PassThroughDouble(16);
  EXPECT_EQ(out[3], 0.5);
  EXPECT_EQ(out[4], 0.0);

  processor.ProcessDoubleBuffers(-2);
  EXPECT_EQ(processor.lastFrames, 0);
}

TEST(PluginProcessor, HostFloatBuffersAreUsedDirectly) {
  TestProcessor processor("2-2");
  processor.SetBlockSize(4);
  processor.SetChannelConnections(kDirectionInput, 0, 2, true);
  processor.SetChannelConnections(kDirectionOutput, 0, 2, true);
  processor.SetChannelConnections(kDirectionOutput, 1, 1, false);
  float in0[6] = {1, 2, 3, 4, 5, 6};
  float out0[6] = {};
  float* inputs[] = {in0, nullptr};
  float* outputs[] = {out0};
  processor.BindHostChannelPointers(kDirectionInput, 0, 2, inputs);
  processor.BindHostChannelPointers(kDirectionOutput, 0, 2, outputs);
  processor.ProcessScratchBuffers(6);
  EXPECT_EQ(processor.lastInputs[0], in0);
  EXPECT_EQ(processor.lastOutputs[0], out0);
  EXPECT_EQ(processor.lastInputs[1][0], 0.0f);
  const float expected[6] = {1, 2, 3, 4, 0, 0};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(out0[i], expected[i]) << i;

  processor.lastInputs[1][0] = 5.0f;
  processor.ClearScratchBuffers();
  EXPECT_EQ(processor.lastInputs[1][0], 0.0f);
}

TEST(PluginProcessor, BypassDelaysEachChannelByTheLatency) {
  TestProcessor processor("2-2", 3);
  processor.SetBlockSize(8);
  processor.RebuildLatencyDelayLine();
  ASSERT_NE(processor.GetLatencyDelayLine(), nullptr);
  EXPECT_EQ(processor.GetLatencyDelayLine()->Latency(), 3);
  processor.SetChannelConnections(kDirectionInput, 0, 2, true);
  processor.SetChannelConnections(kDirectionOutput, 0, 2, true);

  std::vector<float> in0, in1, out0, out1;
  for (int block = 0; block < 2; ++block) {
    float a[5], b[5], c[5], d[5];
    for (int i = 0; i < 5; ++i) {
      a[i] = static_cast<float>(block * 5 + i + 1);
      b[i] = -a[i];
    }
    float* inputs[] = {a, b};
    float* outputs[] = {c, d};
    processor.BindHostChannelPointers(kDirectionInput, 0, 2, inputs);
    processor.BindHostChannelPointers(kDirectionOutput, 0, 2, outputs);
    processor.PassThroughFloat(5);
    in0.insert(in0.end(), a, a + 5);
    in1.insert(in1.end(), b, b + 5);
    out0.insert(out0.end(), c, c + 5);
    out1.insert(out1.end(), d, d + 5);
  }
  for (size_t i = 0; i < out0.size(); ++i) {
    EXPECT_EQ(out0[i], i < 3 ? 0.0f : in0[i - 3]) << i;
    EXPECT_EQ(out1[i], i < 3 ? 0.0f : in1[i - 3]) << i;
  }

  // In place, as hosts often process.
  processor.SetLatency(1);
  float inPlace[4] = {1, 2, 3, 4};
  float silent[4] = {};
  float* inputs[] = {inPlace, silent};
  processor.BindHostChannelPointers(kDirectionInput, 0, 2, inputs);
  processor.BindHostChannelPointers(kDirectionOutput, 0, 2, inputs);
  processor.PassThroughFloat(4);
  const float expected[4] = {0, 1, 2, 3};
  for (int i = 0; i < 4; ++i) EXPECT_EQ(inPlace[i], expected[i]);
}

TEST(PluginProcessor, LatencyIsNeverNegative) {
  TestProcessor processor("1-1", -4);
  EXPECT_EQ(processor.GetLatency(), 0);
  processor.RebuildLatencyDelayLine();
  processor.SetLatency(-10);
  EXPECT_EQ(processor.GetLatency(), 0);
  EXPECT_EQ(processor.GetLatencyDelayLine()->Latency(), 0);

  processor.SetLatency(2);
  EXPECT_EQ(processor.GetLatency(), 2);
  EXPECT_EQ(processor.GetLatencyDelayLine()->Latency(), 2);
  EXPECT_EQ(processor.GetLatencyDelayLine()->WritePosition(), 0);
  processor.SetTailLength(100);
  EXPECT_EQ(processor.GetTailLength(), 100);

  TestProcessor noInputs("0-2", 8);
  noInputs.RebuildLatencyDelayLine();
  EXPECT_EQ(noInputs.GetLatencyDelayLine(), nullptr);
}

TEST(PluginProcessor, MidiOutputAndThrough) {
  TestProcessor processor("1-1");
  processor.failingStatus = 0x90;
  const MidiMessage messages[] = {{0, 0x80, 60, 0}, {1, 0x90, 61, 100}, {2, 0xB0, 7, 127}};
  EXPECT_FALSE(processor.SendMidiOutList(messages, 3));
  ASSERT_EQ(processor.sent.size(), 3u);
  EXPECT_EQ(processor.sent[2].data1, 7);
  EXPECT_TRUE(processor.SendMidiOutList(messages, 1));
  EXPECT_TRUE(processor.SendMidiOutList(messages, 0));

  processor.sent.clear();
  processor.ProcessMidiMessage(messages[2]);
  ASSERT_EQ(processor.sent.size(), 1u);
  EXPECT_EQ(processor.sent[0].status, 0xB0);

  const uint8_t bytes[] = {0xF0, 0xF7};
  EXPECT_FALSE(processor.SendSysExOut(SysExMessage{0, 2, bytes}));
}

} // namespace
