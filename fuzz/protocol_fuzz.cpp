// Fuzzes the protocol front end: arbitrary bytes on standard input of a fresh engine. The
// search is replaced by a stand-in that plays the first empty cell, so that every input runs in
// microseconds and the fuzzer explores the reader, the commands, the position block, INFO and
// the game states rather than the search (the search has its own harness).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "check.h"
#include "protocol/engine.h"

namespace {

// The design resigns when no cell is left; the stand-in unwinds to the harness instead.
struct NoMoveLeft {};

Move first_empty(Search&, const MatchSettings&, Board& board, int, int) {
  for (int r = 0; r < board.dim; ++r) {
    for (int c = 0; c < board.dim; ++c) {
      if (board.at(r, c) == 0) return Move{r, c, 0, 0, 0};
    }
  }
  throw NoMoveLeft{};
}

void no_benchmark(Search&, const MatchSettings&, int) {}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static std::FILE* sink = std::fopen("/dev/null", "w");
  std::string input(reinterpret_cast<const char*>(data), size);
  if (input.empty()) input.push_back('\n');  // memory streams may not be empty
  std::FILE* in = fmemopen(input.data(), input.size(), "r");
  {
    Engine engine(in, sink, sink);
    engine.search_move = first_empty;
    engine.measure_speed = no_benchmark;
    try {
      check(run_command_loop(engine) == 0, "exit code");
    } catch (const NoMoveLeft&) {
    }
    // The game stays a game: its size in range or unset, only stones or empty cells on the
    // board, and every recorded move on a stone.
    const GameState& g = engine.game;
    check(g.board.dim == 0 || (g.board.dim >= MIN_DIM && g.board.dim <= MAX_DIM), "size");
    for (int r = 0; r < g.board.dim; ++r) {
      for (int c = 0; c < g.board.dim; ++c) {
        const int v = g.board.at(r, c);
        check(v == 0 || v == 1 || v == -1, "cell value");
      }
    }
    check(g.move_count >= 0 && g.move_count < MOVE_HISTORY_SIZE, "move count");
    for (int i = 1; i <= g.move_count; ++i) {
      check(g.board.on_board(g.move_history[i].row, g.move_history[i].col), "record on board");
    }
  }
  std::fclose(in);
  return 0;
}
