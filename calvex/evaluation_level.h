// One parenthesis depth of an evaluation: the chain of operators and values met at
// that depth, reduced by binding strength as values arrive. A level is emptied when
// its group closes and serves the next group at the same depth.
#pragma once

#include <cstddef>
#include <vector>

#include "calvex/evaluation_types.h"
#include "calvex/syntax_table.h"

namespace calvex {

// What a closed group hands to the level around it.
struct GroupValue {
  double value = 0;
  // Set when a comma was applied: its two operands become the arguments of the
  // function that receives the group, in place of the group's value (0).
  bool hasArguments = false;
  Operand arguments;
};

class EvaluationLevel {
 public:
  explicit EvaluationLevel(const SyntaxTable& syntax) : syntax_(&syntax) {}

  void pushOperator(const OperatorEntry& op);
  void pushOperand(const Operand& operand, ErrorState& errors);
  // Reduces the whole chain to one value and empties the level.
  GroupValue evaluate(ErrorState& errors);

 private:
  // The first entry holds the first value (and the prefix operator or function the
  // group starts with, if any); every later entry holds an operator and the
  // operand on its right.
  struct Entry {
    const OperatorEntry* op = nullptr;  // null only for a plain first value
    bool negate = false;                // a '-' stands before the operand
    bool filled = false;                // the operand has arrived
    Operand operand;
  };

  bool absorbsMinus(const Entry& last) const;
  bool prefixDue() const;
  void reduce(ErrorState& errors);
  void combine(std::size_t index, ErrorState& errors);
  void applyPrefix(ErrorState& errors);
  double apply(const OperatorEntry& op, double left, const Operand& right, ErrorState& errors);
  static double signedValue(const Entry& entry);
  static Operand signedOperand(const Entry& entry);

  const SyntaxTable* syntax_;
  std::vector<Entry> entries_;
  // Entries before this index cannot be reduced: the chain only changes at its end.
  std::size_t scanFrom_ = 0;
  bool hasArguments_ = false;
  Operand arguments_;
};

}  // namespace calvex
