#include "framework/core/plugin_api_base.h"

#include "framework/core/param_shape.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstring>

namespace plugkit {

namespace {
constexpr int kMaxNameBytes = 128;
constexpr int kHostNameBufferSize = 256;
} // namespace

IPluginAPIBase::IPluginAPIBase(const PlugConfig& config, PlugApi plugApi)
    : IPluginBase(config.nParams, config.nPresets),
      plugApi_(plugApi),
      tickDrainsParamQueue_(plugApi != PlugApi::VST3) {
  uniqueId_ = config.uniqueId;
  makerId_ = config.makerId;
  vendorVersion_ = config.vendorVersion;
  pluginName_.Set(config.pluginName, kMaxNameBytes);
  productName_.Set(config.productName, kMaxNameBytes);
  makerName_.Set(config.makerName, kMaxNameBytes);
  hasUI_ = config.hasUI;
  hostResize_ = config.hostResize;
  doesChunks_ = config.doesChunks;
  width_ = config.width;
  height_ = config.height;
  minWidth_ = std::min(config.minWidth, config.maxWidth);
  maxWidth_ = std::max(config.minWidth, config.maxWidth);
  minHeight_ = std::min(config.minHeight, config.maxHeight);
  maxHeight_ = std::max(config.minHeight, config.maxHeight);
  bundleId_.Set(config.bundleId);
  appGroupId_.Set(config.appGroupId);
}

IPluginAPIBase::~IPluginAPIBase() {
  // No tick may run on a half-destroyed instance.
  if (idleTimer_) idleTimer_->Stop();
  idleTimer_.reset();
}

void IPluginAPIBase::CreateIdleTimer() {
  if (idleTimer_) idleTimer_->Stop();
  idleTimer_.reset();
  idleTimer_.reset(Timer::Create([this](Timer& timer) { OnTimerTick(timer); }, IdleTimerPeriod));
}

void IPluginAPIBase::OnTimerTick(Timer&) {
  // Each queue is drained of what it held when the tick began, so a
  // producer that keeps pushing cannot hold the user-interface thread here.
  if (tickDrainsParamQueue_) {
    ParamChange change;
    for (int n = paramChangesToUI_.ElementsAvailable(); n > 0 && paramChangesToUI_.Pop(change); --n)
      SendParamValueToUI(change.paramIdx, change.value, false);
  }
  MidiMessage message;
  for (int n = midiToUI_.ElementsAvailable(); n > 0 && midiToUI_.Pop(message); --n)
    SendMidiToUI(message);
  SysExRecord record;
  for (int n = sysExToUI_.ElementsAvailable(); n > 0 && sysExToUI_.Pop(record); --n) {
    if (record.size < 0 || record.size > MaxSysExBytes) continue;
    SendSysExToUI(SysExMessage{record.offset, record.size, record.data});
  }
  OnIdleTick();
}

HostId IPluginAPIBase::HostIdFromName(const char* hostName) {
  // Names longer than the buffer are matched on their first 255 bytes.
  char lower[kHostNameBufferSize] = {};
  if (hostName) {
    for (int i = 0; i < kHostNameBufferSize - 1 && hostName[i]; ++i)
      lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(hostName[i])));
  }
  for (const HostMatch& match : kHostTable) {
    if (std::strstr(lower, match.text)) return match.id;
  }
  return kHostUnknown;
}

void IPluginAPIBase::SetHost(const char* hostName, int version) {
  hostName_.Set(hostName);
  hostId_ = HostIdFromName(hostName);
  hostVersion_ = version;
  PrepareForHost();
  OnHostDetected();
}

void IPluginAPIBase::SetParamNormalizedAndNotify(int paramIdx, double normalized) {
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  param->SetNormalized(normalized);
  SendParamValueToHost(paramIdx, normalized);
  OnParamChange(paramIdx, ParamChangeSource::UI, -1);
}

void IPluginAPIBase::SyncAllParamsToHost() {
  for (int i = 0, n = NParams(); i < n; ++i)
    SendParamValueToHost(i, GetParam(i)->NormalizeValue(GetParam(i)->Value()));
}

void IPluginAPIBase::BeginParamEditFromUI(int paramIdx) { BeginHostParamEdit(paramIdx); }

