// Entry points of the search for the protocol: the engine's move, and the speed benchmark that
// START runs on a scratch board of its own.
#pragma once

#include "board/board.h"
#include "movegen/move.h"
#include "protocol/match_settings.h"
#include "search/search.h"

// Returns an empty on-board cell to play and leaves the board as it was. A negative level asks
// for the level to be chosen from the measured speed and the time settings.
Move root_search(Search& search, const MatchSettings& settings, Board& board, int side, int level);

// Measures the speed on a fixed position of a dim x dim scratch board; ends with
// "MESSAGE Benchmark, nps=%d".
void benchmark(Search& search, const MatchSettings& settings, int dim);
