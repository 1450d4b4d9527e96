#include <gtest/gtest.h>

#include "tests/tarvex/editor/editor_rig.h"

#include <atomic>
#include <cmath>
#include <random>
#include <thread>

namespace tarvex {
namespace {

using testing::EditorTarvex;
using testing::IMouseInfo;
using testing::IMouseMod;

TEST(EditorRobustness, RandomInputWithTheEngineRunningKeepsEditsBalancedAndValuesInRange) {
  EditorTarvex plug;
  plug.Activate();
  auto& g = plug.Open();

  std::atomic<bool> stop{false};
  std::thread audio([&] {
    std::vector<float> in(256), out0(256), out1(256);
    long n = 0;
    while (!stop.load()) {
      for (float& s : in) {
        const double t = static_cast<double>(n++) / 48000.0;
        s = static_cast<float>(std::min(0.9, 0.01 * std::exp(t)) * std::sin(6283.0 * t * 1.7));
      }
      float* ins[2] = {in.data(), in.data()};
      float* outs[2] = {out0.data(), out1.data()};
      plug.ProcessBlock(ins, outs, 256);
    }
  });

  std::mt19937 random(20261209);
  auto uniform = [&](float lo, float hi) {
    return std::uniform_real_distribution<float>(lo, hi)(random);
  };
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(random); };
  const int keys[] = {13, 32, 27, 36, 37, 38, 39, 40, 46, 8, '1', '5', 'k', 'H', 's', '.', 'x'};
  IMouseInfo pointer;
  bool down = false;
  for (int i = 0; i < 12000; ++i) {
    pointer.x = uniform(-10.f, 1190.f);
    pointer.y = uniform(-10.f, 810.f);
    pointer.ms = IMouseMod();
    pointer.ms.S = pick(4) == 0;
    pointer.ms.C = pick(8) == 0;
    g.menuChoice = pick(30) - 3;
    // A frame every fifty events or so, as the display tick would come.
    if (pick(50) == 0) g.Frame();
    switch (pick(7)) {
      case 0:
        pointer.ms.L = true;
        pointer.ms.R = pick(10) == 0;
        g.OnMouseDown({pointer});
        down = true;
        break;
      case 1:
        g.OnMouseUp({pointer});
        down = false;
        break;
      case 2:
        if (!down) break;
        pointer.dX = uniform(-40.f, 40.f);
        pointer.dY = uniform(-40.f, 40.f);
        pointer.ms.L = true;
        g.OnMouseDrag({pointer});
        break;
      case 3:
        g.OnMouseDblClick(pointer.x, pointer.y, pointer.ms);
        break;
      case 4:
        g.OnMouseWheel(pointer.x, pointer.y, pointer.ms, uniform(-3.f, 3.f));
        break;
      case 5: {
        testing::IKeyPress key;
        key.VK = keys[pick(static_cast<int>(std::size(keys)))];
        key.S = pointer.ms.S;
        if (key.VK >= 32 && key.VK < 127) key.utf8[0] = static_cast<char>(key.VK);
        g.OnKeyDown(pointer.x, pointer.y, key);
        break;
      }
      default:
        g.OnMouseOver(pointer.x, pointer.y, pointer.ms);
        break;
    }
    for (const auto& c : plug.commands) {
      if (c.bits == kCommandStartLearning) {
        ASSERT_EQ(c.mode, 1) << "learning outside Learn Fixed";
      }
    }
  }
  g.OnMouseUp({pointer});
  g.Key(0, 0, 27);
  stop.store(true);
  audio.join();
  g.Frame();

  EXPECT_FALSE(plug.valueOutsideEdit);
  EXPECT_FALSE(plug.endWithoutBegin);
  EXPECT_EQ(plug.OpenEdits(), 0);
  EXPECT_GT(plug.valuesSent, 100);
  for (int p = 0; p < kParamCount; ++p) {
    const ParamSpec& spec = ParamSpecAt(p);
    EXPECT_GE(plug.Plain(p), spec.minValue) << spec.name;
    EXPECT_LE(plug.Plain(p), spec.maxValue) << spec.name;
  }
  const unsigned allowed = kCommandStartLearning | kCommandStopLearning | kCommandClearFixed |
                           kCommandClearLive | kCommandFreezeLive;
  for (const auto& c : plug.commands) {
    EXPECT_EQ(c.bits & ~allowed, 0u);
    EXPECT_EQ(c.bits & (c.bits - 1), 0u) << "one action at a time";
  }
}

} // namespace
} // namespace tarvex
