#include "scan/name_index.h"

#include "app/text_util.h"
#include "scan/lexical_rules.h"

namespace {

constexpr size_t kFirstSlots = 64;

// FNV-1a over the name as the comparison sees it: with folded names the
// letters are lowered except the trail byte of a double-byte character, as
// compareIgnoreCase does.
std::uint32_t hashName(std::string_view name, bool folded) {
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

}  // namespace

bool NameIndex::usable() const {
  return !broken_ && (count_ == 0 || folded_ == caseInsensitiveNames());
}

// The slot holding `name`, or the free slot where it would go.
size_t NameIndex::slotOf(std::string_view name, std::uint32_t hash) const {
  size_t mask = slots_.size() - 1;
  for (size_t i = hash & mask;; i = (i + 1) & mask) {
    const Slot& slot = slots_[i];
    if (!slot.used) return i;
    if (slot.hash == hash && sameName(slot.name, name)) return i;
  }
}

const std::uint32_t* NameIndex::find(std::string_view name) const {
  if (count_ == 0) return nullptr;
  const Slot& slot = slots_[slotOf(name, hashName(name, folded_))];
  return slot.used ? &slot.value : nullptr;
}

// A value changed where the index cannot answer would be stale once the
// comparison is back: such an index stays broken until cleared.
std::uint32_t* NameIndex::find(std::string_view name) {
  if (!usable()) {
    broken_ = true;
    return nullptr;
  }
  return const_cast<std::uint32_t*>(static_cast<const NameIndex*>(this)->find(name));
}

void NameIndex::add(std::string_view name, std::uint32_t value) {
  if (count_ == 0) folded_ = caseInsensitiveNames();
  if (folded_ != caseInsensitiveNames()) broken_ = true;
  if (2 * (count_ + 1) > slots_.size()) grow();
  std::uint32_t hash = hashName(name, folded_);
  Slot& slot = slots_[slotOf(name, hash)];
  slot.name.assign(name);
  slot.hash = hash;
  slot.value = value;
  slot.used = true;
  ++count_;
}

// The slots after the freed one move back where their names would go, so
// that no search stops early at the hole.
void NameIndex::remove(std::string_view name) {
  if (count_ == 0) return;
  if (!usable()) {
    broken_ = true;
    return;
  }
  size_t mask = slots_.size() - 1;
  size_t hole = slotOf(name, hashName(name, folded_));
  if (!slots_[hole].used) return;
  slots_[hole].used = false;
  --count_;
  for (size_t i = (hole + 1) & mask; slots_[i].used; i = (i + 1) & mask) {
    size_t home = slots_[i].hash & mask;
    // Stays when its home lies cyclically in (hole, i].
    bool stays = hole <= i ? (hole < home && home <= i) : (hole < home || home <= i);
    if (stays) continue;
    slots_[hole] = std::move(slots_[i]);
    slots_[i].used = false;
    hole = i;
  }
}

// Twice the slots (at most half of them used), every name placed again.
void NameIndex::grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.empty() ? kFirstSlots : 2 * old.size(), Slot{});
  size_t mask = slots_.size() - 1;
  for (Slot& slot : old) {
    if (!slot.used) continue;
    size_t i = slot.hash & mask;
    while (slots_[i].used) i = (i + 1) & mask;
    slots_[i] = std::move(slot);
  }
}

void NameIndex::clear() {
  slots_.clear();
  count_ = 0;
  broken_ = false;
}
