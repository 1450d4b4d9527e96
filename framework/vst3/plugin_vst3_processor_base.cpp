#include "framework/vst3/plugin_vst3_processor_base.h"

#include "framework/vst3/plugin_vst3.h"
#include "framework/vst3/utf16_text.h"

#include "pluginterfaces/vst/vstspeaker.h"

#include <bitset>
#include <vector>

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

IPluginVST3ProcessorBase::IPluginVST3ProcessorBase(const PlugConfig& config, IPluginVST3& owner)
    : IPluginProcessor(config), owner_(owner) {
  SetChannelConnections(kDirectionInput, 0, NChannels(kDirectionInput), true);
  SetChannelConnections(kDirectionOutput, 0, NChannels(kDirectionOutput), true);
  sideChainChannelOffset_ = MaxChannelsOnBus(kDirectionInput, 0);
  RebuildLatencyDelayLine();
  SetBlockSize(512);
}

SpeakerArrangement IPluginVST3ProcessorBase::SpeakerArrangementForChannels(int channels) {
  switch (channels) {
    case 1:
      return 0x80000;
    case 2:
      return 3;
    case 3:
      return 7;
    case 4:
      return 0xF00000;
    case 5:
      return 0x37;
    case 6:
      return 0x3F;
    case 7:
      return 0xF7;
    case 8:
      return 0x63F;
    case 9:
      return 0x7C000F00000;
    case 10:
      return 0x300063F;
    case 16:
      return 0x3FFC000F00000;
    default:
      return 0;
  }
}

bool IPluginVST3ProcessorBase::CanProcessSampleSize(int32 symbolicSampleSize) {
  return symbolicSampleSize == kSample32 || symbolicSampleSize == kSample64;
}

void IPluginVST3ProcessorBase::AddAudioBuses(const ChannelIOConfig& config, int direction) {
  const int nBuses = config.NBuses(direction);
  StringBuffer name;
  for (int bus = 0; bus < nBuses; ++bus) {
    GetBusName(direction, bus, nBuses, name);
    String128 title;
    Utf8ToUtf16(name.Get(), title, 128);
    const SpeakerArrangement arrangement =
        SpeakerArrangementForChannels(config.NChannelsOnBus(direction, bus));
    const BusType type = bus == 0 ? kMain : kAux;
    const int32 flags = bus == 0 ? BusInfo::kDefaultActive : 0;
    AudioBus* added = direction == kDirectionInput
                          ? owner_.addAudioInput(title, arrangement, type, flags)
                          : owner_.addAudioOutput(title, arrangement, type, flags);
    // A default-active bus is active until the host says otherwise: hosts
    // that never call activateBus still get the main buses processed.
    if (added && (flags & BusInfo::kDefaultActive)) added->setActive(true);
  }
}

void IPluginVST3ProcessorBase::SetupBuses() {
  for (int direction : {kDirectionInput, kDirectionOutput}) {
    int configIdx = -1;
    MostBusesInConfigs(direction, configIdx);
    if (const ChannelIOConfig* config = GetIOConfig(configIdx)) AddAudioBuses(*config, direction);
  }
  if (GetPlugType() == 2 && owner_.audioOutputs.empty())
    owner_.addAudioOutput(STR16("Dummy Output"), 0, kMain, 0);
  if (DoesMidiIn()) owner_.addEventInput(STR16("MIDI Input"), 1, kMain, BusInfo::kDefaultActive);
  if (DoesMidiOut()) owner_.addEventOutput(STR16("MIDI Output"), 1, kMain, BusInfo::kDefaultActive);
}

bool IPluginVST3ProcessorBase::ApplyBusArrangements(const SpeakerArrangement* inputs, int32 numIns,
                                                    const SpeakerArrangement* outputs,
                                                    int32 numOuts) {
  const HostId host = owner_.GetHost();
  if (host == kHostArdour || host == kHostMixbus) return true;
  SetChannelConnections(kDirectionInput, 0, NChannels(kDirectionInput), false);
  SetChannelConnections(kDirectionOutput, 0, NChannels(kDirectionOutput), false);
  int unused = -1;
  if (numIns < 0 || numOuts < 0 || numIns > MostBusesInConfigs(kDirectionInput, unused) ||
      numOuts > MostBusesInConfigs(kDirectionOutput, unused))
    return false;
  if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs)) return false;
  std::vector<int> inCounts(static_cast<size_t>(numIns));
  std::vector<int> outCounts(static_cast<size_t>(numOuts));
  for (int32 i = 0; i < numIns; ++i)
    inCounts[static_cast<size_t>(i)] =
        static_cast<int>(std::bitset<64>(static_cast<uint64>(inputs[i])).count());
  for (int32 i = 0; i < numOuts; ++i)
    outCounts[static_cast<size_t>(i)] =
        static_cast<int>(std::bitset<64>(static_cast<uint64>(outputs[i])).count());
  const int configIdx =
      FindIoConfigForBusCounts(inCounts.data(), numIns, outCounts.data(), numOuts);
  const ChannelIOConfig* config = GetIOConfig(configIdx);
  if (!config) return false;
  owner_.removeAudioBusses();
  AddAudioBuses(*config, kDirectionInput);
  AddAudioBuses(*config, kDirectionOutput);
  return true;
}

bool IPluginVST3ProcessorBase::SetupProcessing(const ProcessSetup& setup) {
  if (!CanProcessSampleSize(setup.symbolicSampleSize)) return false;
  owner_.processSetup = setup;
  SetSampleRate(setup.sampleRate);
  SetBlockSize(setup.maxSamplesPerBlock);
  midiOut_.SetBlockSize(setup.maxSamplesPerBlock);
  OnReset();
  return true;
}

bool IPluginVST3ProcessorBase::SetProcessing(bool state) {
  if (!state) OnReset();
  return true;
}

} // namespace plugkit
