// The search-wide state the engine owns and lends to every search: levels and counters, the
// hash tables, the transposition table, where MESSAGE lines go and the clock.
#pragma once

#include <cstdio>
#include <functional>

#include "search/hash.h"
#include "search/search_limits.h"
#include "search/search_state.h"
#include "search/transposition_table.h"

// Milliseconds of wall time since the engine started; only differences are used.
int steady_clock_ms();

struct Search {
  SearchState state;
  SearchLimits limits;  // of the next search; none unless the caller sets them
  HashTables hashes;
  RowHashes keys;                                   // the key parts of the position being searched
  TranspositionTable table;                         // active only during a search
  std::FILE* out = stdout;                          // MESSAGE lines of the search
  std::function<int()> clock_ms = steady_clock_ms;  // tests substitute a fake clock
};
