// Public interface of calvex, the expression evaluator library: it evaluates one
// constant arithmetic expression written in C or in VB syntax and returns its value.
// The library keeps nothing between calls; the caller owns the text and the error
// variable, and the library allocates and frees everything else within the call.
#pragma once

#if defined(_WIN32)
#if defined(CALVEX_BUILDING)
#define CALVEX_EXPORT __declspec(dllexport)
#else
#define CALVEX_EXPORT __declspec(dllimport)
#endif
// The Windows API convention: the called function removes the arguments.
#define CALVEX_WINAPI __stdcall
#else
#if defined(CALVEX_BUILDING)
#define CALVEX_EXPORT __attribute__((visibility("default")))
#else
#define CALVEX_EXPORT
#endif
#define CALVEX_WINAPI
#endif

// Codes written through the `error` argument of both entry points.
enum CalvexError {
  kCalvexNoError = 0,
  kCalvexUnbalancedParentheses = 1,  // the counts of '(' and ')' differ, or a ')' closes nothing
  kCalvexUnknownLexeme = 2,          // a character or word that is no part of the syntax
  kCalvexOutOfMemory = 3,
  kCalvexCalculationError = 4,  // square root of a negative number, two values in a row, '?', ':'
  kCalvexDivisionByZero = 5,    // '/', '%', '\', Mod and their compound forms
};

#ifdef __cplusplus
extern "C" {
#endif

// Evaluates the NUL-terminated `expression` in C syntax. Returns its value and sets
// *error to 0, or returns 0 and sets *error to a CalvexError code. A null or empty
// expression is 0 without error. `error` may be null when the caller does not ask.
CALVEX_EXPORT double Kaiseki(const char* expression, int* error);

// The same in VB syntax (word operators such as Mod and And, VB functions).
CALVEX_EXPORT double CALVEX_WINAPI Kaiseki_VB(const char* expression, int* error);

#ifdef __cplusplus
}
#endif
