#include "device_simulator.h"
#include "fake_devices.h"
#include "framework/app/app_host.h"
#include "framework/app/midi_callback.h"
#include "framework/core/channel_io.h"
#include "memory_settings_store.h"
#include "stateful_plugin.h"

#include <gtest/gtest.h>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace plugkit {
namespace {

using test::FakeBackends;
using test::gFakeMidiIn;
using test::gFakeMidiOut;
using test::MemorySettingsStore;

using Names = std::vector<std::string>;

const Names kInPorts = {"Keys", "Pads", "Keys 2"};
const Names kOutPorts = {"Synth"};

std::unique_ptr<IPluginApp> MakeMidiOutPlugin(const InstanceInfo& info) {
  return std::make_unique<test::StatefulPlugin>(info, test::StatefulConfig("2-2", true));
}

class MidiPortsTest : public ::testing::Test {
protected:
  void SetUp() override { Make(test::MakeStereo); }
  void TearDown() override { AppHost::Destroy(); }

  void Make(AppHost::PluginFactory factory) {
    test::gFakeMidiInPorts = &kInPorts;
    test::gFakeMidiOutPorts = &kOutPorts;
    host = AppHost::Create(factory);
    host->SetDeviceBackends(FakeBackends());
    auto owned = std::make_unique<MemorySettingsStore>();
    store = owned.get();
    host->LoadSettings(std::move(owned));
    store->writes.clear();
  }
  void Init() {
    ASSERT_TRUE(host->CreateMidiPorts());
    host->ProbeMidiPorts();
  }
  void Receive(std::vector<unsigned char> bytes) { HostMidiCallback(0.0, &bytes, host); }

