#include <gtest/gtest.h>

#include "board/line_window.h"
#include "test_util.h"

namespace {

constexpr int X = OFF_BOARD;

TEST(ReadLine, WindowsAtEdgesAndCorners) {
  Board b = test::board_with({{0, 0, 1}, {1, 0, -1}, {5, 0, 1}, {14, 14, -1}, {9, 5, 1}});
  struct Case {
    int row, col, dir;
    LineWindow expected;
  };
  const Case cases[] = {
      // corner, down the column: nothing behind, the column's cells ahead
      {0, 0, 0, {X, X, X, X, X, 1, -1, 0, 0, 0, 1}},
      // far corner along the row: nothing ahead
      {14, 14, 2, {0, 0, 0, 0, 0, -1, X, X, X, X, X}},
      // anti-diagonal: entry 0 is (row + 5, col - 5), entry 10 is (row - 5, col + 5)
      {4, 10, 3, {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, X}},
      // diagonal through the corner from the inside
      {3, 3, 1, {X, X, 1, 0, 0, 0, 0, 0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::Message() << c.row << "," << c.col << " dir " << c.dir);
    EXPECT_EQ(read_line(b, c.row, c.col, c.dir), c.expected);
  }
}

}  // namespace
