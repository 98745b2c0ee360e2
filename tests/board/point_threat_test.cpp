#include <gtest/gtest.h>

#include "board/point_threat.h"
#include "test_util.h"

namespace {

using test::Stone;

struct Case {
  const char* name;
  std::vector<Stone> stones;
  int row, col, side, rule;
  PointThreat expected;
};

TEST(ClassifyPoint, WorkedPoints) {
  // clang-format off
  const Case cases[] = {
      {"empty board", {}, 7, 7, 1, 1, {0, 0, 0, -1}},
      {"open three on the row", {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}}, 7, 8, 1, 1, {3, 2, 0, 2}},
      {"plus a strong column",
       {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {4, 8, 1}, {5, 8, 1}}, 7, 8, 1, 1, {3, 2, 2, 2}},
      {"plus a live column: one strong and two live lines",
       {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {5, 8, 1}}, 7, 8, 1, 1, {3, 2, 1, 2}},
      {"tie between column and row: the column wins",
       {{7, 6, 1}, {7, 7, 1}, {5, 8, 1}, {6, 8, 1}}, 7, 8, 1, 1, {2, 3, 2, 0}},
      {"the same point for the other side",
       {{7, 6, 1}, {7, 7, 1}, {5, 8, 1}, {6, 8, 1}}, 7, 8, -1, 1, {0, 0, 0, -1}},
      {"four", {{7, 4, 1}, {7, 5, 1}, {7, 6, 1}, {7, 7, 1}}, 7, 8, 1, 1, {4, 1, 0, 2}},
      {"six under exact five",
       {{7, 4, 1}, {7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {7, 9, 1}}, 7, 8, 1, 1, {0, 0, 0, -1}},
      {"six under five-or-more",
       {{7, 4, 1}, {7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {7, 9, 1}}, 7, 8, 1, 0, {4, 1, 0, 2}},
      {"three closed on both sides",
       {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {7, 4, -1}, {7, 9, -1}}, 7, 8, 1, 1, {0, 0, 0, -1}},
      {"corner", {{0, 1, 1}, {0, 2, 1}}, 0, 0, 1, 1, {2, 1, 0, 2}},
      {"spread diagonal", {{3, 3, 1}, {11, 11, 1}}, 7, 7, 1, 1, {1, -6, 0, 1}},
      {"a later direction with a higher count replaces an equal best",
       {{5, 7, -1}, {7, 6, -1}, {8, 9, -1}}, 7, 7, -1, 1, {1, 4, 1, 2}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Board b = test::board_with(c.stones);
    const PointThreat t = classify_point(b, c.row, c.col, c.side, c.rule);
    EXPECT_EQ(t.th, c.expected.th);
    EXPECT_EQ(t.c, c.expected.c);
    EXPECT_EQ(t.fo, c.expected.fo);
    EXPECT_EQ(t.sm, c.expected.sm);
  }
}

}  // namespace
