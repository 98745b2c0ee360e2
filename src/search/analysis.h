// Analysis of a position for a person studying it, beside the root search: every root move
// with a value of its own, and the line the engine expects after one of them. The root search
// values only its first move exactly (the others are searched against the best so far, so
// their values are bounds); here each root move is searched as that first move is, with the
// full window and a fresh table, so no value depends on which moves were searched before it.
#pragma once

#include <functional>
#include <vector>

#include "board/board.h"
#include "movegen/move.h"
#include "search/root_search.h"

// On the engine's own point `value` is the root search's value, so that the move the engine
// plays and its point read alike; `alone` is what the move searched alone is worth (where no
// search ran, as when the generator settled the root with a single move, the same as `value`).
struct CandidateValue {
  Move move;
  int value;
  int alone;
};

struct AnalysisResult {
  std::vector<Move> moves;                 // the root moves, in the generator's order
  std::vector<CandidateValue> candidates;  // the finished ones, in the same order
  bool engine_known = false;               // the root search below finished
  RootResult engine;                       // the root search's own answer, as the engine plays
  int stop = STOP_NONE;                    // a hard limit ended the analysis early
};

// Called as the analysis goes: once the root moves and the engine's answer are known (with no
// candidates yet), then after each candidate.
using AnalysisProgress = std::function<void(const AnalysisResult&)>;

// The root moves of `side` at `level`, as the root search generates them.
std::vector<Move> root_moves(const Board& board, int side, int level, int rule);

// Analyses the position for `side` at `level` (0..4) within `search.limits`, which hold for
// the whole analysis, measured from its start. The engine's answer comes first, then the
// candidates in the generator's order. A single root move is the generator's verdict (a five,
// a forced block, a lost position, an unstoppable four, the only move there is): it takes the
// engine's value and is not searched, since a search after a five would play on as if the game
// had not ended. The board is given back as it was.
AnalysisResult analyse(Search& search, const MatchSettings& settings, Board& board, int side,
                       int level, const AnalysisProgress& progress = {});

// The same analysis with its searches (the engine's answer and each candidate) shared out over
// `threads` threads, each with a search of its own made like `search`: since every candidate is
// searched alone with a fresh table, the values are those of one thread. A stop at a hard limit
// keeps every candidate that finished, in the generator's order. Where no thread is to be had,
// this thread does all the work.
AnalysisResult analyse_on_threads(const Search& search, const MatchSettings& settings,
                                  const Board& board, int side, int level, int threads);

// Runs task(s, i) for i = 0 .. tasks - 1, shared out over `threads` threads (this one among
// them), each with a search `s` of its own made like `like` (its limits, output and clock).
void share_out(const Search& like, int threads, int tasks,
               const std::function<void(Search&, int)>& task);

// The value of root move `m` of `side`, searched as the root loop searches its first move.
// Returns the StopReason: STOP_NONE when it finished. The time limit counts from `clock_start`.
int candidate_value(Search& search, const MatchSettings& settings, const Board& board, int side,
                    int level, const Move& m, int clock_start, int& value);

// `first` for `side`, then the engine's answer for the other side at `level`, and so on: at
// most `max_plies` moves, ending early after a five, at a position without a move, or at a
// hard limit (the move under way is then left out).
constexpr int LINE_PLIES = 8;
std::vector<Move> engine_line(Search& search, const MatchSettings& settings, const Board& board,
                              int side, int level, Move first, int max_plies = LINE_PLIES);

// The candidates best first; equal values keep the generator's order.
std::vector<CandidateValue> ranked(std::vector<CandidateValue> candidates);
