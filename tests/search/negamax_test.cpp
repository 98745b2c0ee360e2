#include <gtest/gtest.h>

#include "search/negamax.h"
#include "search/root_search.h"
#include "test_util.h"

namespace {

TEST(ChooseLevel, HighestLevelWhoseBudgetFitsTheLimit) {
  struct Case {
    int nps;
    double time_left, timeout_turn;
    int level;
  };
  // clang-format off
  const Case cases[] = {
      {10000, 180, 30, 3},     // limit 13.85 s: 160000 nodes take 16 s
      {0, 180, 30, 0},         // no speed measured yet
      {10000, 180, 0, 0},      // a limit of 0
      {10000, 1e9, 16, 4},     // exactly the budget still fits
      {10000, 1e9, 15.99, 3},
      {10000, 52, 30, 3},      // time_left / 13 = 4 s is the limit
      {10000, 51.9, 30, 2},
      {100, 180, 30, 0},       // even level 0 is too slow
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(choose_level(c.nps, c.time_left, c.timeout_turn), c.level)
        << c.nps << " " << c.time_left << " " << c.timeout_turn;
  }
}

using test::FakeClock;

// Each row is one time check after the previous rows, 200 nodes in, started at 1000 ms.
TEST_F(FakeClock, LevelDropsAtTwoThirdsThenWithUnderASecondLeft) {
  SearchState& st = search.state;
  st.level_request = -1, st.search_level = 2, st.clock_start = 1000, st.node_count = 200;
  st.clock_start_us = 1000000;
  settings.timeout_turn = 3.0;
  struct Check {
    int now, level_drop, quiet_limit, nps;
  };
  // clang-format off
  const Check checks[] = {
      {3000, 0, 0, 100},   // exactly 2/3 of the turn: no drop
      {3001, 1, 4, 99},    // past it: one level down
      {3000, 1, 4, 100},   // exactly one second left: no drop to 0
      {3001, 2, 2, 99},    // under a second left: level 0
      {9000, 2, 2, 25},    // nothing more
      {1000, 2, 2, 200000000},  // 0 us elapsed counts as 1 us
  };
  // clang-format on
  for (const Check& c : checks) {
    now = c.now;
    time_check(search, settings);
    EXPECT_EQ(st.level_drop, c.level_drop) << c.now;
    EXPECT_EQ(st.limits.quiet_limit, c.quiet_limit) << c.now;
    EXPECT_EQ(st.nps, c.nps) << c.now;
  }
  EXPECT_EQ(st.check_count, 7);
  EXPECT_EQ(st.search_level, 2) << "drops leave the chosen level as it was";
  EXPECT_EQ(out.text(), "MESSAGE Level... 1\nMESSAGE Level... 0\n");
  now = 1001, now_us = 500;  // the speed counts microseconds
  time_check(search, settings);
  EXPECT_EQ(st.nps, 133333);
  st.node_count = 2147483647;
  time_check(search, settings);
  EXPECT_EQ(st.nps, 2147483647) << "clamped";
}

TEST_F(FakeClock, NoDropForAGivenLevelNoTurnTimeOrLevelZero) {
  SearchState& st = search.state;
  st.node_count = 5000;
  now = 100000;
  for (int variant = 0; variant < 3; ++variant) {
    st.level_request = variant == 0 ? 2 : -1;
    st.search_level = variant == 2 ? 0 : 2;
    settings.timeout_turn = variant == 1 ? 0 : 3.0;
    time_check(search, settings);
    EXPECT_EQ(st.level_drop, 0) << variant;
  }
  EXPECT_EQ(st.nps, 50);
  EXPECT_EQ(out.text(), "");
}

// START's speed: the fixed search once, with its lines as always, then again silently until
// BENCHMARK_US have passed; the reading is of the repeats alone, in microseconds.
TEST_F(FakeClock, BenchmarkReadsItsRepeatsInMicroseconds) {
  struct Case {
    long long nodes, us;
    int nps;
  };
  const Case cases[] = {{513, 2345, 218763}, {513, 0, 513000000}, {1LL << 40, 1, INT_MAX}};
  for (const Case& c : cases) EXPECT_EQ(speed_reading(c.nodes, c.us), c.nps) << c.us;
  tick = 1;
  now_us = 250;
  benchmark(search, settings, 15);
  EXPECT_EQ(out.text(),
            "MESSAGE Level... 1\nMESSAGE [9,7], val = 5\nMESSAGE Benchmark, nps=98477\n");
}

}  // namespace
