#pragma once

#include "base/source/fobject.h"
#include "pluginterfaces/gui/iplugview.h"

#include <vector>

namespace plugkit::test {

// SDK interfaces have no virtual destructors by design: their objects die through release().
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"
// A host's frame that notes every resize the view asks for.
class RecordingFrame : public Steinberg::FObject, public Steinberg::IPlugFrame {
public:
  Steinberg::tresult PLUGIN_API resizeView(Steinberg::IPlugView*,
                                           Steinberg::ViewRect* newSize) override {
    requests.push_back(*newSize);
    return answer;
  }
  OBJ_METHODS(RecordingFrame, FObject)
  REFCOUNT_METHODS(FObject)
  DEFINE_INTERFACES
  DEF_INTERFACE(Steinberg::IPlugFrame)
  END_DEFINE_INTERFACES(FObject)

  std::vector<Steinberg::ViewRect> requests;
  Steinberg::tresult answer = Steinberg::kResultTrue;
};
#pragma GCC diagnostic pop

} // namespace plugkit::test
