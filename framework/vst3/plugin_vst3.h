#pragma once

#include "framework/vst3/host_context_menu.h"
#include "framework/vst3/plugin_vst3_controller_base.h"
#include "framework/vst3/plugin_vst3_parameter.h"
#include "framework/vst3/plugin_vst3_processor_base.h"

#include "pluginterfaces/vst/ivstchannelcontextinfo.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"

#include "framework/core/plugin_api_base.h"

#include <atomic>
#include <vector>

namespace plugkit {

class IPluginVST3View;

// SDK interfaces have no virtual destructors by design: their objects die through release().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// The plug-in API class of the VST3 module: one object that is at once the
// host's audio component and its edit controller. Every call from the host
// returns a result code; no exception leaves the object.
class IPluginVST3 : public IPluginAPIBase,
                    public IPluginVST3ProcessorBase,
                    public IPluginVST3ControllerBase,
                    public Steinberg::Vst::SingleComponentEffect,
                    public Steinberg::Vst::IMidiMapping,
                    public Steinberg::Vst::ChannelContext::IInfoListener {
public:
  explicit IPluginVST3(const PlugConfig& config);
  ~IPluginVST3() override;

  // FUnknown, FObject
  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  REFCOUNT_METHODS(Steinberg::Vst::SingleComponentEffect)
  OBJ_METHODS(IPluginVST3, Steinberg::Vst::SingleComponentEffect)

  // IPluginBase
  Steinberg::tresult PLUGIN_API initialize(Steinberg::FUnknown* context) override;
  Steinberg::tresult PLUGIN_API terminate() override;

  // IComponent
  Steinberg::tresult PLUGIN_API setActive(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API setState(Steinberg::IBStream* state) override;
  Steinberg::tresult PLUGIN_API getState(Steinberg::IBStream* state) override;

  // IAudioProcessor
  Steinberg::tresult PLUGIN_API setBusArrangements(Steinberg::Vst::SpeakerArrangement* inputs,
                                                   Steinberg::int32 numIns,
                                                   Steinberg::Vst::SpeakerArrangement* outputs,
                                                   Steinberg::int32 numOuts) override;
  Steinberg::tresult PLUGIN_API canProcessSampleSize(Steinberg::int32 symbolicSampleSize) override;
  Steinberg::uint32 PLUGIN_API getLatencySamples() override;
  Steinberg::tresult PLUGIN_API setupProcessing(Steinberg::Vst::ProcessSetup& setup) override;
  Steinberg::tresult PLUGIN_API setProcessing(Steinberg::TBool state) override;
  Steinberg::tresult PLUGIN_API process(Steinberg::Vst::ProcessData& data) override;
  Steinberg::uint32 PLUGIN_API getTailSamples() override;

  // IEditController
  Steinberg::Vst::ParamValue PLUGIN_API getParamNormalized(Steinberg::Vst::ParamID tag) override;
  // Refuses a value that is not finite; clamps one outside 0..1.
  Steinberg::tresult PLUGIN_API setParamNormalized(Steinberg::Vst::ParamID tag,
                                                   Steinberg::Vst::ParamValue value) override;

  // Gives a new editor view for the name "editor" when the plug-in has an
  // editor and the platform has editor windows; null otherwise.
  Steinberg::IPlugView* PLUGIN_API createView(Steinberg::FIDString name) override;

  // IUnitInfo
  Steinberg::tresult PLUGIN_API getProgramName(Steinberg::Vst::ProgramListID listId,
                                               Steinberg::int32 programIndex,
                                               Steinberg::Vst::String128 name) override;

  // IMidiMapping
  Steinberg::tresult PLUGIN_API getMidiControllerAssignment(
      Steinberg::int32 busIndex, Steinberg::int16 channel,
      Steinberg::Vst::CtrlNumber midiControllerNumber, Steinberg::Vst::ParamID& id) override;

  // IInfoListener
  Steinberg::tresult PLUGIN_API
  setChannelContextInfos(Steinberg::Vst::IAttributeList* list) override;

  // Framework operations
  void SyncAllParamsToHost() override;
  void SetParamValueFromUI(int paramIdx, double normalized) override;
  void InformHostParamDetailsChanged() override;
  bool GetChannelColor(int& r, int& g, int& b) override;
  void GetChannelName(StringBuffer& out) override;
  int GetChannelIndex() override;
  void GetChannelNamespace(StringBuffer& out) override;
  int GetChannelNamespaceIndex() override;
  bool ResizeEditorWindow(int width, int height) override;
  void BeginHostParamEdit(int paramIdx) override;
  void SendParamValueToHost(int paramIdx, double normalized) override;
  void EndHostParamEdit(int paramIdx) override;
  // Tells the host only about a real change, and never while a process call
  // runs: a change made then is passed on by the idle tick.
  void SetLatency(int samples) override;
  void OnIdleTick() override;
  void CloseEditor() override;
  // Asks the host for its context menu of the parameter, adds the
  // control's own items to it and pops it up. Without a host menu nothing
  // is shown; the control's menu never shows on its own in a host.
  bool ShowHostContextMenuForParam(igraphics::IControl& control, int paramIdx, float x,
                                   float y) override;

  // For the view: the host has given the editor a new size.
  void OnViewResized(int width, int height);
  // For the view: it holds the open editor from now on.
  void SetEditorView(IPluginVST3View& view) { view_ = &view; }
  // For the view: it no longer holds the editor, or is going away.
  void ForgetView(const IPluginVST3View& view);

protected:
  // The view createView hands out where the platform has editor windows;
  // null without an editor or for a name other than "editor".
  Steinberg::IPlugView* CreateEditorView(Steinberg::FIDString name);
  // Sets the registered parameter's value without telling anyone; false for
  // an unknown id.
  bool SetControllerParamNormalized(Steinberg::Vst::ParamID id, double normalized);
  // After a state was applied: the controller side takes every parameter's
  // new value and the bypass, then the plug-in hears of the restore.
  void PublishRestoredState(bool bypassed);
  // True while a process call of this instance runs.
  bool IsInProcessCall() const { return inProcessCall_.load(); }

  // Marks this instance as inside process while it lives, so calls made
  // from the block processing know where they run.
  class ProcessCallScope {
  public:
    explicit ProcessCallScope(IPluginVST3& plug) : plug_(plug) {
      previous_ = plug_.inProcessCall_.exchange(true);
    }
    ~ProcessCallScope() { plug_.inProcessCall_.store(previous_); }
    ProcessCallScope(const ProcessCallScope&) = delete;
    ProcessCallScope& operator=(const ProcessCallScope&) = delete;

  private:
    IPluginVST3& plug_;
    bool previous_ = false;
  };

private:
  friend class IPluginVST3ProcessorBase;

  Steinberg::tresult ReadDefaultState(Steinberg::IBStream* state);
  Steinberg::tresult WriteDefaultState(Steinberg::IBStream* state);
  void RestartComponent(Steinberg::int32 flags);
  // Menu targets the host still holds stay, detached; the others go.
  void DetachMenuTargets();

  // A member rather than thread-local storage, which mingw emulates with
  // allocations and locks on a thread's first use.
  std::atomic<bool> inProcessCall_{false};
  std::atomic<bool> latencyRestartPending_{false};
  // The view that holds the open editor, while it does: other views a host
  // makes meanwhile never take the editor's frame from it.
  IPluginVST3View* view_ = nullptr;
  // Targets given to the host's context menus, until the host lets go.
  std::vector<Steinberg::IPtr<IControlMenuTarget>> menuTargets_;
};
#pragma GCC diagnostic pop

} // namespace plugkit
