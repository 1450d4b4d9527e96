#include "framework/app/preferences_dialog_win.h"

#include "framework/app/app_host.h"
#include "framework/app/app_resource_ids.h"
#include "framework/core/channel_io.h"
#include "framework/core/win_utf8_lists.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>

namespace plugkit {

namespace {

constexpr const char* kBufferSizes[] = {"32",  "64",   "96",   "128",  "192", "256",
                                        "512", "1024", "2048", "4096", "8192"};
constexpr int kMidiChannels = 16;

LRESULT SendItem(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

void ClearList(HWND dialog, int id) { SendItem(dialog, id, CB_RESETCONTENT); }

int AddEntry(HWND dialog, int id, const char* text) {
  return static_cast<int>(SendItem(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text)));
}

void AddNumber(HWND dialog, int id, int number) {
  AddEntry(dialog, id, std::to_string(number).c_str());
}

int Selected(HWND dialog, int id) { return static_cast<int>(SendItem(dialog, id, CB_GETCURSEL)); }

// Out of range selects nothing.
void Select(HWND dialog, int id, int index) {
  SendItem(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index));
}

// Selects the entry whose text is exactly `text`; the list's own search
// ignores case. Returns its index, or -1 with nothing selected.
int SelectText(HWND dialog, int id, const char* text) {
  const HWND list = GetDlgItem(dialog, id);
  const int count = static_cast<int>(SendMessageA(list, CB_GETCOUNT, 0, 0));
  StringBuffer entry;
  for (int i = 0; i < count; ++i) {
    ReadComboItemText(list, i, entry);
    if (std::strcmp(entry.Get(), text) == 0) {
      Select(dialog, id, i);
      return i;
    }
  }
  Select(dialog, id, -1);
  return -1;
}

void ReadSelectedText(HWND dialog, int id, StringBuffer& text) {
  ReadComboItemText(GetDlgItem(dialog, id), Selected(dialog, id), text);
}

// The first choice keeps the second one channel above it.
void FollowFirstChannel(HWND dialog, int firstId, int secondId, int32_t& first, int32_t& second) {
  const int k = Selected(dialog, firstId);
  if (k < 0) return;
  first = k + 1;
  second = k + 2;
  Select(dialog, secondId, k + 1);
}

// A newly chosen device starts again on its first two channels.
void TakeAudioDevice(HWND dialog, int id, StringBuffer& device, int32_t& first, int32_t& second) {
  StringBuffer text;
  ReadSelectedText(dialog, id, text);
  device.Set(text.Get());
  first = 1;
  second = 2;
}

void OnSelection(AppHost& host, HWND dialog, int id) {
  AppSettings& current = host.GetCurrentSettings();
  StringBuffer text;
  switch (id) {
    case IDC_DRIVER: {
      const int index = Selected(dialog, id);
      if (index < 0 || index == current.driverType) return;
      current.driverType = index;
      host.ResetAudioDriver();
      host.ProbeAudioDevices();
      if (!host.GetInputDeviceIds().empty())
        current.audioInDevice.Set(host.GetAudioDeviceName(host.GetInputDeviceIds()[0]).c_str());
      if (!host.GetOutputDeviceIds().empty())
        current.audioOutDevice.Set(host.GetAudioDeviceName(host.GetOutputDeviceIds()[0]).c_str());
      current.audioOut1 = 1;
      current.audioOut2 = 2;
      host.PopulateAudioControls(dialog);
      return;
    }
    case IDC_AUDIO_IN_DEVICE:
      TakeAudioDevice(dialog, id, current.audioInDevice, current.audioIn1, current.audioIn2);
      host.PopulateAudioDeviceCombos(dialog);
      return;
    case IDC_AUDIO_OUT_DEVICE:
      TakeAudioDevice(dialog, id, current.audioOutDevice, current.audioOut1, current.audioOut2);
      host.PopulateAudioDeviceCombos(dialog);
      return;
    case IDC_BUFFER_SIZE:
      ReadSelectedText(dialog, id, text);
      if (text.Length() > 0) current.bufferSize = std::atoi(text.Get());
      return;
    case IDC_SAMPLE_RATE: {
      const int index = Selected(dialog, id);
      if (index >= 0)
        current.sampleRate = static_cast<int32_t>(SendItem(dialog, id, CB_GETITEMDATA, index));
      return;
    }
    case IDC_AUDIO_IN_1:
      FollowFirstChannel(dialog, IDC_AUDIO_IN_1, IDC_AUDIO_IN_2, current.audioIn1,
                         current.audioIn2);
      return;
    case IDC_AUDIO_IN_2:
      Select(dialog, id, current.audioIn2 - 1);
      return;
    case IDC_AUDIO_OUT_1:
      FollowFirstChannel(dialog, IDC_AUDIO_OUT_1, IDC_AUDIO_OUT_2, current.audioOut1,
                         current.audioOut2);
      return;
    case IDC_AUDIO_OUT_2:
      Select(dialog, id, current.audioOut2 - 1);
      return;
    case IDC_MIDI_IN_DEVICE:
      ReadSelectedText(dialog, id, text);
      current.midiInDevice.Set(text.Get());
      host.SelectMidiPort(kDirectionInput, current.midiInDevice.Get());
      return;
    case IDC_MIDI_OUT_DEVICE:
      ReadSelectedText(dialog, id, text);
      current.midiOutDevice.Set(text.Get());
      host.SelectMidiPort(kDirectionOutput, current.midiOutDevice.Get());
      return;
    case IDC_MIDI_IN_CHANNEL:
      if (Selected(dialog, id) >= 0) current.midiInChannel = Selected(dialog, id);
      return;
    case IDC_MIDI_OUT_CHANNEL:
      if (Selected(dialog, id) >= 0) current.midiOutChannel = Selected(dialog, id);
      return;
    default:
      return;
  }
}

void OnInitDialog(AppHost& host, HWND dialog) {
  for (const int id :
       {IDC_AUDIO_IN_DEVICE, IDC_AUDIO_OUT_DEVICE, IDC_MIDI_IN_DEVICE, IDC_MIDI_OUT_DEVICE})
    Utf8SubclassEditControls(GetDlgItem(dialog, id));
  ClearList(dialog, IDC_DRIVER);
  AddEntry(dialog, IDC_DRIVER, "DirectSound");
  Select(dialog, IDC_DRIVER, host.GetCurrentSettings().driverType);
  // Devices may have come or gone since they were last listed.
  host.ProbeAudioDevices();
  host.PopulateAudioControls(dialog);
  host.PopulateMidiControls(dialog);
  host.GetBackupSettings().CopyFrom(host.GetCurrentSettings());
}

// Audio must run on what the dialog opened with, even after a failed Apply
// that the user undid by hand.
void OnCancel(AppHost& host) {
  AppSettings& current = host.GetCurrentSettings();
  const AppSettings& backup = host.GetBackupSettings();
  if (AudioSettingsEqual(current, backup) && MidiSettingsEqual(current, backup) &&
      host.IsAudioRunningOnCurrent())
    return;
  current.CopyFrom(backup);
  host.ResetAudioDriver();
  host.ProbeAudioDevices();
  host.StartAudio();
}

} // namespace

