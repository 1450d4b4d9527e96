#pragma once

namespace tarvex {

struct NotchCoefficients {
  double b0;
  double b1;
  double b2;
  double a1;
  double a2;
};

// A notch's centre and Q within what the bank supports.
struct NotchDesign {
  double frequencyHz;
  double q;
};

NotchDesign ClampNotchDesign(double frequencyHz, double q, double sampleRate);

// Biquad notch with unit gain away from the centre and a zero on the unit
// circle at it; frequency and Q are clamped to what the bank supports.
NotchCoefficients DesignNotch(double frequencyHz, double q, double sampleRate);

// Where a running notch gliding from one design towards another may be after
// the given samples: no farther than its resonance can follow, so a tone in
// or beside the notch never comes out louder than it went in. The notch's
// narrower end paces the centre; at Q 24 a glide from 1 kHz to 500 Hz takes
// about 0.7 s, and narrower or lower notches move more slowly.
NotchDesign GlideNotch(const NotchDesign& from, const NotchDesign& to, double sampleRate,
                       int samples);

// Whether a glide at the pace of GlideNotch arrives within the given samples.
bool GlideArrives(const NotchDesign& from, const NotchDesign& to, double sampleRate, int samples);

} // namespace tarvex
