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

using test::FakeMidi;
using test::gDeviceCalls;
using Texts = std::vector<std::string>;

std::unique_ptr<IPluginApp> MakeMidiOutPlugin(const InstanceInfo& info) {
  return std::make_unique<test::StatefulPlugin>(info, test::StatefulConfig("2-2", true));
}

class MidiPortsTest : public ::testing::Test {
protected:
  void SetUp() override { Make(test::MakeStereo, false); }
  void TearDown() override { AppHost::Destroy(); }

  // A host whose MIDI ports are created and listed, unless in no-I/O mode.
  void Make(AppHost::PluginFactory factory, bool noIO) {
    AppHost::Destroy();
    host = AppHost::Create(factory);
    host->SetDeviceBackends(test::FakeBackends());
    host->SetNoIO(noIO);
    auto owned = std::make_unique<test::MemorySettingsStore>();
    store = owned.get();
    host->LoadSettings(std::move(owned));
    store->writes.clear();
    created = host->CreateMidiPorts();
    host->ProbeMidiPorts();
    gDeviceCalls.clear();
  }
  void Receive(std::vector<unsigned char> bytes) { HostMidiCallback(0.0, &bytes, host); }

  AppHost* host = nullptr;
  test::MemorySettingsStore* store = nullptr;
  bool created = false;
};

TEST_F(MidiPortsTest, MessagesJoinTheRingTheirSizeCallsForAndAFullRingDropsTheNewest) {
  Receive({0xC0, 0x05});
  Receive({0xF8});
  Receive({0x90, 0x40, 0x7F});
  Receive({});
  Receive(std::vector<unsigned char>(4, 0xF0));
  Receive(std::vector<unsigned char>(512, 0x11));
  Receive(std::vector<unsigned char>(513, 0x22));
  for (int i = 0; i < 40; ++i) Receive({0x80, static_cast<unsigned char>(i), 0});

  IPluginApp& plug = *host->GetPlug();
  std::vector<std::array<int, 4>> midi;
  for (MidiMessage m; plug.MidiIn().Pop(m);) midi.push_back({m.offset, m.status, m.data1, m.data2});
  ASSERT_EQ(midi.size(), 32u);
  using Midi = std::vector<std::array<int, 4>>;
  const Midi first = {{0, 0xC0, 5, 0}, {0, 0xF8, 0, 0}, {0, 0x90, 0x40, 0x7F}, {0, 0x80, 0, 0}};
  EXPECT_EQ(Midi(midi.begin(), midi.begin() + 4), first);
  EXPECT_EQ(midi.back()[2], 28);
  std::vector<std::array<int, 3>> sysEx;
  for (SysExRecord r; plug.SysExIn().Pop(r);)
    sysEx.push_back({r.offset, r.size, r.data[r.size - 1]});
  EXPECT_EQ(sysEx, (std::vector<std::array<int, 3>>{{0, 4, 0xF0}, {0, 512, 0x11}}));
}

// The library names a port after its device and its index, which another
// device coming or going shifts.
TEST_F(MidiPortsTest, PortsAreListedAfterOffAndFoundByExactNameElseWithoutTheirIndex) {
  EXPECT_EQ(host->GetMidiPortNames(kDirectionInput), (Texts{"off", "Keys", "Pads", "Keys 2"}));
  EXPECT_EQ(host->GetMidiPortNames(kDirectionOutput), (Texts{"off", "Synth"}));
  const std::tuple<int, const char*, int> cases[] = {
      {kDirectionInput, "off", 0},     {kDirectionInput, "Keys", 1},
      {kDirectionInput, "Keys 2", 3},  {kDirectionInput, "keys", -1},
      {kDirectionInput, "Synth", -1},  {kDirectionOutput, "Synth", 1},
      {kDirectionInput, "Pads 0", 2},  {kDirectionInput, "Keys 7", 1},
      {kDirectionInput, "Keys2", -1},  {kDirectionInput, "Pads 1x", -1},
      {kDirectionOutput, "Synth 3", 1}};
  for (const auto& [direction, name, port] : cases)
    EXPECT_EQ(host->FindMidiPort(direction, name), port) << name;
}

TEST_F(MidiPortsTest, SelectingAPortReplacesTheOpenOneAndAGonePortIsKeptButNotOpened) {
  EXPECT_TRUE(host->SelectMidiPort(kDirectionInput, "Pads"));
  EXPECT_TRUE(host->SelectMidiPort(kDirectionInput, "off"));
  FakeMidi::out->openSucceeds = false;
  EXPECT_FALSE(host->SelectMidiPort(kDirectionOutput, "Synth"));
  EXPECT_TRUE(store->writes.empty());
  host->GetCurrentSettings().midiOutDevice.Set("Old Synth");
  EXPECT_FALSE(
      host->SelectMidiPort(kDirectionOutput, host->GetCurrentSettings().midiOutDevice.Get()));
  EXPECT_STREQ(host->GetCurrentSettings().midiOutDevice.Get(), "Old Synth");
  EXPECT_TRUE(store->writes.empty());
  EXPECT_EQ(gDeviceCalls, (Texts{"in close", "in open 1 RtMidi Input", "in close", "out close",
                                 "out open 0 RtMidi Output", "out close"}));
}

TEST_F(MidiPortsTest, WithoutMidiObjectsStoredPortsAreKept) {
  for (const int failure : {0, 1, 2}) {
    FakeMidi::failIn = failure == 1;
    FakeMidi::failOut = failure == 2;
    Make(test::MakeStereo, failure == 0);
    EXPECT_EQ(created, failure == 0);
    const bool inputMade = failure != 1;
    EXPECT_EQ(host->SelectMidiPort(kDirectionInput, "Keys 2"), inputMade && failure != 0);
    EXPECT_FALSE(host->SelectMidiPort(kDirectionOutput, "Synth"));
    EXPECT_TRUE(store->writes.empty());
    EXPECT_FALSE(host->SendMidiBytes(std::vector<uint8_t>{0x90, 1, 2}.data(), 3));
  }
  FakeMidi::failIn = FakeMidi::failOut = false;
}

TEST_F(MidiPortsTest, PluginOutputGoesToTheOutputPort) {
  Make(MakeMidiOutPlugin, false);
  MidiMessage note;
  note.status = 0x90;
  note.data1 = 60;
  note.data2 = 100;
  EXPECT_TRUE(host->GetPlug()->SendMidiOut(note));
  const uint8_t sysEx[] = {0xF0, 0x7E, 0xF7};
  EXPECT_TRUE(host->GetPlug()->SendSysExOut(SysExMessage{0, 3, sysEx}));
  EXPECT_EQ(FakeMidi::out->sent,
            (std::vector<std::vector<unsigned char>>{{0x90, 60, 100}, {0xF0, 0x7E, 0xF7}}));
}

TEST_F(MidiPortsTest, DestroyingTheHostSilencesTheInputAndClosesTheOutputBeforeEitherGoes) {
  AppHost::Destroy();
  EXPECT_EQ(gDeviceCalls, (Texts{"in cancel", "out close", "delete out", "delete in"}));
}

} // namespace
} // namespace plugkit
