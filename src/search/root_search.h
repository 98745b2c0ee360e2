// Entry points of the search for the protocol: the engine's move, chosen at a level that fits
// the measured speed and the time allowed, and the speed benchmark that START runs.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

#include "board/board.h"
#include "movegen/move.h"
#include "movegen/tah.h"
#include "search/match_settings.h"
#include "search/search.h"

// Nodes a level is reckoned to need; a level fits when its budget at the measured speed takes
// no longer than the time limit of the move.
constexpr int NODE_BUDGETS[5] = {400, 2500, 10000, 40000, 160000};

struct RootResult {
  Move move;
  int value;             // the searched value, or the static score when a single move was generated
  int nodes;             // nodes stored by the search
  int moves;             // root moves generated
  int stop = STOP_NONE;  // why the search stopped short of its end, if it did
  int finished = 0;      // root moves whose search finished
};

// Returns an empty on-board cell to play and leaves the board as it was. A negative level asks
// for the level to be chosen from the measured speed and the time settings. The search keeps
// to `search.limits`: one that reaches them stops and answers the best root move it finished.
Move root_search(Search& search, const MatchSettings& settings, Board& board, int side, int level);

// The same, with what the bench and the tests want to see of the search.
RootResult root_search_detailed(Search& search, const MatchSettings& settings, Board& board,
                                int side, int level);

// The level that fits: limit = min(time_left / 13, timeout_turn); 0 while no speed is known.
int choose_level(int nps, double time_left, double timeout_turn);

// The search window of the root: the bounding box of the stones plus 2 cells, within the board.
SearchWindow root_window(const Board& board);

// Measures the speed with a level-1 search of a fixed position on a dim x dim scratch board,
// repeated silently until BENCHMARK_US have passed, so that the reading is the search's speed
// rather than that of its first milliseconds.
void benchmark(Search& search, const MatchSettings& settings, int dim);
constexpr int64_t BENCHMARK_US = 40000;
constexpr int BENCHMARK_REPEATS = 1000;  // a clock that stands still cannot hold START forever

// Nodes per second from `nodes` stored in `elapsed_us` (at least 1), clamped to an int.
int speed_reading(int64_t nodes, int64_t elapsed_us);

// A stream that swallows what is written to it, or null where the platform has none.
std::FILE* null_stream();

// "[row,col]"
std::string format_move(const Move& m);
