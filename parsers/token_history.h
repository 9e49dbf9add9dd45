// The C-family parser's view of the token history: look-back n is the n-th
// live token before the newest one (blanks and line ends are not counted),
// as the source reader's long ring gives it, and nothing older than
// look-back 199 is ever read. The walks below step backwards over balanced
// groups; each gives a look-back position, or -1 when it fails.
#pragma once

#include <string>

#include "scan/source_reader.h"

class TokenHistory {
 public:
  static constexpr int kDeepest = 199;

  // The reader whose ring is read; it must outlive every later call.
  void attach(const SourceReader* reader) { reader_ = reader; }

  // Look-back n (0 = the token being processed); empty past kDeepest.
  const std::string& at(int n) const {
    if (reader_ && n >= 0 && n <= kDeepest) return reader_->parserToken(n);
    return nothing();
  }

  // From a ']' (or ')') at position n: past the balanced group, and past
  // further groups directly before it, to the token before them. -1 when
  // the group does not close within the history or that token is a
  // delimiter.
  int skipBracketBack(int n) const { return skipGroupBack(n, "[", "]"); }
  int skipParenBack(int n) const { return skipGroupBack(n, "(", ")"); }
  // From a '>' at n that closes type arguments (`List<T>`, `Pair<K, V>`:
  // names, dots and commas between '<' and '>', nested ones too), the
  // position of the word before the '<'; otherwise n itself.
  int skipTypeArgumentsBack(int n) const;
  // Position of the '(' that matches the ')' at n, or -1.
  int matchingOpen(int n, const char* open, const char* close) const;

  // '(' ['*'…] name ['const'] ')' ending at n:
  //   name  position of the name, -1 when the shape does not match;
  //   star  a '*' stood before the name;
  //   open  position of the '('.
  struct Declarator {
    int name = -1;
    bool star = false;
    int open = -1;
  };
  Declarator pointerDeclarator(int n) const;

 private:
  static const std::string& nothing();
  int skipGroupBack(int n, const char* open, const char* close) const;

  const SourceReader* reader_ = nullptr;
};
