// Answers kept while what they were worked out from stays as it was. A
// body asks a table the same few questions again and again (the same
// variable named, the same function called); while no record, scope or
// file that the answer reads changed, the table would find what it found
// before and record nothing new, so the kept answer is given at once.
// Questions are byte strings, told apart byte for byte.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "scan/name_index.h"

template <class Answer>
class QuestionMemo {
 public:
  // The change counts of what the answers read besides the question.
  struct Stamp {
    std::uint64_t counts[4] = {};
    bool folded = false;  // the run's comparison
    bool operator==(const Stamp&) const = default;
  };

  QuestionMemo() : slots_(kSlots) {}

  // Makes `question` of several parts, each as its length and then its
  // bytes (so that no two lists of parts give the same bytes), and then
  // the bytes of `tail`.
  template <size_t N, class Tail>
  static void compose(std::string& question, const std::array<std::string_view, N>& parts,
                      const Tail& tail) {
    size_t size = sizeof tail;
    for (std::string_view part : parts) size += sizeof(std::uint32_t) + part.size();
    question.resize(size);
    char* at = question.data();
    for (std::string_view part : parts) {
      auto length = static_cast<std::uint32_t>(part.size());
      std::memcpy(at, &length, sizeof length);
      std::memcpy(at + sizeof length, part.data(), part.size());
      at += sizeof length + part.size();
    }
    std::memcpy(at, &tail, sizeof tail);
  }

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

  // The kept answer to `question`, or null when none is kept.
  const Answer* find(std::string_view question) const {
    std::uint32_t hash = NameIndex::bytesHash(question);
    for (size_t i = hash & kMask; slots_[i].epoch == epoch_; i = (i + 1) & kMask) {
      const Slot& s = slots_[i];
      if (s.hash == hash && questionOf(s) == question) return &s.answer;
    }
    return nullptr;
  }

  // Keeps the answer to `question` (none kept now); a full memo keeps no more.
  void keep(std::string_view question, const Answer& answer) {
    if (kept_ >= kMaxKept) return;
    std::uint32_t hash = NameIndex::bytesHash(question);
    size_t i = hash & kMask;
    while (slots_[i].epoch == epoch_) i = (i + 1) & kMask;
    slots_[i] = {epoch_, hash, static_cast<std::uint32_t>(questions_.size()),
                 static_cast<std::uint32_t>(question.size()), answer};
    questions_.append(question);
    ++kept_;
  }

 private:
  static constexpr size_t kSlots = 512;  // a power of two
  static constexpr size_t kMask = kSlots - 1;
  static constexpr size_t kMaxKept = kSlots / 2;
  struct Slot {
    std::uint32_t epoch = 0;  // in use when equal to epoch_
    std::uint32_t hash = 0;
    std::uint32_t offset = 0;  // of the question in questions_
    std::uint32_t length = 0;
    Answer answer{};
  };
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
  std::string questions_;  // the kept questions one after another
  size_t kept_ = 0;
  Stamp stamp_;
  std::array<std::string, kAskerParts> asker_;
};
