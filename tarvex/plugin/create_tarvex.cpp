#include "tarvex/plugin/create_tarvex.h"

#include <mutex>

#include "tarvex/plugin/tarvex_plugin.h"

namespace tarvex {

std::unique_ptr<TarvexApiBase> CreateTarvex(const TarvexInstanceInfo& info) {
  // Made on first use, destroyed at exit.
  static std::mutex constructionLock;
  const std::lock_guard<std::mutex> hold(constructionLock);
  return std::make_unique<Tarvex>(info);
}

} // namespace tarvex
