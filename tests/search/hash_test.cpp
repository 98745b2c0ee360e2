#include <gtest/gtest.h>

#include <random>
#include <utility>

#include "search/hash.h"
#include "test_util.h"

namespace {

// The search keys positions from per-row parts; they must give hash's key for any window, the
// row's stones read from the board or added one at a time.
TEST(Hash, RowPartsGiveTheFullKeyThroughPlaceAndRestore) {
  HashTables t;
  std::mt19937 rng(11);
  for (int round = 0; round < 40; ++round) {
    Board board;
    board.dim = 15 + static_cast<int>(rng() % 6);
    for (int i = 0; i < static_cast<int>(rng() % 80); ++i) {
      board.at(rng() % board.dim, rng() % board.dim) = rng() % 2 ? 1 : -1;
    }
    RowHashes rows;
    rows.reset(t, board);
    for (int step = 0; step < 20; ++step) {
      const int a = static_cast<int>(rng()), b = static_cast<int>(rng());
      const HashKey want = hash(t, board, a, b), got = hash_key(rows.parts(), a, b);
      ASSERT_EQ(std::pair(got.h0, got.h1), std::pair(want.h0, want.h1)) << round << " " << step;
      const int r = static_cast<int>(rng() % board.dim), c = static_cast<int>(rng() % board.dim);
      if (board.at(r, c) != 0) continue;
      const RowHashes::Row saved = rows.row(r);
      const HashParts saved_parts = rows.parts();
      board.at(r, c) = rng() % 2 ? 1 : -1;
      if (rng() % 2) {
        rows.add_stone(r, c, board.at(r, c));  // as the search does, from the row's own stones
      } else {
        rows.update_row(board, r);
      }
      if (rng() % 2) {  // sometimes taken off again at once
        board.at(r, c) = 0;
        rows.restore_row(r, saved, saved_parts);
      }
    }
  }
}

TEST(Hash, UnknownStoneIsFatal) {
  HashTables t;
  EXPECT_EXIT(hash(t, test::board_with({{2, 2, 2}}), 0, 0), testing::ExitedWithCode(1),
              "^hash: Unknown stone '2'\n$");
}

}  // namespace
