#pragma once

#include <limits>

namespace tarvex {

// The last value a pure function gave, reused while its argument repeats.
struct Memo {
  double argument = std::numeric_limits<double>::quiet_NaN();
  double result = 0.0;

  template <typename F>
  double operator()(double a, F function) {
    if (argument != a) {
      argument = a;
      result = function(a);
    }
    return result;
  }
};

} // namespace tarvex
