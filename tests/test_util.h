// Helpers shared by the tests: boards from stone lists, in-process engines on memory streams,
// and a search on a clock the test owns.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/board.h"
#include "protocol/engine.h"

namespace test {

struct Stone {
  int row, col, side;
};

inline Board board_with(const std::vector<Stone>& stones, int dim = 15) {
  Board b;
  b.dim = dim;
  for (const Stone& s : stones) b.at(s.row, s.col) = s.side;
  return b;
}

// The same from "row,col,who ..." in play order, as the bench writes positions: the stones of
// the first listed stone's `who` are +1, the others -1.
inline Board board_of(const std::string& stones, int dim = 15) {
  Board b;
  b.dim = dim;
  std::istringstream in(stones);
  int first = 0, r, c, who;
  char comma;
  while (in >> r >> comma >> c >> comma >> who) {
    if (first == 0) first = who;
    b.at(r, c) = who == first ? 1 : -1;
  }
  return b;
}

// Collects what is written to a FILE* in memory.
struct Capture {
  char* buf = nullptr;
  size_t len = 0;
  std::FILE* f = open_memstream(&buf, &len);
  ~Capture() {
    std::fclose(f);
    std::free(buf);
  }
  std::string text() {
    std::fflush(f);
    return std::string(buf, len);
  }
};

// A FILE* that reads `text` from memory.
struct Source {
  explicit Source(const std::string& text) : data(text.empty() ? "\n" : text) {
    if (text.empty()) std::fgetc(f);  // memory streams may not be empty: one drained instead
  }
  ~Source() { std::fclose(f); }
  std::string data;
  std::FILE* f = fmemopen(data.data(), data.size(), "r");
};

// A fresh engine reading `script` from memory; its output is collected in memory.
struct ScriptedEngine {
  explicit ScriptedEngine(const std::string& script) : in(script), engine(in.f, out.f, stderr) {}
  int run() { return run_command_loop(engine); }
  Source in;
  Capture out;
  Engine engine;
};

// A search whose clock the test owns: each reading returns `now` milliseconds and `now_us`
// microseconds more, and then moves `now` on by `tick` (0: the clock stands until the test
// sets it).
struct FakeClock : testing::Test {
  Capture out;
  Search search;
  MatchSettings settings;
  int now = 0;
  int now_us = 0;
  int tick = 0;
  void SetUp() override {
    search.out = out.f;
    search.clock_us = [this] {
      const int t = now;
      now += tick;
      return int64_t{t} * 1000 + now_us;
    };
  }
  // The root search from a clock at 0, which must answer an empty point and leave the board,
  // the table and the stop as it found them.
  RootResult play(Board board, int side, int level) {
    const Board before = board;
    now = 0;
    const RootResult r = root_search_detailed(search, settings, board, side, level);
    EXPECT_EQ(board.cells, before.cells);
    EXPECT_EQ(board.at(r.move.row, r.move.col), 0);
    EXPECT_FALSE(search.table.active());
    EXPECT_EQ(search.state.node_count, 1);
    EXPECT_EQ(search.state.stop, STOP_NONE) << "the next search starts afresh";
    return r;
  }
};

}  // namespace test
