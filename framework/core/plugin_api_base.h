#pragma once

#include "framework/core/host_id.h"
#include "framework/core/plug_api.h"
#include "framework/core/plug_config.h"
#include "framework/core/plugin_base.h"
#include "framework/core/queue_messages.h"
#include "framework/core/ring_queue.h"
#include "framework/core/timer.h"

#include <memory>
#include <vector>

namespace plugkit {

// The base of every plug-in API class: copies the configuration into the
// instance, identifies the host, owns the queues between the audio thread and
// the user-interface thread, drains the to-editor queues on a 20 ms idle tick
// and routes parameter edits from the editor to the host.
class IPluginAPIBase : public IPluginBase {
public:
  static constexpr int IdleTimerPeriod = 20;
  static constexpr int ParamQueueSize = 513;
  static constexpr int MidiQueueSize = 33;
  static constexpr int SysExQueueSize = 5;

  IPluginAPIBase(const PlugConfig& config, PlugApi plugApi);
  ~IPluginAPIBase() override;

  void SyncAllParamsToHost() override;
  void BeginParamEditFromUI(int paramIdx) override;
  void SetParamValueFromUI(int paramIdx, double normalized) override;
  void EndParamEditFromUI(int paramIdx) override;
  bool ResizeEditorFromUI(int width, int height, bool needsPlatformResize) override;
  void SendMidiFromUI(const MidiMessage& message) override;
  void SendSysExFromUI(const SysExMessage& message) override;
  void SendMsgFromUI(int msgTag, int ctrlTag, int dataSize, const void* data) override;
  void QueueMidiFromUI(const MidiMessage& message) override;
  // Messages of more than MaxSysExBytes (or of a negative size) are refused:
  // they do not fit a queue record.
  void QueueSysExFromUI(const SysExMessage& message) override;

  // True when every parameter's value matches values[startIndex + i] at
  // 32-bit float precision.
  virtual bool ParamsMatchValues(const double* values, int startIndex) const;
  virtual bool OnAboutRequest();
  virtual bool OnManualRequest();
  virtual void OnHostDetected();
  // Appends 0..count-1 when count is below the number of parameters.
  virtual void ListParamIndices(int count, std::vector<int>& indices) const;
  virtual bool AreOpposite(int a, int b) const;
  // Never called: keeps the virtual-table slot order the framework's classes rely on.
  virtual void SpareHookB();
  virtual bool GetIndexText(int index, char* text);
  // The open editor's graphics context; the base never opens one.
  virtual igraphics::IGraphics* GetGraphicsHandle() const;
  virtual void OnIdleTick();
  virtual bool GetChannelColor(int& r, int& g, int& b);
  virtual void GetChannelName(StringBuffer& out);
  virtual int GetChannelIndex();
  virtual void GetChannelNamespace(StringBuffer& out);
  virtual int GetChannelNamespaceIndex();
  // Audio side: never allocates or blocks; a change that finds the queue
  // full is dropped.
  virtual void QueueParamValueToUI(int paramIdx, double value, bool normalized);
  virtual void PrepareForHost();
  virtual bool ResizeEditorWindow(int width, int height);
  virtual void BeginHostParamEdit(int paramIdx);
  virtual void EndHostParamEdit(int paramIdx);
  virtual void SendParamValueToHost(int paramIdx, double normalized);
  // Never called: keep the virtual-table slot order the framework's classes rely on.
  virtual void SpareHookC();
  virtual void SpareHookD();

  // Replaces any previous idle timer. API classes call it at the end of
  // their constructors.
  void CreateIdleTimer();
  void OnTimerTick(Timer& timer);
  // 0 for a name that matches no known host.
  static HostId HostIdFromName(const char* hostName);
  void SetHost(const char* hostName, int version);
  void SetParamNormalizedAndNotify(int paramIdx, double normalized);

  PlugApi GetPlugApi() const { return plugApi_; }

protected:
  const Timer* GetIdleTimer() const { return idleTimer_.get(); }

  RingQueue<ParamChange> paramChangesToUI_{ParamQueueSize};
  RingQueue<MidiMessage> midiFromUI_{MidiQueueSize};
  RingQueue<MidiMessage> midiToUI_{MidiQueueSize};
  RingQueue<SysExRecord> sysExFromUI_{SysExQueueSize};
  RingQueue<SysExRecord> sysExToUI_{SysExQueueSize};

private:
  const PlugApi plugApi_;
  // A VST3 host carries parameter changes to the editor through its own
  // controller path, so that build's tick leaves the parameter queue alone.
  const bool tickDrainsParamQueue_;
  // Declared last so that even without the destructor's explicit stop it
  // would go before the queues.
  std::unique_ptr<Timer> idleTimer_;
};

} // namespace plugkit
