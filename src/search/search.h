// The search-wide state the engine owns and lends to every search.
#pragma once

#include <cstdio>

#include "search/search_state.h"

struct Search {
  SearchState state;
  std::FILE* out = stdout;  // MESSAGE lines of the search
};
