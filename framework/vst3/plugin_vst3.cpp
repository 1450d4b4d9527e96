#include "framework/vst3/plugin_vst3.h"

#include "framework/vst3/host_call_guard.h"
#include "framework/vst3/utf16_text.h"

#include "framework/core/param_shape.h"
#include "pluginterfaces/vst/ivsthostapplication.h"

#include <algorithm>
#include <cmath>

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kHostNameBytes = 128;

} // namespace

IPluginVST3::IPluginVST3(const PlugConfig& config)
    : IPluginAPIBase(config, PlugApi::VST3), IPluginVST3ProcessorBase(config, *this) {
  CreateIdleTimer();
}

IPluginVST3::~IPluginVST3() { DetachMenuTargets(); }

tresult PLUGIN_API IPluginVST3::queryInterface(const TUID iid, void** obj) {
  QUERY_INTERFACE(iid, obj, IMidiMapping::iid, IMidiMapping)
  QUERY_INTERFACE(iid, obj, ChannelContext::IInfoListener::iid, ChannelContext::IInfoListener)
  return SingleComponentEffect::queryInterface(iid, obj);
}

tresult PLUGIN_API IPluginVST3::initialize(FUnknown* context) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    if (SingleComponentEffect::initialize(context) != kResultOk) return kResultFalse;
    SetupBuses();
    SetupParameters(*this, *this, parameters, GetPlugType() == 1, DoesMidiIn());
    if (GetHost() == kHostUninit && context) {
      FUnknownPtr<IHostApplication> app(context);
      String128 name = {};
      if (app && app->getName(name) == kResultOk) {
        char utf8[kHostNameBytes + 1];
        Utf16ToUtf8(name, 128, utf8, sizeof(utf8));
        SetHost(utf8, 0);
      }
    }
    OnHostDetected();
    OnAllParamsChange(ParamChangeSource::Reset);
    return kResultOk;
  });
}

tresult PLUGIN_API IPluginVST3::terminate() {
  return GuardHostCall(kResultFalse,
                       [&]() -> tresult { return SingleComponentEffect::terminate(); });
}

tresult PLUGIN_API IPluginVST3::setActive(TBool state) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    OnActivate(state != 0);
    return kResultOk;
  });
}

tresult PLUGIN_API IPluginVST3::setState(IBStream* state) {
  return GuardHostCall(kResultFalse, [&]() -> tresult { return ReadDefaultState(state); });
}

tresult PLUGIN_API IPluginVST3::getState(IBStream* state) {
  return GuardHostCall(kResultFalse, [&]() -> tresult { return WriteDefaultState(state); });
}

tresult PLUGIN_API IPluginVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                   SpeakerArrangement* outputs, int32 numOuts) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    return ApplyBusArrangements(inputs, numIns, outputs, numOuts) ? kResultOk : kResultFalse;
  });
}

tresult PLUGIN_API IPluginVST3::canProcessSampleSize(int32 symbolicSampleSize) {
  return CanProcessSampleSize(symbolicSampleSize) ? kResultOk : kResultFalse;
}

uint32 PLUGIN_API IPluginVST3::getLatencySamples() { return static_cast<uint32>(GetLatency()); }

tresult PLUGIN_API IPluginVST3::setupProcessing(ProcessSetup& setup) {
  return GuardHostCall(
      kResultFalse, [&]() -> tresult { return SetupProcessing(setup) ? kResultOk : kResultFalse; });
}

tresult PLUGIN_API IPluginVST3::setProcessing(TBool state) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    return SetProcessing(state != 0) ? kResultOk : kResultFalse;
  });
}

tresult PLUGIN_API IPluginVST3::process(ProcessData& data) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    const ProcessCallScope scope(*this);
    Process(data);
    return kResultOk;
  });
}

uint32 PLUGIN_API IPluginVST3::getTailSamples() {
  const int tail = GetTailLength();
  if (tail == 0x7FFFFFFF) return kInfiniteTail;
  return tail > 0 ? static_cast<uint32>(tail) : kNoTail;
}

ParamValue PLUGIN_API IPluginVST3::getParamNormalized(ParamID tag) {
  Parameter* parameter = parameters.getParameter(tag);
  return parameter ? parameter->getNormalized() : 0.0;
}

