#include "framework/app/app_settings.h"
#include "device_simulator.h"
#include "framework/app/app_host.h"
#include "framework/app/settings_store.h"
#include "memory_settings_store.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace plugkit {
namespace {

using test::MemorySettingsStore;

void SetAllAway(AppSettings& s) {
  s.audioInDevice.Set("Mic Array (USB)");
  s.audioOutDevice.Set("Speakers: Front");
  s.midiInDevice.Set("Port A");
  s.midiOutDevice.Set("Port B");
  s.driverType = 1;
  s.sampleRate = 96000;
  s.bufferSize = 96;
  s.midiInChannel = 16;
  s.midiOutChannel = 3;
  s.audioIn1 = 5;
  s.audioIn2 = 6;
  s.audioOut1 = 7;
  s.audioOut2 = 8;
}

TEST(SettingsNumbers, OnlyPlainDecimalsWithinTheRangeAreTaken) {
  struct Case {
    const char* text;
    int32_t expected;
  };
  const Case cases[] = {
      {"44100", 44100},
      {" +48000\t", 48000},
      {"22050", 22050},
      {"192000", 192000},
      {"22049", 7},
      {"192001", 7},
      {"-44100", 7},
      {"", 7},
      {"abc", 7},
      {"44100abc", 7},
      {"44 100", 7},
      {"0x10000", 7},
      {"4410000000000", 7},
      {"99999999999999999999999999", 7},
      {"+", 7},
      {"000000000000000000000000044100", 44100},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ParseSettingNumber(c.text, 22050, 192000, 7), c.expected) << c.text;
  EXPECT_EQ(ParseSettingNumber(nullptr, 0, 16, 3), 3);
  EXPECT_EQ(ParseSettingNumber("0", 0, 16, 3), 0);
}

TEST(SettingsNames, CutsNeverSplitACharacter) {
  struct Case {
    std::string text;
    int maxBytes;
    std::string expected;
  };
  const std::string eAcute = "\xC3\xA9";
  const std::string euro = "\xE2\x82\xAC";
  const std::string clef = "\xF0\x9D\x84\x9E";
  const Case cases[] = {
      {"abcdef", 4, "abcd"},  {"ab" + eAcute, 3, "ab"}, {"ab" + eAcute, 4, "ab" + eAcute},
      {"a" + euro, 2, "a"},   {"a" + euro, 3, "a"},     {"a" + euro + "b", 4, "a" + euro},
      {clef + clef, 7, clef}, {clef, 4, clef},          {"abc", 10, "abc"},
      {eAcute, 0, ""},
  };
  for (const Case& c : cases) {
    StringBuffer text;
    text.Set(c.text.c_str());
    CutToUtf8Boundary(text, c.maxBytes);
    EXPECT_EQ(std::string(text.Get()), c.expected) << c.text << " " << c.maxBytes;
  }
}

TEST(SettingsFile, KeysMissingFromTheStoreGiveTheFileDefaults) {
  MemorySettingsStore store;
  AppSettings settings;
  SetAllAway(settings);
  ReadAppSettings(store, settings);
  EXPECT_STREQ(settings.audioInDevice.Get(), "Built-in Input");
  EXPECT_STREQ(settings.audioOutDevice.Get(), "Built-in Output");
  EXPECT_STREQ(settings.midiInDevice.Get(), "no input");
  EXPECT_STREQ(settings.midiOutDevice.Get(), "no output");
  AppSettings defaults;
  EXPECT_EQ(settings.driverType, defaults.driverType);
  EXPECT_EQ(settings.sampleRate, defaults.sampleRate);
  EXPECT_EQ(settings.bufferSize, defaults.bufferSize);
  EXPECT_EQ(settings.midiInChannel, 0);
  EXPECT_EQ(settings.midiOutChannel, 0);
  EXPECT_EQ(std::vector<int>(
                {settings.audioIn1, settings.audioIn2, settings.audioOut1, settings.audioOut2}),
            std::vector<int>({1, 2, 1, 2}));
}

TEST(SettingsFile, EveryKeyIsWrittenInOrderAndReadsBackUnchanged) {
  AppSettings written;
  SetAllAway(written);
  MemorySettingsStore store;
  WriteAppSettings(store, written);
  EXPECT_EQ(store.writes,
            (std::vector<std::string>{"audio/driver=1", "audio/indev=Mic Array (USB)",
                                      "audio/outdev=Speakers: Front", "audio/in1=5", "audio/in2=6",
                                      "audio/out1=7", "audio/out2=8", "audio/buffer=96",
                                      "audio/sr=96000", "midi/indev=Port A", "midi/outdev=Port B",
                                      "midi/inchan=16", "midi/outchan=3"}));
  AppSettings read;
  ReadAppSettings(store, read);
  EXPECT_TRUE(read.Equals(written));
}

TEST(SettingsFile, DamagedNumbersFallBackAndUnknownKeysAreIgnored) {
  AppSettings good;
  SetAllAway(good);
  MemorySettingsStore store;
  WriteAppSettings(store, good);
  store.values[{"audio", "driver"}] = "7";
  store.values[{"audio", "sr"}] = "1000000";
  store.values[{"audio", "buffer"}] = "16";
  store.values[{"audio", "in1"}] = "0";
  store.values[{"audio", "out2"}] = "-3";
  store.values[{"midi", "inchan"}] = "17";
  store.values[{"midi", "outchan"}] = "two";
  store.values[{"audio", "volume"}] = "11";
  store.values[{"video", "indev"}] = "Camera";
  AppSettings read;
  ReadAppSettings(store, read);
  EXPECT_EQ(read.driverType, 0);
  EXPECT_EQ(read.sampleRate, 44100);
  EXPECT_EQ(read.bufferSize, 512);
  EXPECT_EQ(read.audioIn1, 1);
  EXPECT_EQ(read.audioIn2, 6);
  EXPECT_EQ(read.audioOut1, 7);
  EXPECT_EQ(read.audioOut2, 2);
  EXPECT_EQ(read.midiInChannel, 0);
  EXPECT_EQ(read.midiOutChannel, 0);
  EXPECT_STREQ(read.audioInDevice.Get(), "Mic Array (USB)");
}

TEST(SettingsFile, LongNamesComeBackCutToNinetyNineBytesOnACharacterBoundary) {
  MemorySettingsStore store;
  store.values[{"audio", "indev"}] = std::string(120, 'x');
  // 49 two-byte characters and a third byte: the cut falls inside the 50th.
  std::string accented;
  for (int i = 0; i < 50; ++i) accented += "\xC3\xA9";
  store.values[{"audio", "outdev"}] = accented;
  AppSettings read;
  ReadAppSettings(store, read);
  EXPECT_EQ(std::string(read.audioInDevice.Get()), std::string(99, 'x'));
  EXPECT_EQ(std::string(read.audioOutDevice.Get()), accented.substr(0, 98));
}

TEST(SettingsRecord, EqualityComparesWhatEachGroupCovers) {
  struct Change {
    const char* field;
    std::function<void(AppSettings&)> apply;
    bool audioEqual;
    bool midiEqual;
  };
  const std::vector<Change> changes = {
      {"audioInDevice", [](AppSettings& s) { s.audioInDevice.Set("Default Devic"); }, false, true},
      {"audioOutDevice", [](AppSettings& s) { s.audioOutDevice.Set("Default Device "); }, false,
       true},
      {"driverType", [](AppSettings& s) { s.driverType = 1; }, false, true},
      {"sampleRate", [](AppSettings& s) { s.sampleRate = 48000; }, false, true},
      {"bufferSize", [](AppSettings& s) { s.bufferSize = 256; }, false, true},
      {"audioIn1", [](AppSettings& s) { s.audioIn1 = 3; }, false, true},
      {"audioIn2", [](AppSettings& s) { s.audioIn2 = 3; }, false, true},
      {"audioOut1", [](AppSettings& s) { s.audioOut1 = 3; }, false, true},
      {"audioOut2", [](AppSettings& s) { s.audioOut2 = 3; }, false, true},
      {"midiInDevice", [](AppSettings& s) { s.midiInDevice.Set("Off"); }, true, false},
      {"midiOutDevice", [](AppSettings& s) { s.midiOutDevice.Set("of"); }, true, false},
      {"midiInChannel", [](AppSettings& s) { s.midiInChannel = 1; }, true, false},
      {"midiOutChannel", [](AppSettings& s) { s.midiOutChannel = 1; }, true, false},
  };
  const AppSettings reference;
  for (const Change& change : changes) {
    AppSettings changed;
    change.apply(changed);
    EXPECT_EQ(AudioSettingsEqual(changed, reference), change.audioEqual) << change.field;
    EXPECT_EQ(MidiSettingsEqual(changed, reference), change.midiEqual) << change.field;
    EXPECT_FALSE(changed.Equals(reference)) << change.field;
    AppSettings copy;
    copy.CopyFrom(changed);
    EXPECT_TRUE(copy.Equals(changed)) << change.field;
  }
}

class HostSettingsTest : public ::testing::Test {
protected:
  void SetUp() override { host = AppHost::Create(test::MakeStereo); }
  void TearDown() override { AppHost::Destroy(); }
  AppHost* host = nullptr;
};

TEST_F(HostSettingsTest, AFirstStartKeepsTheRecordDefaultsAndStoresEveryKey) {
  auto owned = std::make_unique<MemorySettingsStore>();
  MemorySettingsStore* store = owned.get();
  EXPECT_TRUE(host->LoadSettings(std::move(owned)));
  EXPECT_TRUE(host->GetCurrentSettings().Equals(AppSettings()));
  EXPECT_EQ(store->writes.size(), 13u);
  EXPECT_EQ(store->values[std::make_pair("audio", "indev")], "Default Device");
  EXPECT_EQ(store->values[std::make_pair("midi", "outdev")], "off");
}

TEST_F(HostSettingsTest, StoredSettingsAreReadAndSavedBack) {
  auto owned = std::make_unique<MemorySettingsStore>();
  MemorySettingsStore* store = owned.get();
  AppSettings stored;
  SetAllAway(stored);
  WriteAppSettings(*store, stored);
  store->writes.clear();
  host->LoadSettings(std::move(owned));
  EXPECT_TRUE(host->GetCurrentSettings().Equals(stored));
  host->GetCurrentSettings().bufferSize = 1024;
  host->SaveSettings();
  EXPECT_EQ(store->values[std::make_pair("audio", "buffer")], "1024");
}

TEST_F(HostSettingsTest, WithoutAStoreSettingsLiveInMemoryOnly) {
  EXPECT_TRUE(host->LoadSettings(nullptr));
  host->SaveSettings();
  EXPECT_TRUE(host->GetCurrentSettings().Equals(AppSettings()));
}

} // namespace
} // namespace plugkit
