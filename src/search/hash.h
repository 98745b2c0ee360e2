// Position keys for the transposition table: two 32-bit keys over the stones of the board plus
// two window values of the search, so that one key stands for stones searched with one window.
#pragma once

#include <array>
#include <cstdint>

#include "board/board.h"

struct HashKey {
  int h0;  // identifies the entry
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

// The key split by its two window values. With the stones in row-major order, h0 is
// a0 + a * plus + b * minus and h1 is a1 + b * plus + a * minus (mod 2^32): plus and minus sum
// 16807 to the power of the stones that follow, over the +1 and over the -1 stones, and a0, a1
// the same powers times the stones' table entries. So one position's parts give its key for
// any window.
struct HashParts {
  uint32_t a0 = 0, a1 = 0, plus = 0, minus = 0;
};

inline HashKey hash_key(const HashParts& p, int a, int b) {
  const uint32_t ua = static_cast<uint32_t>(a), ub = static_cast<uint32_t>(b);
  return {static_cast<int>(p.a0 + ua * p.plus + ub * p.minus),
          static_cast<int>(p.a1 + ub * p.plus + ua * p.minus)};
}

// The parts of each row of a position, so that a stone costs one row's update and a key one
// pass over the rows that hold stones rather than over every cell. The parts of the whole
// position are kept once computed, until a row changes: a node's own parts are then those its
// parent computed for its probe.
class RowHashes {
 public:
  struct Row {
    HashParts parts;
    int stones = 0;
    uint32_t plus = 0, minus = 0;  // the columns of its +1 and its -1 stones
  };

  // Fills the tables on first use, like hash. A cell other than -1, 0, 1 is fatal.
  void reset(HashTables& tables, const Board& board);

  // Recomputes one row from the board after a stone was placed there.
  void update_row(const Board& board, int row);
  // The row as it will be once `stone` (1 or -1) stands at (row, col), which must be empty, from
  // the stones the row holds now: the key of a child can be known before the stone is placed.
  void add_stone(int row, int col, int stone);
  const Row& row(int r) const { return rows_[r]; }
  // Puts back a row saved before update_row or add_stone, with the parts of the position as they
  // were then.
  void restore_row(int r, const Row& saved, const HashParts& parts) {
    rows_[r] = saved;
    set_row_occupied(r);
    parts_ = parts;
    parts_valid_ = true;
  }

  const HashParts& parts();

 private:
  // The row's parts from its stones, taken in column order.
  void set_row(int r, uint32_t plus, uint32_t minus);
  void set_row_occupied(int r) {
    occupied_rows_ = (occupied_rows_ & ~(1u << r)) | (rows_[r].stones > 0 ? 1u << r : 0u);
  }

  const HashTables* tables_ = nullptr;
  int dim_ = 0;
  std::array<Row, MAX_DIM> rows_{};
  uint32_t occupied_rows_ = 0;  // rows holding stones
  HashParts parts_;
  bool parts_valid_ = false;
};