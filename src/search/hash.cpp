#include "search/hash.h"

#include <cstdio>
#include <cstdlib>
#include <random>

void fill_hash_tables(HashTables& tables) {
  std::mt19937 rng;  // default seed 5489
  for (uint32_t& v : tables.table0) v = rng() >> 1;
  for (uint32_t& v : tables.table1) v = rng() >> 1;
  tables.needs_fill = false;
}

HashKey hash(HashTables& tables, const Board& board, int a, int b) {
  if (tables.needs_fill) fill_hash_tables(tables);
  constexpr uint32_t MULTIPLIER = 16807;
  const uint32_t ua = static_cast<uint32_t>(a);
  const uint32_t ub = static_cast<uint32_t>(b);
  uint32_t h0 = 0, h1 = 0;
  for (int row = 0; row < board.dim; ++row) {
    const int base = row * BOARD_STRIDE;
    for (int col = 0; col < board.dim; ++col) {
      const int v = board.cells[base + col];
      if (v == 0) continue;
      const uint32_t t0 = tables.table0[base + col];
      const uint32_t t1 = tables.table1[base + col];
      if (v == 1) {
        h0 = h0 * MULTIPLIER + t0 + ua;
        h1 = h1 * MULTIPLIER + t1 + ub;
      } else if (v == -1) {
        h0 = h0 * MULTIPLIER + t1 + ub;
        h1 = h1 * MULTIPLIER + t0 + ua;
      } else {
        std::fprintf(stderr, "hash: Unknown stone '%d'\n", v);
        std::exit(1);
      }
    }
  }
  return {static_cast<int>(h0), static_cast<int>(h1)};
}
