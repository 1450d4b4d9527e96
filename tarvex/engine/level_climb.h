#pragma once

namespace tarvex {

// How a candidate came to its level, from its short-time level measured at
// a steady spacing. A howl climbs at a steady rate in dB for many measures in
// a row until something (the room, a limiter, a clipping stage) holds it; a
// note reaches its level within its attack and then stays, sways or decays.
// Growth is the rate of a howl's climb where there was one; otherwise the
// trend of the level since it last settled, a least-squares slope, so that
// vibrato and breath do not read as growth.
class LevelClimb {
public:
  // Forgets everything: the next measure is the first of a new candidate.
  void Restart() { *this = LevelClimb{}; }
  void Add(double levelDb, double spacingSeconds);
  // In dB per second; -infinity while there is no answer yet: during an
  // attack that may still be a howl's climb, and until the level has been
  // followed for long enough to tell a trend from sway.
  double Growth() const;

private:
  // Measures kept: enough for the climb's span and the floor before it.
  static constexpr int kRecent = 8;

  void Settle(int measure, double levelDb);
  double Recent(int measure) const { return recent_[measure % kRecent]; }

  int count_ = 0; // measures added
  double spacing_ = 0.0;
  double recent_[kRecent] = {}; // the last measures, measure k at k % kRecent

  bool climbing_ = false;
  int climbStart_ = 0; // the measure before the first rising one
  double climbStartLevel_ = 0.0;
  double floorLevel_ = 0.0; // the highest of the measures up to the climb's start
  int leftFloor_ = 0;       // the last measure of the climb still at its floor
  int afterAttack_ = -1;    // the first measure past an attack, once the attack showed
  double afterAttackLevel_ = 0.0;
  bool howl_ = false;
  double howlRate_ = 0.0; // dB/s of the last climb found to be a howl's

  // Least-squares sums of the level over the measures since it settled,
  // counted from the first of them.
  int settled_ = 0;
  double n_ = 0.0, sumK_ = 0.0, sumKK_ = 0.0, sumL_ = 0.0, sumKL_ = 0.0;
};

} // namespace tarvex
