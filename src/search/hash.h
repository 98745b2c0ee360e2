// Position keys for the transposition tree: two 32-bit keys over the stones of the board plus
// two window values of the search, so that one key stands for stones searched with one window.
#pragma once

#include <array>
#include <cstdint>

#include "board/board.h"

struct HashKey {
  int h0;  // orders the tree
  int h1;  // confirms a match
};

// Filled once, on first use, over all 20 x 20 cells, so a later larger board never meets an
// unfilled entry. The values come from a fixed standard generator: the same on every platform.
struct HashTables {
  std::array<uint32_t, BOARD_STRIDE * BOARD_STRIDE> table0{};
  std::array<uint32_t, BOARD_STRIDE * BOARD_STRIDE> table1{};
  bool needs_fill = true;
};

void fill_hash_tables(HashTables& tables);

// Row-major over the dim x dim cells: each stone folds its table entry and a window value in;
// a -1 stone uses the two tables and the two window values swapped. Arithmetic wraps mod 2^32.
// A cell other than -1, 0, 1 is fatal.
HashKey hash(HashTables& tables, const Board& board, int a, int b);
