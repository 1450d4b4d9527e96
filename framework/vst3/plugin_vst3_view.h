#pragma once

#include "pluginterfaces/gui/iplugviewcontentscalesupport.h"
#include "public.sdk/source/common/pluginview.h"

namespace plugkit {

class IPluginVST3;

// SDK interfaces have no virtual destructors by design: their objects die through release().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// The view through which a host shows the plug-in's editor in a window of
// its own: it opens and closes the editor of the plug-in, passes sizes,
// scale and keys, and reports the editor's size limits. It holds a
// reference on the plug-in from its creation to its destruction.
class IPluginVST3View : public Steinberg::CPluginView,
                        public Steinberg::IPlugViewContentScaleSupport {
public:
  explicit IPluginVST3View(IPluginVST3& plug);
  ~IPluginVST3View() override;

  Steinberg::tresult PLUGIN_API queryInterface(const Steinberg::TUID iid, void** obj) override;
  REFCOUNT_METHODS(Steinberg::CPluginView)

  // IPlugView
  Steinberg::tresult PLUGIN_API isPlatformTypeSupported(Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API attached(void* parent, Steinberg::FIDString type) override;
  Steinberg::tresult PLUGIN_API removed() override;
  Steinberg::tresult PLUGIN_API onKeyDown(Steinberg::char16 key, Steinberg::int16 keyCode,
                                          Steinberg::int16 modifiers) override;
  Steinberg::tresult PLUGIN_API onKeyUp(Steinberg::char16 key, Steinberg::int16 keyCode,
                                        Steinberg::int16 modifiers) override;
  Steinberg::tresult PLUGIN_API getSize(Steinberg::ViewRect* size) override;
  Steinberg::tresult PLUGIN_API onSize(Steinberg::ViewRect* newSize) override;
  Steinberg::tresult PLUGIN_API canResize() override;
  Steinberg::tresult PLUGIN_API checkSizeConstraint(Steinberg::ViewRect* wanted) override;

  // IPlugViewContentScaleSupport
  Steinberg::tresult PLUGIN_API setContentScaleFactor(ScaleFactor factor) override;

  // The host's frame while it has set one, else null.
  Steinberg::IPlugFrame* GetFrame() const { return plugFrame; }

private:
  IPluginVST3& plug_;
};
#pragma GCC diagnostic pop

} // namespace plugkit
