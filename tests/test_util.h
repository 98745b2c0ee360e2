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

// The same from "row,col,who ..." in play order, as the bench writes positions: the first
// listed stone is +1, the next -1, and so on.
inline Board board_of(const char* stones, int dim = 15) {
  Board b;
  b.dim = dim;
  std::istringstream in(stones);
  int n = 0, r, c, who;
  char comma;
  while (in >> r >> comma >> c >> comma >> who) b.at(r, c) = n++ % 2 == 0 ? 1 : -1;
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
};

// A fresh engine reading `script` from memory; its output is collected in memory.
class ScriptedEngine {
 public:
  explicit ScriptedEngine(std::string script)
      : script_(script.empty() ? "\n" : std::move(script)),  // memory streams may not be empty
        in_(fmemopen(script_.data(), script_.size(), "r")),
        engine(in_, out_.f, stderr) {}
  ~ScriptedEngine() { std::fclose(in_); }
  int run() { return run_command_loop(engine); }
  std::string out() { return out_.text(); }

 private:
  std::string script_;
  Capture out_;
  std::FILE* in_;

 public:
  Engine engine;
};

}  // namespace test
