// The search-wide state the engine owns and lends to every search: levels and counters, the
// hash tables, the transposition table, where MESSAGE lines go and the clock.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>

#include "search/hash.h"
#include "search/search_limits.h"
#include "search/search_state.h"
#include "search/transposition_table.h"

// Microseconds of wall time since the engine started; only differences are used.
int64_t steady_clock_us();

struct Search {
  SearchState state;
  SearchLimits limits;  // of the next search; none unless the caller sets them
  HashTables hashes;
  RowHashes keys;            // the key parts of the position being searched
  TranspositionTable table;  // active only during a search
  std::FILE* out = stdout;   // MESSAGE lines of the search
  std::function<int64_t()> clock_us = steady_clock_us;  // tests substitute a fake clock

  // The millisecond clock that levels, drops and hard limits count in.
  int clock_ms() const { return static_cast<int>(clock_us() / 1000); }
};
