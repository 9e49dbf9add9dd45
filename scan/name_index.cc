#include "scan/name_index.h"

#include "context/text_util.h"

namespace {

constexpr size_t kFirstSlots = 64;

// The first `count` bytes of `w` folded one by one, minding trail bytes.
std::uint64_t lowerBytes(std::uint64_t w, size_t count, bool& trail) {
  for (size_t k = 0; k < count; ++k) {
    auto c = static_cast<unsigned char>(w >> (8 * k));
    if (!trail && c >= 'A' && c <= 'Z') w |= std::uint64_t{0x20} << (8 * k);
    trail = !trail && isShiftJisLead(c);
  }
  return w;
}

}  // namespace

// The whole rule, eight bytes a step, over the name as the comparison sees
// it: with folded names the letters are lowered except the trail byte of a
// double-byte character, as compareIgnoreCase does. hashName gives the same
// for the names of up to two words without the call.
std::uint32_t NameIndex::hashLongName(std::string_view name, bool folded) {
  std::uint64_t h = startHash(name.size());
  bool trail = false;
  for (size_t i = 0; i < name.size(); i += 8) {
    size_t count = name.size() - i < 8 ? name.size() - i : 8;
    std::uint64_t w = nameWord(name.data() + i, count);
    if (folded)
      w = (!trail && !(w & kNameWordHighBits)) ? lowerAsciiWord(w) : lowerBytes(w, count, trail);
    h = mixWord(h, w);
  }
  return finishHash(h);
}

void NameIndex::addHashed(std::uint32_t hash, std::uint32_t position) {
  if (count_ == 0) folded_ = caseInsensitiveNames();
  if (folded_ != caseInsensitiveNames()) broken_ = true;
  if (2 * (count_ + 1) > slots_.size()) grow();
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
