#include "framework/app/app_host.h"
#include "framework/core/channel_io.h"
#include "framework/core/param_change_source.h"

namespace plugkit {

bool AppHost::Init() {
  plug_->SetHost("standalone", plug_->GetPluginVersion(false));
  LoadSettings();
  ResetAudioDriver();
  ProbeAudioDevices();
  CreateMidiPorts();
  ProbeMidiPorts();
  SelectMidiPort(kDirectionInput, current_.midiInDevice.Get());
  SelectMidiPort(kDirectionOutput, current_.midiOutDevice.Get());
  plug_->OnAllParamsChange(ParamChangeSource::Reset);
  plug_->OnActivate(true);
  return true;
}

} // namespace plugkit
