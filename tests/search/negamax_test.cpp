#include <gtest/gtest.h>

#include "search/negamax.h"
#include "search/root_search.h"
#include "test_util.h"

namespace {

TEST(UpdateWindow, ReachesTwoCellsBeyondTheStoneWithinTheBoard) {
  struct Case {
    SearchWindow before;
    int row, col;
    SearchWindow after;
  };
  const Case cases[] = {
      {{5, 9, 5, 9}, 7, 7, {5, 9, 5, 9}},     // inside by 2: nothing moves
      {{5, 9, 5, 9}, 6, 8, {4, 9, 5, 10}},    // one bound each way
      {{5, 9, 5, 9}, 0, 14, {0, 9, 5, 14}},   // clamped to the board
      {{3, 9, 3, 9}, 1, 13, {0, 9, 3, 14}},   // row < 3 gives 0; col + 2 >= dim gives dim - 1
      {{0, 14, 0, 14}, 7, 7, {0, 14, 0, 14}},
  };
  for (const Case& c : cases) {
    const SearchWindow w = update_window(c.before, c.row, c.col, 15);
    EXPECT_EQ(w.row_from, c.after.row_from);
    EXPECT_EQ(w.row_to, c.after.row_to);
    EXPECT_EQ(w.col_from, c.after.col_from);
    EXPECT_EQ(w.col_to, c.after.col_to);
  }
}

TEST(ChooseLevel, HighestLevelWhoseBudgetFitsTheLimit) {
  struct Case {
    int nps;
    double time_left, timeout_turn;
    int level;
  };
  const Case cases[] = {
      {10000, 180, 30, 3},   // limit 13.85 s: 160000 nodes take 16 s
      {0, 180, 30, 0},       // no speed measured yet
      {10000, 180, 0, 0},    // a limit of 0
      {10000, 1e9, 16, 4},   // exactly the budget still fits
      {10000, 1e9, 15.99, 3},
      {10000, 52, 30, 3},    // time_left / 13 = 4 s is the limit: 40000 nodes fit exactly
      {10000, 51.9, 30, 2},
      {100, 180, 30, 0},     // even level 0 takes too long: 0
      {2147483647, 180, 30, 4},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(choose_level(c.nps, c.time_left, c.timeout_turn), c.level)
        << c.nps << " " << c.time_left << " " << c.timeout_turn;
  }
}

// A search context whose clock the test sets.
struct FakeClockSearch : testing::Test {
  char* buf = nullptr;
  size_t len = 0;
  std::FILE* out = open_memstream(&buf, &len);
  Search search;
  MatchSettings settings;
  int now = 0;
  void SetUp() override {
    search.out = out;
    search.clock_ms = [this] { return now; };
  }
  void TearDown() override {
    std::fclose(out);
    std::free(buf);
  }
  std::string printed() {
    std::fflush(out);
    return std::string(buf, len);
  }
};

TEST_F(FakeClockSearch, LevelDropsAtTwoThirdsThenWithUnderASecondLeft) {
  SearchState& st = search.state;
  settings.timeout_turn = 3.0;
  st.level_request = -1;
  st.search_level = 2;
  st.level_drop = 0;
  st.clock_start = 1000;
  st.node_count = 200;

  now = 3000;  // exactly 2/3 of the turn: no drop
  time_check(search, settings);
  EXPECT_EQ(st.level_drop, 0);
  EXPECT_EQ(st.nps, 100);
  now = 3001;
  time_check(search, settings);
  EXPECT_EQ(st.level_drop, 1);
  EXPECT_EQ(st.quiet_limit, LEVEL_TABLE[1][0]);
  now = 3000;  // exactly one second left: no drop to 0
  time_check(search, settings);
  EXPECT_EQ(st.level_drop, 1);
  now = 3001;
  time_check(search, settings);
  EXPECT_EQ(st.level_drop, 2);
  EXPECT_EQ(st.quiet_limit, LEVEL_TABLE[0][0]);
  now = 9000;
  time_check(search, settings);
  EXPECT_EQ(st.check_count, 6);
  EXPECT_EQ(st.search_level, 2) << "drops leave the chosen level as it was";
  EXPECT_EQ(printed(), "MESSAGE Level... 1\nMESSAGE Level... 0\n");
}

TEST_F(FakeClockSearch, NoDropForAGivenLevelNoTurnTimeOrLevelZero) {
  SearchState& st = search.state;
  st.node_count = 5000;
  now = 100000;
  for (int variant = 0; variant < 3; ++variant) {
    st.level_request = variant == 0 ? 2 : -1;
    st.search_level = variant == 2 ? 0 : 2;
    settings.timeout_turn = variant == 1 ? 0 : 3.0;
    st.level_drop = 0;
    time_check(search, settings);
    EXPECT_EQ(st.level_drop, 0) << variant;
  }
  EXPECT_EQ(st.nps, 50);
  EXPECT_EQ(printed(), "");
}

TEST_F(FakeClockSearch, NoTimeElapsedCountsAsOneMillisecondAndSpeedIsClamped) {
  search.state.node_count = 3000;
  now = search.state.clock_start;
  time_check(search, settings);
  EXPECT_EQ(search.state.nps, 3000000);
  search.state.node_count = 2147483647;
  time_check(search, settings);
  EXPECT_EQ(search.state.nps, 2147483647);
}

// Level 0 at every search, as INFO timeout_turn 0 gives.
struct NegamaxFixture : FakeClockSearch {
  Board board;
  void SetUp() override {
    FakeClockSearch::SetUp();
    board.dim = 15;
    set_level(search.state, 0, out);
    search.tree.tree_root = tt_create(search.tree);
  }
  void TearDown() override {
    tt_free(search.tree);
    FakeClockSearch::TearDown();
  }
};

TEST_F(NegamaxFixture, LeafReturnsScoreMinusParentAndStoresNothing) {
  board.at(7, 7) = 1;
  // Beyond quiet_limit with forcing 0 the generator offers nothing: a leaf with score 32.
  EXPECT_EQ(negamax(search, settings, board, 1, 3, -1024, 1024, 0, 0, {5, 9, 5, 9}, 30), 2);
  EXPECT_EQ(search.state.node_count, 1);
  EXPECT_EQ(search.tree.tree_root->greater, nullptr);
  EXPECT_EQ(search.tree.tree_root->smaller, nullptr);
}

TEST_F(NegamaxFixture, DecidedNodesReturnTheGeneratorScore) {
  const Board won = test::board_with({{7, 4, 1}, {7, 5, 1}, {7, 6, 1}, {7, 7, 1}});
  board = won;
  EXPECT_EQ(negamax(search, settings, board, 1, 3, -5, 5, 1, 0, {5, 9, 2, 9}, 0), 1021)
      << "a five now";
  EXPECT_EQ(negamax(search, settings, board, -1, 3, -5, 5, 1, 0, {5, 9, 2, 9}, 0), -1021)
      << "two opponent five points";
  EXPECT_EQ(search.state.node_count, 1);
}

TEST_F(NegamaxFixture, FailHardResultsStayInsideTheWindow) {
  const Board b = test::board_with({{7, 7, 1}, {8, 8, -1}, {6, 8, 1}});
  SearchWindow w{4, 10, 5, 10};
  board = b;
  const int full = negamax(search, settings, board, -1, 1, -1024, 1024, 2, 0, w, 0);
  EXPECT_EQ(board.cells, b.cells) << "the board comes back as it was";
  tt_free(search.tree);
  search.tree.tree_root = tt_create(search.tree);
  EXPECT_EQ(negamax(search, settings, board, -1, 1, full, full + 10, 2, 0, w, 0), full)
      << "no move above alpha: alpha";
  tt_free(search.tree);
  search.tree.tree_root = tt_create(search.tree);
  EXPECT_EQ(negamax(search, settings, board, -1, 1, full - 10, full, 2, 0, w, 0), full)
      << "a move reaching beta: beta";
  tt_free(search.tree);
  search.tree.tree_root = tt_create(search.tree);
  EXPECT_EQ(negamax(search, settings, board, -1, 1, full - 10, full - 1, 2, 0, w, 0), full - 1);
  EXPECT_GT(search.state.node_count, 1);
}

}  // namespace
