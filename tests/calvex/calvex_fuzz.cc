// libFuzzer entry for the evaluator: each input, cut at its first NUL, goes to both
// exports. Besides the sanitizers' own findings, an error code outside 0..5 or a
// non-zero value after an error counts as a crash.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "calvex/calvex.h"

namespace {

void check(double value, int error) {
  if (error < kCalvexNoError || error > kCalvexDivisionByZero) std::abort();
  if (error != kCalvexNoError && value != 0) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);  // adds the terminator
  int error = -1;
  double value = Kaiseki(text.c_str(), &error);
  check(value, error);
  error = -1;
  value = Kaiseki_VB(text.c_str(), &error);
  check(value, error);
  return 0;
}
