#include "tables/variable_table.h"

#include <algorithm>
#include <climits>

#include "context/file_name_pool.h"
#include "context/file_name_pool.h"
#include "context/options.h"
#include "context/source_context.h"
#include "context/text_util.h"
#include "tables/type_table.h"
#include "report/error_log.h"
#include "scan/condition_evaluator.h"
#include "scan/define_table.h"
#include "context/language_mode.h"
#include "scan/lexical_rules.h"
#include "scan/sorted_search.h"
#include "tables/class_table.h"
#include "tables/function_table.h"
#include "tables/table_log.h"

namespace {

std::string_view trimmed(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

bool isWordByte(char c) {
  unsigned char u = static_cast<unsigned char>(c);
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' || u >= 0x80;
}

// Digits in `base` from the start of `text`; false when there are none or
// anything follows them.
bool parseDigits(std::string_view text, int base, long long& value) {
  if (text.empty()) return false;
  value = 0;
  for (char c : text) {
    int digit = isDigit(c)               ? c - '0'
                : (c >= 'a' && c <= 'f') ? c - 'a' + 10
                : (c >= 'A' && c <= 'F') ? c - 'A' + 10
                                         : 99;
    if (digit >= base) return false;
    if (value < LLONG_MAX / 32) value = value * base + digit;
  }
  return true;
}

// One number of a VB or Delphi bound: decimal, Delphi "$FF", VB "&HFF" and
// "&O17"; other text goes through the #define table.
bool boundNumber(std::string_view text, bool vb, const ExpressionTables& defines,
                 long long& value) {
  text = trimmed(text);
  bool negative = !text.empty() && text[0] == '-';
  if (negative) text = trimmed(text.substr(1));
  bool ok;
  if (!vb && !text.empty() && text[0] == '$') {
    ok = parseDigits(text.substr(1), 16, value);
  } else if (vb && text.size() > 2 && text[0] == '&' && (text[1] == 'H' || text[1] == 'h')) {
    ok = parseDigits(text.substr(2), 16, value);
  } else if (vb && text.size() > 2 && text[0] == '&' && (text[1] == 'O' || text[1] == 'o')) {
    ok = parseDigits(text.substr(2), 8, value);
  } else {
    ok = arrayBoundValue(text, defines, value);
  }
  if (ok && negative) value = -value;
  return ok;
}

// The position of the word "to" (any case) that separates a VB range.
size_t rangeWordTo(std::string_view dim) {
  for (size_t i = 1; i + 2 < dim.size(); ++i) {
    if ((dim[i] != 't' && dim[i] != 'T') || (dim[i + 1] != 'o' && dim[i + 1] != 'O')) continue;
    if (!isWordByte(dim[i - 1]) && !isWordByte(dim[i + 2])) return i;
  }
  return std::string_view::npos;
}

// One dimension "a to b" / "a..b" (b - a + 1) or "n" (n + 1).
long long dimensionCount(std::string_view dim, bool vb, const ExpressionTables& defines,
                         bool& inexact) {
  size_t split = vb ? rangeWordTo(dim) : dim.find("..");
  long long low = 0;
  long long high = 0;
  bool ok;
  if (split == std::string_view::npos) {
    ok = boundNumber(dim, vb, defines, high);
    high += 1;
  } else {
    ok = boundNumber(dim.substr(0, split), vb, defines, low) &&
         boundNumber(dim.substr(split + 2), vb, defines, high);
    high = high - low + 1;
  }
  if (!ok || high < 1) {
    inexact = true;
    return 1;
  }
  return high;
}

long long saturatedProduct(long long a, long long b) {
  if (a > 0 && b > LLONG_MAX / 4 / a) return LLONG_MAX / 4;
  return a * b;
}

// The text between `open` at `from` and its matching close, and the
// position after the close (the end of the text when it never closes).
std::string_view bracketGroup(std::string_view text, size_t from, char open, char close,
                              size_t& next) {
  int depth = 0;
  for (size_t i = from; i < text.size(); ++i) {
    if (text[i] == open) ++depth;
    if (text[i] == close && --depth == 0) {
      next = i + 1;
      return text.substr(from + 1, i - from - 1);
    }
  }
  next = text.size();
  return text.substr(std::min(from + 1, text.size()));
}

}  // namespace

// A plain number needs no evaluation; anything else (macros, sizeof,
// arithmetic) goes through the condition evaluator with its stack-size
// message.
bool arrayBoundValue(std::string_view text, const ExpressionTables& tables, long long& value) {
  if (parseDigits(trimmed(text), 10, value)) return true;
  int line = tables.context.currentLine();
  ConditionValue bound = evaluateExpressionAt(tables, text, false, line);
  value = bound.value;
  return bound.ok;
}

VariableTable::VariableTable(const Options& options, SourceContext& context,
                             const FileNamePool& fileNames, TypeTable& types,
                             const DefineTable& defines, ClassTable& classes,
                             FunctionTable& functions)
    : options_(options),
      context_(context),
      fileNames_(fileNames),
      types_(types),
      defines_(defines),
      classes_(classes),
      functions_(functions) {}

int VariableTable::nesting() const { return context_.depth(); }

int VariableTable::mode() const { return context_.languageMask(); }

VariableTable::StackEntry& VariableTable::stackEntry() {
  size_t n = static_cast<size_t>(nesting());
  if (stacks_.size() <= n) stacks_.resize(n + 1);
  return stacks_[n];
}

// ---------------------------------------------------------------------------
// Sizes

namespace {

// A declarator as written that declares an object of its type itself:
// "a" or "&a", not "*p" or "a[4]".
bool namesObject(std::string_view written) {
  return written.find_first_of("*[") == std::string_view::npos;
}

}  // namespace

// "*p", "a[10][N]" (C family), "a(1 To 5, 3)" (VB), "x[1..5]" (Delphi).
VariableTable::Declarator VariableTable::scanDeclarator(std::string_view written,
                                                        std::string_view type) const {
  Declarator d;
  size_t i = 0;
  while (i < written.size() && (written[i] == '*' || written[i] == '&' || written[i] == ' ')) {
    if (written[i] != ' ') d.pointer = true;
    ++i;
  }
  bool vb = (mode() & kModeVb) != 0;
  bool delphi = (mode() & kModeDelphi) != 0;
  char open = vb ? '(' : '[';
  char close = vb ? ')' : ']';
  size_t cut = written.find(open, i);
  d.name = std::string(trimmed(written.substr(i, cut == std::string_view::npos ? cut : cut - i)));
  if (cut == std::string_view::npos) return d;
  const ExpressionTables defines{context_, defines_, types_};
  if (vb || delphi) {
    size_t next;
    std::string_view dims = bracketGroup(written, cut, open, close, next);
    for (size_t start = 0;;) {
      size_t comma = dims.find(',', start);
      std::string_view dim =
          dims.substr(start, comma == std::string_view::npos ? comma : comma - start);
      d.elements = saturatedProduct(d.elements, dimensionCount(dim, vb, defines, d.inexact));
      if (comma == std::string_view::npos) break;
      start = comma + 1;
    }
    d.stringBound = delphi && equalsIgnoreCase(trimmed(type), "string");
    return d;
  }
  for (size_t at = cut; at < written.size() && written[at] == '[';) {
    size_t next;
    long long bound = 0;
    if (!arrayBoundValue(bracketGroup(written, at, '[', ']', next), defines, bound) || bound < 1) {
      bound = 1;
      d.inexact = true;
    }
    d.elements = saturatedProduct(d.elements, bound);
    at = next;
    while (at < written.size() && written[at] == ' ') ++at;
  }
  return d;
}

// The size of one element of `type`: modifier words dropped, then the whole
// rest, its last word and its part after the last ':' are tried as types.
void VariableTable::sizeOfType(std::string_view type, int& size, bool& inexact) const {
  size = 0;
  std::string rest;
  for (size_t start = 0; start < type.size();) {
    size_t space = type.find(' ', start);
    std::string_view word =
        type.substr(start, space == std::string_view::npos ? space : space - start);
    if (!word.empty() && !isModifierWord(word)) {
      if (!rest.empty()) rest += ' ';
      rest += word;
    }
    if (space == std::string_view::npos) break;
    start = space + 1;
  }
  // Modifier words alone ("unsigned", "signed") are a type of their own.
  if (rest.empty()) rest = trimmed(type);
  if ((mode() & kModeDelphi) && equalsIgnoreCase(rest, "string")) {
    size = 4;
    return;
  }
  TypeTable* types = &types_;
  std::string_view candidates[3] = {rest, rest, rest};
  size_t space = rest.rfind(' ');
  if (space != std::string::npos) candidates[1] = std::string_view(rest).substr(space + 1);
  size_t colon = rest.rfind(':');
  if (colon != std::string::npos) candidates[2] = std::string_view(rest).substr(colon + 1);
  for (std::string_view name : candidates) {
    const TypeRecord* record = !name.empty() ? types->findType(name) : nullptr;
    if (!record) continue;
    TypeTable::Size found = types->sizeOf(*record);
    size = found.bytes;
    inexact = inexact || found.inexact;
    int kind = record->kinds;
    if (size == 0 && (kind & (TypeTable::kStructure | TypeTable::kClass))) {
      int flags = 0;
      size = classes_.sizeOf(name, flags);
      // A library class of the settings data has no members to sum.
      inexact = inexact || flags != 0 || classes_.isRegistrationOnly(name);
    }
    return;
  }
  inexact = true;
}

// ---------------------------------------------------------------------------
// Registration

void VariableTable::registerVariable(std::string_view type, std::string_view name, int level,
                                     int flags, std::string_view className,
                                     std::string_view function) {
  if (type.empty() || name.empty()) {
    errorLog() << positionPrefix(&context_) << ": (内部ｴﾗｰ)不明なｵﾌﾞｼﾞｪｸﾄを登録しようとしています\n"
               << "    型名[" << type << "]  ｵﾌﾞｼﾞｪｸﾄ名[" << name << "]\n";
    return;
  }
  ++changes_;
  Declarator d = scanDeclarator(name, type);
  if (d.name.empty()) {
    errorLog() << "(内部ｴﾗｰ)ｵﾌﾞｼﾞｪｸﾄの登録に失敗しました[" << name << "]\n";
    return;
  }
  int element = 0;
  bool inexact = d.inexact;
  if (d.pointer)
    element = types_.pointerSize();
  else if (d.stringBound)
    element = 1;
  else
    sizeOfType(type, element, inexact);
  long long total = saturatedProduct(d.elements, element);
  int size = total > INT_MAX ? INT_MAX : static_cast<int>(total);
  bool isExtern = (flags & kExtern) != 0;
  bool isStatic = type.substr(0, 7) == "static ";
  if (level != 0 && !isExtern && !function.empty() && !isStatic) {
    countOnStack(type, d, size, inexact, level);
    scopes_.back().object = namesObject(name);
    return;
  }
  if (!className.empty() && function.empty())
    classes_.addMember(className, type, d.name, size, inexact ? VariableRecord::kInexact : 0,
                       namesObject(name));
  registerInMainTable(type, d, name, size, inexact, flags, className, function);
}

void VariableTable::countOnStack(std::string_view type, const Declarator& d, int size, bool inexact,
                                 int level) {
  StackEntry& e = stackEntry();
  e.current = e.current > INT_MAX - size ? INT_MAX : e.current + size;
  e.peak = std::max(e.peak, e.current);
  e.inexact = e.inexact || inexact;
  scopes_.push_back({std::string(type), d.name, nesting(), level, size});
}

// (name, class, function) order of the owned index.
int VariableTable::compareOwner(const VariableRecord& r, std::string_view name,
                                std::string_view className, std::string_view function,
                                bool folded) const {
  if (int c = compareNamesAs(folded, r.name, name)) return c;
  if (int c = compareNamesAs(folded, classOf(r), className)) return c;
  return compareNamesAs(folded, functionOf(r), function);
}
int VariableTable::compareOwner(const VariableRecord& r, std::string_view name,
                                std::string_view className, std::string_view function) const {
  return compareOwner(r, name, className, function, caseInsensitiveNames());
}

// ---------------------------------------------------------------------------
// The indexes while records wait

bool VariableTable::hashesAnswer() const {
  return order_.holds() && ownedNames_.usable() && unownedNames_.usable();
}

std::uint32_t VariableTable::ownerHash(std::string_view name, std::string_view className,
                                       std::string_view function) {
  std::uint32_t h = NameIndex::partHash(name);
  h = (h ^ (h >> 15)) * 0x2C1B3C6Du ^ NameIndex::partHash(className);
  return (h ^ (h >> 15)) * 0x297A2D39u ^ NameIndex::partHash(function);
}

int VariableTable::ownedRecordOf(std::string_view name, std::string_view className,
                                 std::string_view function) const {
  const std::uint32_t* found =
      ownedRecords_.findHashed(ownerHash(name, className, function), [&](std::uint32_t n) {
        const VariableRecord& r = records_[n];
        return sameName(r.name, name) && sameName(classOf(r), className) &&
               sameName(functionOf(r), function);
      });
  return found ? static_cast<int>(*found) : -1;
}

// The waiting records sorted in, under the comparison they came under.
// Names are equal in registration order (sorted_, unowned_), owners are
// unique (owned_): the order the sorted inserts made. The reports need
// only the name order; the other two serve the lookups once hashes no
// longer answer.
void VariableTable::settleNameOrder() const {
  if (sortedWaiting_.empty()) return;
  const bool folded = order_.folded;
  sortByName(sortedWaiting_, folded, nameOfRecord());
  mergeWaiting(sorted_, sortedWaiting_, [&](int a, int b) {
    return compareNamesAs(folded, records_[a].name, records_[b].name) < 0;
  });
}

void VariableTable::settleOrder() const {
  settleNameOrder();
  const bool folded = order_.folded;
  auto byOwner = [&](int a, int b) {
    const VariableRecord& r = records_[b];
    return compareOwner(records_[a], r.name, classOf(r), functionOf(r), folded) < 0;
  };
  std::sort(ownedWaiting_.begin(), ownedWaiting_.end(), byOwner);  // unique
  mergeWaiting(owned_, ownedWaiting_, byOwner);
  sortByName(unownedWaiting_, folded, nameOfRecord());
  mergeWaiting(unowned_, unownedWaiting_, [&](int a, int b) {
    return compareNamesAs(folded, records_[a].name, records_[b].name) < 0;
  });
}

// The owned record of exactly this name, class and function, or -1;
// `position` is where such a record belongs in the owned index.
int VariableTable::findOwnedRecord(std::string_view name, std::string_view className,
                                   std::string_view function, size_t& position) const {
  auto at = std::lower_bound(owned_.begin(), owned_.end(), 0, [&](int r, int) {
    return compareOwner(records_[r], name, className, function) < 0;
  });
  position = static_cast<size_t>(at - owned_.begin());
  if (at == owned_.end() || compareOwner(records_[*at], name, className, function) != 0) return -1;
  return *at;
}

size_t VariableTable::firstUnowned(std::string_view name) const {
  auto at = std::lower_bound(
      unowned_.begin(), unowned_.end(), name,
      [this](int r, std::string_view n) { return compareNames(records_[r].name, n) < 0; });
  return static_cast<size_t>(at - unowned_.begin());
}

int VariableTable::typeKindOf(std::string_view type) const {
  std::string_view plain = type.substr(0, 7) == "static " ? type.substr(7) : type;
  return types_.kindOf(plain) & (TypeTable::kStructure | TypeTable::kClass);
}

void VariableTable::registerInMainTable(std::string_view type, const Declarator& d,
                                        std::string_view written, int size, bool inexact, int flags,
                                        std::string_view className, std::string_view function) {
  bool isExtern = (flags & kExtern) != 0;
  bool owned = !className.empty() || !function.empty();
  int file = isExtern ? 0 : fileNames_.find(context_.item(0));
  int line = isExtern ? 0 : context_.currentLine();
  // An owned variable is the same as the one of its name, class and
  // function; an unowned one as the first unowned one of its language.
  if (records_.empty()) order_.begin();
  const bool fast = hashesAnswer();
  if (!fast) {
    settleOrder();
    order_.uniform = false;
  }
  int same = -1;
  size_t ownedAt = 0;
  size_t unownedAt = 0;
  if (fast && owned) {
    same = ownedRecordOf(d.name, className, function);
  } else if (fast) {
    const std::uint32_t* first = unownedNames_.find(d.name, nameOfRecord());
    for (int n = first ? static_cast<int>(*first) : -1; n >= 0; n = nextUnowned_[n]) {
      if (records_[n].language == mode()) {
        same = n;
        break;
      }
    }
  } else if (owned) {
    same = findOwnedRecord(d.name, className, function, ownedAt);
  } else {
    unownedAt = firstUnowned(d.name);
    for (; unownedAt < unowned_.size() && sameName(records_[unowned_[unownedAt]].name, d.name);
         ++unownedAt) {
      if (records_[unowned_[unownedAt]].language == mode()) {
        same = unowned_[unownedAt];
        break;
      }
    }
  }
  if (same >= 0) {
    VariableRecord& r = records_[same];
    // The definition of a variable known only by a declaration without a
    // position (extern, or a library object of the settings data) is the
    // variable the lists show.
    if (r.file == 0 && file != 0) {
      r.file = file;
      r.line = line;
      if (flags & kDeclaration) {
        r.type.assign(type);
        r.writtenName = texts_.add(written);
        r.size = size;
        r.flags = (r.flags & ~VariableRecord::kInexact) | VariableRecord::kNotParameter |
                  (inexact ? VariableRecord::kInexact : 0);
        r.typeKind = typeKindOf(type);
      }
    }
    return;
  }
  // A new record goes after the records of its name, in every index.
  auto byName = [this](std::string_view n, int r) { return compareNames(n, records_[r].name) < 0; };
  VariableRecord r;
  r.type.assign(type);
  r.name = d.name;
  r.writtenName = texts_.add(written);
  r.className = texts_.add(className);
  r.function = texts_.add(function);
  r.size = size;
  r.file = file;
  r.line = line;
  if (flags & kDeclaration) r.flags |= VariableRecord::kNotParameter;
  if (!className.empty()) r.flags |= VariableRecord::kOwned | VariableRecord::kClassSet;
  if (!function.empty()) r.flags |= VariableRecord::kOwned | VariableRecord::kFunctionSet;
  if (inexact) r.flags |= VariableRecord::kInexact;
  r.typeKind = typeKindOf(type);
  r.language = mode();
  const int number = recordCount();
  NameIndex& firsts = owned ? ownedNames_ : unownedNames_;
  if (!firsts.usable())
    firsts.abandon();  // it would miss this name once usable again
  else if (!firsts.find(d.name, nameOfRecord()))
    firsts.add(d.name, static_cast<std::uint32_t>(number));
  nextUnowned_.push_back(-1);
  if (fast) {
    sortedWaiting_.push_back(number);
    if (owned) {
      ownedWaiting_.push_back(number);
      ownedRecords_.addHashed(ownerHash(d.name, className, function),
                              static_cast<std::uint32_t>(number));
    } else {
      unownedWaiting_.push_back(number);
    }
    records_.push_back(std::move(r));
    if (owned) return;
    // At the end of its name's chain, in registration order.
    int last = static_cast<int>(*unownedNames_.find(d.name, nameOfRecord()));
    while (last != number && nextUnowned_[last] >= 0) last = nextUnowned_[last];
    if (last != number) nextUnowned_[last] = number;
    return;
  }
  sorted_.insert(std::upper_bound(sorted_.begin(), sorted_.end(), d.name, byName), number);
  if (owned) {
    owned_.insert(owned_.begin() + static_cast<std::ptrdiff_t>(ownedAt), number);
  } else {
    auto end = std::upper_bound(unowned_.begin(), unowned_.end(), d.name, byName);
    unowned_.insert(end, number);
  }
  records_.push_back(std::move(r));
}

// ---------------------------------------------------------------------------
// References and scopes

int VariableTable::findOwned(std::string_view name, std::string_view className,
                             std::string_view function) const {
  // A static local of this very function hides a global.
  if (hashesAnswer()) {
    if (!function.empty() && ownedNames_.find(name, nameOfRecord())) {
      int own = ownedRecordOf(name, className, function);
      if (own >= 0 && (records_[own].flags & VariableRecord::kFunctionSet)) return own;
    }
    const std::uint32_t* first = unownedNames_.find(name, nameOfRecord());
    return first ? static_cast<int>(*first) : -1;
  }
  settleOrder();
  size_t position;
  if (ownedNames_.usable() && unownedNames_.usable()) {
    // Most names asked about have no owned record, or no record at all.
    if (!function.empty() && ownedNames_.find(name, nameOfRecord())) {
      int own = findOwnedRecord(name, className, function, position);
      if (own >= 0 && (records_[own].flags & VariableRecord::kFunctionSet)) return own;
    }
    const std::uint32_t* first = unownedNames_.find(name, nameOfRecord());
    return first ? static_cast<int>(*first) : -1;
  }
  int own = function.empty() ? -1 : findOwnedRecord(name, className, function, position);
  if (own >= 0 && (records_[own].flags & VariableRecord::kFunctionSet)) return own;
  size_t at = firstUnowned(name);
  if (at < unowned_.size() && sameName(records_[unowned_[at]].name, name)) return unowned_[at];
  return -1;
}

namespace {

// `shown` against "Class::function" (or "function" alone) under the run's
// comparison, piece by piece, without building the text.
int compareReferrer(std::string_view shown, std::string_view className, std::string_view function) {
  std::string_view pieces[3] = {className, "::", function};
  size_t at = 0;
  for (int i = className.empty() ? 2 : 0; i < 3; ++i) {
    std::string_view piece = pieces[i];
    std::string_view part = shown.substr(std::min(at, shown.size()), piece.size());
    if (int c = compareNames(part, piece)) return c;
    at += piece.size();
  }
  return shown.size() > at ? 1 : 0;
}

}  // namespace

void VariableTable::addReference(int number, std::string_view className,
                                 std::string_view function) {
  VariableRecord& r = records_[number];
  // A function is recorded once, however often it refers to the variable.
  auto referrer = [&](int k) { return texts_.text(r.referencingFunctions[k]); };
  auto at = std::lower_bound(r.referrerOrder.begin(), r.referrerOrder.end(), 0, [&](int k, int) {
    return compareReferrer(referrer(k), className, function) < 0;
  });
  if (at != r.referrerOrder.end() && compareReferrer(referrer(*at), className, function) == 0)
    return;
  r.referrerOrder.insert(at, static_cast<int>(r.referencingFunctions.size()));
  std::string shown = className.empty() ? std::string(function)
                                        : std::string(className) + "::" + std::string(function);
  std::string key = functionKey(className, function);
  int record = functions_.recordOf(key);
  r.referencingRecords.push_back(record);
  if (record < 0) unknownReferrers_.emplace_back(number, std::move(key));
  r.referencingFunctions.push_back(texts_.add(shown));
}

std::string VariableTable::functionKey(std::string_view className,
                                       std::string_view function) const {
  return functions_.qualifiedKey(KeyParts{{}, className, function, false});
}

// Delphi's bodies ask about members through long chains of bases, and a
// lookup costs ten times what keeping its answer costs; in the other
// languages a lookup costs about what the keeping would.
bool VariableTable::keepsReferences() const { return (context_.languageMask() & kModeDelphi) != 0; }

inline QuestionMemo<const std::string*>::Stamp VariableTable::referenceStamp() const {
  QuestionMemo<const std::string*>::Stamp stamp;
  stamp.counts[0] = changes_;
  stamp.counts[1] = classes_.generation();
  // A member's reference goes to the function's record once it exists.
  stamp.counts[2] = functions_.changes() + functions_.recordCount();
  stamp.counts[3] = context_.changes();
  stamp.folded = caseInsensitiveNames();
  return stamp;
}

// A lookup made again under the same stamp finds the same declaration and
// records nothing new, unless its class search wrote to the log: that one
// is made again, so that the log tells it every time.
const std::string* VariableTable::referenceVariable(std::string_view name,
                                                    std::string_view className,
                                                    std::string_view function) {
  if (name.empty()) return nullptr;
  bool logged = false;
  if (!keepsReferences()) return lookUpReference(name, className, function, logged);
  references_.startQuestions(referenceStamp(), {className, function, {}});
  if (const std::string* const* kept = references_.ask(name)) return *kept;
  const std::string* type = lookUpReference(name, className, function, logged);
  if (!logged) references_.keep(type);
  return type;
}

// Locals in scope first, then members of the class and its bases, then the
// globals and the function's own static locals. Nothing is allocated unless
// a new reference is recorded.
const std::string* VariableTable::lookUpReference(std::string_view name, std::string_view className,
                                                  std::string_view function, bool& logged) {
  for (auto s = scopes_.rbegin(); s != scopes_.rend(); ++s)
    if (sameName(s->name, name)) return &s->type;
  if (!className.empty()) {
    const ClassRecord* owner;
    const MemberVariable* m = classes_.findMemberVariable(className, name, owner);
    logged = classes_.lastSearchLogged();
    if (m)
      functions_.addReferencedVariableToKey(functionKey(className, function),
                                            ClassTable::memberReference(*owner, *m, name));
    if (m) return &m->type;
  }
  int at = findOwned(name, className, function);
  if (at < 0) return nullptr;
  if (!function.empty()) addReference(at, className, function);
  return &records_[at].type;
}

const std::string* VariableTable::typeOf(std::string_view name, std::string_view className,
                                         std::string_view function, bool& object) const {
  object = false;
  if (name.empty()) return nullptr;
  for (auto s = scopes_.rbegin(); s != scopes_.rend(); ++s) {
    if (!sameName(s->name, name)) continue;
    object = s->object;
    return &s->type;
  }
  if (!className.empty()) {
    const ClassRecord* owner;
    if (const MemberVariable* m = classes_.findMemberVariable(className, name, owner)) {
      object = m->object;
      return &m->type;
    }
  }
  int at = findOwned(name, className, function);
  if (at < 0) return nullptr;
  object = namesObject(writtenNameOf(records_[at]));
  return &records_[at].type;
}

void VariableTable::closeScope(int level) {
  int n = nesting();
  StackEntry& e = stackEntry();
  auto gone = [&](const ScopeRecord& s) { return s.nesting == n && s.level >= level; };
  for (const ScopeRecord& s : scopes_)
    if (gone(s)) e.current = std::max(0, e.current - s.size);
  eraseScopes(gone);
}

void VariableTable::closeScopesFrom(size_t mark) {
  if (mark >= scopes_.size()) return;
  StackEntry& e = stackEntry();
  for (size_t i = mark; i < scopes_.size(); ++i)
    e.current = std::max(0, e.current - scopes_[i].size);
  scopes_.erase(scopes_.begin() + static_cast<std::ptrdiff_t>(mark), scopes_.end());
  ++changes_;
}

// The function's locals are gone with it, also those a prototype's
// parameters left behind.
void VariableTable::endFunctionScope() {
  int n = nesting();
  stackEntry() = StackEntry();
  eraseScopes([n](const ScopeRecord& s) { return s.nesting == n; });
}

StackUse VariableTable::stackUse() const {
  size_t n = static_cast<size_t>(nesting());
  if (n >= stacks_.size()) return StackUse();
  return StackUse{stacks_[n].peak, stacks_[n].inexact};
}

void VariableTable::beginFile() {
  int n = nesting();
  stackEntry() = StackEntry();
  eraseScopes([n](const ScopeRecord& s) { return s.nesting >= n; });
}

// The globals stay: a header read again for the next source file declares
// the same variables, and the lists at the end of the run show them once.
void VariableTable::resetFileState() {
  ++changes_;
  scopes_.clear();
  stacks_.clear();
}

void VariableTable::handOverReferences() {
  ++changes_;
  FunctionTable* functions = &functions_;
  // The record numbers and the search index serve only this hand-over:
  // their memory goes before the reports are written.
  for (VariableRecord& r : records_) {
    const std::string shown = r.type + " " + r.name;
    for (int record : r.referencingRecords)
      if (record >= 0) functions->addReferencedVariableToRecord(record, shown);
    std::vector<int>().swap(r.referencingRecords);
    std::vector<int>().swap(r.referrerOrder);
  }
  for (const auto& [number, key] : unknownReferrers_) {
    const VariableRecord& r = records_[number];
    functions->addReferencedVariableToKey(key, r.type + " " + r.name);
  }
  std::vector<std::pair<int, std::string>>().swap(unknownReferrers_);
}

// ---------------------------------------------------------------------------
// Debug form

std::string VariableTable::dump() const {
  settleNameOrder();
  std::string text;
  for (int n : sorted_) {
    const VariableRecord& r = records_[n];
    text += r.type + " " + std::string(writtenNameOf(r)) + " " + std::to_string(r.size) + " " +
            std::to_string(r.file) + ":" + std::to_string(r.line) + " " + std::to_string(r.flags) +
            " " + std::to_string(r.typeKind);
    if (!classOf(r).empty() || !functionOf(r).empty())
      text += " (" + std::string(classOf(r)) + "::" + std::string(functionOf(r)) + ")";
    if (!r.referencingFunctions.empty()) text += " {";
    for (size_t i = 0; i < r.referencingFunctions.size(); ++i)
      text += (i ? " " : "") + std::string(texts_.text(r.referencingFunctions[i]));
    if (!r.referencingFunctions.empty()) text += "}";
    text += "\n";
  }
  for (const ScopeRecord& s : scopes_)
    text += "  scope " + std::to_string(s.nesting) + "/" + std::to_string(s.level) + " " + s.type +
            " " + s.name + " " + std::to_string(s.size) + "\n";
  return text;
}
