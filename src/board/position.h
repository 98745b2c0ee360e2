// A board that keeps its own analysis, for the search: every line of the board as 2-bit cells
// and, for an empty cell, the analysis of each of its four lines and the point's class for
// both sides. A stone changes the lines of at most the 40 cells within five steps of it along
// its four lines, so placing one rewrites only those, after saving them; taking it off again
// restores them from that undo stack. classify_point stays the reference it must agree with.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "board/board.h"
#include "board/line_analysis.h"
#include "board/point_threat.h"

struct HalfRanks;

class Position {
 public:
  // Analyses the whole dim x dim square of `board` under the winning rule `rule`.
  Position(const Board& board, int rule);

  // Builds the rule's line tables now rather than in the first Position of that rule, so that
  // a search timed for its speed does not time the build.
  static void prepare_tables(int rule);

  const Board& board() const { return board_; }
  int dim() const { return board_.dim; }
  int rule() const { return rule_; }
  int at(int row, int col) const { return board_.at(row, col); }

  Position(const Position&) = delete;
  Position& operator=(const Position&) = delete;

  // `stone` is 1 or -1 and the point must be empty. remove takes off the stone placed last,
  // which must be the one at (row, col).
  void place(int row, int col, int stone);
  void remove(int row, int col);

  // classify_point of the empty point (row, col) for `side`.
  PointThreat threat(int row, int col, int side) const {
    const PackedThreat& t = cells_[row * BOARD_STRIDE + col].threat[side_index(side)];
    return PointThreat{t.th, t.c, t.fo, t.sm};
  }
  // point_sort_key of that class.
  int sort_key(int row, int col, int side) const {
    return sort_key_at(row * BOARD_STRIDE + col, side);
  }
  // The same by point index, row * BOARD_STRIDE + col.
  int sort_key_at(int point, int side) const { return cells_[point].sort_key[side_index(side)]; }
  // analyse_line of the empty point's line in `direction` for `side`.
  LineStrength line(int row, int col, int direction, int side) const;

  // Points as bits, bit row * BOARD_STRIDE + col, so that a rectangle's points come in row-major
  // order from a few words rather than from a loop over its rows.
  static constexpr int POINT_WORDS = (BOARD_STRIDE * BOARD_STRIDE + 63) / 64;
  using PointSet = std::array<uint64_t, POINT_WORDS>;

  // The points the move generator puts into its lists for `side`, by the class alone:
  // every empty point whose class for `side` has th 2 or more or c 2 or more (the only points
  // of any list),
  const PointSet& listed(int side) const { return listed_[side_index(side)]; }
  // of those, the ones that go to own_main when `side` is to move (th 3 or more, or th 2 with
  // c 2 or more), the rest going to own_other,
  const PointSet& own_main(int side) const { return own_main_[side_index(side)]; }
  // and the ones that go to opp_fives, opp_fours or opp_doubles when `side` is the opponent
  // (th 4, th 3 with c 2 or more, or fo 2), the rest going to opp_other.
  const PointSet& opp_short(int side) const { return opp_short_[side_index(side)]; }

 private:
  // A point's class as kept: the fields of PointThreat in a byte each.
  struct PackedThreat {
    int8_t th, c, fo, sm;
  };

  // What is kept of an empty cell. A line's analysis is kept as its rank, one byte that orders
  // lines as classify_point does: 16 best + count + 8 for a line with own stones (best first,
  // then count), 0 for a line without. Both sides' ranks of a line travel as one uint16_t: +1's
  // in the low byte, -1's in the high one.
  struct Analysis {
    std::array<uint16_t, 4> ranks;       // both sides' ranks, by direction
    std::array<PackedThreat, 2> threat;  // the point's class, by side (+1, then -1)
    std::array<uint8_t, 2> sort_key;     // and its point_sort_key
    // Bit 8 flag + 4 side + direction, for each LineFlag (see position.cpp): which lines carry
    // the flag.
    uint32_t lines_with;
  };

  // Taking a stone off again puts back the analyses of the empty cells it changed, and the
  // point sets' words around it whole (cheaper than putting back their bits cell by cell): a
  // stone changes only points within five rows of it, which lie in SET_WORDS words.
  struct Saved {
    Analysis analysis;
    uint16_t point;
  };
  static constexpr int SET_WORDS = 5;
  static constexpr int SETS = 6;  // listed, own_main, opp_short, for each side
  struct Ply {
    int saved_start;  // where the stone's saved cells begin
    int first_word;   // of the sets' words saved
    std::array<std::array<uint64_t, SET_WORDS>, SETS> words;
  };
  std::array<PointSet*, SETS> sets() {
    return {&listed_[0], &listed_[1], &own_main_[0], &own_main_[1], &opp_short_[0], &opp_short_[1]};
  }

  // Room for every stone a search can place: each saves at most 40 cells.
  static constexpr int MAX_PLIES = BOARD_STRIDE * BOARD_STRIDE;
  static constexpr int SAVED_PER_PLY = 40;

  // Every line of the board in each direction, read in the direction's orientation, as 2-bit
  // cells coded as in line codes (see line_table.h) with cell i of the line at bit pair i + 5.
  // Five off-board cells pad each end, so the code of any cell of a line is two shifts of it.
  static constexpr int LINES = 2 * MAX_DIM - 1;
  static constexpr int PAD = 5;
  struct LineSpot {
    int line, pair;  // which line of its direction, and the point's bit pair in it
  };
  LineSpot spot(int row, int col, int direction) const;
  // The line code of the cell at bit pair `pair` of `line`.
  static uint32_t code_at(uint64_t line, int pair) {
    return static_cast<uint32_t>((line >> (2 * (pair - 5)) & 1023) |
                                 (line >> (2 * (pair + 1)) & 1023) << 10);
  }

  static int side_index(int side) { return side > 0 ? 0 : 1; }
  uint16_t line_ranks(uint32_t code) const;
  static void set_ranks(Analysis& a, int direction, uint16_t both);
  // Folds again the sides whose ranks changed (at least one) and sets their point sets.
  void refold(Analysis& a, int point, bool own, bool other);
  // Folds side s's four line ranks into its class and sort key.
  static void refold_side(Analysis& a, int s);
  void set_masks(const Analysis& a, int point, int s);

  Board board_;
  int rule_;
  const HalfRanks* ranks_;  // of lines a board can show, by their halves (see line_ranks)
  std::array<std::array<uint64_t, LINES>, 4> lines_;
  std::array<Analysis, BOARD_STRIDE * BOARD_STRIDE> cells_;
  std::array<PointSet, 2> listed_{}, own_main_{}, opp_short_{};  // by side (+1, then -1)
  std::unique_ptr<Saved[]> saved_;                               // the undo stack of cells
  std::unique_ptr<Ply[]> plies_;                                 // and of stones
  int saved_count_ = 0;
  int ply_count_ = 0;
};
