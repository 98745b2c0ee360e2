#include <gtest/gtest.h>

#include "search/root_search.h"
#include "test_util.h"

namespace {

// A checkerboard-like fill in which no line of either colour can grow: nothing to generate.
Board dead_board() {
  Board b;
  b.dim = 15;
  for (int r = 0; r < 15; ++r) {
    for (int c = 0; c < 15; ++c) b.at(r, c) = ((r + c) % 2 == 0) == (r % 4 < 2) ? 1 : -1;
  }
  return b;
}

using RootTest = test::FakeClock;

// Positions with one right move (complete a five, block a four, answer an open three) are in
// the bench signature, at every level.

// Regression: with empty cells left, an engine that resigns forfeits; it plays instead.
TEST_F(RootTest, NothingGeneratedPlaysTheFirstEmptyCell) {
  Board b = dead_board();
  b.at(3, 4) = 0;
  b.at(10, 10) = 0;
  const RootResult r = play(b, 1, 1);
  EXPECT_EQ((std::array{r.move.row, r.move.col, r.moves}), (std::array{3, 4, 0}));
  EXPECT_EQ(out.text(), "MESSAGE Level... 1\n");
}

TEST_F(RootTest, FullBoardResigns) {
  search.out = stdout;
  Board b = dead_board();
  EXPECT_EXIT(root_search(search, settings, b, 1, 0), testing::ExitedWithCode(0), "");
}

}  // namespace
