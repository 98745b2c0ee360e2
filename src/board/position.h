// A board that keeps its own analysis, for the search: per cell the line codes of its four
// lines and, for an empty cell, the analysis of each line for both sides. A stone changes the
// lines of at most the 40 cells within five steps of it along its four lines, so place and
// remove rewrite only those. A point's class is folded from its four lines when asked for,
// which the generator does only for the few cells that can enter its lists. classify_point
// stays the reference it must agree with.
#pragma once

#include <array>
#include <cstdint>

#include "board/board.h"
#include "board/line_analysis.h"
#include "board/point_threat.h"

class Position {
 public:
  // Analyses the whole dim x dim square of `board` under the winning rule `rule`.
  Position(const Board& board, int rule);

  const Board& board() const { return board_; }
  int dim() const { return board_.dim; }
  int rule() const { return rule_; }
  int at(int row, int col) const { return board_.at(row, col); }

  // `stone` is 1 or -1 and the point must be empty; remove takes any stone off again, in any
  // order.
  void place(int row, int col, int stone);
  void remove(int row, int col);

  // classify_point of the empty point (row, col) for `side`.
  PointThreat threat(int row, int col, int side) const {
    return fold_lines(cells_[row * BOARD_STRIDE + col].rank[side_index(side)]);
  }
  // analyse_line of the empty point's line in `direction` for `side`.
  LineStrength line(int row, int col, int direction, int side) const;

  // Bit col is set for every empty cell of the row at which either side has a th of 2 or more
  // or a c of 2 or more: the only cells the move generator can put into any of its lists.
  uint32_t candidate_mask(int row) const { return candidates_[row]; }

 private:
  // A line's analysis as one byte that orders lines as classify_point does: 16 best + count + 8
  // for a line with own stones (best first, then count), 0 for a line without.
  using LineRanks = std::array<uint8_t, 4>;

  struct Cell {
    std::array<uint32_t, 4> code;  // line codes, centre left out (see line_table.h)
    std::array<LineRanks, 2> rank;  // while empty: by side (+1, then -1), then direction
    uint8_t interesting;            // bit 4 side + direction: that line has best or count >= 2
  };

  static int side_index(int side) { return side > 0 ? 0 : 1; }
  static PointThreat fold_lines(const LineRanks& ranks);
  void set_line(int row, int col, int direction);
  void update_lines_through(int row, int col, uint32_t stone_code);

  Board board_;
  int rule_;
  const uint16_t* ranks_;  // by line code: the rank for +1 in the low byte, for -1 in the high
  std::array<Cell, BOARD_STRIDE * BOARD_STRIDE> cells_;
  std::array<uint32_t, MAX_DIM> candidates_{};
};
