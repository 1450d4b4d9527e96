#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "tests/tarvex/engine/engine_rig.h"

namespace tarvex {
namespace {

// The bank's response at display bin j, written plainly from the sections a
// snapshot shows: each section's N/D by a division scaled by the larger part
// of D, mixed in by its wet value, product over the channel's sections.
float ReferenceResponseDb(const EngineSnapshot& bank, double fs, int channel, int j) {
  const double f = 20.0 * std::pow(std::min(0.49 * fs, 20000.0) / 20.0, j / 255.0);
  const double omega = -2.0 * kPi * f / fs;
  const double zr = std::cos(omega), zi = std::sin(omega);
  const double z2r = zr * zr - zi * zi, z2i = zr * zi + zi * zr;
  double hr = 1.0, hi = 0.0;
  for (const SectionView& s : bank.sections[channel]) {
    if (s.wet == 0.0) continue;
    const double nr = s.b0 + s.b1 * zr + s.b2 * z2r, ni = s.b1 * zi + s.b2 * z2i;
    const double dr = 1.0 + s.a1 * zr + s.a2 * z2r, di = s.a1 * zi + s.a2 * z2i;
    double qr, qi;
    if (std::fabs(dr) >= std::fabs(di)) {
      const double r = di / dr, den = dr + di * r;
      qr = (nr + ni * r) / den;
      qi = (ni - nr * r) / den;
    } else {
      const double r = dr / di, den = di + dr * r;
      qr = (nr * r + ni) / den;
      qi = (ni * r - nr) / den;
    }
    const double fr = 1.0 + (qr - 1.0) * s.wet, fi = qi * s.wet;
    const double pr = hr * fr - hi * fi, pi = hr * fi + hi * fr;
    hr = pr;
    hi = pi;
  }
  return static_cast<float>(20.0 * std::log10(std::max(std::sqrt(hr * hr + hi * hi), 1e-12)));
}

// Every published response sweep is the response of the bank that the
// previous snapshot showed, however the bank changed or stood still, and
// across a reset.
TEST(ResponseDisplayReference, EverySweepIsTheBankOfThePreviousHop) {
  const double fs = 48000.0;
  testing::EngineRig rig(fs, 512);
  rig.Set(kParamAttack, 3.0f);
  rig.SetSlot(2, kSlotEnabled, 1.0f);
  rig.SetSlot(2, kSlotFrequency, 700.0f);
  LearnedSet set{};
  set[5] = {2500.0f, 15.0f, 10.0f, 0.5f, kSlotFixed, 1};
  set[6] = {6000.0f, 30.0f, 50.0f, 0.5f, kSlotFixed, 0};
  ASSERT_TRUE(rig.engine->RequestLearnedSet(set));

  EngineSnapshot previous = rig.Snapshot();
  int mismatches = 0;
  for (int hop = 0; hop < 120; ++hop) {
    if (hop == 20) rig.SetSlot(2, kSlotFrequency, 1400.0f);
    if (hop == 40) rig.SetSlot(2, kSlotEnabled, 0.0f);
    if (hop == 55) rig.SetSlot(2, kSlotEnabled, 1.0f);
    if (hop == 60) rig.SetSlot(2, kSlotFrequency, 700.0f);
    if (hop == 70) {
      ASSERT_TRUE(rig.engine->QueueCommand(kCommandClearFixed));
    }
    if (hop == 80) {
      ASSERT_TRUE(rig.engine->RequestLearnedSet(set));
    }
    if (hop == 95) {
      rig.engine->Reset();
      previous = rig.Snapshot();
    }
    rig.Run(512, testing::Sine(0.1, 1000.0, fs));
    const EngineSnapshot current = rig.Snapshot();
    for (int ch = 0; ch < 2; ++ch)
      for (int j = 0; j < kDisplayBinCount; ++j)
        if (current.responseDb[ch][j] != ReferenceResponseDb(previous, fs, ch, j)) {
          if (mismatches < 5)
            ADD_FAILURE() << "hop " << hop << " channel " << ch << " bin " << j << ": "
                          << current.responseDb[ch][j] << " vs "
                          << ReferenceResponseDb(previous, fs, ch, j);
          ++mismatches;
        }
    previous = current;
  }
  EXPECT_EQ(mismatches, 0);
  EXPECT_LT(*std::min_element(previous.responseDb[0].begin(), previous.responseDb[0].end()), -3.0f);
}

} // namespace
} // namespace tarvex
