#include "framework/core/plugin_base.h"

#include "framework/core/fixed_text.h"

#include <cstdint>

namespace plugkit {

namespace {
constexpr int kBytesPerValue = static_cast<int>(sizeof(double));
} // namespace

IPluginBase::IPluginBase(int nParams, int nPresets) : IGEditorDelegate(nParams) {
  for (int i = 0; i < nPresets; ++i) presets_.Add(new PresetSlot());
}

IPluginBase::~IPluginBase() { presets_.DeleteAll(); }

void IPluginBase::InformHostParamDetailsChanged() {}

bool IPluginBase::SerializeState(ByteChunk& chunk) { return SerializeParams(chunk); }

int IPluginBase::UnserializeState(const ByteChunk& chunk, int startPos) {
  return UnserializeParams(chunk, startPos);
}

bool IPluginBase::SerializeExtraState(ByteChunk&) { return true; }

int IPluginBase::UnserializeExtraState(const ByteChunk&, int startPos) { return startPos; }

void IPluginBase::SpareHookA() {}

void IPluginBase::OnPresetLoaded() {}

int IPluginBase::GetPluginVersion(bool decimal) const {
  if (!decimal) return vendorVersion_;
  const int major = (vendorVersion_ >> 16) & 0xFFFF;
  const int minor = (vendorVersion_ >> 8) & 0xFF;
  const int patch = vendorVersion_ & 0xFF;
  return major * 10000 + minor * 100 + patch;
}

void IPluginBase::FillNextPresetSlot(const char* name, const ByteChunk& data) {
  for (int i = 0, n = presets_.Count(); i < n; ++i) {
    PresetSlot* slot = presets_.Get(i);
    if (slot->initialised) continue;
    slot->initialised = true;
    CopyFixedText(slot->name, name);
    slot->data.AppendChunk(data);
    return;
  }
}

const char* IPluginBase::PresetNameAt(int presetIdx) const {
  const PresetSlot* slot = presets_.Get(presetIdx);
  return slot ? slot->name : "";
}

bool IPluginBase::SerializeParams(ByteChunk& chunk) const {
  const int start = chunk.Size();
  for (int i = 0, n = NParams(); i < n; ++i) {
    const int64_t expected = static_cast<int64_t>(chunk.Size()) + kBytesPerValue;
    if (chunk.Put(GetParam(i)->Value()) != expected) {
      // A state with some values missing would restore wrongly; leave none.
      chunk.Resize(start, false);
      return false;
    }
  }
  return true;
}

int IPluginBase::UnserializeParams(const ByteChunk& chunk, int startPos) {
  const int n = NParams();
  int pos = -1;
  if (startPos >= 0 &&
      static_cast<int64_t>(startPos) + static_cast<int64_t>(n) * kBytesPerValue <= chunk.Size()) {
    pos = startPos;
    for (int i = 0; i < n; ++i) {
      double value = 0.0;
      pos = chunk.Get(value, pos);
      GetParam(i)->Set(value);
    }
  }
  // Listeners are told in every case, so whatever they hold is brought back
  // in line with the values, refused chunk or not.
  OnAllParamsChange(ParamChangeSource::Preset);
  return pos;
}

} // namespace plugkit
