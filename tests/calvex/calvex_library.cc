#include "tests/calvex/calvex_library.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <memory>

#include "calvex/calvex.h"

namespace {

struct Library {
  decltype(&Kaiseki) c = nullptr;
  decltype(&Kaiseki_VB) vb = nullptr;
};

// Loaded once for the whole test program and never unloaded.
const Library& library() {
  static const Library loaded = [] {
    Library result;
    void* handle = dlopen(CALVEX_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
      ADD_FAILURE() << "cannot load " << CALVEX_LIBRARY << ": " << dlerror();
      return result;
    }
    result.c = reinterpret_cast<decltype(&Kaiseki)>(dlsym(handle, "Kaiseki"));
    result.vb = reinterpret_cast<decltype(&Kaiseki_VB)>(dlsym(handle, "Kaiseki_VB"));
    if (!result.c || !result.vb) ADD_FAILURE() << "an export is missing from " << CALVEX_LIBRARY;
    return result;
  }();
  return loaded;
}

double call(Syntax syntax, const char* expression, int* error) {
  auto function = syntax == Syntax::C ? library().c : library().vb;
  return function ? function(expression, error) : std::nan("");
}

}  // namespace

std::ostream& operator<<(std::ostream& out, const Evaluation& evaluation) {
  return out << evaluation.value << " (error " << evaluation.error << ")";
}

Evaluation evaluate(Syntax syntax, const std::string& expression) {
  auto text = std::make_unique<char[]>(expression.size() + 1);
  std::memcpy(text.get(), expression.c_str(), expression.size() + 1);
  Evaluation result{0, -1};
  result.value = call(syntax, text.get(), &result.error);
  return result;
}

Evaluation evaluateNull(Syntax syntax) {
  Evaluation result{0, 99};
  result.value = call(syntax, nullptr, &result.error);
  return result;
}

double evaluateWithoutErrorVariable(Syntax syntax, const std::string& expression) {
  return call(syntax, expression.c_str(), nullptr);
}

void expectValues(Syntax syntax, const std::vector<ValueCase>& cases) {
  for (const ValueCase& row : cases) {
    Evaluation result = evaluate(syntax, row.expression);
    double tolerance = std::isinf(row.value) ? 0 : 1e-12 * std::fmax(1.0, std::fabs(row.value));
    EXPECT_TRUE(result.error == kCalvexNoError &&
                (result.value == row.value || std::fabs(result.value - row.value) <= tolerance))
        << row.expression.substr(0, 80) << " gives " << result << ", expected " << row.value;
  }
}

void expectErrors(Syntax syntax, const std::vector<ErrorCase>& cases) {
  for (const ErrorCase& row : cases) {
    Evaluation result = evaluate(syntax, row.expression);
    EXPECT_TRUE(result.error == row.error && result.value == 0)
        << row.expression.substr(0, 80) << " gives " << result << ", expected error " << row.error;
  }
}

void expectSound(Syntax syntax, const std::string& expression) {
  Evaluation result = evaluate(syntax, expression);
  bool known = result.error >= kCalvexNoError && result.error <= kCalvexDivisionByZero;
  EXPECT_TRUE(known && (result.error == kCalvexNoError || result.value == 0))
      << expression.substr(0, 80) << " gives " << result;
}
