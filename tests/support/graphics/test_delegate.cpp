#include "tests/support/graphics/test_delegate.h"

#include "framework/core/param_shape.h"

namespace plugkit::igraphics::testing {

TestDelegate::TestDelegate(int nParams, bool configureDoubles) : IGEditorDelegate(nParams) {
  for (int i = 0; configureDoubles && i < nParams; ++i) {
    GetParam(i)->ConfigureDouble("param", 0.5, 0.0, 1.0, 0.001, "", 0, "", IParam::ShapeLinear());
  }
}

void TestDelegate::SetParamValueFromUI(int paramIdx, double normalized) {
  sent.push_back({paramIdx, normalized});
  IGEditorDelegate::SetParamValueFromUI(paramIdx, normalized);
}

bool TestDelegate::ResizeEditorFromUI(int width, int height, bool needsPlatformResize) {
  resizeRequests.push_back({width, height, needsPlatformResize});
  return resizeAnswer;
}

} // namespace plugkit::igraphics::testing
