#include "framework/core/plugin_processor.h"

#include <gtest/gtest.h>

#include <string>

using namespace plugkit;

namespace {

struct Parsed {
  explicit Parsed(const char* text) {
    count = IPluginProcessor::ParseChannelIO(text, configs, maxIn, maxOut, maxInBuses, maxOutBuses);
  }
  ~Parsed() { configs.DeleteAll(); }

  PointerList<ChannelIOConfig> configs{4096};
  int count = -1;
  int maxIn = -1;
  int maxOut = -1;
  int maxInBuses = -1;
  int maxOutBuses = -1;
};

TEST(ParseChannelIO, MonoAndStereoConfigurations) {
  Parsed p("1-1 2-2");
  ASSERT_EQ(p.count, 2);
  ASSERT_EQ(p.configs.Count(), 2);
  EXPECT_EQ(p.maxIn, 2);
  EXPECT_EQ(p.maxOut, 2);
  EXPECT_EQ(p.maxInBuses, 1);
  EXPECT_EQ(p.maxOutBuses, 1);
  const ChannelIOConfig& mono = *p.configs.Get(0);
  EXPECT_EQ(mono.NBuses(kDirectionInput), 1);
  EXPECT_EQ(mono.NChannelsOnBus(kDirectionInput, 0), 1);
  EXPECT_EQ(mono.inputBuses.Get(0)->direction, kDirectionInput);
  EXPECT_EQ(mono.outputBuses.Get(0)->direction, kDirectionOutput);
  EXPECT_EQ(p.configs.Get(1)->NChannelsOnBus(kDirectionOutput, 0), 2);
}

TEST(ParseChannelIO, BusesZeroBusesAndWildcards) {
  Parsed twoBuses("2.2-2");
  ASSERT_EQ(twoBuses.count, 1);
  EXPECT_EQ(twoBuses.configs.Get(0)->NBuses(kDirectionInput), 2);
  EXPECT_EQ(twoBuses.configs.Get(0)->NBuses(kDirectionOutput), 1);
  EXPECT_EQ(twoBuses.maxIn, 4);
  EXPECT_EQ(twoBuses.maxInBuses, 2);

  Parsed noInput("0-2");
  ASSERT_EQ(noInput.count, 1);
  EXPECT_EQ(noInput.configs.Get(0)->NBuses(kDirectionInput), 0);
  EXPECT_EQ(noInput.maxIn, 0);
  EXPECT_EQ(noInput.maxOut, 2);

  Parsed wildcard("*-*");
  ASSERT_EQ(wildcard.count, 1);
  EXPECT_EQ(wildcard.configs.Get(0)->NChannelsOnBus(kDirectionInput, 0), kAnyChannelCount);
  EXPECT_EQ(wildcard.configs.Get(0)->NChannelsOnBus(kDirectionOutput, 0), kAnyChannelCount);
  EXPECT_EQ(wildcard.configs.Get(0)->TotalChannels(kDirectionInput), -64);
  EXPECT_EQ(wildcard.maxIn, 0);
  EXPECT_EQ(wildcard.maxOut, 0);
  EXPECT_EQ(wildcard.maxInBuses, 1);

  Parsed extraBlanks("  1-1   2-2 ");
  EXPECT_EQ(extraBlanks.count, 2);
}

TEST(ParseChannelIO, MalformedTextsGiveSensibleResults) {
  Parsed empty("");
  EXPECT_EQ(empty.count, 0);
  EXPECT_EQ(empty.maxIn, 0);

  Parsed null(nullptr);
  EXPECT_EQ(null.count, 0);

  Parsed dashOnly("-");
  ASSERT_EQ(dashOnly.count, 1);
  EXPECT_EQ(dashOnly.configs.Get(0)->NBuses(kDirectionInput), 0);
  EXPECT_EQ(dashOnly.configs.Get(0)->NBuses(kDirectionOutput), 0);

  Parsed noDash("2");
  ASSERT_EQ(noDash.count, 1);
  EXPECT_EQ(noDash.maxIn, 2);
  EXPECT_EQ(noDash.configs.Get(0)->NBuses(kDirectionOutput), 0);

  Parsed letters("a-b");
  ASSERT_EQ(letters.count, 1);
  EXPECT_EQ(letters.maxIn, 0);
  EXPECT_EQ(letters.maxOut, 0);

  // Only the first "-" separates; the rest of the output token is not a number.
  Parsed threeParts("1-1-1");
  ASSERT_EQ(threeParts.count, 1);
  EXPECT_EQ(threeParts.maxIn, 1);
  EXPECT_EQ(threeParts.maxOut, 1);
}

TEST(ParseChannelIO, OversizedConfigurationsAreLeftOut) {
  Parsed huge("99999999999-1 2-2");
  ASSERT_EQ(huge.count, 1);
  EXPECT_EQ(huge.maxIn, 2);
  EXPECT_EQ(huge.configs.Get(0)->NChannelsOnBus(kDirectionInput, 0), 2);

  Parsed negative("1--3");
  EXPECT_EQ(negative.count, 0);

  Parsed widestBus("64-65");
  EXPECT_EQ(widestBus.count, 0);

  std::string manyBuses = "1";
  for (int i = 0; i < 100000; ++i) manyBuses += ".1";
  manyBuses += "-1 1-1";
  Parsed tooManyBuses(manyBuses.c_str());
  EXPECT_EQ(tooManyBuses.count, 1);
  EXPECT_EQ(tooManyBuses.maxIn, 1);

  std::string manyConfigs;
  for (int i = 0; i < 20000; ++i) manyConfigs += "2-2 ";
  Parsed longText(manyConfigs.c_str());
  EXPECT_EQ(longText.count, 20000);
  EXPECT_EQ(longText.maxOut, 2);

  std::string longNumber(100000, '0');
  longNumber += "1-1";
  Parsed leadingZeros(longNumber.c_str());
  ASSERT_EQ(leadingZeros.count, 1);
  EXPECT_EQ(leadingZeros.maxIn, 1);
}

class BusProcessor : public IPluginProcessor {
public:
  explicit BusProcessor(const char* channelIO) : IPluginProcessor(Config(channelIO)) {}
  bool SendMidiOut(const MidiMessage&) override { return true; }

private:
  static PlugConfig Config(const char* channelIO) {
    PlugConfig config;
    config.channelIO = channelIO;
    return config;
  }
};

TEST(ProcessorBuses, FindConfigurationByBusCounts) {
  BusProcessor processor("1-1 2-2 2.1-2");
  const int mono[] = {1};
  const int stereo[] = {2};
  const int sideChain[] = {2, 1};
  EXPECT_EQ(processor.FindIoConfigForBusCounts(mono, 1, mono, 1), 0);
  EXPECT_EQ(processor.FindIoConfigForBusCounts(stereo, 1, stereo, 1), 1);
  EXPECT_EQ(processor.FindIoConfigForBusCounts(sideChain, 2, stereo, 1), 2);
  EXPECT_EQ(processor.FindIoConfigForBusCounts(mono, 1, stereo, 1), -1);
  EXPECT_EQ(processor.FindIoConfigForBusCounts(stereo, 1, nullptr, 0), -1);
}

TEST(ProcessorBuses, MostBusesPrefersTheLaterConfiguration) {
  BusProcessor stereoWins("1-1 2-2");
  int idx = -2;
  EXPECT_EQ(stereoWins.MostBusesInConfigs(kDirectionInput, idx), 1);
  EXPECT_EQ(idx, 1);

  BusProcessor sideChain("2.1-2 2-2");
  EXPECT_EQ(sideChain.MostBusesInConfigs(kDirectionInput, idx), 2);
  EXPECT_EQ(idx, 0);
  EXPECT_EQ(sideChain.MostBusesInConfigs(kDirectionOutput, idx), 1);
  EXPECT_EQ(idx, 1);

  BusProcessor none("");
  EXPECT_EQ(none.MostBusesInConfigs(kDirectionInput, idx), 0);
  EXPECT_EQ(idx, -1);
}

TEST(ProcessorBuses, MaxChannelsOnBus) {
  BusProcessor processor("1-1 2.1-2 4-2");
  EXPECT_EQ(processor.MaxChannelsOnBus(kDirectionInput, 0), 4);
  EXPECT_EQ(processor.MaxChannelsOnBus(kDirectionInput, 1), 1);
  EXPECT_EQ(processor.MaxChannelsOnBus(kDirectionInput, 2), 0);
  EXPECT_EQ(processor.MaxChannelsOnBus(kDirectionOutput, 0), 2);

  BusProcessor wildcardFirst("*-2 2-2");
  EXPECT_EQ(wildcardFirst.MaxChannelsOnBus(kDirectionInput, 0), -1);
  EXPECT_EQ(wildcardFirst.MaxChannelsOnBus(kDirectionOutput, 0), 2);
}

} // namespace
