#include "tarvex/engine/notch_design.h"

#include <algorithm>
#include <cmath>

#include "tarvex/engine/engine_constants.h"

namespace tarvex {
namespace {

// A resonance with bandwidth share α (α = sin ω / 2Q, its decay per sample)
// follows a centre that moves by up to α² radians per sample per sample, and
// a Q that changes by up to α of itself per sample; these shares of those
// paces keep any tone within 0.2 dB of its own level while a notch glides.
constexpr double kCentreGlideShare = 0.5;
constexpr double kQGlideShare = 0.1;

} // namespace

NotchDesign ClampNotchDesign(double frequencyHz, double q, double sampleRate) {
  return {std::clamp(frequencyHz, 20.0, TopFrequency(sampleRate)), std::clamp(q, 0.5, 80.0)};
}

NotchCoefficients DesignNotch(double frequencyHz, double q, double sampleRate) {
  const NotchDesign d = ClampNotchDesign(frequencyHz, q, sampleRate);
  const double omega = 2.0 * kPi * d.frequencyHz / sampleRate;
  const double alpha = std::sin(omega) / (2.0 * d.q);
  const double h = 1.0 / (1.0 + alpha);
  const double b1 = -2.0 * std::cos(omega) * h;
  return {h, b1, h, b1, (1.0 - alpha) * h};
}

NotchDesign GlideNotch(const NotchDesign& from, const NotchDesign& to, double sampleRate,
                       int samples) {
  const double omega = 2.0 * kPi * from.frequencyHz / sampleRate;
  const double narrowest = std::sin(omega) / (2.0 * std::max(from.q, to.q));
  const double omegaStep = kCentreGlideShare * narrowest * narrowest * samples;
  const double omegaMove = 2.0 * kPi * to.frequencyHz / sampleRate - omega;
  NotchDesign next = to;
  if (std::fabs(omegaMove) > omegaStep)
    next.frequencyHz =
        (omega + std::clamp(omegaMove, -omegaStep, omegaStep)) * sampleRate / (2.0 * kPi);
  // x / (1 + x) keeps the step within the share of the Q it reaches as well
  // as of the one it leaves.
  const double x = kQGlideShare * std::sin(omega) / (2.0 * from.q) * samples;
  const double qStep = x / (1.0 + x);
  const double qMove = std::log(to.q / from.q);
  if (std::fabs(qMove) > qStep) next.q = from.q * std::exp(std::clamp(qMove, -qStep, qStep));
  return next;
}

bool GlideArrives(const NotchDesign& from, const NotchDesign& to, double sampleRate, int samples) {
  const NotchDesign reached = GlideNotch(from, to, sampleRate, samples);
  return reached.frequencyHz == to.frequencyHz && reached.q == to.q;
}

} // namespace tarvex
