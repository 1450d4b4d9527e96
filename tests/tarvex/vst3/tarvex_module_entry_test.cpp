#include "pluginterfaces/base/ipluginbase.h"

#include <gtest/gtest.h>

#if defined(_WIN32)
#include "framework/core/win_files.h"

#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace tarvex {
namespace {

using namespace Steinberg;

using GetFactoryFunc = IPluginFactory*(PLUGIN_API*)();
#if defined(_WIN32)
using InitFunc = bool (*)();
#else
using InitFunc = bool (*)(void*);
#endif
using ExitFunc = bool (*)();

// The module's own binary, loaded without a host library in between so that
// this process makes every call of its entry points itself. It stays loaded:
// a host keeps a module until it exits.
class ModuleEntry : public ::testing::Test {
protected:
  void SetUp() override {
#if defined(_WIN32)
    HMODULE module = plugkit::Utf8LoadLibrary(TARVEX_VST3_BINARY);
    ASSERT_NE(module, nullptr);
    init = reinterpret_cast<InitFunc>(reinterpret_cast<void*>(GetProcAddress(module, "InitDll")));
    exit = reinterpret_cast<ExitFunc>(reinterpret_cast<void*>(GetProcAddress(module, "ExitDll")));
    getFactory = reinterpret_cast<GetFactoryFunc>(
        reinterpret_cast<void*>(GetProcAddress(module, "GetPluginFactory")));
#else
    handle = dlopen(TARVEX_VST3_BINARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    init = reinterpret_cast<InitFunc>(dlsym(handle, "ModuleEntry"));
    exit = reinterpret_cast<ExitFunc>(dlsym(handle, "ModuleExit"));
    getFactory = reinterpret_cast<GetFactoryFunc>(dlsym(handle, "GetPluginFactory"));
#endif
    ASSERT_NE(init, nullptr);
    ASSERT_NE(exit, nullptr);
    ASSERT_NE(getFactory, nullptr);
  }

  bool Init() {
#if defined(_WIN32)
    return init();
#else
    return init(handle);
#endif
  }

  void* handle = nullptr;
  InitFunc init = nullptr;
  ExitFunc exit = nullptr;
  GetFactoryFunc getFactory = nullptr;
};

TEST_F(ModuleEntry, EveryInitNeedsItsExitAndOneExitTooManyFails) {
  EXPECT_TRUE(Init());
  EXPECT_TRUE(Init());
  EXPECT_TRUE(exit());
  EXPECT_TRUE(exit());
  EXPECT_FALSE(exit()) << "an exit without its init";
}

TEST_F(ModuleEntry, EveryCallGivesTheOneFactoryWithOneMoreReference) {
  IPluginFactory* first = getFactory();
  ASSERT_NE(first, nullptr);
  IPluginFactory* second = getFactory();
  EXPECT_EQ(second, first);
  EXPECT_EQ(first->addRef(), 3u) << "its own reference and one for each call";
  EXPECT_EQ(first->release(), 2u);
  second->release();
  first->release();
}

} // namespace
} // namespace tarvex
