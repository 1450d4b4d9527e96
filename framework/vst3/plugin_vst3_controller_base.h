#pragma once

#include "framework/vst3/plugin_vst3_parameter.h"

#include "pluginterfaces/vst/ivstattributes.h"

#include "framework/core/editor_delegate.h"
#include "framework/core/string_buffer.h"

#include <cstdint>

namespace plugkit {

// The controller half of the VST3 plug-in object: builds the host's
// parameter objects and units from the plug-in's parameters, and keeps what
// the host says about the mixer channel the plug-in sits on.
class IPluginVST3ControllerBase {
public:
  IPluginVST3ControllerBase() = default;
  IPluginVST3ControllerBase(const IPluginVST3ControllerBase&) = delete;
  IPluginVST3ControllerBase& operator=(const IPluginVST3ControllerBase&) = delete;
  virtual ~IPluginVST3ControllerBase() = default;

  // Registers Bypass (not for instruments), one parameter per IParam with a
  // unit per group, and with MIDI input the controller parameters of
  // channel 0.
  void SetupParameters(const IEditorDelegate& plug, Steinberg::Vst::EditControllerEx1& controller,
                       Steinberg::Vst::ParameterContainer& parameters, bool isInstrument,
                       bool doesMidiIn);
  // Reads each key the list holds; false for a null list.
  bool ReadChannelContext(Steinberg::Vst::IAttributeList* list);
  bool HasMidiControllerParameters() const { return hasMidiControllerParams_; }

protected:
  StringBuffer channelName_{128};
  StringBuffer channelNamespace_{128};
  StringBuffer channelUid_{128};
  int32_t channelNamespaceIndex_ = 0;
  int32_t channelIndex_ = 0;
  int32_t channelColor_ = 0;

private:
  bool hasMidiControllerParams_ = false;
};

} // namespace plugkit
