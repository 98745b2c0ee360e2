#include <gtest/gtest.h>

#include <random>

#include "board/line_table.h"
#include "test_util.h"

namespace {

// The table must agree with the direct analysis on every line an empty point can have.
TEST(LineTable, AgreesWithAnalyseLineOnRandomBoards) {
  std::mt19937 rng(99);
  for (int round = 0; round < 300; ++round) {
    Board b;
    b.dim = 15 + static_cast<int>(rng() % 6);
    const int stones = static_cast<int>(rng() % 150);
    for (int i = 0; i < stones; ++i) b.at(rng() % b.dim, rng() % b.dim) = rng() % 2 ? 1 : -1;
    // Leftovers beyond the board must read as off the board.
    if (b.dim < 20) b.at(b.dim, rng() % 20) = 1;
    for (int r = 0; r < b.dim; ++r) {
      for (int c = 0; c < b.dim; ++c) {
        if (b.at(r, c) != 0) continue;
        for (int rule : {0, 1}) {
          for (int side : {1, -1}) {
            for (int d = 0; d < 4; ++d) {
              const LineStrength direct = analyse_line(read_line(b, r, c, d), side, rule);
              const LineStrength table = analyse_point_line(b, r, c, d, side, rule);
              ASSERT_EQ(table.best, direct.best) << r << "," << c << " d" << d;
              ASSERT_EQ(table.count, direct.count) << r << "," << c << " d" << d;
            }
          }
        }
      }
    }
  }
}

TEST(LineTable, SwapColoursExchangesOnlyStones) {
  // cells (low bits first): empty, +1, -1, off
  EXPECT_EQ(swap_colours(0b11'10'01'00u), 0b11'01'10'00u);
  EXPECT_EQ(swap_colours(swap_colours(0xABCDEu)), 0xABCDEu);
}

}  // namespace
