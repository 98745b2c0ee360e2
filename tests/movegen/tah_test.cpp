#include <gtest/gtest.h>

#include <vector>

#include "movegen/tah.h"
#include "search/search_state.h"
#include "test_util.h"

void PrintTo(const Move& m, std::ostream* os) {
  *os << "(" << m.row << "," << m.col << " k" << m.kind << " f" << m.forcing << " m" << m.main_only
      << ")";
}

namespace {

using test::Stone;

const DepthLimits LEVEL0{LEVEL_TABLE[0][0], LEVEL_TABLE[0][1], LEVEL_TABLE[0][2]};

struct Call {
  const char* name;
  std::vector<Stone> stones;
  int side, depth, parent_score, forcing, main_only;
  SearchWindow window;
  int returned, score;
  std::vector<Move> moves;
};

constexpr int ANY_SCORE = -99999;

void check(const Call& c) {
  SCOPED_TRACE(c.name);
  const Board b = test::board_with(c.stones);
  const Board before = b;
  Move out[MOVE_LIST_CAPACITY];
  int score = 0;
  const int n = tah(b, c.side, c.depth, out, score, c.parent_score, c.forcing, c.main_only,
                    c.window, LEVEL0, 1);
  EXPECT_EQ(n, c.returned);
  if (c.score != ANY_SCORE) {
    EXPECT_EQ(score, c.score);
  }
  EXPECT_EQ(std::vector<Move>(out, out + n), c.moves);
  EXPECT_EQ(b.cells, before.cells);
}

const std::vector<Stone> LONE = {{7, 7, 1}};
const std::vector<Stone> CLOSED_FOUR = {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {7, 4, -1}};
// x has closed fours at (2,5) and (2,6); o has an open three on row 7.
const std::vector<Stone> FOURS_AND_THREE = {{2, 2, 1},  {2, 3, 1},  {2, 4, 1}, {2, 1, -1},
                                            {7, 6, -1}, {7, 7, -1}, {7, 8, -1}};

TEST(Tah, WorkedPositions) {
  // clang-format off
  const Call calls[] = {
      {"lone stone: its 8 neighbours from the 16 own_other points", LONE, 1, 0, 0, 2, 0,
       {5, 9, 5, 9}, 8, 32,
       {{6, 6, 0, 0, 0}, {6, 7, 0, 0, 0}, {6, 8, 0, 0, 0}, {7, 6, 0, 0, 0},
        {7, 8, 0, 0, 0}, {8, 6, 0, 0, 0}, {8, 7, 0, 0, 0}, {8, 8, 0, 0, 0}}},
      {"own five: the first in scan order",
       {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {7, 8, 1}, {6, 6, -1}, {8, 8, -1}, {6, 8, -1}}, 1, 3, 0,
       1, 0, {4, 10, 3, 10}, 1, 1021, {{7, 4, 3, 1, 0}}},
      {"single opponent five point: block it",
       {{7, 5, -1}, {7, 6, -1}, {7, 7, -1}, {7, 8, -1}, {7, 4, 1}, {6, 6, 1}, {8, 8, 1}}, 1, 3, 7,
       1, 0, {4, 10, 2, 10}, 1, 6, {{7, 9, -2, 1, 0}}},
      {"two opponent five points: lost",
       {{7, 5, -1}, {7, 6, -1}, {7, 7, -1}, {7, 8, -1}, {6, 6, 1}, {8, 8, 1}}, 1, 3, 7, 1, 0,
       {4, 10, 3, 10}, 1, -1021, {{7, 4, -3, 1, 1}}},
      {"open four points win",
       {{7, 6, 1}, {7, 7, 1}, {7, 8, 1}, {6, 7, -1}, {8, 7, -1}}, 1, 2, 0, 2, 0, {4, 10, 4, 10},
       2, 510, {{7, 5, 2, 2, 0}, {7, 9, 2, 2, 0}}},
      {"opponent open three: defend, target the last open-four point",
       {{7, 6, 1}, {7, 7, 1}, {7, 8, 1}, {6, 7, -1}}, -1, 1, 5, 1, 0, {4, 10, 3, 11}, 2, 10,
       {{7, 5, -1, 1, 1}, {7, 9, -1, 1, 1}}},
      {"an open four that is also a confirmed double is written twice",
       {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {5, 8, 1}, {6, 8, 1}}, 1, 0, 0, 2, 0, {3, 11, 3, 12}, 3,
       512, {{7, 4, 2, 2, 0}, {7, 8, 2, 2, 0}, {7, 8, 2, 2, 0}}},
      {"a window without stones", {}, 1, 0, 0, 2, 0, {0, 14, 0, 14}, 0, 0, {}},
      {"an empty window", LONE, 1, 0, 0, 2, 0, {9, 5, 5, 9}, 0, 0, {}},
      {"main_only in the quiet case: own_main only, the score still written", LONE, 1, 0, 0, 2,
       1, {5, 9, 5, 9}, 0, 32, {}},
      {"beyond quiet_limit with forcing 0: no moves, the score still written", LONE, 1, 3, 0, 0,
       0, {5, 9, 5, 9}, 0, 32, {}},
      // Two closed four points (7,8) and (7,9): beyond three_limit only own fours go on.
      {"beyond three_limit, forcing 0", CLOSED_FOUR, 1, 5, 0, 0, 0, {5, 9, 2, 11}, 0, ANY_SCORE, {}},
      {"forcing 1 up to mixed_limit", CLOSED_FOUR, 1, 6, 0, 1, 1, {5, 9, 2, 11}, 2, ANY_SCORE,
       {{7, 8, 2, 1, 1}, {7, 9, 2, 1, 1}}},
      {"forcing 1 beyond mixed_limit", CLOSED_FOUR, 1, 7, 0, 1, 0, {5, 9, 2, 11}, 0, ANY_SCORE, {}},
      {"forcing 2 beyond mixed_limit", CLOSED_FOUR, 1, 7, 0, 2, 0, {5, 9, 2, 11}, 2, ANY_SCORE,
       {{7, 8, 2, 2, 0}, {7, 9, 2, 2, 0}}},
      {"opponent open three: own fours with main_only, then the defences", FOURS_AND_THREE, 1, 1,
       0, 1, 0, {0, 9, 0, 11}, 4, ANY_SCORE,
       {{2, 5, 2, 1, 1}, {2, 6, 2, 1, 1}, {7, 5, -1, 1, 1}, {7, 9, -1, 1, 1}}},
      {"beyond quiet_limit a quiet line does not answer the three", FOURS_AND_THREE, 1, 3, 0, 0,
       0, {0, 9, 0, 11}, 0, ANY_SCORE, {}},
  };
  // clang-format on
  for (const Call& c : calls) check(c);
}

}  // namespace
