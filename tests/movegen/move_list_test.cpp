#include "movegen/move_list.h"

#include <gtest/gtest.h>

namespace {

Candidate cand(int fo, int th, int c, int row = 0) { return Candidate{row, 0, 0, 0, 0, th, c, fo, 0}; }

TEST(CompareCandidates, FoThenThThenCount) {
  struct Case {
    Candidate a, b;
    int expected;
  };
  const Case cases[] = {
      {cand(2, 2, 2), cand(0, 3, 1), -1},  // a double threat beats a lone four
      {cand(1, 2, 1), cand(1, 2, 3), 1},
      {cand(1, 3, 1), cand(1, 2, 5), -1},
      {Candidate{1, 2, 3, 1, 1, 2, 2, 1, 0}, Candidate{9, 8, 0, 0, 0, 2, 2, 1, 3}, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(compare_candidates(c.a, c.b), c.expected);
    EXPECT_EQ(compare_candidates(c.b, c.a), -c.expected);
  }
}

TEST(SortCandidates, IsStableAmongEqualKeys) {
  Candidate list[] = {cand(0, 1, 3, 0), cand(0, 1, 4, 1), cand(0, 1, 3, 2), cand(2, 2, 2, 3),
                      cand(0, 1, 4, 4), cand(0, 1, 3, 5)};
  sort_candidates(list, 6);
  const int rows[] = {3, 1, 4, 0, 2, 5};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(list[i].row, rows[i]) << i;
}

TEST(UlozTah, FillsToCapacityThenDiesWithTheCount) {
  static Move moves[MOVE_LIST_CAPACITY];
  int n = 0;
  uloz_tah(1, 2, 3, 1, 0, moves, n);
  EXPECT_EQ(n, 1);
  EXPECT_EQ(moves[0].row, 1);
  EXPECT_EQ(moves[0].kind, 3);
  while (n < MOVE_LIST_CAPACITY) uloz_tah(0, 0, 0, 0, 0, moves, n);
  EXPECT_EQ(n, MOVE_LIST_CAPACITY);
  EXPECT_EXIT(uloz_tah(0, 0, 0, 0, 0, moves, n), testing::ExitedWithCode(1),
              "^uloz_tah: preteceni pole, n=1024\n$");

  static Candidate cands[MOVE_LIST_CAPACITY];
  int m = MOVE_LIST_CAPACITY;
  EXPECT_EXIT(uloz_tah_c(0, 0, 0, 0, 0, 0, 0, 0, 0, cands, m), testing::ExitedWithCode(1),
              "^uloz_tah_c: preteceni pole, n=1024\n$");
}

}  // namespace
