// Fuzzes the search: the input is decoded into a legal position (size 15 to 20, either rule,
// stones placed in play order, no five on the board) and the real root search runs on it at a
// level 0 to 4, within hard limits of time and memory. Whether it finishes or stops, the board
// must come back unchanged and the reply must be an empty cell; a search that outlasts its
// limit is a timeout, and so a finding.
//
// The second byte chooses the rule, the level and the limits, weighted so that a minute covers
// thousands of inputs: the quick levels most often, the deep ones and the long limit now and
// then, and limits that a search reaches (a spent clock, a table that cannot grow) often
// enough that both stops are exercised. What was run is counted and printed at exit.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "check.h"
#include "protocol/engine.h"
#include "search/root_search.h"

namespace {

// Would a stone of `v` at (r, c) stand in a row of five or more?
bool makes_five(const Board& b, int r, int c, int v) {
  for (const Direction d : DIRECTIONS) {
    int n = 1;
    for (int sign : {1, -1}) {
      for (int k = 1; b.on_board(r + sign * k * d.drow, c + sign * k * d.dcol) &&
                      b.at(r + sign * k * d.drow, c + sign * k * d.dcol) == v;
           ++k) {
        ++n;
      }
    }
    if (n >= 5) return true;
  }
  return false;
}

// By four bits of the input: levels 0 and 1 most often, level 4 once in sixteen.
constexpr int LEVELS[16] = {0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4};
// By the top five bits of the first byte (the low ones give the size): a long limit, a spent
// clock, or a table that cannot grow, each now and then; the rest a short limit.
constexpr int LIMIT_LONG = 0, LIMIT_SPENT = 1, LIMIT_TABLE = 2;
constexpr int SHORT_MS = 10, LONG_MS = 50, TABLE_MS = 2000;
// A fresh table's size: one that may not grow stops the first time a part of it would double.
constexpr size_t FRESH_TABLE = size_t{256 * 256} * 12;

// Searches run, by level, and how each ended.
struct Counts {
  long long level[5] = {}, ended[3] = {};
  ~Counts() {
    std::fprintf(stderr, "search_fuzz: levels 0-4: %lld %lld %lld %lld %lld; finished %lld, ",
                 level[0], level[1], level[2], level[3], level[4], ended[STOP_NONE]);
    std::fprintf(stderr, "stopped at the time limit %lld, at the memory limit %lld\n",
                 ended[STOP_TIME], ended[STOP_MEMORY]);
  }
} counts;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static std::FILE* sink = std::fopen("/dev/null", "w");
  Board board;
  board.dim = MIN_DIM + data[0] % (MAX_DIM - MIN_DIM + 1);
  clear_board(board);
  MatchSettings settings;
  settings.rule = data[1] & 1;
  // The table's limit only with seven more bits of the second byte set (its level is 4, so they
  // choose nothing else): its searches run long. fuzz/corpus/search-table has a seed that
  // reaches it.
  const int limit =
      data[0] >> 3 != LIMIT_TABLE || (data[1] & 0xfe) == 0xfe ? data[0] >> 3 : LIMIT_LONG;
  // A table that may not grow stops only a search that stores tens of thousands of positions.
  const int level = limit == LIMIT_TABLE ? 4 : LEVELS[(data[1] >> 1) & 15];
  // Each following pair of bytes is the next stone's cell; taken cells and fives are skipped.
  int stones = 0;
  for (size_t i = 2; i + 1 < size; i += 2) {
    const int r = data[i] % board.dim, c = data[i + 1] % board.dim;
    const int v = stones % 2 == 0 ? 1 : -1;
    if (board.at(r, c) != 0 || makes_five(board, r, c, v)) continue;
    board.at(r, c) = v;
    ++stones;
  }
  if (stones == 0 || stones == board.dim * board.dim)
    return 0;  // nothing to search around, or no move

  Search search;
  search.out = sink;
  search.limits.hard_ms = limit == LIMIT_LONG    ? LONG_MS
                          : limit == LIMIT_TABLE ? TABLE_MS
                          : limit == LIMIT_SPENT ? 0
                                                 : SHORT_MS;
  search.limits.table_bytes = limit == LIMIT_TABLE ? FRESH_TABLE : table_budget(64.0 * (1 << 20));
  const Board before = board;
  const int side = stones % 2 == 0 ? 1 : -1;
  const RootResult r = root_search_detailed(search, settings, board, side, level);
  ++counts.level[level];
  ++counts.ended[r.stop];
  check(board.cells == before.cells, "board restored");
  check(board.on_board(r.move.row, r.move.col), "reply on the board");
  check(board.at(r.move.row, r.move.col) == 0, "reply on an empty cell");
  check(!search.table.active() && search.state.node_count == 1 && search.state.stop == STOP_NONE,
        "search state reset");
  check(r.stop == STOP_NONE ? r.finished == r.moves || r.moves < 2 : r.finished < r.moves,
        "a stopped search leaves root moves unfinished");
  return 0;
}
