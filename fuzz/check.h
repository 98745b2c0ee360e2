// What both fuzz harnesses do when an invariant breaks: say which, and abort so that libFuzzer
// keeps the input.
#pragma once

#include <cstdio>
#include <cstdlib>

inline void check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "invariant broken: %s\n", what);
    std::abort();
  }
}
