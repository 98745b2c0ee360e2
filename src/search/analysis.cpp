#include "search/analysis.h"

#include <algorithm>

#include "search/negamax.h"

namespace {

DepthLimits level_limits(int level) {
  return DepthLimits{LEVEL_TABLE[level][0], LEVEL_TABLE[level][1], LEVEL_TABLE[level][2]};
}

// The root's moves and static score, as step 7 of the root search makes them.
struct Root {
  SearchWindow window;
  Move moves[MOVE_LIST_CAPACITY];
  int n = 0;
  int score = 0;

  Root(const Position& pos, int side, int level) : window(root_window(pos.board())) {
    n = tah(pos, side, 0, moves, score, 0, 2, 0, window, level_limits(level));
  }
};

// Runs `f` with the hard time limit cut to what is left of it since `clock_start`, and with
// the search's limits as they were afterwards.
template <class F>
auto within_what_is_left(Search& search, int clock_start, F f) {
  const SearchLimits saved = search.limits;
  if (saved.hard_ms != NO_TIME_LIMIT) {
    search.limits.hard_ms = std::max(0, saved.hard_ms - (search.clock_ms() - clock_start));
  }
  auto result = f();
  search.limits = saved;
  return result;
}

}  // namespace

std::vector<Move> root_moves(const Board& board, int side, int level, int rule) {
  const Position pos(board, rule);
  const Root root(pos, side, level);
  return std::vector<Move>(root.moves, root.moves + root.n);
}

int candidate_value(Search& search, const MatchSettings& settings, const Board& board, int side,
                    int level, const Move& m, int clock_start, int& value) {
  SearchState& st = search.state;
  st.clock_start = clock_start;
  st.clock_start_us = int64_t{clock_start} * 1000;
  st.check_count = 1;
  st.stop = STOP_NONE;
  st.stop_countdown = 1;
  st.level_request = level;  // a given level: no drops
  st.search_level = level;
  st.limits = level_limits(level);
  if (!search.table.create(search.limits.table_bytes)) return STOP_MEMORY;

  Position pos(board, settings.rule);
  const Root root(pos, side, level);
  search.keys.reset(search.hashes, board);
  const HashParts root_parts = search.keys.parts();
  pos.place(m.row, m.col, side);
  const RowHashes::Row row_before = search.keys.row(m.row);
  search.keys.update_row(pos.board(), m.row);
  const SearchWindow child = update_window(root.window, m.row, m.col, pos.dim());
  value = -negamax(search, settings, pos, -side, 1, -1024, 1024, m.forcing, m.main_only, child,
                   root.score);
  pos.remove(m.row, m.col);
  search.keys.restore_row(m.row, row_before, root_parts);

  search.table.release();
  st.node_count = 1;
  const int stop = st.stop;
  st.stop = STOP_NONE;
  return stop;
}

AnalysisResult analyse(Search& search, const MatchSettings& settings, Board& board, int side,
                       int level, const AnalysisProgress& progress) {
  const int start = search.clock_ms();
  AnalysisResult result;
  result.moves = root_moves(board, side, level, settings.rule);
  if (result.moves.empty()) {
    if (progress) progress(result);
    return result;  // nothing to value, and nothing the engine would play but a fallback
  }

  const RootResult engine = within_what_is_left(
      search, start, [&] { return root_search_detailed(search, settings, board, side, level); });
  result.engine = engine;
  result.engine_known = engine.stop == STOP_NONE;
  if (!result.engine_known) {
    result.stop = engine.stop;
    if (progress) progress(result);
    return result;
  }
  if (progress) progress(result);

  if (result.moves.size() == 1) {  // the generator's verdict: nothing to search
    result.candidates.push_back(CandidateValue{result.moves[0], engine.value, engine.value});
    if (progress) progress(result);
    return result;
  }
  for (const Move& m : result.moves) {
    int alone = 0;
    result.stop = candidate_value(search, settings, board, side, level, m, start, alone);
    if (result.stop != STOP_NONE) break;
    // The root search's value of its move can differ from the move's value alone (another
    // window, a table filled by the moves before it): the engine's point shows the value the
    // engine plays it for, so that it never reads lost where the engine plays it to win.
    const bool engine_point = m.row == engine.move.row && m.col == engine.move.col;
    result.candidates.push_back(CandidateValue{m, engine_point ? engine.value : alone, alone});
    if (progress) progress(result);
  }
  return result;
}

std::vector<Move> engine_line(Search& search, const MatchSettings& settings, const Board& board,
                              int side, int level, Move first, int max_plies) {
  const int start = search.clock_ms();
  Board b = board;
  std::vector<Move> line;
  Move m = first;
  for (;;) {
    const bool five = Position(b, settings.rule).threat(m.row, m.col, side).th == 4;
    b.at(m.row, m.col) = side;
    line.push_back(m);
    if (five || static_cast<int>(line.size()) >= max_plies) break;
    side = -side;
    if (root_moves(b, side, level, settings.rule).empty()) break;
    const RootResult reply = within_what_is_left(
        search, start, [&] { return root_search_detailed(search, settings, b, side, level); });
    if (reply.stop != STOP_NONE) break;
    m = reply.move;
  }
  return line;
}

std::vector<CandidateValue> ranked(std::vector<CandidateValue> candidates) {
  std::stable_sort(
      candidates.begin(), candidates.end(),
      [](const CandidateValue& a, const CandidateValue& b) { return a.value > b.value; });
  return candidates;
}
