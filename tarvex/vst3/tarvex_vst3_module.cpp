// The plug-in module's entry: the factory with its one class, and the
// module initialisation that the SDK's entry points call.
#include "public.sdk/source/vst/vstsinglecomponenteffect.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/main/pluginfactory.h"

#include "framework/core/plugin_instance_handle.h"
#include "tarvex/vst3/tarvex_class_id.h"
#include "tarvex/vst3/tarvex_vst3.h"

#include <mutex>
#include <new>

using namespace Steinberg;

// Kept by the SDK's module entry when the library is loaded: on Windows when
// the process attaches it, before any export can be called.
extern void* moduleHandle;

namespace {

// The editor's font and logo are embedded in this module, not in the host.
void UseModuleResources() { plugkit::SetPluginInstanceHandle(moduleHandle); }

} // namespace

bool InitModule() {
  UseModuleResources();
  return true;
}

bool DeinitModule() { return true; }

namespace {

constexpr int32 kSimpleModeSupported = 2;

FUnknown* CreatePluginInstance(void*) {
  // Two hosts' threads must not build instances at the same time.
  static std::mutex constructionLock;
  const std::lock_guard<std::mutex> hold(constructionLock);
  try {
    auto* plug = new (std::nothrow) tarvex::TarvexVST3(tarvex::TarvexInstanceInfo{});
    return plug ? static_cast<Vst::IAudioProcessor*>(plug) : nullptr;
  } catch (...) {
    return nullptr;
  }
}

const PClassInfo2& ClassInfo() {
  static const FUID cid(tarvex::kClassIdWords[0], tarvex::kClassIdWords[1],
                        tarvex::kClassIdWords[2], tarvex::kClassIdWords[3]);
  static const PClassInfo2 info(cid.toTUID(), PClassInfo::kManyInstances, kVstAudioEffectClass,
                                "Tarvex", kSimpleModeSupported, "Fx|EQ", "", "0.1.0", "VST 3.8.1");
  return info;
}

} // namespace

SMTG_EXPORT_SYMBOL IPluginFactory* PLUGIN_API GetPluginFactory() {
  static std::mutex factoryLock;
  const std::lock_guard<std::mutex> hold(factoryLock);
  if (gPluginFactory) {
    gPluginFactory->addRef();
    return gPluginFactory;
  }
  // InitDll is optional for a host, but every instance comes from here.
  UseModuleResources();
  static const PFactoryInfo factoryInfo("BRASKELIN", "https://www.braskelin.com",
                                        "support@braskelin.com", PFactoryInfo::kUnicode);
  gPluginFactory = new (std::nothrow) CPluginFactory(factoryInfo);
  if (gPluginFactory) gPluginFactory->registerClass(&ClassInfo(), CreatePluginInstance);
  return gPluginFactory;
}
