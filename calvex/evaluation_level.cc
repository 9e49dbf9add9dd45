#include "calvex/evaluation_level.h"

#include "calvex/arithmetic.h"

namespace calvex {

// A '-' right after another '-', or after an operator or function that binds more
// tightly than addition, only flips the sign of the operand still to come
// (`2*-3`, `2--3`, `!-1`, `sqrt-4`). Elsewhere it is an entry of its own.
bool EvaluationLevel::absorbsMinus(const Entry& last) const {
  if (last.filled) return false;
  return last.op->operation == Operation::Minus || last.op->code < syntax_->additiveCode;
}

void EvaluationLevel::pushOperator(const OperatorEntry& op) {
  bool minus = op.operation == Operation::Minus;
  if (minus && !entries_.empty() && absorbsMinus(entries_.back())) {
    entries_.back().negate = !entries_.back().negate;
    return;
  }
  entries_.push_back(Entry{&op, minus, false, {}});
}

void EvaluationLevel::pushOperand(const Operand& operand, ErrorState& errors) {
  if (entries_.empty()) {
    entries_.push_back(Entry{nullptr, false, true, operand});
    return;
  }
  Entry& last = entries_.back();
  if (last.filled) {
    // Two values in a row. A second value of 0 is let through: `10L` and an empty
    // `()` behind a value leave the value alone.
    if (operand.first != 0 || operand.second != 0) errors.report(kCalvexCalculationError);
    return;
  }
  last.operand = operand;
  last.filled = true;
  reduce(errors);
}

// The prefix of the first entry applies once its operand is there and the next
// operator binds no more tightly than the prefix itself.
bool EvaluationLevel::prefixDue() const {
  const Entry& first = entries_[0];
  return first.op && first.filled && entries_[1].op->code >= first.op->code;
}

// Scans the chain from the left: where the operator after an entry binds no more
// tightly than the entry's own, the entry is folded into the one before it (equal
// strengths associate to the left). The leftmost possible fold always comes first,
// as when rescanning from the start; only positions from scanFrom_ on can fold,
// because the chain changed only at its end since the last scan.
void EvaluationLevel::reduce(ErrorState& errors) {
  std::size_t i = scanFrom_;
  while (i + 1 < entries_.size()) {
    if (i == 0) {
      if (prefixDue()) applyPrefix(errors);
      i = 1;
    } else if (entries_[i].filled && entries_[i + 1].op->code >= entries_[i].op->code) {
      combine(i, errors);
      --i;
    } else {
      ++i;
    }
  }
  scanFrom_ = entries_.empty() ? 0 : entries_.size() - 1;
}

// Folds entries_[index] into the entry before it: left value, operator, operand.
void EvaluationLevel::combine(std::size_t index, ErrorState& errors) {
  Entry& left = entries_[index - 1];
  const Entry& right = entries_[index];
  Operand operand = signedOperand(right);
  if (!left.filled) {
    // A prefix in the middle (`1+!0`): its missing left operand is 0, and its result
    // is the operand of the entry before it, which keeps its own sign to apply.
    left.operand = Operand{apply(*right.op, 0, operand, errors), 0};
    left.filled = true;
  } else if (right.op->outranksSign) {
    left.operand.first = apply(*right.op, left.operand.first, operand, errors);
  } else {
    left.operand.first = apply(*right.op, signedValue(left), operand, errors);
    left.negate = false;
  }
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
}

// A leading sign yields its signed value, ! ~ ++ -- and the functions their result;
// any other operator at the start of a group gives 0 (`?` and `:` an error too).
void EvaluationLevel::applyPrefix(ErrorState& errors) {
  Entry& first = entries_[0];
  Operation operation = first.op->operation;
  double value = 0;
  if (appliesAsPrefix(operation)) {
    value = applyOperation(operation, 0, signedOperand(first), errors);
  } else if (operation == Operation::Conditional) {
    applyOperation(operation, 0, signedOperand(first), errors);
  }
  first = Entry{nullptr, false, true, Operand{value, 0}};
}

double EvaluationLevel::apply(const OperatorEntry& op, double left, const Operand& right,
                              ErrorState& errors) {
  if (op.operation == Operation::Comma) {
    hasArguments_ = true;
    arguments_ = Operand{left, right.first};
  }
  return applyOperation(op.operation, left, right, errors);
}

// Whatever is left once no fold applies binds more tightly to the right, so it is
// combined from the right end back to the first entry.
GroupValue EvaluationLevel::evaluate(ErrorState& errors) {
  GroupValue result;
  if (!entries_.empty()) {
    reduce(errors);
    while (entries_.size() > 1) combine(entries_.size() - 1, errors);
    if (entries_[0].op) applyPrefix(errors);
    result.value = entries_[0].operand.first;
  }
  result.hasArguments = hasArguments_;
  result.arguments = arguments_;
  entries_.clear();
  scanFrom_ = 0;
  hasArguments_ = false;
  arguments_ = Operand{};
  return result;
}

double EvaluationLevel::signedValue(const Entry& entry) {
  return entry.negate ? -entry.operand.first : entry.operand.first;
}

Operand EvaluationLevel::signedOperand(const Entry& entry) {
  return Operand{signedValue(entry), entry.operand.second};
}

}  // namespace calvex
