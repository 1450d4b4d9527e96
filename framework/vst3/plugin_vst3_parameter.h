#pragma once

// The SDK's single-component header renames the controller's state methods
// while it is read; it must come before any other SDK controller header.
#include "public.sdk/source/vst/vstsinglecomponenteffect.h"

#include "public.sdk/source/vst/vstparameters.h"

#include "framework/core/param.h"

namespace plugkit {

// Parameter ids the host sees besides the parameter indices.
constexpr Steinberg::Vst::ParamID kBypassParamId = 0x10000;
constexpr Steinberg::Vst::ParamID kPresetParamId = 0x10001;
constexpr Steinberg::Vst::ParamID kMidiCCParamStartId = 0x10002;
constexpr int kMidiCCParamsPerChannel = 130;

// The host's view of one IParam: the value lives in the IParam, texts and
// value mapping come from it.
class IPluginVST3Parameter : public Steinberg::Vst::Parameter {
public:
  IPluginVST3Parameter(const IParam& param, Steinberg::Vst::ParamID id,
                       Steinberg::Vst::UnitID unitId);

  void toString(Steinberg::Vst::ParamValue normalized,
                Steinberg::Vst::String128 string) const override;
  // Refuses text that is neither one of the parameter's display texts nor a
  // finite number, so a typing slip in the host never moves the parameter.
  bool fromString(const Steinberg::Vst::TChar* string,
                  Steinberg::Vst::ParamValue& normalized) const override;
  Steinberg::Vst::ParamValue toPlain(Steinberg::Vst::ParamValue normalized) const override;
  Steinberg::Vst::ParamValue toNormalized(Steinberg::Vst::ParamValue plainValue) const override;

  OBJ_METHODS(IPluginVST3Parameter, Parameter)

private:
  const IParam& param_;
};

// "Bypass", a two-entry list ("off", "on") flagged as the host's bypass.
class IPluginVST3BypassParameter : public Steinberg::Vst::StringListParameter {
public:
  IPluginVST3BypassParameter();

  OBJ_METHODS(IPluginVST3BypassParameter, StringListParameter)
};

} // namespace plugkit
