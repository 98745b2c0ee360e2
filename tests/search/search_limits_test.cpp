#include <gtest/gtest.h>

#include <climits>
#include <map>

#include "search/analysis.h"
#include "search/root_search.h"
#include "search/search_limits.h"
#include "test_util.h"

namespace {

constexpr size_t MIB = size_t{1} << 20;
constexpr int MEMORY_STOP_READINGS = 4000;  // clock readings, one every 64 nodes entered

TEST(HardLimits, FollowTheManagersSettings) {
  struct Case {
    const char* what;
    double timeout_turn, time_left;  // seconds, as INFO leaves them
    int hard_ms;
  };
  // clang-format off
  const Case cases[] = {
      {"the turn, less its reserve", 5, 120, 4700},
      {"a long turn keeps a second back", 30, 180, 29000},
      {"timeout_turn 0: as fast as possible", 0, 180, 900},
      {"an unreadable timeout_turn counts as 0", -0.001, 180, 900},
      {"no more than half of the match time left", 5, 4, 1850},
      {"time_left 2147483647 ms is unlimited", 5, 2147483.647, 4700},
      {"match time spent: answer at once", 5, 0, 0},
      {"match time overspent", 5, -3, 0},
      {"a sliver of match time", 5, 0.08, 0},
  };
  // clang-format on
  for (const Case& c : cases) {
    MatchSettings s;
    s.timeout_turn = c.timeout_turn;
    s.time_left = c.time_left;
    EXPECT_EQ(hard_time_limit_ms(s), c.hard_ms) << c.what;
  }
}

TEST(HardLimits, TableBudgetFromMaxMemory) {
  struct Case {
    const char* what;
    bool sent;
    double max_memory;  // MiB, as INFO leaves it
    size_t table_bytes;
  };
  // clang-format off
  const Case cases[] = {
      {"none sent: the default cap", false, 0, 208 * MIB},
      {"350 MiB, as managers send by default", true, 350, 302 * MIB},
      {"0: no limit", true, 0, NO_MEMORY_LIMIT},
      {"unreadable: the default cap", true, -1.0 / MIB, 208 * MIB},
      {"a small cap: half of it", true, 40, 20 * MIB},
  };
  // clang-format on
  for (const Case& c : cases) {
    MatchSettings s;
    s.max_memory_sent = c.sent;
    s.max_memory = c.max_memory;
    EXPECT_EQ(hard_limits(s).table_bytes, c.table_bytes) << c.what;
  }
}

// 20 x 20, five or more: lines of own fours after a forcing line multiply, and even level 0
// would search for minutes and take gigabytes.
const Board RUNAWAY = test::board_of(
    "7,12,1 11,9,2 10,7,1 12,9,2 10,9,1 10,10,2 12,7,1 11,10,2 9,10,1 11,8,2 11,11,1 8,11,2 "
    "13,8,1 8,12,2 9,11,1 8,13,2 8,14,1 10,13,2 10,11,1 9,13,2 11,13,1 7,11,2 6,10,1 6,13,2 "
    "7,13,1 8,9,2 8,10,1 10,12,2 11,6,1 10,14,2 11,15,1 14,9,2 10,16,1 11,17,2 10,5,1 9,4,2 "
    "13,7,1 13,9,2 15,9,1 14,7,2",
    20);

const Board MIDGAME =
    test::board_of("7,7,1 7,8,2 6,9,1 8,9,2 9,10,1 8,8,2 10,8,1 9,8,2 7,10,1 6,7,2 8,10,1 10,10,2");

// Searches on a clock that moves on one millisecond at every reading, so where they stop
// depends on nothing but the search.
using LimitedSearch = test::FakeClock;

TEST_F(LimitedSearch, RunawayStopsAtTheTimeOrMemoryLimit) {
  tick = 1;
  settings.rule = 0;
  search.limits.hard_ms = 300;
  search.state.nps = 1234;
  const RootResult r = play(RUNAWAY, 1, 0);
  // The first reading for the limit at or past it is the last; a time check of the level may
  // read the clock once just before it.
  EXPECT_TRUE(now == 301 || now == 302) << now;
  EXPECT_EQ(r.stop, STOP_TIME);
  EXPECT_EQ(r.finished, 0);
  const Move first = root_moves(RUNAWAY, 1, 0, settings.rule).at(0);
  EXPECT_EQ((std::array{r.move.row, r.move.col}), (std::array{first.row, first.col}))
      << "none finished: the first root move in the generator's order";
  EXPECT_EQ(out.text(),
            "MESSAGE Level... 0\nMESSAGE Search stopped at its time limit of 300 ms: "
            "0 of " +
                std::to_string(r.moves) + " root moves finished\n");
  EXPECT_GT(search.state.nps, 0) << "measured by the stopped search's own time checks";

  // A table that may not grow past 2 MiB stops it just the same, long before a time limit
  // that would otherwise end it.
  search.limits = SearchLimits{MEMORY_STOP_READINGS, 2 * MIB};
  EXPECT_EQ(play(RUNAWAY, 1, 0).stop, STOP_MEMORY);
  EXPECT_LT(now, MEMORY_STOP_READINGS);
  EXPECT_NE(out.text().find("MESSAGE Search stopped at its memory limit"), std::string::npos);
}

// However early a search stops, it answers as the root loop stood after its finished moves:
// the best of them, the earlier on equal values. A search within its limit is the search.
TEST_F(LimitedSearch, StopAnswersTheBestFinishedRootMove) {
  tick = 1;
  search.limits.hard_ms = INT_MAX - 1;  // never reached, but read like any limit
  const RootResult full = play(MIDGAME, 1, 1);
  const int readings = now;
  ASSERT_EQ(full.stop, STOP_NONE);
  search.limits.hard_ms = readings;  // the last reading comes before the limit
  const RootResult within = play(MIDGAME, 1, 1);
  EXPECT_EQ((std::array{within.move.row, within.move.col, within.value, within.nodes}),
            (std::array{full.move.row, full.move.col, full.value, full.nodes}));
  EXPECT_EQ(within.stop, STOP_NONE);

  std::map<int, RootResult> by_finished;
  for (int k = 0; k < 24; ++k) {
    search.limits.hard_ms = readings * k / 24;
    const RootResult r = play(MIDGAME, 1, 1);
    ASSERT_EQ(r.stop, STOP_TIME);
    by_finished.emplace(r.finished, r);
    const RootResult& same = by_finished.at(r.finished);
    EXPECT_EQ((std::array{r.move.row, r.move.col, r.value}),
              (std::array{same.move.row, same.move.col, same.value}));
  }
  by_finished.emplace(full.moves, full);
  ASSERT_GE(by_finished.size(), 4u) << "stops spread over the root moves";
  const RootResult* prev = nullptr;
  for (const auto& [finished, r] : by_finished) {
    SCOPED_TRACE(finished);
    if (prev != nullptr) {
      EXPECT_GE(r.value, prev->value);
      // None finished answers the first root move, which is what one finished move gives.
      if (r.value == prev->value || finished == 1) {
        EXPECT_EQ((std::array{r.move.row, r.move.col}),
                  (std::array{prev->move.row, prev->move.col}));
      }
    }
    prev = &r;
  }
}

}  // namespace
