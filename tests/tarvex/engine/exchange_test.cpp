#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "tarvex/engine/notch_design.h"
#include "tests/tarvex/engine/engine_rig.h"

namespace tarvex {
namespace {

using testing::EngineRig;
using testing::Silence;

LearnedSet MixedSet() {
  LearnedSet set{};
  set[0] = {500.0f, 10.0f, 20.0f, 0.5f, kSlotFixed, 0};
  set[1] = {1500.0f, 8.0f, 30.0f, 0.7f, kSlotLive, 1};
  set[2] = {4500.0f, 6.0f, 40.0f, 0.9f, kSlotLive, 0};
  return set;
}

TEST(LearnedSets, ValidationRejectsEachBadField) {
  LearnedSet set{};
  EXPECT_TRUE(ValidateLearnedSet(set));
  EXPECT_TRUE(ValidateLearnedSet(MixedSet()));
  auto rejects = [](auto change) {
    LearnedSet s{};
    change(s[7]);
    return !ValidateLearnedSet(s);
  };
  EXPECT_TRUE(rejects([](LearnedFilter& f) { f.kind = kSlotManual; }));
  EXPECT_TRUE(rejects([](LearnedFilter& f) { f.channel = 3; }));
  EXPECT_TRUE(rejects([](LearnedFilter& f) { f.channel = -1; }));
  EXPECT_TRUE(rejects([](LearnedFilter& f) { f.q = 0.4f; }));
  EXPECT_TRUE(rejects([](LearnedFilter& f) { f.frequencyHz = 19.9f; }));
  EXPECT_TRUE(rejects([](LearnedFilter& f) { f.depthDb = 36.5f; }));
  EXPECT_TRUE(rejects([](LearnedFilter& f) { f.confidence = std::nanf(""); }));
}

TEST(LearnedSets, RequestIsReadBackAtOnceAndInstalledAtTheNextCall) {
  EngineRig rig;
  LearnedSet bad = MixedSet();
  bad[3].q = 100.0f;
  EXPECT_FALSE(rig.engine->RequestLearnedSet(bad));
  ASSERT_TRUE(rig.engine->RequestLearnedSet(MixedSet()));
  LearnedSet read{};
  ASSERT_TRUE(rig.engine->ReadLearnedSet(read));
  EXPECT_EQ(read[1].frequencyHz, 1500.0f);
  EXPECT_EQ(read[1].channel, 1);
  LearnedSet second = MixedSet();
  second[4] = {900.0f, 3.0f, 5.0f, 0.1f, kSlotFixed, 2};
  ASSERT_TRUE(rig.engine->RequestLearnedSet(second));
  rig.Run(1, Silence());
  read = rig.Learned();
  EXPECT_EQ(read[4].kind, kSlotFixed);
  rig.Run(600, Silence());
  const EngineSnapshot s = rig.Snapshot();
  EXPECT_EQ(s.fixedCount, 2);
  EXPECT_EQ(s.liveCount, 2);
  EXPECT_EQ(s.slotChannel[1], 1);
  EXPECT_FLOAT_EQ(s.slotFrequency[2], 4500.0f);
}

TEST(Commands, QueueRejectsZeroAndUnknownBitsAndAppliesAllFiveInOrder) {
  EngineRig rig;
  EXPECT_FALSE(rig.engine->QueueCommand(0));
  EXPECT_FALSE(rig.engine->QueueCommand(32));
  rig.Set(kParamMode, 1.0f);
  ASSERT_TRUE(rig.engine->RequestLearnedSet(MixedSet()));
  rig.Run(600, Silence());
  EXPECT_TRUE(rig.engine->QueueCommand(31));
  for (const LearnedFilter& f : rig.Learned()) EXPECT_EQ(f.kind, kSlotEmpty);
  rig.Run(600, Silence());
  const EngineSnapshot s = rig.Snapshot();
  EXPECT_FALSE(s.learning);
  EXPECT_EQ(s.fixedCount + s.liveCount, 0);
}

TEST(Commands, LearningStartsOnlyInLearnFixedAndStops) {
  EngineRig rig;
  rig.Set(kParamMode, 2.0f);
  rig.engine->QueueCommand(kCommandStartLearning);
  rig.Run(600, Silence());
  EXPECT_FALSE(rig.Snapshot().learning);
  rig.Set(kParamMode, 1.0f);
  rig.engine->QueueCommand(kCommandStartLearning);
  rig.Run(600, Silence());
  EXPECT_TRUE(rig.Snapshot().learning);
  rig.engine->QueueCommand(kCommandStopLearning);
  rig.Run(600, Silence());
  EXPECT_FALSE(rig.Snapshot().learning);
  rig.engine->QueueCommand(kCommandStartLearning);
  rig.Run(600, Silence());
  rig.Set(kParamMode, 0.0f);
  rig.Run(600, Silence());
  EXPECT_FALSE(rig.Snapshot().learning);
}

TEST(Commands, ClearFixedClearLiveAndFreezeLive) {
  EngineRig rig;
  ASSERT_TRUE(rig.engine->RequestLearnedSet(MixedSet()));
  rig.Run(600, Silence());
  rig.engine->QueueCommand(kCommandFreezeLive);
  LearnedSet pending = rig.Learned();
  EXPECT_EQ(pending[1].kind, kSlotFixed);
  EXPECT_EQ(pending[2].kind, kSlotFixed);
  rig.Run(600, Silence());
  LearnedSet frozen = rig.Learned();
  EXPECT_EQ(frozen[1].kind, kSlotFixed);
  EXPECT_EQ(frozen[1].frequencyHz, 1500.0f);
  EXPECT_EQ(frozen[1].channel, 1);
  rig.engine->QueueCommand(kCommandClearFixed);
  rig.Run(600, Silence());
  for (const LearnedFilter& f : rig.Learned()) EXPECT_EQ(f.kind, kSlotEmpty);

  ASSERT_TRUE(rig.engine->RequestLearnedSet(MixedSet()));
  rig.Run(600, Silence());
  rig.engine->QueueCommand(kCommandClearLive);
  rig.Run(600, Silence());
  const LearnedSet cleared = rig.Learned();
  EXPECT_EQ(cleared[0].kind, kSlotFixed);
  EXPECT_EQ(cleared[1].kind, kSlotEmpty);
  EXPECT_EQ(cleared[2].kind, kSlotEmpty);
}

TEST(Snapshots, DefaultBeforePreparationAndPublishedEveryHop) {
  auto engine = FeedbackEngine::Create();
  EngineSnapshot s;
  s.sampleRate = 1.0;
  engine->ReadSnapshot(s);
  const EngineSnapshot d;
  EXPECT_EQ(s.inputSpectrumDb, d.inputSpectrumDb);
  EXPECT_EQ(s.slotLevelDb[3], -120.0f);
  EXPECT_EQ(s.sampleRate, 48000.0);
  EXPECT_EQ(s.sections[1][23].b0, 1.0);
  EXPECT_FALSE(s.signal);

  EngineRig rig(96000.0);
  rig.SetSlot(0, kSlotEnabled, 1.0f);
  rig.Run(511, Silence());
  EXPECT_EQ(rig.Snapshot().sampleRate, 96000.0);
  EXPECT_EQ(rig.Snapshot().activeHistory[255], 0.0f);
  rig.Run(1, Silence());
  EXPECT_EQ(rig.Snapshot().activeHistory[255], 1.0f);
  EXPECT_EQ(rig.Snapshot().manualCount, 1);
}

TEST(Snapshots, ActiveHistoryKeepsTheLast256HopsOldestFirstAcrossWraps) {
  EngineRig rig;
  rig.Run(512 * 300, Silence());
  rig.SetSlot(0, kSlotEnabled, 1.0f);
  rig.SetSlot(1, kSlotEnabled, 1.0f);
  rig.Run(512 * 20, Silence());
  const EngineSnapshot s = rig.Snapshot();
  for (int i = 0; i < 236; ++i) EXPECT_EQ(s.activeHistory[i], 0.0f) << i;
  for (int i = 236; i < 256; ++i) EXPECT_EQ(s.activeHistory[i], 2.0f) << i;
}

TEST(NotchDesignAndViews, DesignIsANotchThatViewsInvertAndResponsesEvaluate) {
  const NotchCoefficients c = DesignNotch(1000.0, 24.0, 48000.0);
  const double w = 2.0 * kPi * 1000.0 / 48000.0;
  EXPECT_NEAR(c.b0 + c.b1 * std::cos(w) + c.b2 * std::cos(2 * w), 0.0, 1e-3);
  EXPECT_NEAR((c.b0 + c.b1 + c.b2) / (1.0 + c.a1 + c.a2), 1.0, 1e-12);

  SectionView view{c.b0, c.b1, c.b2, c.a1, c.a2, 1.0};
  double f = 0.0, q = 0.0;
  ASSERT_TRUE(NotchFromSection(view, 48000.0, f, q));
  EXPECT_NEAR(f, 1000.0, 1e-6);
  EXPECT_NEAR(q, 24.0, 1e-9);
  EXPECT_FALSE(NotchFromSection(SectionView{}, 48000.0, f, q));
  EXPECT_FALSE(NotchFromSection(view, 200000.0, f, q));

  const NotchCoefficients clamped = DesignNotch(20000.0, 200.0, 22050.0);
  ASSERT_TRUE(NotchFromSection({clamped.b0, clamped.b1, clamped.b2, clamped.a1, clamped.a2, 1.0},
                               22050.0, f, q));
  EXPECT_NEAR(f, 10804.5, 1e-6);
  EXPECT_NEAR(q, 80.0, 1e-9);

  EngineSnapshot s;
  s.sections[0][4] = view;
  s.sections[0][4].wet = 1.0 - std::pow(10.0, -0.6);
  EXPECT_NEAR(BankResponseDb(s, 1000.0, 0), -12.0, 1e-6);
  EXPECT_NEAR(BankResponseDb(s, 10000.0, 0), 0.0, 1e-3);
  EXPECT_EQ(BankResponseDb(s, 1000.0, 1), 0.0);
  EXPECT_EQ(BankResponseDb(s, 1000.0, 2), 0.0);
  EXPECT_EQ(BankResponseDb(s, std::nan(""), 0), 0.0);
  EXPECT_EQ(BankResponseDb(s, 50000.0, 0), BankResponseDb(s, 24000.0, 0));
  s.sampleRate = 8000.0;
  EXPECT_EQ(BankResponseDb(s, 1000.0, 0), 0.0);
}

} // namespace
} // namespace tarvex
