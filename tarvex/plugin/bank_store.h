#pragma once

#include <array>
#include <atomic>

#include "tarvex/engine/learned_set.h"
#include "tarvex/engine/param_table.h"

namespace tarvex {

// The bank that is not active: its 192 values and its learned filters. The
// user-interface and host threads write it while others may read it, so
// every value is stored atomically and the set sits behind a sequence
// counter.
class BankStore {
public:
  // Starts as the defaults with 24 empty filters.
  BankStore();
  BankStore(const BankStore&) = delete;
  BankStore& operator=(const BankStore&) = delete;

  void WriteValues(const ParamValues& values);
  ParamValues ReadValues() const;

  void WriteLearnedSet(const LearnedSet& set);
  // False when a writer kept the set busy through every try.
  bool ReadLearnedSet(LearnedSet& out) const;

private:
  std::array<std::atomic<float>, kParamCount> values_{};
  SharedLearnedSet stored_;
};

} // namespace tarvex
