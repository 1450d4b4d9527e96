#pragma once

namespace plugkit {

// The host's time information for the current block. Positions and times of
// -1.0 are unknown.
struct TransportInfo {
  double tempo = 120.0;
  double samplePos = -1.0;
  double ppqPos = -1.0;
  double lastBar = -1.0;
  double cycleStart = -1.0;
  double cycleEnd = -1.0;
  int numerator = 4;
  int denominator = 4;
  bool running = false;
  bool cycleActive = false;
};

} // namespace plugkit