  AppHost* host = nullptr;
  MemorySettingsStore* store = nullptr;
};

TEST_F(MidiPortsTest, MessagesJoinTheRingTheirSizeCallsFor) {
  Receive({0xC0, 0x05});
  Receive({0xF8});
  Receive({0x90, 0x40, 0x7F});
  Receive({});
  Receive(std::vector<unsigned char>(4, 0xF0));
  Receive(std::vector<unsigned char>(512, 0x11));
  Receive(std::vector<unsigned char>(513, 0x22));
  HostMidiCallback(0.0, nullptr, host);

  IPluginApp& plug = *host->GetPlug();
  const std::vector<std::array<int, 4>> expected = {
      {0, 0xC0, 0x05, 0}, {0, 0xF8, 0, 0}, {0, 0x90, 0x40, 0x7F}};
  std::vector<std::array<int, 4>> midi;
  for (MidiMessage m; plug.MidiIn().Pop(m);) midi.push_back({m.offset, m.status, m.data1, m.data2});
  EXPECT_EQ(midi, expected);
  std::vector<int> sizes;
  for (SysExRecord r; plug.SysExIn().Pop(r);) {
    sizes.push_back(r.size);
    EXPECT_EQ(r.offset, 0);
    EXPECT_EQ(r.data[r.size - 1], r.size == 4 ? 0xF0 : 0x11);
  }
  EXPECT_EQ(sizes, (std::vector<int>{4, 512}));
}

TEST_F(MidiPortsTest, AFullRingDropsTheNewestMessage) {
  for (int i = 0; i < 33; ++i) Receive({0x90, static_cast<unsigned char>(i), 0x7F});
  IPluginApp& plug = *host->GetPlug();
  EXPECT_EQ(plug.MidiIn().ElementsAvailable(), 32);
  MidiMessage last;
  for (MidiMessage m; plug.MidiIn().Pop(m);) last = m;
  EXPECT_EQ(last.data1, 31);
}

TEST_F(MidiPortsTest, PortsAreListedAfterOffAndFoundByExactName) {
  Init();
  EXPECT_EQ(host->GetMidiPortNames(kDirectionInput), (Names{"off", "Keys", "Pads", "Keys 2"}));
  EXPECT_EQ(host->GetMidiPortNames(kDirectionOutput), (Names{"off", "Synth"}));
  struct Case {
    int direction;
    const char* name;
    int port;
  };
  const Case cases[] = {
      {kDirectionInput, "off", 0},    {kDirectionInput, "Keys", 1}, {kDirectionInput, "Keys 2", 3},
      {kDirectionInput, "keys", -1},  {kDirectionInput, "Key", -1}, {kDirectionInput, "Synth", -1},
      {kDirectionOutput, "Synth", 1}, {kDirectionOutput, "off", 0}, {kDirectionOutput, "", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(host->FindMidiPort(c.direction, c.name), c.port) << c.name;
  EXPECT_EQ(gFakeMidiIn->calls, (Names{"callback"}));
}

TEST_F(MidiPortsTest, SelectingAPortReplacesTheOpenOne) {
  Init();
  EXPECT_TRUE(host->SelectMidiPort(kDirectionInput, "Pads"));
  EXPECT_TRUE(host->SelectMidiPort(kDirectionInput, "off"));
  EXPECT_TRUE(host->SelectMidiPort(kDirectionOutput, "Synth"));
  gFakeMidiOut->openSucceeds = false;
  EXPECT_FALSE(host->SelectMidiPort(kDirectionOutput, "Synth"));
  EXPECT_EQ(gFakeMidiIn->calls, (Names{"callback", "close", "open 1 RtMidi Input", "close"}));
  EXPECT_EQ(gFakeMidiOut->calls,
            (Names{"close", "open 0 RtMidi Output", "close", "open 0 RtMidi Output"}));
  EXPECT_TRUE(store->writes.empty());
}

TEST_F(MidiPortsTest, APortThatIsGoneTurnsItsSettingOffAndIsSaved) {
  Init();
  host->GetCurrentSettings().midiOutDevice.Set("Old Synth");
  EXPECT_TRUE(
      host->SelectMidiPort(kDirectionOutput, host->GetCurrentSettings().midiOutDevice.Get()));
  EXPECT_STREQ(host->GetCurrentSettings().midiOutDevice.Get(), "off");
  EXPECT_EQ(store->values[std::make_pair("midi", "outdev")], "off");
  EXPECT_EQ(gFakeMidiOut->calls, (Names{"close"}));
}

TEST_F(MidiPortsTest, WithoutMidiObjectsStoredPortsAreKept) {
  for (const bool noIO : {true, false}) {
    AppHost::Destroy();
    Make(test::MakeStereo);
    if (noIO) {
      host->SetNoIO(true);
      EXPECT_TRUE(host->CreateMidiPorts());
    } else {
      test::gFakeMidiInPorts = nullptr;
      test::gFakeMidiOutPorts = nullptr;
      EXPECT_FALSE(host->CreateMidiPorts());
    }
    host->ProbeMidiPorts();
    host->GetCurrentSettings().midiInDevice.Set("Keys");
    host->GetCurrentSettings().midiOutDevice.Set("Synth");
    EXPECT_FALSE(host->SelectMidiPort(kDirectionInput, "Keys"));
    EXPECT_FALSE(host->SelectMidiPort(kDirectionOutput, "Synth"));
    EXPECT_STREQ(host->GetCurrentSettings().midiInDevice.Get(), "Keys");
    EXPECT_STREQ(host->GetCurrentSettings().midiOutDevice.Get(), "Synth");
    EXPECT_TRUE(store->writes.empty());
  }
}

TEST_F(MidiPortsTest, AFailedOutputKeepsTheInputWithoutItsCallback) {
  test::gFakeMidiOutPorts = nullptr;
  EXPECT_FALSE(host->CreateMidiPorts());
  ASSERT_NE(gFakeMidiIn, nullptr);
  EXPECT_TRUE(gFakeMidiIn->calls.empty());
  host->ProbeMidiPorts();
  EXPECT_TRUE(host->SelectMidiPort(kDirectionInput, "Keys"));
  EXPECT_FALSE(host->SendMidiBytes(std::vector<uint8_t>{0x90, 1, 2}.data(), 3));
}

TEST_F(MidiPortsTest, PluginOutputGoesToTheOutputPort) {
  AppHost::Destroy();
  Make(MakeMidiOutPlugin);
  Init();
  MidiMessage note;
  note.status = 0x90;
  note.data1 = 60;
  note.data2 = 100;
  EXPECT_TRUE(host->GetPlug()->SendMidiOut(note));
  const uint8_t sysEx[] = {0xF0, 0x7E, 0xF7};
  EXPECT_TRUE(host->GetPlug()->SendSysExOut(SysExMessage{0, 3, sysEx}));
  EXPECT_EQ(gFakeMidiOut->sent,
            (std::vector<std::vector<unsigned char>>{{0x90, 60, 100}, {0xF0, 0x7E, 0xF7}}));
}

TEST_F(MidiPortsTest, DestroyingTheHostSilencesTheInputAndClosesTheOutputFirst) {
  Init();
  host->SelectMidiPort(kDirectionInput, "Keys");
  test::gMidiCallsAtDeletion.clear();
  AppHost::Destroy();
  host = nullptr;
  EXPECT_EQ(test::gMidiCallsAtDeletion,
            (Names{"out close", "in callback", "in close", "in open 0 RtMidi Input", "in cancel"}));
}

} // namespace
} // namespace plugkit
