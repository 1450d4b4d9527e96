#include "tarvex/plugin/bank_store.h"

namespace tarvex {
namespace {

constexpr int kReadTries = 16;

} // namespace

BankStore::BankStore() {
  WriteValues(DefaultParamValues());
  WriteLearnedSet(LearnedSet{});
}

void BankStore::WriteValues(const ParamValues& values) {
  for (int i = 0; i < kParamCount; ++i) values_[i].exchange(values[i]);
}

ParamValues BankStore::ReadValues() const {
  ParamValues values;
  for (int i = 0; i < kParamCount; ++i) values[i] = values_[i].load();
  return values;
}

void BankStore::WriteLearnedSet(const LearnedSet& set) {
  PublishLearnedSet(stored_.counter, stored_.words, set);
}

bool BankStore::ReadLearnedSet(LearnedSet& out) const {
  for (int attempt = 0; attempt < kReadTries; ++attempt)
    if (TryReadLearnedSet(stored_, out)) return true;
  return false;
}

} // namespace tarvex
