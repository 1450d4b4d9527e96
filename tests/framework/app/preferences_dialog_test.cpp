#include "device_simulator.h"
#include "fake_devices.h"
#include "framework/app/app_host.h"
#include "framework/app/app_resource_ids.h"
#include "framework/app/preferences_dialog_win.h"
#include "memory_settings_store.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace plugkit {
namespace {

using test::Device;
using test::FakeAudio;
using test::FakeMidi;
using test::gDeviceCalls;
using Texts = std::vector<std::string>;

// The dialog runs modally on the test's thread, as it does in the program; a
// second thread finds it and works its controls with messages, which the
// modal loop handles on the dialog's own thread. Whatever the driver leaves
// open is cancelled, so no run waits for a user.
class PreferencesDialogTest : public ::testing::Test {
protected:
  void SetUp() override {
    gDeviceCalls.clear();
    // 11025 Hz, which Speakers and Interface offer, is a rate the plug-in refuses.
    FakeAudio::next = {
        WithRates(Device(3, "DS:Mic", 2, 0, true), {44100, 48000}),
        WithRates(Device(7, "DS:Speakers", 0, 2, false, true), {48000, 11025, 44100}),
        WithRates(Device(9, "DS:Interface", 8, 6), {11025, 44100, 48000, 96000})};
    FakeMidi::nextIn = {"Keys", "Pads"};
    FakeMidi::nextOut = {"Synth"};
    host = AppHost::Create(test::MakeStereo);
    host->SetDeviceBackends(test::FakeBackends());
    auto owned = std::make_unique<test::MemorySettingsStore>();
    store = owned.get();
    host->LoadSettings(std::move(owned));
    host->ResetAudioDriver();
    host->ProbeAudioDevices();
    host->CreateMidiPorts();
    host->ProbeMidiPorts();
  }
  void TearDown() override { AppHost::Destroy(); }

  static FakeAudio::Device WithRates(FakeAudio::Device device, std::vector<unsigned int> rates) {
    device.info.sampleRates = std::move(rates);
    return device;
  }

  INT_PTR Run(const std::function<void(HWND)>& drive) {
    std::thread driver([&drive] {
      // The modal loop shows the dialog once it has been set up.
      HWND dialog = nullptr;
      for (int waited = 0; !dialog && waited < 10000; waited += 10) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        dialog = FindWindowA("#32770", "Preferences");
        if (dialog && !IsWindowVisible(dialog)) dialog = nullptr;
      }
      if (!dialog) return;
      drive(dialog);
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    const INT_PTR result = RunPreferencesDialog(GetModuleHandleW(nullptr), nullptr);
    driver.join();
    return result;
  }

  static Texts Entries(HWND dialog, int id) {
    const HWND list = GetDlgItem(dialog, id);
    Texts texts;
    StringBuffer text;
    const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
      ReadComboItemText(list, i, text);
      texts.push_back(text.Get());
    }
    return texts;
  }
  static std::string Shown(HWND dialog, int id) {
    StringBuffer text;
    const HWND list = GetDlgItem(dialog, id);
    ReadComboItemText(list, static_cast<int>(SendMessageA(list, CB_GETCURSEL, 0, 0)), text);
    return text.Get();
  }
  // As the user picks an entry: the list selects it and tells the dialog.
  static void Choose(HWND dialog, int id, int index) {
    const HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  }
  static void Press(HWND dialog, int id) { SendMessageA(dialog, WM_COMMAND, id, 0); }

