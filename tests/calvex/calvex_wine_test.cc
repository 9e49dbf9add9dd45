// Windows check of calvex.dll: loads the library by name, looks up both exports
// and compares their answers with a table worked out from the rules. Prints
// "N passed, M failed" and exits non-zero on any failure.
#include <windows.h>

#include <cmath>
#include <cstdio>

namespace {

using KaisekiFunction = double (*)(const char*, int*);
using KaisekiVbFunction = double(WINAPI*)(const char*, int*);

struct Case {
  bool vb;
  const char* expression;
  double value;
  int error;
};

constexpr Case kCases[] = {
    {false, "1+2*3", 7, 0},
    {false, "(1+2)*3", 9, 0},
    {false, "7/2", 3.5, 0},
    {false, "7%2", 1, 0},
    {false, "1/0", 0, 5},
    {false, "0x1F", 31, 0},
    {false, "\\x41", 65, 0},
    {false, "010", 10, 0},
    {false, "10L", 10, 0},
    {false, "10U", 0, 2},
    {false, "(1+2", 0, 1},
    {false, ")1(", 0, 1},
    {false, "1 = 1", 0, 2},
    {false, "1 ? 2 : 3", 0, 4},
    {false, "sqrt(-1)", 0, 4},
    {false, "2*-3", -6, 0},
    {false, "2--3", 5, 0},
    {false, "-5", -5, 0},
    {false, "1+!0", 2, 0},
    {false, "pow(2,10)", 1024, 0},
    {false, "pow(2,0)", 1, 0},
    {false, "atan2(1,1)", 0.78539816339744831, 0},
    {false, "1 && 0 || 1", 1, 0},
    {false, "3 > 2 == 1", 1, 0},
    {false, "", 0, 0},
    {false, "\x82\xa0", 0, 2},
    {true, "7 \\ 2", 3, 0},
    {true, "7 Mod 2", 1, 0},
    {true, "7Mod2", 1, 0},
    {true, "2 ^ 3", 8, 0},
    {true, "3 >= 2", 1, 0},
    {true, "5 And 3", 1, 0},
    {true, "int(-1.5)", -2, 0},
    {true, "fix(-1.5)", -1, 0},
    {true, "SIN(0)", 0, 0},
    {true, "5 Imp 0", 0, 0},
    {true, "0 Imp 0", 1, 0},
    {true, "1 Mod 0", 0, 5},
    {true, "1,2", 0, 2},
};

// GetProcAddress hands out a generic function pointer; going through void (*)()
// says that the real type is known from the export's declaration.
template <typename Function>
Function lookup(HMODULE library, const char* name) {
  return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(library, name)));
}

bool matches(const Case& row, double value, int error) {
  return error == row.error && std::fabs(value - row.value) <= 1e-12 * (1 + std::fabs(row.value));
}

}  // namespace

int main() {
  HMODULE library = LoadLibraryA("calvex.dll");
  if (!library) {
    std::printf("cannot load calvex.dll (error %lu)\n0 passed, 1 failed\n", GetLastError());
    return 1;
  }
  auto c = lookup<KaisekiFunction>(library, "Kaiseki");
  auto vb = lookup<KaisekiVbFunction>(library, "Kaiseki_VB");
  if (!c || !vb) {
    std::printf("calvex.dll lacks Kaiseki or Kaiseki_VB\n0 passed, 1 failed\n");
    return 1;
  }
  int passed = 0;
  int failed = 0;
  for (const Case& row : kCases) {
    int error = -1;
    double value = row.vb ? vb(row.expression, &error) : c(row.expression, &error);
    if (matches(row, value, error)) {
      ++passed;
    } else {
      ++failed;
      std::printf("%s(\"%s\") = %.17g, error %d; expected %.17g, error %d\n",
                  row.vb ? "Kaiseki_VB" : "Kaiseki", row.expression, value, error, row.value,
                  row.error);
    }
  }
  std::printf("%d passed, %d failed\n", passed, failed);
  FreeLibrary(library);
  return failed == 0 ? 0 : 1;
}
