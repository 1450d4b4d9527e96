#include "tarvex/vst3/tarvex_vst3.h"

#include "public.sdk/source/vst/hosting/hostclasses.h"
#include "public.sdk/source/vst/hosting/parameterchanges.h"
#include "public.sdk/source/vst/hosting/processdata.h"
#include "tests/support/allocation_counter.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

namespace tarvex {
namespace {

using namespace Steinberg;
using namespace Steinberg::Vst;

constexpr int32 kBlock = 512;

// Process calls of one sample size on a thread of their own, as a host's
// audio thread makes them: parameter changes, bypass, empty and short
// blocks, audio and a refused call, counted from the thread's first call.
long AllocationsWhileProcessing(int32 sampleSize) {
  HostApplication host;
  IPtr<TarvexVST3> plug = owned(new TarvexVST3(TarvexInstanceInfo{}));
  EXPECT_EQ(plug->initialize(&host), kResultOk);
  ProcessSetup setup{kRealtime, sampleSize, kBlock, 48000.0};
  EXPECT_EQ(plug->setupProcessing(setup), kResultOk);
  EXPECT_EQ(plug->setActive(true), kResultOk);
  EXPECT_EQ(plug->setProcessing(true), kResultOk);
  HostProcessData data;
  EXPECT_TRUE(data.prepare(*plug, kBlock, sampleSize));
  for (int32 ch = 0; ch < data.inputs[0].numChannels; ++ch)
    for (int32 i = 0; i < kBlock; ++i) {
      const double x = 0.4 * std::sin(0.07 * (i + 1) * (ch + 1));
      if (sampleSize == kSample32)
        data.inputs[0].channelBuffers32[ch][i] = static_cast<float>(x);
      else
        data.inputs[0].channelBuffers64[ch][i] = x;
    }
  ParameterChanges changes{4};
  int32 index = 0;
  changes.addParameterData(0, index)->addPoint(0, 0.3, index);
  changes.addParameterData(plugkit::kBypassParamId, index)->addPoint(kBlock / 2, 1.0, index);
  data.inputParameterChanges = &changes;

  // Starting the thread allocates, on both sides; only what the thread does
  // once it is released counts.
  std::atomic<bool> ready{false};
  std::atomic<bool> go{false};
  std::thread audio([&] {
    ready.store(true);
    while (!go.load()) std::this_thread::yield();
    for (int32 frames : {kBlock, 0, 1, kBlock}) {
      data.numSamples = frames;
      EXPECT_EQ(plug->process(data), kResultOk);
    }
    data.numSamples = kBlock + 1;
    EXPECT_EQ(plug->process(data), kInvalidArgument);
  });
  while (!ready.load()) std::this_thread::yield();
  const long before = testsupport::AllocationCount();
  go.store(true);
  audio.join();
  const long allocations = testsupport::AllocationCount() - before;
  EXPECT_TRUE(plug->HostBypass()) << "the changes were applied";

  data.unprepare();
  plug->setProcessing(false);
  plug->setActive(false);
  plug->terminate();
  return allocations;
}

TEST(TarvexVst3NoAllocation, ProcessNeverAllocatesIn32Bit) {
  EXPECT_EQ(AllocationsWhileProcessing(kSample32), 0);
}

TEST(TarvexVst3NoAllocation, ProcessNeverAllocatesIn64Bit) {
  EXPECT_EQ(AllocationsWhileProcessing(kSample64), 0);
}

} // namespace
} // namespace tarvex
