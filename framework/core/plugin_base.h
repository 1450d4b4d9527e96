#pragma once

#include "framework/core/byte_chunk.h"
#include "framework/core/host_id.h"
#include "framework/core/pointer_list.h"
#include "framework/core/preset_slot.h"
#include "framework/core/string_buffer.h"
#include "framework/graphics/graphics_editor_delegate.h"

#include <cstdint>

namespace plugkit {

// What every plug-in instance knows about itself and its host, its preset
// slots, and the default state format: every parameter's plain value in
// index order.
class IPluginBase : public igraphics::IGEditorDelegate {
public:
  IPluginBase(int nParams, int nPresets);
  ~IPluginBase() override;

  virtual void InformHostParamDetailsChanged();
  virtual bool SerializeState(ByteChunk& chunk);
  // Returns the position after the state, or -1 when the chunk was refused.
  virtual int UnserializeState(const ByteChunk& chunk, int startPos);
  virtual bool SerializeExtraState(ByteChunk& chunk);
  virtual int UnserializeExtraState(const ByteChunk& chunk, int startPos);
  // Never called: keeps the virtual-table slot order the framework's classes rely on.
  virtual void SpareHookA();
  virtual void OnPresetLoaded();

  // As stored (major in bits 16..31, minor 8..15, patch 0..7), or as the
  // decimal major * 10000 + minor * 100 + patch.
  int GetPluginVersion(bool decimal) const;
  // The first free slot takes the name and the data; with no free slot
  // nothing happens.
  void FillNextPresetSlot(const char* name, const ByteChunk& data);
  int NPresets() const { return presets_.Count(); }
  // The empty text for an index outside the preset list.
  const char* PresetNameAt(int presetIdx) const;

  // Appends 8 bytes per parameter. On failure the chunk is left as it was
  // and the result is false.
  bool SerializeParams(ByteChunk& chunk) const;
  // Returns the position after the values. A chunk too short for every
  // parameter is refused whole (-1) and leaves every value as it was. Either
  // way it ends with OnAllParamsChange (Preset).
  int UnserializeParams(const ByteChunk& chunk, int startPos);

  const char* GetPluginName() const { return pluginName_.Get(); }
  const char* GetProductName() const { return productName_.Get(); }
  const char* GetMakerName() const { return makerName_.Get(); }
  int32_t GetUniqueId() const { return uniqueId_; }
  int32_t GetMakerId() const { return makerId_; }
  bool DoesChunks() const { return doesChunks_; }
  bool HasUI() const { return hasUI_; }
  bool HostResize() const { return hostResize_; }
  HostId GetHost() const { return hostId_; }
  const char* GetHostName() const { return hostName_.Get(); }
  int32_t GetHostVersion() const { return hostVersion_; }
  const char* GetBundleId() const { return bundleId_.Get(); }
  const char* GetAppGroupId() const { return appGroupId_.Get(); }

protected:
  StringBuffer pluginName_;
  StringBuffer productName_;
  StringBuffer makerName_;
  int32_t uniqueId_ = 0;
  int32_t makerId_ = 0;
  int32_t vendorVersion_ = 0;
  bool doesChunks_ = false;
  bool hasUI_ = false;
  bool hostResize_ = false;
  int32_t hostVersion_ = 0;
  HostId hostId_ = kHostUninit;
  StringBuffer hostName_;
  StringBuffer bundleId_;
  StringBuffer appGroupId_;

private:
  PointerList<PresetSlot> presets_{4096};
};

} // namespace plugkit
