#pragma once

#include <algorithm>
#include <cmath>

namespace tarvex {

struct ComplexValue {
  double re;
  double im;
};

// Complex quotient n/d scaled by the larger part of d (Smith's method), so
// large or small denominators neither overflow nor underflow; NaN when d is
// not finite or zero.
inline ComplexValue ScaledDivide(ComplexValue n, ComplexValue d) {
  const double nan = std::nan("");
  if (!std::isfinite(d.re) || !std::isfinite(d.im) || (d.re == 0.0 && d.im == 0.0))
    return {nan, nan};
  if (std::fabs(d.re) >= std::fabs(d.im)) {
    const double r = d.im / d.re;
    const double den = d.re + d.im * r;
    return {(n.re + n.im * r) / den, (n.im - n.re * r) / den};
  }
  const double r = d.re / d.im;
  const double den = d.im + d.re * r;
  return {(n.re * r + n.im) / den, (n.im * r - n.re) / den};
}

// One biquad's response Hs at the point z on the unit circle (z2 = z²).
inline ComplexValue SectionResponse(double b0, double b1, double b2, double a1, double a2,
                                    ComplexValue z, ComplexValue z2) {
  const ComplexValue n{b0 + b1 * z.re + b2 * z2.re, b1 * z.im + b2 * z2.im};
  const ComplexValue d{1.0 + a1 * z.re + a2 * z2.re, a1 * z.im + a2 * z2.im};
  return ScaledDivide(n, d);
}

// Multiplies h by a section's contribution 1 + (Hs - 1)·wet.
inline ComplexValue MixSectionResponse(ComplexValue h, ComplexValue hs, double wet) {
  const ComplexValue factor{1.0 + (hs.re - 1.0) * wet, hs.im * wet};
  return {h.re * factor.re - h.im * factor.im, h.re * factor.im + h.im * factor.re};
}

// A power in dB, floored at -240 dB.
inline double PowerDb(double power) { return 10.0 * std::log10(std::max(power, 1e-24)); }

inline double MagnitudeDb(ComplexValue h) {
  const double magnitude = std::sqrt(h.re * h.re + h.im * h.im);
  return 20.0 * std::log10(std::max(magnitude, 1e-12));
}

} // namespace tarvex
