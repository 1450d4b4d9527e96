#include "framework/app/plugin_app.h"

#include "framework/app/app_host.h"
#include "framework/core/channel_io.h"

namespace plugkit {

namespace {
// An instrument makes its sound from MIDI; its inputs stay unconnected.
constexpr int kPlugTypeInstrument = 1;
} // namespace

IPluginApp::IPluginApp(const InstanceInfo& info, const PlugConfig& config)
    : IPluginAPIBase(config, PlugApi::Standalone), IPluginProcessor(config), host_(info.host) {
  SetChannelConnections(kDirectionInput, 0, NChannels(kDirectionInput), true);
  SetChannelConnections(kDirectionOutput, 0, NChannels(kDirectionOutput), true);
  SetBlockSize(BlockSize);
  CreateIdleTimer();
}

IPluginApp::~IPluginApp() = default;

void IPluginApp::ProcessHostBlock(double** inputs, double** outputs, int nFrames) {
  if (nFrames < 1) return;
  const int nIn = NChannels(kDirectionInput);
  const int nOut = NChannels(kDirectionOutput);
  SetChannelConnections(kDirectionInput, 0, nIn, GetPlugType() != kPlugTypeInstrument);
  SetChannelConnections(kDirectionOutput, 0, nOut, true);
  AttachDoubleBuffers(kDirectionInput, 0, nIn, inputs, nFrames);
  AttachDoubleBuffers(kDirectionOutput, 0, nOut, outputs, nFrames);
  DrainMidiInput();
  ProcessDoubleBuffers(nFrames);
}

// Each queue is drained of what it held when the block began, so a producer
// that keeps pushing cannot hold the audio thread here.
void IPluginApp::DrainMidiInput() {
  MidiMessage message;
  for (int n = midiIn_.ElementsAvailable(); n > 0 && midiIn_.Pop(message); --n) {
    ProcessMidiMessage(message);
    midiToUI_.Push(message);
  }
  SysExRecord record;
  for (int n = sysExIn_.ElementsAvailable(); n > 0 && sysExIn_.Pop(record); --n) {
    if (record.size < 0 || record.size > MaxSysExBytes) continue;
    ProcessSysEx(SysExMessage{record.offset, record.size, record.data});
    sysExToUI_.Push(record);
  }
  for (int n = midiFromUI_.ElementsAvailable(); n > 0 && midiFromUI_.Pop(message); --n)
    ProcessMidiMessage(message);
}

bool IPluginApp::SendMidiOut(const MidiMessage& message) {
  if (!DoesMidiOut() || !host_) return false;
  const uint8_t bytes[3] = {message.status, message.data1, message.data2};
  return host_->SendMidiBytes(bytes, 3);
}

bool IPluginApp::SendSysExOut(const SysExMessage& message) {
  if (!DoesMidiOut() || !host_) return false;
  if (message.size <= 0 || !message.data) return false;
  return host_->SendMidiBytes(message.data, message.size);
}

void IPluginApp::SendSysExFromUI(const SysExMessage& message) { SendSysExOut(message); }

bool IPluginApp::ResizeEditorWindow(int width, int height) {
  width_ = width;
  height_ = height;
  return false;
}

} // namespace plugkit
