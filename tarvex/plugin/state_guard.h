#pragma once

#include <atomic>
#include <cstdint>

namespace tarvex {

// Takes the state guard for one state or bank operation if it is free. A
// contender never waits: it finds Held() false and gives up. Released when
// the scope ends, on every way out.
class StateGuard {
public:
  explicit StateGuard(std::atomic<std::int32_t>& flag)
      : flag_(flag), held_(flag.exchange(1) == 0) {}
  ~StateGuard() {
    if (held_) flag_.store(0);
  }
  StateGuard(const StateGuard&) = delete;
  StateGuard& operator=(const StateGuard&) = delete;

  bool Held() const { return held_; }

private:
  std::atomic<std::int32_t>& flag_;
  const bool held_;
};

} // namespace tarvex
