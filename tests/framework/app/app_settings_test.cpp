#include "framework/app/app_settings.h"
#include "device_simulator.h"
#include "framework/app/app_host.h"
#include "framework/app/settings_store.h"
#include "memory_settings_store.h"

#include <gtest/gtest.h>

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

TEST(SettingsFile, MissingKeysAndDamagedNumbersGiveTheFileDefaultsAndUnknownKeysAreIgnored) {
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
  store.values.erase({"audio", "outdev"});
  store.values.erase({"midi", "indev"});
  AppSettings read;
  ReadAppSettings(store, read);
  EXPECT_STREQ(read.audioOutDevice.Get(), "Built-in Output");
  EXPECT_STREQ(read.midiInDevice.Get(), "no input");
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

TEST(SettingsRecord, EachFieldCountsInExactlyOneGroupAndIsCopied) {
  const std::pair<int32_t AppSettings::*, bool> numbers[] = {
      {&AppSettings::driverType, true},     {&AppSettings::sampleRate, true},
      {&AppSettings::bufferSize, true},     {&AppSettings::audioIn1, true},
      {&AppSettings::audioIn2, true},       {&AppSettings::audioOut1, true},
      {&AppSettings::audioOut2, true},      {&AppSettings::midiInChannel, false},
      {&AppSettings::midiOutChannel, false}};
  const std::pair<StringBuffer AppSettings::*, bool> texts[] = {
      {&AppSettings::audioInDevice, true},
      {&AppSettings::audioOutDevice, true},
      {&AppSettings::midiInDevice, false},
      {&AppSettings::midiOutDevice, false}};
  const AppSettings reference;
  const auto check = [&](const AppSettings& changed, bool audio) {
    EXPECT_EQ(AudioSettingsEqual(changed, reference), !audio);
    EXPECT_EQ(MidiSettingsEqual(changed, reference), audio);
    AppSettings copy;
    copy.CopyFrom(changed);
    EXPECT_TRUE(copy.Equals(changed) && !copy.Equals(reference));
  };
  for (const auto& [field, audio] : numbers) {
    AppSettings changed;
    changed.*field += 1;
    check(changed, audio);
  }
  for (const auto& [field, audio] : texts) {
    AppSettings changed;
    // Texts compare by length and content: a longer text differs.
    (changed.*field).AppendFormatted(1, " ");
    check(changed, audio);
  }
}

TEST(HostSettings, AFirstStartKeepsTheRecordDefaultsAndStoresEveryKeyALaterOneReadsThem) {
  AppHost* host = AppHost::Create(test::MakeStereo);
  auto owned = std::make_unique<MemorySettingsStore>();
  MemorySettingsStore* store = owned.get();
  EXPECT_TRUE(host->LoadSettings(std::move(owned)));
  EXPECT_TRUE(host->GetCurrentSettings().Equals(AppSettings()));
  EXPECT_EQ(store->writes.size(), 13u);

  SetAllAway(host->GetCurrentSettings());
  host->SaveSettings();
  owned = std::make_unique<MemorySettingsStore>(*store);
  host = AppHost::Create(test::MakeStereo);
  host->LoadSettings(std::move(owned));
  AppSettings expected;
  SetAllAway(expected);
  EXPECT_TRUE(host->GetCurrentSettings().Equals(expected));
  AppHost::Destroy();
}

} // namespace
} // namespace plugkit
