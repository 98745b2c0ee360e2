// One node of the game tree: fail-hard alpha-beta over the generator's moves, with probes and
// stores in the transposition table, speed measurement and level drops as time runs short.
// Depth is bounded by the generator, which returns no moves where a line ends.
#pragma once

#include "board/board.h"
#include "movegen/tah.h"
#include "search/match_settings.h"
#include "search/search.h"

// The value of the node for `side`; the position is returned exactly as it was.
int negamax(Search& search, const MatchSettings& settings, Position& pos, int side, int depth,
            int alpha, int beta, int forcing, int main_only, SearchWindow window, int parent_score);

// The window widened so that it reaches 2 cells beyond a stone just placed, within the board.
SearchWindow update_window(SearchWindow window, int row, int col, int dim);

// Stores a node's value; a key whose h0 is present already removes the old entry instead. A
// table that cannot grow stops the search (STOP_MEMORY).
void tt_store(Search& search, HashKey key, int value);

// Reads the clock against the hard time limit and sets STOP_TIME once it is reached; restarts
// the count of nodes to the next reading.
bool hard_limit_reached(Search& search);

// Rewrites nps and, for an automatically chosen level, lowers it as the turn's time runs out.
void time_check(Search& search, const MatchSettings& settings);