  AppHost* host = nullptr;
  test::MemorySettingsStore* store = nullptr;
};

TEST_F(PreferencesDialogTest, EveryListIsFilledFromTheProbedDevicesAndShowsTheSettings) {
  AppSettings& current = host->GetCurrentSettings();
  current.audioInDevice.Set("Interface");
  current.audioOutDevice.Set("Gone");
  current.bufferSize = 300;
  current.sampleRate = 44100;
  current.audioIn1 = 3;
  current.audioIn2 = 4;
  current.midiInDevice.Set("Pads");
  current.midiOutDevice.Set("Unplugged");
  current.midiOutChannel = 16;
  std::vector<Texts> lists;
  Texts shown;
  bool configEnabled = true;
  const int ids[] = {IDC_DRIVER,          IDC_AUDIO_IN_DEVICE, IDC_AUDIO_OUT_DEVICE,
                     IDC_BUFFER_SIZE,     IDC_SAMPLE_RATE,     IDC_AUDIO_IN_1,
                     IDC_AUDIO_IN_2,      IDC_AUDIO_OUT_1,     IDC_AUDIO_OUT_2,
                     IDC_MIDI_IN_DEVICE,  IDC_MIDI_OUT_DEVICE, IDC_MIDI_IN_CHANNEL,
                     IDC_MIDI_OUT_CHANNEL};
  EXPECT_EQ(Run([&](HWND dialog) {
              for (const int id : ids) {
                lists.push_back(Entries(dialog, id));
                shown.push_back(Shown(dialog, id));
              }
              configEnabled = IsWindowEnabled(GetDlgItem(dialog, IDC_DRIVER_CONFIG));
              Press(dialog, IDCANCEL);
            }),
            IDCANCEL);
  ASSERT_EQ(lists.size(), 13u);
  const Texts channels17 = {"all", "1",  "2",  "3",  "4",  "5",  "6",  "7", "8",
                            "9",   "10", "11", "12", "13", "14", "15", "16"};
  const std::vector<Texts> expected = {
      {"DirectSound"},
      {"Mic", "Interface"},
      {"Speakers", "Interface"},
      {"32", "64", "96", "128", "192", "256", "512", "1024", "2048", "4096", "8192"},
      {"44100", "48000"},
      {"1", "2", "3", "4", "5", "6", "7"},
      {"1", "2", "3", "4", "5", "6", "7", "8"},
      {"1"},
      {"1", "2"},
      {"off", "Keys", "Pads"},
      {"off", "Synth"},
      channels17,
      channels17};
  EXPECT_EQ(lists, expected);
  // A stored output that is gone shows the first device, a MIDI port that is
  // gone shows "off" but stays chosen; sizes not offered show nothing.
  EXPECT_EQ(shown, (Texts{"DirectSound", "Interface", "Speakers", "", "44100", "3", "4", "1", "2",
                          "Pads", "off", "all", "16"}));
  EXPECT_FALSE(configEnabled);
  EXPECT_STREQ(host->GetCurrentSettings().midiOutDevice.Get(), "Unplugged");
}

TEST_F(PreferencesDialogTest, ChannelTwoFollowsChannelOneAndCancelRestoresEverything) {
  ASSERT_TRUE(host->StartAudio());
  AppSettings before;
  before.CopyFrom(host->GetCurrentSettings());
  Texts seen;
  EXPECT_EQ(Run([&](HWND dialog) {
              Choose(dialog, IDC_AUDIO_IN_DEVICE, 1);
              Choose(dialog, IDC_AUDIO_IN_1, 2);
              seen.push_back(Shown(dialog, IDC_AUDIO_IN_2));
              Choose(dialog, IDC_AUDIO_IN_2, 6);
              seen.push_back(Shown(dialog, IDC_AUDIO_IN_2));
              Choose(dialog, IDC_BUFFER_SIZE, 7);
              Choose(dialog, IDC_SAMPLE_RATE, 1);
              Choose(dialog, IDC_MIDI_IN_DEVICE, 2);
              Choose(dialog, IDC_MIDI_IN_CHANNEL, 5);
              const AppSettings& current = host->GetCurrentSettings();
              seen.push_back(
                  std::string(current.audioInDevice.Get()) + " " +
                  std::to_string(current.audioIn1) + "/" + std::to_string(current.audioIn2) + " " +
                  std::to_string(current.bufferSize) + " " + std::to_string(current.sampleRate) +
                  " " + current.midiInDevice.Get() + " " + std::to_string(current.midiInChannel));
              gDeviceCalls.clear();
              Press(dialog, IDCANCEL);
            }),
            IDCANCEL);
  EXPECT_EQ(seen, (Texts{"4", "4", "Interface 3/4 1024 48000 Pads 5"}));
  EXPECT_TRUE(host->GetCurrentSettings().Equals(before));
  // Audio is reopened on the restored devices; nothing is saved.
  EXPECT_NE(std::find(gDeviceCalls.begin(), gDeviceCalls.end(), "start"), gDeviceCalls.end());
  EXPECT_TRUE(host->GetActiveSettings().Equals(before));
  EXPECT_EQ(store->values[(test::MemorySettingsStore::Key{"midi", "indev"})], "off");
}

TEST_F(PreferencesDialogTest, OkRestartsAudioWithTheChoicesAndSavesThem) {
  ASSERT_TRUE(host->StartAudio());
  EXPECT_EQ(Run([&](HWND dialog) {
              Choose(dialog, IDC_AUDIO_OUT_DEVICE, 1);
              Choose(dialog, IDC_BUFFER_SIZE, 8);
              Choose(dialog, IDC_MIDI_OUT_DEVICE, 1);
              gDeviceCalls.clear();
              Press(dialog, IDOK);
            }),
            IDOK);
  EXPECT_NE(std::find(gDeviceCalls.begin(), gDeviceCalls.end(), "start"), gDeviceCalls.end());
  EXPECT_EQ(FakeAudio::last->setup.outputId, 9u);
  EXPECT_EQ(FakeAudio::last->asked, 2048u);
  EXPECT_TRUE(host->GetActiveSettings().Equals(host->GetCurrentSettings()));
  const auto stored = [this](const char* section, const char* key) {
    return store->values[{section, key}];
  };
  EXPECT_EQ(stored("audio", "outdev"), "Interface");
  EXPECT_EQ(stored("audio", "buffer"), "2048");
  EXPECT_EQ(stored("midi", "outdev"), "Synth");
}

// A setting the device refuses is told to the user, and going back to the
// settings in force brings audio back, on OK and on Cancel alike.
TEST_F(PreferencesDialogTest, AFailedApplyIsShownAndOkOrCancelRunAudioOnTheSettingsInForce) {
  for (const int button : {IDOK, IDCANCEL}) {
    ASSERT_TRUE(host->StartAudio());
    FakeAudio::last->refusedRate = 48000;
    test::gShownErrors.clear();
    EXPECT_EQ(Run([&](HWND dialog) {
                Choose(dialog, IDC_SAMPLE_RATE, 1);
                Press(dialog, IDC_APPLY);
                Choose(dialog, IDC_SAMPLE_RATE, 0);
                Press(dialog, button);
              }),
              button);
    EXPECT_EQ(test::gShownErrors, Texts{"Error: Could not start audio from \"Mic\" to "
                                        "\"Speakers\" at 48000 Hz:\nNot supported"});
    EXPECT_TRUE(FakeAudio::last->IsStreamRunning()) << button;
    EXPECT_EQ(FakeAudio::last->setup.sampleRate, 44100u) << button;
  }
}

// A device that came after start is listed once the dialog opens, with the
// choices in force still selected; a running stream goes on meanwhile.
TEST_F(PreferencesDialogTest, OpeningListsDevicesThatCameSinceStartAndKeepsTheChoices) {
  for (const bool running : {false, true}) {
    if (running) {
      ASSERT_TRUE(host->StartAudio());
    }
    host->GetCurrentSettings().audioOutDevice.Set("Speakers");
    FakeAudio::next.push_back(Device(12 + running, running ? "DS:Dock" : "DS:USB", 2, 2));
    FakeAudio::last->devices = FakeAudio::next;
    gDeviceCalls.clear();
    Texts outputs;
    Texts callsWhileOpen;
    Run([&](HWND dialog) {
      outputs = Entries(dialog, IDC_AUDIO_OUT_DEVICE);
      outputs.push_back(Shown(dialog, IDC_AUDIO_OUT_DEVICE));
      callsWhileOpen = gDeviceCalls;
      Press(dialog, IDCANCEL);
    });
    const Texts expected = running ? Texts{"Speakers", "Interface", "USB", "Dock", "Speakers"}
                                   : Texts{"Speakers", "Interface", "USB", "Speakers"};
    EXPECT_EQ(outputs, expected) << running;
    EXPECT_EQ(callsWhileOpen, Texts{}) << running;
  }
}

} // namespace
} // namespace plugkit
