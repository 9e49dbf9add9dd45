// Answers kept while what they were worked out from stays as it was. A
// body asks a table the same few questions again and again (the same
// variable named, the same function called); while no record, scope or
// file that the answer reads changed, the table would find what it found
// before and record nothing new, so the kept answer is given at once.
// Questions are byte strings, told apart byte for byte; an answer is
// kept for the question last asked.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "scan/name_index.h"

template <class Answer, size_t kSlots = 512>  // kSlots: a power of two
class QuestionMemo {
 public:
  // The change counts of what the answers read besides the question.
  struct Stamp {
    std::uint64_t counts[4] = {};
    bool folded = false;  // the run's comparison
    bool operator==(const Stamp&) const = default;
  };

  QuestionMemo() : slots_(kSlots) {}

  // The parts that name the body asking.
  static constexpr size_t kAskerParts = 3;
  using Asker = std::array<std::string_view, kAskerParts>;

  // Forgets every answer unless they were given under `stamp` to the same
  // asker; true when it forgot them.
  bool startQuestions(const Stamp& stamp, const Asker& asker) {
    if (stamp == stamp_ && sameAsker(asker)) return false;
    forget();
    stamp_ = stamp;
    for (size_t k = 0; k < kAskerParts; ++k) asker_[k].assign(asker[k]);
    return true;
  }

  // The kept answer to the question of `parts` and then the bytes of
  // `tail`, or null when none is kept. The question is made of each part
  // as its length and then its bytes (so that no two lists of parts give
  // the same bytes), hashed part by part, and remembered for keep().
  template <size_t N, class Tail>
  const Answer* ask(const std::array<std::string_view, N>& parts, const Tail& tail) {
    static_assert(sizeof tail <= sizeof(std::uint64_t));
    size_t size = sizeof tail;
    for (std::string_view part : parts) size += sizeof(std::uint32_t) + part.size();
    composed_.resize(size);
    char* at = composed_.data();
    std::uint64_t h = 0;
    for (std::string_view part : parts) {
      auto length = static_cast<std::uint32_t>(part.size());
      std::memcpy(at, &length, sizeof length);
      std::memcpy(at + sizeof length, part.data(), part.size());
      at += sizeof length + part.size();
      h = (h ^ NameIndex::bytesHash(part)) * kMixer;
    }
    std::memcpy(at, &tail, sizeof tail);
    std::uint64_t tailBits = 0;
    std::memcpy(&tailBits, &tail, sizeof tail);
    h = (h ^ tailBits) * kMixer;
    asked_ = composed_;
    askedHash_ = static_cast<std::uint32_t>(h >> 32);
    return find();
  }
  // The same for a question of one part, its bytes as they are, which
  // stay as they are until the answer is kept.
  const Answer* ask(std::string_view question) {
    asked_ = question;
    askedHash_ = NameIndex::bytesHash(question);
    return find();
  }

  // Keeps the answer to the question last asked (none kept for it); a
  // full memo keeps no more.
  void keep(const Answer& answer) {
    if (kept_ >= kMaxKept) return;
    size_t i = askedHash_ & kMask;
    while (slots_[i].epoch == epoch_) i = (i + 1) & kMask;
    slots_[i] = {epoch_, askedHash_, static_cast<std::uint32_t>(questions_.size()),
                 static_cast<std::uint32_t>(asked_.size()), answer};
    questions_.append(asked_);
    ++kept_;
  }

 private:
  static_assert((kSlots & (kSlots - 1)) == 0);
  static constexpr size_t kMask = kSlots - 1;
  static constexpr size_t kMaxKept = kSlots / 2;
  struct Slot {
    std::uint32_t epoch = 0;  // in use when equal to epoch_
    std::uint32_t hash = 0;
    std::uint32_t offset = 0;  // of the question in questions_
    std::uint32_t length = 0;
    Answer answer{};
  };
  static constexpr std::uint64_t kMixer = 0x9E3779B97F4A7C15ull;
  const Answer* find() const {
    for (size_t i = askedHash_ & kMask; slots_[i].epoch == epoch_; i = (i + 1) & kMask) {
      const Slot& s = slots_[i];
      if (s.hash == askedHash_ && questionOf(s) == asked_) return &s.answer;
    }
    return nullptr;
  }
  void forget() {
    if (++epoch_ == 0) {  // the count went round: no slot may look in use
      for (Slot& s : slots_) s.epoch = 0;
      epoch_ = 1;
    }
    questions_.clear();
    kept_ = 0;
  }
  bool sameAsker(const Asker& asker) const {
    for (size_t k = 0; k < kAskerParts; ++k)
      if (asker[k] != asker_[k]) return false;
    return true;
  }
  std::string_view questionOf(const Slot& s) const {
    return std::string_view(questions_.data() + s.offset, s.length);
  }

  std::vector<Slot> slots_;
  std::uint32_t epoch_ = 1;
  std::string questions_;   // the kept questions one after another
  std::string composed_;    // the last question of several parts
  std::string_view asked_;  // the question last asked
  std::uint32_t askedHash_ = 0;
  size_t kept_ = 0;
  Stamp stamp_;
  std::array<std::string, kAskerParts> asker_;
};
