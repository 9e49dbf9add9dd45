#include "scan/name_index.h"

#include "app/text_util.h"

namespace {
constexpr size_t kFirstSlots = 64;
}  // namespace

// FNV-1a over the name as the comparison sees it: with folded names the
// letters are lowered except the trail byte of a double-byte character, as
// compareIgnoreCase does.
std::uint32_t NameIndex::hashName(std::string_view name, bool folded) {
  constexpr std::uint32_t kPrime = 16777619u;
  std::uint32_t h = 2166136261u;
  if (!folded) {
    for (char c : name) h = (h ^ static_cast<unsigned char>(c)) * kPrime;
    return h;
  }
  bool trail = false;
  for (char ch : name) {
    unsigned char c = static_cast<unsigned char>(ch);
    bool lead = !trail && isShiftJisLead(c);
    if (!trail && c >= 'A' && c <= 'Z') c = static_cast<unsigned char>(c + 32);
    trail = lead;
    h = (h ^ c) * kPrime;
  }
  return h;
}

bool NameIndex::usable() const {
  return !broken_ && (count_ == 0 || folded_ == caseInsensitiveNames());
}

void NameIndex::add(std::string_view name, std::uint32_t position) {
  if (count_ == 0) folded_ = caseInsensitiveNames();
  if (folded_ != caseInsensitiveNames()) broken_ = true;
  if (2 * (count_ + 1) > slots_.size()) grow();
  std::uint32_t hash = hashName(name, folded_);
  size_t mask = slots_.size() - 1;
  size_t i = hash & mask;
  while (slots_[i].position != kFree) i = (i + 1) & mask;
  slots_[i] = {hash, position};
  ++count_;
}

// The slots after the freed one move back where their names would go, so
// that no search stops early at the hole.
void NameIndex::removeAt(size_t hole) {
  size_t mask = slots_.size() - 1;
  slots_[hole].position = kFree;
  --count_;
  for (size_t i = (hole + 1) & mask; slots_[i].position != kFree; i = (i + 1) & mask) {
    size_t home = slots_[i].hash & mask;
    // Stays when its home lies cyclically in (hole, i].
    bool stays = hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
    if (stays) continue;
    slots_[hole] = slots_[i];
    slots_[i].position = kFree;
    hole = i;
  }
}

// Twice the slots (at most half of them used), every name placed again.
void NameIndex::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? kFirstSlots : 2 * old.size(), Slot{});
  size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.position == kFree) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].position != kFree) i = (i + 1) & mask;
    slots_[i] = slot;
  }
}

void NameIndex::clear() {
  slots_.clear();
  count_ = 0;
  broken_ = false;
}
