#include "scan/token_ring.h"

namespace {
const std::string kNoToken;
}

TokenRing::TokenRing(int slots, size_t initialCapacity)
    : slots_(slots > 0 ? slots + 1 : 2), slotCount_(static_cast<int>(slots_.size()) - 1) {
  for (std::string& slot : slots_) slot.reserve(initialCapacity);
}

const std::string& TokenRing::noToken() { return kNoToken; }

void TokenRing::clear() {
  for (std::string& slot : slots_) slot.clear();
}
