#include "framework/vst3/plugin_vst3_processor_base.h"

#include "framework/vst3/plugin_vst3.h"

#include "pluginterfaces/vst/ivstevents.h"

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

// The host event for a channel message; false for anything else.
bool EventFromMidi(const MidiMessage& message, Event& event) {
  const int status = message.status & 0xF0;
  const auto channel = static_cast<int16>(message.status & 0x0F);
  if (message.status < 0x80 || message.status >= 0xF0) return false;
  event = Event{};
  event.busIndex = 0;
  event.sampleOffset = message.offset;
  event.ppqPosition = 0;
  switch (status) {
    case 0x90:
      event.type = Event::kNoteOnEvent;
      event.noteOn.channel = channel;
      event.noteOn.pitch = message.data1;
      event.noteOn.velocity = static_cast<float>(message.data2) / 127.0f;
      return true;
    case 0x80:
      event.type = Event::kNoteOffEvent;
      event.noteOff.channel = channel;
      event.noteOff.pitch = message.data1;
      event.noteOff.velocity = static_cast<float>(message.data2) / 127.0f;
      return true;
    default:
      break;
  }
  event.type = Event::kLegacyMIDICCOutEvent;
  event.midiCCOut.channel = static_cast<int8>(channel);
  switch (status) {
    case 0xA0:
      event.midiCCOut.controlNumber = kCtrlPolyPressure;
      event.midiCCOut.value = static_cast<int8>(message.data1);
      event.midiCCOut.value2 = static_cast<int8>(message.data2);
      break;
    case 0xB0:
      event.midiCCOut.controlNumber = message.data1;
      event.midiCCOut.value = static_cast<int8>(message.data2);
      break;
    case 0xC0:
      event.midiCCOut.controlNumber = kCtrlProgramChange;
      event.midiCCOut.value = static_cast<int8>(message.data1);
      break;
    case 0xD0:
      event.midiCCOut.controlNumber = kAfterTouch;
      event.midiCCOut.value = static_cast<int8>(message.data1);
      event.midiCCOut.value2 = static_cast<int8>(message.data2);
      break;
    default:
      event.midiCCOut.controlNumber = kPitchBend;
      event.midiCCOut.value = static_cast<int8>(message.data1);
      event.midiCCOut.value2 = static_cast<int8>(message.data2);
      break;
  }
  return true;
}

} // namespace

bool IPluginVST3ProcessorBase::SendMidiOut(const MidiMessage& message) {
  midiOut_.Add(message);
  return true;
}

void IPluginVST3ProcessorBase::SendMidiEvents(ProcessData& data) {
  IEventList* events = data.outputEvents;
  if (events) {
    const int waiting = midiOut_.Waiting();
    for (int i = 0; i < waiting; ++i) {
      Event event{};
      if (EventFromMidi(midiOut_.Waiting(i), event)) events->addEvent(event);
    }
    midiOut_.MarkSent(waiting);
  }
  midiOut_.DropSent();
  midiOut_.ShiftOffsets(data.numSamples);

  SysExRecord record;
  for (int n = owner_.sysExFromUI_.ElementsAvailable(); n > 0 && owner_.sysExFromUI_.Pop(record);
       --n) {
    if (!events || record.size < 0 || record.size > MaxSysExBytes) continue;
    Event event{};
    event.busIndex = 0;
    event.sampleOffset = record.offset;
    event.type = Event::kDataEvent;
    event.data.type = DataEvent::kMidiSysEx;
    event.data.size = static_cast<uint32>(record.size);
    event.data.bytes = record.data;
    events->addEvent(event);
  }
}

} // namespace plugkit
