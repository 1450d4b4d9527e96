#pragma once

#include "framework/app/instance_info.h"
#include "framework/core/plugin_api_base.h"
#include "framework/core/plugin_processor.h"
#include "framework/core/queue_messages.h"
#include "framework/core/ring_queue.h"

namespace plugkit {

// The plug-in API class of the standalone program: takes device audio a block
// at a time from the host's audio callback together with the MIDI the host's
// MIDI callback queued, and sends MIDI output through the host.
class IPluginApp : public IPluginAPIBase, public IPluginProcessor {
public:
  static constexpr int BlockSize = 512;

  IPluginApp(const InstanceInfo& info, const PlugConfig& config);
  ~IPluginApp() override;

  // Audio thread. Processes nFrames frames (1 to the block size) of the
  // device channels, after the MIDI and system-exclusive input queued since
  // the previous block. A count below 1 processes nothing and leaves the
  // queues for the next block; frames beyond the block size are not
  // processed and their output is silence.
  void ProcessHostBlock(double** inputs, double** outputs, int nFrames);

  bool SendMidiOut(const MidiMessage& message) override;
  // False for an empty message: there is nothing to send.
  bool SendSysExOut(const SysExMessage& message) override;
  // Goes out at once on the calling thread instead of through a queue.
  void SendSysExFromUI(const SysExMessage& message) override;
  // Keeps the size; the main window follows through its own messages, so
  // the result is always false.
  bool ResizeEditorWindow(int width, int height) override;

  // Filled by the host's MIDI input thread, drained by the audio thread.
  RingQueue<MidiMessage>& MidiIn() { return midiIn_; }
  RingQueue<SysExRecord>& SysExIn() { return sysExIn_; }
  AppHost* GetAppHost() const { return host_; }

private:
  void DrainMidiInput();

  AppHost* const host_;
  RingQueue<MidiMessage> midiIn_{MidiQueueSize};
  RingQueue<SysExRecord> sysExIn_{SysExQueueSize};
};

} // namespace plugkit
