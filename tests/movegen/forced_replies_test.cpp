#include <gtest/gtest.h>

#include <vector>

#include "movegen/forced_replies.h"
#include "test_util.h"

namespace {

using test::Stone;
constexpr int O = -1;  // the threatening side in the defence cases
constexpr int D = 1;   // the defender

using Point = std::pair<int, int>;

std::vector<Point> points(const Move* list, int n) {
  std::vector<Point> p;
  for (int i = 0; i < n; ++i) p.emplace_back(list[i].row, list[i].col);
  return p;
}

TEST(DefenceMoves, WorkedThreats) {
  struct Case {
    const char* name;
    std::vector<Stone> stones;
    Point threat;
    std::vector<Point> replies;
  };
  const std::vector<Stone> open_three = {{7, 5, O}, {7, 6, O}, {7, 7, O}};
  // clang-format off
  const Case cases[] = {
      {"open three: the two open-four points", open_three, {7, 8}, {{7, 4}, {7, 8}}},
      {"the same from the other end", open_three, {7, 4}, {{7, 4}, {7, 8}}},
      {"closed three: no cross line",
       {{7, 5, O}, {7, 6, O}, {7, 7, O}, {7, 4, D}}, {7, 8}, {{7, 8}, {7, 9}}},
      {"split three: the one multi-four, then the single fours",
       {{7, 5, O}, {7, 6, O}, {7, 8, O}}, {7, 7}, {{7, 7}, {7, 4}, {7, 9}}},
      {"double three: nearness on the column, then the row",
       {{7, 6, O}, {7, 7, O}, {5, 8, O}, {6, 8, O}}, {7, 8},
       {{4, 8}, {7, 8}, {8, 8}, {7, 5}, {7, 9}}},
      {"closed four point with a three across",
       {{7, 5, O}, {7, 6, O}, {7, 7, O}, {5, 8, O}, {6, 8, O}, {7, 9, D}}, {7, 8},
       {{7, 4}, {7, 3}, {7, 8}}},
      {"open four point that is also a double: only the point",
       {{7, 5, O}, {7, 6, O}, {7, 7, O}, {5, 8, O}, {6, 8, O}}, {7, 8}, {{7, 8}}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const Board b = test::board_with(c.stones);
    Move out[MOVE_LIST_CAPACITY];
    int n = 0;
    defence_moves(Position(b, 1), Move{c.threat.first, c.threat.second, 0, 0, 0}, O, out, n, 1);
    EXPECT_EQ(points(out, n), c.replies);
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(out[i].kind, -1);
      EXPECT_EQ(out[i].forcing, 1);
      EXPECT_EQ(out[i].main_only, 1);
    }
  }
}

TEST(VerifyFourLine, RejectsAFourAnsweredByACounterFourOnItsLine) {
  const std::vector<Stone> base = {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {5, 8, 1}, {6, 8, 1}};
  struct Case {
    const char* name;
    std::vector<Stone> extra;
    int expected;
  };
  // clang-format off
  const Case cases[] = {
      {"stands", {}, 1},
      {"counter-four from above", {{4, 9, -1}, {5, 9, -1}, {6, 9, -1}}, 0},
      {"counter-four from below", {{8, 9, -1}, {9, 9, -1}, {10, 9, -1}}, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<Stone> stones = base;
    stones.insert(stones.end(), c.extra.begin(), c.extra.end());
    EXPECT_EQ(verify_four_line(Position(test::board_with(stones), 1), Move{7, 8, 0, 0, 0}, 1),
              c.expected);
  }
}

TEST(ExtensionMoves, CellsOnTheOtherLinesInDirectionOrder) {
  std::vector<Stone> stones = {{7, 5, 1}, {7, 6, 1}, {7, 7, 1}, {6, 8, 1}, {7, 9, -1}};
  Move list[MOVE_LIST_CAPACITY];
  int n = 0;
  extension_moves(Position(test::board_with(stones), 1), Move{7, 8, 1, 2, 1}, 1, list, n, 2);
  EXPECT_EQ(points(list, n), (std::vector<Point>{{4, 8}, {5, 8}, {8, 8}, {9, 8}}));
  EXPECT_EQ(list[0].kind, 1);
  EXPECT_EQ(list[0].forcing, 2);
  EXPECT_EQ(list[0].main_only, 1);

  stones.push_back({8, 9, 1});
  n = 0;
  extension_moves(Position(test::board_with(stones), 1), Move{7, 8, 0, 0, 0}, 1, list, n, 2);
  EXPECT_EQ(
      points(list, n),
      (std::vector<Point>{{4, 8}, {5, 8}, {8, 8}, {9, 8}, {5, 6}, {6, 7}, {9, 10}, {10, 11}}));
}

}  // namespace
