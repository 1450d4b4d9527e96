#include "tarvex/engine/level_climb.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tarvex {
namespace {

// The level climbs while it rose at least this fast over the last kClimbSpan
// (a span, not a single measure, so that a howl's ripple does not break its
// climb); slower rises are the business of the trend.
constexpr double kClimbRate = 50.0;  // dB/s
constexpr double kClimbSpan = 0.016; // s
// Measures before a climb whose highest is the floor it rose from.
constexpr int kFloorMeasures = 4;
// An attack shows once the level stands this far above the floor it rose
// from (the floor's own sway stays below it). A note's attack brings it to
// within a few dB of its level within kAttackTime of that.
constexpr double kAttackShows = 10.0; // dB
constexpr double kAttackTime = 0.01;  // s
// A climb that rises by this much more after kAttackTime is a howl's, and so
// is one that showed and still climbs longer after it left its floor than
// any attack (and than the few measures that a note's attack may straddle).
constexpr double kHowlRise = 12.0;  // dB
constexpr double kLongClimb = 0.08; // s
constexpr int kLongClimbMeasures = 4;
// Measures within this of the floor have not left it yet.
constexpr double kFloorSway = 3.0; // dB
// The trend needs this long before sway averages out of it, and at least
// kTrendMeasures measures.
constexpr double kTrendTime = 0.16; // s
constexpr int kTrendMeasures = 4;

} // namespace

void LevelClimb::Add(double levelDb, double spacingSeconds) {
  const int k = count_++;
  spacing_ = spacingSeconds;
  const int span =
      std::clamp(static_cast<int>(std::lround(kClimbSpan / spacingSeconds)), 1, std::max(k, 1));
  if (k == 0) {
    Settle(0, levelDb);
  } else if (levelDb - Recent(k - span) >= kClimbRate * span * spacingSeconds) {
    if (!climbing_) {
      climbing_ = true;
      climbStart_ = k - span;
      climbStartLevel_ = Recent(k - span);
      floorLevel_ = climbStartLevel_;
      leftFloor_ = climbStart_;
      for (int j = std::max(k - span - kFloorMeasures + 1, 0); j < k - span; ++j)
        floorLevel_ = std::max(floorLevel_, Recent(j));
      afterAttack_ = -1;
    }
    if (levelDb <= floorLevel_ + kFloorSway) leftFloor_ = k;
    if (afterAttack_ < 0 && levelDb >= floorLevel_ + kAttackShows)
      afterAttack_ = k + static_cast<int>(std::ceil(kAttackTime / spacingSeconds));
    const int climbed = k - leftFloor_;
    const bool slow = afterAttack_ >= 0 && climbed >= kLongClimbMeasures &&
                      climbed * spacingSeconds >= kLongClimb;
    if (k == afterAttack_) afterAttackLevel_ = levelDb;
    const bool fast =
        afterAttack_ >= 0 && k > afterAttack_ && levelDb - afterAttackLevel_ >= kHowlRise;
    if (fast || slow) {
      howl_ = true;
      howlRate_ = (levelDb - climbStartLevel_) / ((k - climbStart_) * spacingSeconds);
    }
  } else if (climbing_) {
    climbing_ = false;
    // The level after an attack is measured from its top; after a howl's
    // climb the climb itself is the growth, and a ripple is part of the trend.
    if (afterAttack_ >= 0 && !howl_) Settle(k - 1, Recent(k - 1));
  }
  if (k > 0) {
    const double x = k - settled_;
    n_ += 1.0;
    sumK_ += x;
    sumKK_ += x * x;
    sumL_ += levelDb;
    sumKL_ += x * levelDb;
  }
  recent_[k % kRecent] = levelDb;
}

void LevelClimb::Settle(int measure, double levelDb) {
  settled_ = measure;
  n_ = 1.0;
  sumK_ = sumKK_ = sumKL_ = 0.0;
  sumL_ = levelDb;
}

double LevelClimb::Growth() const {
  if (howl_) return howlRate_;
  const double needed = std::max(static_cast<double>(kTrendMeasures), kTrendTime / spacing_);
  if ((climbing_ && afterAttack_ >= 0) || n_ < needed)
    return -std::numeric_limits<double>::infinity();
  const double slope = (n_ * sumKL_ - sumK_ * sumL_) / (n_ * sumKK_ - sumK_ * sumK_);
  return slope / spacing_;
}

} // namespace tarvex
