#include "movegen/move_list.h"

#include <gtest/gtest.h>

namespace {

TEST(UlozTah, FillsToCapacityThenDiesWithTheCount) {
  static Move moves[MOVE_LIST_CAPACITY];
  int n = 0;
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