void ReadComboItemText(HWND combo, int index, StringBuffer& text) {
  text.Set("");
  if (index < 0) return;
  const LRESULT length = SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length == CB_ERR || length < 0) return;
  std::string entry(static_cast<size_t>(length) + 1, '\0');
  const LRESULT copied = SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(index),
                                      reinterpret_cast<LPARAM>(entry.data()));
  if (copied == CB_ERR) return;
  entry.resize(std::strlen(entry.c_str()));
  text.Set(entry.c_str());
}

void AppHost::PopulateAudioControls(HWND dialog) {
  PopulateAudioDeviceCombos(dialog);
  ClearList(dialog, IDC_BUFFER_SIZE);
  for (const char* size : kBufferSizes) AddEntry(dialog, IDC_BUFFER_SIZE, size);
  SelectText(dialog, IDC_BUFFER_SIZE, std::to_string(current_.bufferSize).c_str());
}

void AppHost::PopulateAudioDeviceCombos(HWND dialog) {
  EnableWindow(GetDlgItem(dialog, IDC_AUDIO_IN_DEVICE), TRUE);
  EnableWindow(GetDlgItem(dialog, IDC_DRIVER_CONFIG), FALSE);
  ClearList(dialog, IDC_AUDIO_IN_DEVICE);
  ClearList(dialog, IDC_AUDIO_OUT_DEVICE);
  for (const unsigned int id : inputDeviceIds_)
    AddEntry(dialog, IDC_AUDIO_IN_DEVICE, GetAudioDeviceName(id).c_str());
  for (const unsigned int id : outputDeviceIds_)
    AddEntry(dialog, IDC_AUDIO_OUT_DEVICE, GetAudioDeviceName(id).c_str());
  // The first entry stands in for a stored device that is not listed.
  const auto selectDevice = [dialog](int listId, const char* name) {
    const int index = SelectText(dialog, listId, name);
    if (index >= 0) return index;
    Select(dialog, listId, 0);
    return 0;
  };
  const int input = selectDevice(IDC_AUDIO_IN_DEVICE, current_.audioInDevice.Get());
  const int output = selectDevice(IDC_AUDIO_OUT_DEVICE, current_.audioOutDevice.Get());
  AudioDeviceInfo inputInfo;
  AudioDeviceInfo outputInfo;
  if (audio_ && !inputDeviceIds_.empty()) {
    inputInfo = audio_->DeviceInfo(inputDeviceIds_[static_cast<size_t>(input)]);
    PopulateInputChannelCombos(dialog, inputInfo.inputChannels);
  }
  if (audio_ && !outputDeviceIds_.empty()) {
    outputInfo = audio_->DeviceInfo(outputDeviceIds_[static_cast<size_t>(output)]);
    PopulateOutputChannelCombos(dialog, outputInfo.outputChannels);
  }
  PopulateSampleRates(dialog, inputInfo, outputInfo);
}

