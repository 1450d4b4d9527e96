#pragma once

#include "tarvex/engine/fft_transform.h"

namespace tarvex {

// The shortest and longest block one measure of a tone's level takes.
constexpr int kToneBlockMin = 256;
constexpr int kToneBlockMax = kTransformPoints;

// Which input the measure listens to: one channel, or the mean power of both.
enum class ToneInput : int { kFirst = 0, kSecond = 1, kBoth = 2 };

// The block a tone's level is measured over: about 5 ms, so that a note's
// attack and a howl's climb are told apart, but at least four periods of the
// tone, without which its own image below zero hertz would sway the measure.
int ToneBlockSize(double frequency, double sampleRate);

// The level in dB (a sine of amplitude 1 reads 0 dB) at one frequency of
// consecutive blocks of the input in the analysis ring, oldest first: blocks
// of blockSize samples (a power of two from kToneBlockMin to kToneBlockMax),
// the first starting at ring index start, as many as the ring holds at most.
// The analysis's own Hann window (kToneBlockMax points), taken at every
// stride-th point for a shorter block, keeps partials more than a few periods
// of the block away out of the measure.
void MeasureToneLevels(const StereoPoint* ring, const double* hann, int start, int blockSize,
                       int blocks, double frequency, double sampleRate, ToneInput input,
                       double* levelsDb);

} // namespace tarvex