tresult PLUGIN_API IPluginVST3::setParamNormalized(ParamID tag, ParamValue value) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    // No value outside 0..1 reaches the controller, the plug-in or the editor.
    if (!std::isfinite(value)) return kResultFalse;
    value = std::clamp(value, 0.0, 1.0);
    if (!SetControllerParamNormalized(tag, value)) return kResultFalse;
    if (tag < static_cast<ParamID>(NParams())) {
      const int paramIdx = static_cast<int>(tag);
      GetParam(paramIdx)->SetNormalized(value);
      OnUIParamChange(paramIdx, ParamChangeSource::Host);
      SendParamValueToUI(paramIdx, value, true);
    }
    return kResultOk;
  });
}

tresult PLUGIN_API IPluginVST3::getProgramName(ProgramListID listId, int32 programIndex,
                                               String128 name) {
  if (listId != static_cast<ProgramListID>(kPresetParamId) || NPresets() < 1 || !name)
    return kResultFalse;
  Utf8ToUtf16(PresetNameAt(programIndex), name, 128);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                            CtrlNumber midiControllerNumber,
                                                            ParamID& id) {
  // Without controller parameters an id given out here would name nothing.
  if (!HasMidiControllerParameters() || busIndex != 0 || channel != 0 || midiControllerNumber < 0 ||
      midiControllerNumber >= kMidiCCParamsPerChannel)
    return kResultFalse;
  id = kMidiCCParamStartId +
       static_cast<ParamID>(kMidiCCParamsPerChannel * channel + midiControllerNumber);
  return kResultOk;
}

tresult PLUGIN_API IPluginVST3::setChannelContextInfos(IAttributeList* list) {
  return GuardHostCall(kResultFalse, [&]() -> tresult {
    return ReadChannelContext(list) ? kResultOk : kResultFalse;
  });
}

void IPluginVST3::SyncAllParamsToHost() {
  startGroupEdit();
  IPluginAPIBase::SyncAllParamsToHost();
  finishGroupEdit();
}

void IPluginVST3::SetParamValueFromUI(int paramIdx, double normalized) {
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  SetParamNormalizedAndNotify(paramIdx, normalized);
  param->Set(param->GetShape().NormalizedToValue(normalized, *param));
  OnUIParamChange(paramIdx, ParamChangeSource::UI);
}

void IPluginVST3::InformHostParamDetailsChanged() { RestartComponent(kParamTitlesChanged); }

bool IPluginVST3::GetChannelColor(int& r, int& g, int& b) {
  r = (channelColor_ >> 16) & 0xFF;
  g = (channelColor_ >> 8) & 0xFF;
  b = channelColor_ & 0xFF;
  return true;
}

void IPluginVST3::GetChannelName(StringBuffer& out) { out.Set(channelName_.Get()); }

int IPluginVST3::GetChannelIndex() { return channelIndex_; }

void IPluginVST3::GetChannelNamespace(StringBuffer& out) { out.Set(channelNamespace_.Get()); }

int IPluginVST3::GetChannelNamespaceIndex() { return channelNamespaceIndex_; }

void IPluginVST3::BeginHostParamEdit(int paramIdx) { beginEdit(static_cast<ParamID>(paramIdx)); }

void IPluginVST3::SendParamValueToHost(int paramIdx, double normalized) {
  // Hosts do not echo an edit that starts in the plug-in back through
  // setParamNormalized, so the controller takes the value it announces.
  SetControllerParamNormalized(static_cast<ParamID>(paramIdx), normalized);
  performEdit(static_cast<ParamID>(paramIdx), normalized);
}

void IPluginVST3::EndHostParamEdit(int paramIdx) { endEdit(static_cast<ParamID>(paramIdx)); }

void IPluginVST3::SetLatency(int samples) {
  const int previous = GetLatency();
  IPluginProcessor::SetLatency(samples);
  if (GetLatency() == previous) return;
  if (IsInProcessCall())
    latencyRestartPending_.store(true);
  else
    RestartComponent(kLatencyChanged);
}

void IPluginVST3::OnIdleTick() {
  if (latencyRestartPending_.exchange(false)) RestartComponent(kLatencyChanged);
  IPluginAPIBase::OnIdleTick();
}

bool IPluginVST3::SetControllerParamNormalized(ParamID id, double normalized) {
  Parameter* parameter = parameters.getParameter(id);
  if (!parameter) return false;
  parameter->setNormalized(normalized);
  return true;
}

void IPluginVST3::RestartComponent(int32 flags) {
  if (IComponentHandler* handler = getComponentHandler()) handler->restartComponent(flags);
}

} // namespace plugkit
