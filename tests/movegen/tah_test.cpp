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
  int score;
  std::vector<Move> moves;
};

constexpr int ANY_SCORE = -99999;

// Two closed four points, (7,8) and (7,9): beyond three_limit only own fours go on.
const std::vector<Stone> CLOSED_FOUR = {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {7, 4, -1}};

// The cases the bench signature leaves open; the rest of the generator's branches change the
// signature.
TEST(Tah, WorkedPositions) {
  // clang-format off
  const Call calls[] = {
      {"own five: the first in scan order",
       {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {7, 8, 1}, {6, 6, -1}, {8, 8, -1}, {6, 8, -1}}, 1, 3, 0,
       1, 0, {4, 10, 3, 10}, 1021, {{7, 4, 3, 1, 0}}},
      {"two opponent five points: lost",
       {{7, 5, -1}, {7, 6, -1}, {7, 7, -1}, {7, 8, -1}, {6, 6, 1}, {8, 8, 1}}, 1, 3, 7, 1, 0,
       {4, 10, 3, 10}, -1021, {{7, 4, -3, 1, 1}}},
      {"an open four that is also a confirmed double is written twice",
       {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {5, 8, 1}, {6, 8, 1}}, 1, 0, 0, 2, 0, {3, 11, 3, 12},
       512, {{7, 4, 2, 2, 0}, {7, 8, 2, 2, 0}, {7, 8, 2, 2, 0}}},
      {"beyond three_limit, forcing 0", CLOSED_FOUR, 1, 5, 0, 0, 0, {5, 9, 2, 11}, ANY_SCORE, {}},
      {"forcing 2 beyond mixed_limit", CLOSED_FOUR, 1, 7, 0, 2, 0, {5, 9, 2, 11}, ANY_SCORE,
       {{7, 8, 2, 2, 0}, {7, 9, 2, 2, 0}}},
  };
  // clang-format on
  for (const Call& c : calls) {
    SCOPED_TRACE(c.name);
    Move out[MOVE_LIST_CAPACITY];
    int score = 0;
    const int n = tah(test::board_with(c.stones), c.side, c.depth, out, score, c.parent_score,
                      c.forcing, c.main_only, c.window, LEVEL0, 1);
    EXPECT_EQ(std::vector<Move>(out, out + n), c.moves);
    if (c.score != ANY_SCORE) {
      EXPECT_EQ(score, c.score);
    }
  }
}

}  // namespace
