// The move generator and static evaluator, run once per search node: it classifies every empty
// point of the search window for both sides, recognises decided positions, scores the node and
// lists the moves to try in the order to try them.
#pragma once

#include "board/board.h"
#include "board/position.h"
#include "movegen/move_list.h"
#include "movegen/depth_limits.h"

// The inclusive rectangle the generator scans, always within the board.
struct SearchWindow {
  int row_from;
  int row_to;
  int col_from;
  int col_to;
};

// SCORE_TABLE[9 (th-1) + 3 fo + min(c-1, 2)]: what one own candidate adds to the static score.
// clang-format off
constexpr int SCORE_TABLE[27] = {
    0, 1, 2,  0, 2, 4,  0, 0, 0,   // th 1, fo 0 / 1 / 2
    1, 3, 5,  3, 6, 7,  0, 8, 9,   // th 2
    5, 64, 0, 7, 64, 0, 19, 64, 0  // th 3
};
// clang-format on

// (own limit, opponent limit) by 2 min(depth, 2) + (static score > parent score).
constexpr int LIST_LIMITS[6][2] = {{8, 8}, {8, 8}, {4, 6}, {6, 4}, {4, 5}, {5, 4}};

constexpr int OPPONENT_LIMIT_MAX = 8;  // the largest opponent limit above
constexpr int SCORED_CANDIDATES = 16;
constexpr int MAIN_CANDIDATE_CUT = 10;
constexpr int EXTENSION_MAX_DEPTH = 2;

// Writes the moves to try into `out` and returns their number (0: evaluate as a leaf). Adds the
// static score to `score`, or overwrites it with a decided value: 1024 - depth own five,
// 512 - depth unstoppable own four, parent_score - 1 a single forced block, depth - 1024 two
// or more opponent five points. Reads the depth limits of `limits` at every call.
int tah(const Position& pos, int side, int depth, Move* out, int& score, int parent_score,
        int forcing, int main_only, SearchWindow window, const DepthLimits& limits);

// The same on a plain board under `rule`, analysed afresh.
int tah(const Board& board, int side, int depth, Move* out, int& score, int parent_score,
        int forcing, int main_only, SearchWindow window, const DepthLimits& limits, int rule);
