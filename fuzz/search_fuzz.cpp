// Fuzzes the search: the input is decoded into a legal position (size 15 to 20, either rule,
// stones placed in play order, no five on the board) and the real root search runs on it at a
// level 0 to 4, within small hard limits of time and memory. Whether it finishes or stops, the
// board must come back unchanged and the reply must be an empty cell; a search that outlasts
// its limit is a timeout, and so a finding.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  static std::FILE* sink = std::fopen("/dev/null", "w");
  Board board;
  board.dim = MIN_DIM + data[0] % (MAX_DIM - MIN_DIM + 1);
  clear_board(board);
  MatchSettings settings;
  settings.rule = data[1] & 1;
  const int level = (data[1] >> 1) % 5;
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
  search.limits.hard_ms = 250;
  search.limits.table_bytes = table_budget(64.0 * (1 << 20));
  const Board before = board;
  const int side = stones % 2 == 0 ? 1 : -1;
  const RootResult r = root_search_detailed(search, settings, board, side, level);
  check(board.cells == before.cells, "board restored");
  check(board.on_board(r.move.row, r.move.col), "reply on the board");
  check(board.at(r.move.row, r.move.col) == 0, "reply on an empty cell");
  check(!search.table.active() && search.state.node_count == 1 && search.state.stop == STOP_NONE,
        "search state reset");
  check(r.stop == STOP_NONE ? r.finished == r.moves || r.moves < 2 : r.finished < r.moves,
        "a stopped search leaves root moves unfinished");
  return 0;
}
