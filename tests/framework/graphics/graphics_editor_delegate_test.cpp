#include "framework/graphics/graphics_editor_delegate.h"

#include <gtest/gtest.h>

namespace plugkit::igraphics {
namespace {

class TestEditorDelegate : public IGEditorDelegate {
public:
  TestEditorDelegate() : IGEditorDelegate(1) {}
  void BeginParamEditFromUI(int) override {}
  void EndParamEditFromUI(int) override {}
  void Install(MakeGraphicsFunc make, LayoutFunc layout) {
    makeGraphicsFunc_ = std::move(make);
    layoutFunc_ = std::move(layout);
  }
};

TEST(IGEditorDelegate, RunsTheInstalledFunctions) {
  TestEditorDelegate delegate;
  EXPECT_EQ(delegate.CreateGraphics(), nullptr);
  delegate.LayoutEditor(nullptr);

  // The context is never dereferenced here, only handed through.
  int storage = 0;
  auto* context = reinterpret_cast<IGraphics*>(&storage);
  IGraphics* laidOut = nullptr;
  delegate.Install([context] { return context; }, [&laidOut](IGraphics* g) { laidOut = g; });
  EXPECT_EQ(delegate.CreateGraphics(), context);
  delegate.LayoutEditor(context);
  EXPECT_EQ(laidOut, context);
  EXPECT_EQ(delegate.NParams(), 1);
}

} // namespace
} // namespace plugkit::igraphics
