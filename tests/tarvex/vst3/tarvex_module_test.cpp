#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "tarvex/vst3/tarvex_class_id.h"

#include "tests/tarvex/vst3/loaded_bundle.h"

#include <gtest/gtest.h>

#include <string>

namespace tarvex {
namespace {

using namespace Steinberg;

TEST(TarvexModule, FactoryListsTheOneClass) {
  const auto& module = LoadBundle();
  ASSERT_TRUE(module);
  const auto& factory = module->getFactory();
  const PFactoryInfo info = factory.info().get();
  EXPECT_STREQ(info.vendor, "BRASKELIN");
  EXPECT_EQ(info.flags, PFactoryInfo::kUnicode);
  const auto classes = factory.classInfos();
  ASSERT_EQ(classes.size(), 1u);
  const auto& plugin = classes.front();
  EXPECT_EQ(plugin.category(), "Audio Module Class");
  EXPECT_EQ(plugin.name(), "Tarvex");
  EXPECT_EQ(plugin.subCategoriesString(), "Fx|EQ");
  EXPECT_EQ(plugin.version(), "0.1.0");
  EXPECT_EQ(plugin.cardinality(), PClassInfo::kManyInstances);

  const FUID cid = FUID::fromTUID(plugin.ID().data());
  EXPECT_EQ(cid.getLong1(), kClassIdWords[0]);
  EXPECT_EQ(cid.getLong2(), kClassIdWords[1]);
  EXPECT_EQ(cid.getLong3(), kClassIdWords[2]);
  EXPECT_EQ(cid.getLong4(), kClassIdWords[3]);
#if defined(_WIN32)
  const auto& bytes = plugin.ID().data();
  EXPECT_EQ(std::string(bytes, bytes + 4), "SARB")
      << "COM order: the first word from its low byte up";
  EXPECT_EQ(std::string(bytes + 12, bytes + 16), "Btvx");
#endif

  auto component = factory.createInstance<Vst::IComponent>(plugin.ID());
  ASSERT_TRUE(component);
  FUnknownPtr<Vst::IAudioProcessor> processor(component.get());
  EXPECT_TRUE(processor) << "one object behind every interface";
}

TEST(TarvexModule, EditorViewOnlyWhereEditorWindowsExist) {
  const auto& module = LoadBundle();
  ASSERT_TRUE(module);
  const auto& factory = module->getFactory();
  auto controller = factory.createInstance<Vst::IEditController>(factory.classInfos().front().ID());
  ASSERT_TRUE(controller);
  auto view = owned(controller->createView(Vst::ViewType::kEditor));
#if defined(_WIN32)
  ASSERT_TRUE(view);
  EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultTrue);
  ViewRect size;
  ASSERT_EQ(view->getSize(&size), kResultOk);
  EXPECT_EQ(size.getWidth(), 1180);
  EXPECT_EQ(size.getHeight(), 800);
#else
  EXPECT_FALSE(view) << "the Linux module has no editor view";
#endif
}

} // namespace
} // namespace tarvex
