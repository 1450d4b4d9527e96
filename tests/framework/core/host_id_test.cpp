#include "framework/core/plugin_api_base.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

namespace plugkit {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

TEST(HostIdFromName, EveryMatchTextGivesItsId) {
  // Written out independently of the table the code uses.
  const struct {
    const char* text;
    int id;
  } expected[] = {
      {"reaper", 1},         {"protools", 2},
      {"cubase", 3},         {"nuendo", 4},
      {"cakewalk", 5},       {"vegas", 6},
      {"fruity", 7},         {"samplitude", 8},
      {"live", 9},           {"tracktion", 10},
      {"ntracks", 11},       {"melodyne", 12},
      {"vstmanlib", 13},     {"aulab", 14},
      {"forte", 15},         {"chainer", 16},
      {"audition", 17},      {"orion", 18},
      {"bias", 19},          {"sawstudio", 20},
      {"logic", 21},         {"garageband", 22},
      {"digital", 23},       {"audiomulch", 25},
      {"presonus", 26},      {"vst3plugintesthost", 27},
      {"ardour", 28},        {"renoise", 29},
      {"openmpt", 30},       {"wavelab elements", 32},
      {"wavelab", 31},       {"twistedwave", 33},
      {"bitwig studio", 34}, {"reason", 36},
      {"gwvst", 37},         {"waveform", 38},
      {"audacity", 39},      {"acoustica", 40},
      {"plugindoctor", 41},  {"izotope rx", 42},
      {"savihost", 43},      {"blue cat's vst host", 44},
      {"mixbus", 45},        {"standalone", 24},
      {"www", 35},
  };
  ASSERT_EQ(std::size(expected), 45u);
  for (const auto& e : expected) {
    EXPECT_EQ(IPluginAPIBase::HostIdFromName(e.text), e.id) << e.text;
    EXPECT_EQ(IPluginAPIBase::HostIdFromName(("My " + Upper(e.text) + " 2").c_str()), e.id)
        << e.text;
  }
}

TEST(HostIdFromName, TieBreaksAndUnknownNames) {
  EXPECT_EQ(IPluginAPIBase::HostIdFromName("REAPER"), 1);
  EXPECT_EQ(IPluginAPIBase::HostIdFromName("Cubase Pro 13"), 3);
  EXPECT_EQ(IPluginAPIBase::HostIdFromName("Ableton Live 12"), 9);
  EXPECT_EQ(IPluginAPIBase::HostIdFromName("WaveLab Elements 12"), 32);
  EXPECT_EQ(IPluginAPIBase::HostIdFromName("WaveLab Pro"), 31);
  EXPECT_EQ(IPluginAPIBase::HostIdFromName("WaveLab Elements Live"), 9);
  EXPECT_EQ(IPluginAPIBase::HostIdFromName("Reaper standalone"), 1);
  EXPECT_EQ(IPluginAPIBase::HostIdFromName("www standalone"), 24);
  EXPECT_EQ(IPluginAPIBase::HostIdFromName("standalone"), 24);
  EXPECT_EQ(IPluginAPIBase::HostIdFromName(""), 0);
  EXPECT_EQ(IPluginAPIBase::HostIdFromName(nullptr), 0);
  EXPECT_EQ(IPluginAPIBase::HostIdFromName("Some Unheard-Of Host"), 0);
  // Only the first 255 bytes of a name are looked at.
  EXPECT_EQ(IPluginAPIBase::HostIdFromName((std::string(250, 'x') + "reaper").c_str()), 0);
  EXPECT_EQ(IPluginAPIBase::HostIdFromName((std::string(249, 'x') + "reaper").c_str()), 1);
}

class HostAwarePlugin : public IPluginAPIBase {
public:
  HostAwarePlugin() : IPluginAPIBase(PlugConfig{}, PlugApi::Standalone) {}
  void PrepareForHost() override { calls.push_back("prepare:" + std::to_string(GetHost())); }
  void OnHostDetected() override { calls.push_back("detected"); }
  std::vector<std::string> calls;
};

TEST(IPluginAPIBase, SetHostStoresIdentityThenPreparesAndReports) {
  HostAwarePlugin plugin;
  EXPECT_EQ(plugin.GetHost(), kHostUninit);
  plugin.SetHost("standalone", 0x00000100);
  EXPECT_EQ(plugin.GetHost(), kHostStandalone);
  EXPECT_STREQ(plugin.GetHostName(), "standalone");
  EXPECT_EQ(plugin.GetHostVersion(), 0x100);
  EXPECT_EQ(plugin.calls, (std::vector<std::string>{"prepare:24", "detected"}));
}

} // namespace
} // namespace plugkit
