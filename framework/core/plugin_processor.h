#pragma once

#include "framework/core/channel_data.h"
#include "framework/core/channel_io.h"
#include "framework/core/heap_buffer.h"
#include "framework/core/latency_delay_line.h"
#include "framework/core/plug_config.h"
#include "framework/core/pointer_list.h"
#include "framework/core/queue_messages.h"
#include "framework/core/string_buffer.h"
#include "framework/core/transport_info.h"

#include <memory>

namespace plugkit {

// The audio side of a plug-in instance: channel configurations, the channel
// buffers the host's audio is bound to, block processing and MIDI output.
// Block processing allocates nothing; buffers are sized by SetBlockSize first.
class IPluginProcessor {
public:
  explicit IPluginProcessor(const PlugConfig& config);
  IPluginProcessor(const IPluginProcessor&) = delete;
  IPluginProcessor& operator=(const IPluginProcessor&) = delete;
  virtual ~IPluginProcessor();

  // Passes each input to the output of the same number; other outputs get
  // silence.
  virtual void ProcessBlock(float** inputs, float** outputs, int nFrames);
  // MIDI through.
  virtual void ProcessMidiMessage(const MidiMessage& message);
  virtual void ProcessSysEx(const SysExMessage& message);
  virtual void OnReset();
  virtual void OnActivate(bool active);
  virtual bool SendMidiOut(const MidiMessage& message) = 0;
  // Sends every message even after one fails; true only when all succeeded.
  virtual bool SendMidiOutList(const MidiMessage* messages, int count);
  virtual bool SendSysExOut(const SysExMessage& message);
  virtual void GetBusName(int direction, int busIdx, int nBuses, StringBuffer& out) const;
  // Negative latencies are taken as 0.
  virtual void SetLatency(int samples);
  virtual void SetTailLength(int samples);

  // Parses a channel-I/O text such as "1-1 2-2" (configurations separated by
  // blanks, input and output buses separated by "-", buses by ".", "*" for
  // any channel count). Configurations with a bus beyond the limits of
  // channel_io.h are left out. Returns the number of configurations appended.
  static int ParseChannelIO(const char* text, PointerList<ChannelIOConfig>& configs, int& maxIn,
                            int& maxOut, int& maxInBuses, int& maxOutBuses);

  void SetChannelConnections(int direction, int first, int count, bool connected);
  int ConnectedChannelCount(int direction) const;
  bool IsChannelConnected(int direction, int channel) const;

  // Frames beyond the block size are never written to the scratch buffers:
  // they are not processed, and in the host's output they become silence.
  void AttachDoubleBuffers(int direction, int first, int count, double** host, int nFrames);
  void ProcessDoubleBuffers(int nFrames);
  // Lets connected channels use the host's 32-bit buffers directly.
  void BindHostChannelPointers(int direction, int first, int count, float** pointers);
  void ProcessScratchBuffers(int nFrames);
  void PassThroughFloat(int nFrames);
  void PassThroughDouble(int nFrames);
  void ClearScratchBuffers();

  // Before processing starts: sizes every scratch buffer to n zeroed floats.
  void SetBlockSize(int n);
  void RebuildLatencyDelayLine();

  // The first configuration whose buses have exactly these channel counts, in
  // order; -1 when none.
  int FindIoConfigForBusCounts(const int* inputCounts, int nInputBuses, const int* outputCounts,
                               int nOutputBuses) const;
  // The most buses of the direction in any configuration; ties go to the
  // later configuration, whose index is returned through configIdx (-1 when
  // there are no configurations).
  int MostBusesInConfigs(int direction, int& configIdx) const;
  // -1 when the first configuration has a wildcard bus in this direction.
  int MaxChannelsOnBus(int direction, int busIdx) const;

  int NChannels(int direction) const;
  int NIOConfigs() const { return ioConfigs_.Count(); }
  const ChannelIOConfig* GetIOConfig(int idx) const { return ioConfigs_.Get(idx); }

  int GetPlugType() const { return plugType_; }
  bool DoesMidiIn() const { return doesMidiIn_; }
  bool DoesMidiOut() const { return doesMidiOut_; }
  bool DoesMpe() const { return doesMpe_; }
  int GetLatency() const { return latency_; }
  int GetTailLength() const { return tailLength_; }
  int GetBlockSize() const { return blockSize_; }
  double GetSampleRate() const { return sampleRate_; }
  void SetSampleRate(double sampleRate) { sampleRate_ = sampleRate; }
  bool IsBypassed() const { return bypassed_; }
  void SetBypassed(bool bypassed) { bypassed_ = bypassed; }
  bool IsOffline() const { return offline_; }
  void SetOffline(bool offline) { offline_ = offline; }
  const TransportInfo& GetTransport() const { return transport_; }
  void SetTransport(const TransportInfo& transport) { transport_ = transport; }
  const LatencyDelayLine* GetLatencyDelayLine() const { return latencyDelayLine_.get(); }

private:
  ChannelData* Channel(int direction, int channel) const;
  // Calls bind (channel, host buffer) for each connected channel of first ..
  // first + count - 1 that exists, in order; each takes the host's next
  // pointer (null when the host gave no array), a disconnected one none.
  template <typename Sample, typename Bind>
  void ForEachConnectedChannel(int direction, int first, int count, Sample** host, Bind&& bind);
  float** ChannelPointers(int direction) const;
  int FramesWithinBlock(int nFrames) const;
  void SilenceHostFloatOutputs(int from, int nFrames);
  void ConvertOutputsToHost(int nFrames, int hostFrames);

  int plugType_;
  bool doesMidiIn_;
  bool doesMidiOut_;
  bool doesMpe_;
  int latency_;
  double sampleRate_ = 48000.0;
  int blockSize_ = 0;
  int tailLength_ = 0;
  bool bypassed_ = false;
  bool offline_ = false;
  PointerList<ChannelIOConfig> ioConfigs_{4096};
  HeapBuffer channelPointers_[2];
  PointerList<ChannelData> channelData_[2];
  std::unique_ptr<LatencyDelayLine> latencyDelayLine_;
  TransportInfo transport_;
};

} // namespace plugkit
