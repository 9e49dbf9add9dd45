#include "scan/token_ring.h"

namespace {
const std::string kNoToken;
}

TokenRing::TokenRing(int slots, size_t initialCapacity) : slots_(slots > 0 ? slots : 1) {
  for (std::string& slot : slots_) slot.reserve(initialCapacity);
}

void TokenRing::push(std::string_view token) {
  newest_ = newest_ + 1 == slots() ? 0 : newest_ + 1;
  slots_[newest_].assign(token.data(), token.size());
  ++pushes_;
}

const std::string& TokenRing::at(int n) const {
  if (n < 0 || n >= slots()) return kNoToken;
  int slot = newest_ - n;
  if (slot < 0) slot += slots();
  return slots_[slot];
}

void TokenRing::clear() {
  for (std::string& slot : slots_) slot.clear();
}
