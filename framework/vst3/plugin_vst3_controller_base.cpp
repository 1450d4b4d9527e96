#include "framework/vst3/plugin_vst3_controller_base.h"

#include "framework/vst3/midi_controller_names.h"
#include "framework/vst3/utf16_text.h"

#include "pluginterfaces/vst/ivstchannelcontextinfo.h"

#include <cstring>
#include <string>
#include <vector>

namespace plugkit {

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace {

constexpr int kChannelTextChars = 1024;

void AddUnit(EditControllerEx1& controller, const char* name, UnitID id, UnitID parent) {
  String128 title;
  Utf8ToUtf16(name, title, 128);
  controller.addUnit(new Unit(title, id, parent));
}

void AddMidiParameter(ParameterContainer& parameters, const char* title, ParamID id, UnitID unit,
                      ParamValue defaultValue) {
  String128 text;
  Utf8ToUtf16(title, text, 128);
  parameters.addParameter(text, nullptr, 0, defaultValue, 0, static_cast<int32>(id), unit);
}

// A string entry whose length entry comes first; the text is read only when
// the host announced it.
void ReadChannelText(IAttributeList* list, IAttributeList::AttrID lengthKey,
                     IAttributeList::AttrID textKey, StringBuffer& out) {
  int64 length = 0;
  if (list->getInt(lengthKey, length) != kResultTrue) return;
  TChar text[kChannelTextChars] = {};
  if (list->getString(textKey, text, sizeof(text)) != kResultTrue) return;
  char utf8[kChannelTextChars * 3];
  Utf16ToUtf8(text, kChannelTextChars, utf8, sizeof(utf8));
  out.Set(utf8);
}

} // namespace

void IPluginVST3ControllerBase::SetupParameters(const IEditorDelegate& plug,
                                                EditControllerEx1& controller,
                                                ParameterContainer& parameters, bool isInstrument,
                                                bool doesMidiIn) {
  if (!isInstrument) parameters.addParameter(new IPluginVST3BypassParameter());
  AddUnit(controller, "Root", kRootUnitId, kNoParentUnitId);

  std::vector<std::string> groups;
  for (int i = 0, n = plug.NParams(); i < n; ++i) {
    const IParam* param = plug.GetParam(i);
    UnitID unit = kRootUnitId;
    if (param->GroupName()[0]) {
      const std::string group = param->GroupName();
      size_t position = 0;
      while (position < groups.size() && groups[position] != group) ++position;
      if (position == groups.size()) {
        groups.push_back(group);
        AddUnit(controller, param->GroupName(), static_cast<UnitID>(groups.size()), kRootUnitId);
      }
      unit = static_cast<UnitID>(position + 1);
    }
    parameters.addParameter(new IPluginVST3Parameter(*param, static_cast<ParamID>(i), unit));
  }

  hasMidiControllerParams_ = doesMidiIn;
  if (!doesMidiIn) return;
  const UnitID midiUnit = controller.getUnitCount() + 1;
  AddUnit(controller, "MIDI CCs", midiUnit, kRootUnitId);
  const UnitID channelUnit = controller.getUnitCount() + 1;
  AddUnit(controller, "CH1", channelUnit, midiUnit);
  StringBuffer title;
  for (int k = 0; k < 128; ++k) {
    MidiControllerName(k, title);
    AddMidiParameter(parameters, title.Get(), kMidiCCParamStartId + static_cast<ParamID>(k),
                     channelUnit, 0.0);
  }
  AddMidiParameter(parameters, "Channel Aftertouch", kMidiCCParamStartId + 128, channelUnit, 0.0);
  AddMidiParameter(parameters, "Pitch Bend", kMidiCCParamStartId + 129, channelUnit, 0.5);
}

bool IPluginVST3ControllerBase::ReadChannelContext(IAttributeList* list) {
  if (!list) return false;
  ReadChannelText(list, ChannelContext::kChannelNameLengthKey, ChannelContext::kChannelNameKey,
                  channelName_);
  ReadChannelText(list, ChannelContext::kChannelUIDLengthKey, ChannelContext::kChannelUIDKey,
                  channelUid_);
  int64 value = 0;
  if (list->getInt(ChannelContext::kChannelIndexKey, value) == kResultTrue)
    channelIndex_ = static_cast<int32_t>(value);
  if (list->getInt(ChannelContext::kChannelColorKey, value) == kResultTrue)
    channelColor_ = static_cast<int32_t>(value);
  if (list->getInt(ChannelContext::kChannelIndexNamespaceOrderKey, value) == kResultTrue)
    channelNamespaceIndex_ = static_cast<int32_t>(value);
  ReadChannelText(list, ChannelContext::kChannelIndexNamespaceLengthKey,
                  ChannelContext::kChannelIndexNamespaceKey, channelNamespace_);
  return true;
}

} // namespace plugkit
