#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "tarvex/editor/editor_plugin.h"
#include "tarvex/engine/feedback_engine.h"
#include "tarvex/engine/param_table.h"
#include "tarvex/plugin/bank_store.h"
#include "tarvex/plugin/tarvex_api_base.h"

namespace tarvex {

// One instance of the feedback suppressor: its 192 parameters, 16 factory
// presets, the A/B banks and the engine, joined to the framework through the
// plug-in API class of its deliverable, and to its editor through the
// editor's plug-in interface.
class Tarvex : public TarvexApiBase, public EditorPlugin {
public:
  static constexpr int kChunkFrames = 512;

  explicit Tarvex(const TarvexInstanceInfo& info);
  ~Tarvex() override;

  // Activation and reset prepare the engine for the processor's sample rate.
  // A rate the engine refuses leaves the instance not ready (it outputs
  // silence) with its previous sample rate; IsReady tells the caller.
  void OnActivate(bool active) override;
  void OnReset() override;
  bool IsReady() const { return ready_.load(); }

  // Audio thread: any block length, cut into chunks of at most 512 frames.
  void ProcessBlock(float** inputs, float** outputs, int nFrames) override;

  // User-interface thread. With notifyHost each value is bracketed as a host
  // edit.
  void ApplyParamValues(const ParamValues& values, bool notifyHost);
  void LoadFactoryPreset(int index) override;
  // The first factory preset the current values match, or -1.
  int FindMatchingFactoryPreset() const override;
  void UpdateTailLength();
  // Samples; -1 for an infinite tail.
  std::int32_t TailLength() const { return tailLength_.load(); }
  double SampleRate() const { return sampleRate_.load(); }
  int CurrentPresetIndex() const { return presetIndex_.load(); }
  // 0 while bank A is active, 1 for bank B.
  int ActiveBank() const override { return activeBank_.load(); }

  void OnParamValueChange(int paramIdx) override;
  void OnAllParamsChange(plugkit::ParamChangeSource source) override;

  bool SerializeState(plugkit::ByteChunk& chunk) override;
  int UnserializeState(const plugkit::ByteChunk& chunk, int startPos) override;
  // Both report whether they did anything: they refuse while another state
  // or bank operation runs, or when the engine's learned filters cannot be
  // read or handed over.
  bool CopyToOtherBank() override;
  bool SwapBanks() override;

  // The editor's view of the instance; the engine calls are its lock-free
  // ones.
  plugkit::igraphics::IGEditorDelegate& Delegate() override { return *this; }
  void ReadSnapshot(EngineSnapshot& out) const override { engine_->ReadSnapshot(out); }
  void ReadMeters(EngineMeters& out) const override { engine_->ReadMeters(out); }
  bool QueueCommand(unsigned bits) override { return engine_->QueueCommand(bits); }

  // The editor keeps its 1180 x 800 layout and scales to the parent window
  // between 85 % and 150 %, resizing the window when the scale had to be
  // limited.
  void OnParentWindowResize(int width, int height) override;
  // The window that resize gives the editor: the layout's aspect at the
  // scale it fits, within the scale range.
  void ConstrainParentWindowSize(int& width, int& height) const override;

protected:
  // The plug-in module sets these for each block it processes: bit 0 marks
  // input 0 silent, bit 1 input 1; the host bypass is crossfaded by the
  // engine.
  std::atomic<std::uint64_t> inputSilenceFlags_{0};
  std::atomic<bool> hostBypass_{false};

private:
  ParamValues CurrentValues() const;
  // Audio thread: the current values to the engine, as loaded values when
  // some of them may come from ApplyParamValues.
  void PassValuesToEngine();
  void PrepareEngine();
  // Copies one processed chunk to the host's outputs; one output gets the
  // mean of both engine channels.
  void WriteOutputs(float** outputs, int nOut, int offset, int frames) const;
  int RestorePreset(const plugkit::ByteChunk& chunk, int startPos);
  int RestoreState(const plugkit::ByteChunk& chunk, int startPos);

  std::unique_ptr<FeedbackEngine> engine_;
  BankStore bankStore_;
  std::atomic<std::uint8_t> activeBank_{0};
  std::atomic<std::int32_t> presetIndex_{0};
  std::atomic<std::int32_t> stateGuard_{0};
  std::atomic<double> sampleRate_{48000.0};
  std::atomic<std::int32_t> tailLength_{0};
  std::atomic<bool> ready_{false};
  // Odd while ApplyParamValues stores values; the audio thread remembers the
  // count it last saw.
  std::atomic<std::uint32_t> valueLoads_{0};
  std::uint32_t valueLoadsSeen_ = 0;
  // Set while the instance resizes its own editor, so the parent window's
  // answering resize does not come back in.
  bool resizeGuard_ = false;
  float engineOut_[kEngineChannels][kChunkFrames] = {};
};

} // namespace tarvex
