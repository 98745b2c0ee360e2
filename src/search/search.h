// The search-wide state the engine owns and lends to every search.
#pragma once

#include <cstdio>

struct Search {
  std::FILE* out = stdout;  // MESSAGE lines of the search
};
