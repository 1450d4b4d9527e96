#include "framework/app/app_host.h"

namespace plugkit {

namespace {

AppHost* gAppHost = nullptr;

// Makes the list hold exactly count null entries; false when it could not
// grow that far.
bool ResetPointerList(PointerList<double>& list, int count) {
  while (list.Count() > 0) list.Remove(list.Count() - 1);
  for (int i = 0; i < count; ++i) list.Add(nullptr);
  return list.Count() == count;
}

} // namespace

AppHost* AppHost::Create(PluginFactory factory) {
  if (!factory) return nullptr;
  std::unique_ptr<AppHost> host(new AppHost());
  host->plug_ = factory(InstanceInfo{host.get()});
  if (!host->plug_) return nullptr;
  AppHost* previous = gAppHost;
  gAppHost = host.release();
  delete previous;
  return gAppHost;
}

AppHost* AppHost::Get() { return gAppHost; }

void AppHost::Destroy() {
  AppHost* host = gAppHost;
  gAppHost = nullptr;
  delete host;
}

AppHost::AppHost() : backends_(SystemDeviceBackends()) {}

// The audio thread is stopped and the MIDI input silenced before the device
// objects go, and they go before the plug-in instance.
AppHost::~AppHost() {
  closing_.store(true);
  CloseAudioStream();
  if (midiIn_) midiIn_->CancelCallback();
  if (midiOut_) midiOut_->ClosePort();
}

bool AppHost::PrepareAudioStream(double sampleRate, int bufferFrames) {
  bufferFrames_ = bufferFrames;
  frameCounter_ = 0;
  samplesElapsed_ = 0;
  callbackCount_ = 0;
  sampleRate_ = sampleRate;
  audioExiting_.store(false);
  audioDone_.store(false);
  buffersAsked_.store(0);
  plug_->SetBlockSize(SubBlockFrames);
  plug_->SetSampleRate(sampleRate);
  plug_->OnReset();
  const bool listsSized = ResetPointerList(inputPointers_, plug_->NChannels(kDirectionInput)) &&
                          ResetPointerList(outputPointers_, plug_->NChannels(kDirectionOutput));
  return listsSized && plug_->GetBlockSize() == SubBlockFrames;
}

bool AppHost::OpenEditorWindow(void* parent) { return plug_->OpenEditor(parent) != nullptr; }

void AppHost::CloseEditorWindow() { plug_->CloseEditor(); }

bool AppHost::SendMidiBytes(const uint8_t* bytes, int size) {
  if (!midiOut_ || !bytes || size <= 0) return false;
  return midiOut_->Send(bytes, static_cast<size_t>(size));
}

} // namespace plugkit