void IPluginAPIBase::SetParamValueFromUI(int paramIdx, double normalized) {
  IParam* param = GetParam(paramIdx);
  if (!param) return;
  SetParamNormalizedAndNotify(paramIdx, normalized);
  // Set again: the notifications above may have moved the value.
  param->SetNormalized(normalized);
  OnUIParamChange(paramIdx, ParamChangeSource::UI);
}

void IPluginAPIBase::EndParamEditFromUI(int paramIdx) { EndHostParamEdit(paramIdx); }

bool IPluginAPIBase::ResizeEditorFromUI(int width, int height, bool needsPlatformResize) {
  return needsPlatformResize ? ResizeEditorWindow(width, height) : true;
}

void IPluginAPIBase::SendMidiFromUI(const MidiMessage& message) { QueueMidiFromUI(message); }

void IPluginAPIBase::SendSysExFromUI(const SysExMessage& message) { QueueSysExFromUI(message); }

void IPluginAPIBase::SendMsgFromUI(int msgTag, int ctrlTag, int dataSize, const void* data) {
  HandleMessage(msgTag, ctrlTag, dataSize, data);
}

void IPluginAPIBase::QueueMidiFromUI(const MidiMessage& message) { midiFromUI_.Push(message); }

void IPluginAPIBase::QueueSysExFromUI(const SysExMessage& message) {
  if (message.size < 0 || message.size > MaxSysExBytes) return;
  SysExRecord record;
  record.offset = message.offset;
  record.size = message.size;
  if (message.data && message.size > 0)
    std::memcpy(record.data, message.data, static_cast<size_t>(message.size));
  sysExFromUI_.Push(record);
}

bool IPluginAPIBase::ParamsMatchValues(const double* values, int startIndex) const {
  const int n = NParams();
  if (n == 0) return true;
  if (!values) return false;
  for (int i = 0; i < n; ++i) {
    const float current = static_cast<float>(GetParam(i)->Value());
    const float other = static_cast<float>(values[startIndex + i]);
    if (!(std::fabs(current - other) < 1e-5f)) return false;
  }
  return true;
}

bool IPluginAPIBase::OnAboutRequest() { return false; }

bool IPluginAPIBase::OnManualRequest() { return false; }

void IPluginAPIBase::OnHostDetected() {}

void IPluginAPIBase::ListParamIndices(int count, std::vector<int>& indices) const {
  if (count >= NParams()) return;
  for (int i = 0; i < count; ++i) indices.push_back(i);
}

bool IPluginAPIBase::AreOpposite(int a, int b) const { return b == -a; }

void IPluginAPIBase::SpareHookB() {}

bool IPluginAPIBase::GetIndexText(int, char* text) {
  if (text) text[0] = 0;
  return false;
}

igraphics::IGraphics* IPluginAPIBase::GetGraphicsHandle() const { return nullptr; }

void IPluginAPIBase::OnIdleTick() {}

bool IPluginAPIBase::GetChannelColor(int& r, int& g, int& b) {
  r = g = b = 0;
  return false;
}

void IPluginAPIBase::GetChannelName(StringBuffer&) {}

int IPluginAPIBase::GetChannelIndex() { return 0; }

void IPluginAPIBase::GetChannelNamespace(StringBuffer&) {}

int IPluginAPIBase::GetChannelNamespaceIndex() { return 0; }

void IPluginAPIBase::QueueParamValueToUI(int paramIdx, double value, bool normalized) {
  const IParam* param = GetParam(paramIdx);
  if (!param) return;
  if (normalized) value = param->ConstrainValue(param->GetShape().NormalizedToValue(value, *param));
  paramChangesToUI_.Push(ParamChange{paramIdx, value});
}

void IPluginAPIBase::PrepareForHost() {}

bool IPluginAPIBase::ResizeEditorWindow(int, int) { return false; }

void IPluginAPIBase::BeginHostParamEdit(int) {}

void IPluginAPIBase::EndHostParamEdit(int) {}

void IPluginAPIBase::SendParamValueToHost(int, double) {}

void IPluginAPIBase::SpareHookC() {}

void IPluginAPIBase::SpareHookD() {}

} // namespace plugkit