namespace {

// Channels 1 to N - 1 in both lists and N in the second only, so the second
// channel can always lie one above the first.
void FillChannelPair(HWND dialog, int firstId, int secondId, unsigned int channels, int first,
                     int second) {
  ClearList(dialog, firstId);
  ClearList(dialog, secondId);
  const int count = static_cast<int>(channels);
  for (int channel = 1; channel < count; ++channel) {
    AddNumber(dialog, firstId, channel);
    AddNumber(dialog, secondId, channel);
  }
  AddNumber(dialog, secondId, std::max(count, 1));
  Select(dialog, firstId, first - 1);
  Select(dialog, secondId, second - 1);
}

} // namespace

void AppHost::PopulateInputChannelCombos(HWND dialog, unsigned int channels) {
  FillChannelPair(dialog, IDC_AUDIO_IN_1, IDC_AUDIO_IN_2, channels, current_.audioIn1,
                  current_.audioIn2);
}

void AppHost::PopulateOutputChannelCombos(HWND dialog, unsigned int channels) {
  FillChannelPair(dialog, IDC_AUDIO_OUT_1, IDC_AUDIO_OUT_2, channels, current_.audioOut1,
                  current_.audioOut2);
}

void AppHost::PopulateSampleRates(HWND dialog, const AudioDeviceInfo& input,
                                  const AudioDeviceInfo& output) {
  ClearList(dialog, IDC_SAMPLE_RATE);
  for (const unsigned int rate : input.sampleRates) {
    const bool accepted =
        rate >= AppSettings::kMinSampleRate && rate <= AppSettings::kMaxSampleRate;
    if (!accepted || std::find(output.sampleRates.begin(), output.sampleRates.end(), rate) ==
                         output.sampleRates.end())
      continue;
    const int index = AddEntry(dialog, IDC_SAMPLE_RATE, std::to_string(rate).c_str());
    SendItem(dialog, IDC_SAMPLE_RATE, CB_SETITEMDATA, static_cast<WPARAM>(index), rate);
  }
  SelectText(dialog, IDC_SAMPLE_RATE, std::to_string(current_.sampleRate).c_str());
}

void AppHost::PopulateMidiControls(HWND dialog) {
  if (!midiIn_ || !midiOut_) return;
  // A port that is gone shows "off", which is what is open, but stays the
  // setting until the user chooses.
  const auto fillPorts = [this, dialog](int listId, int direction, const StringBuffer& setting) {
    ClearList(dialog, listId);
    for (const std::string& name : GetMidiPortNames(direction))
      AddEntry(dialog, listId, name.c_str());
    Select(dialog, listId, std::max(FindMidiPort(direction, setting.Get()), 0));
  };
  fillPorts(IDC_MIDI_IN_DEVICE, kDirectionInput, current_.midiInDevice);
  fillPorts(IDC_MIDI_OUT_DEVICE, kDirectionOutput, current_.midiOutDevice);
  for (const int listId : {IDC_MIDI_IN_CHANNEL, IDC_MIDI_OUT_CHANNEL}) {
    ClearList(dialog, listId);
    AddEntry(dialog, listId, "all");
    for (int channel = 1; channel <= kMidiChannels; ++channel) AddNumber(dialog, listId, channel);
  }
  Select(dialog, IDC_MIDI_IN_CHANNEL, current_.midiInChannel);
  Select(dialog, IDC_MIDI_OUT_CHANNEL, current_.midiOutChannel);
}

INT_PTR CALLBACK PreferencesDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
  AppHost* host = AppHost::Get();
  if (!host) return FALSE;
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog(*host, dialog);
      return TRUE;
    case WM_COMMAND: {
      const int id = LOWORD(wParam);
      switch (id) {
        case IDOK:
          if (!host->GetActiveSettings().Equals(host->GetCurrentSettings()) ||
              !host->IsAudioRunningOnCurrent())
            host->StartAudio();
          EndDialog(dialog, IDOK);
          break;
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          OnCancel(*host);
          break;
        case IDC_APPLY:
          host->StartAudio();
          break;
        default:
          if (HIWORD(wParam) == CBN_SELCHANGE) OnSelection(*host, dialog, id);
          break;
      }
      return TRUE;
    }
    default:
      return FALSE;
  }
}

INT_PTR RunPreferencesDialog(HINSTANCE module, HWND owner) {
  const INT_PTR result =
      DialogBoxParamW(module, MAKEINTRESOURCEW(IDD_PREFERENCES), owner, PreferencesDialogProc, 0);
  if (result == IDOK) {
    if (AppHost* host = AppHost::Get()) host->SaveSettings();
  }
  return result;
}

} // namespace plugkit
