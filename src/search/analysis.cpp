#include "search/analysis.h"

#include <pthread.h>

#include <algorithm>
#include <atomic>

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

// Each search node keeps its move list in its own frame: a forcing line as long as the board
// has cells needs some 9 MB of stack, more than a thread gets by default. Untouched pages of a
// large stack cost nothing.
constexpr size_t ANALYSIS_STACK_BYTES = size_t{64} << 20;

// Runs `work` on this thread and `threads` - 1 more, and waits for all of them. Where a thread
// cannot be started (a build without threads), the ones running do all the work.
template <class F>
void on_threads(int threads, F& work) {
  const auto run = [](void* w) -> void* {
    (*static_cast<F*>(w))();
    return nullptr;
  };
  std::vector<pthread_t> started;
  pthread_attr_t attr;
  const bool attr_ok =
      pthread_attr_init(&attr) == 0 && pthread_attr_setstacksize(&attr, ANALYSIS_STACK_BYTES) == 0;
  for (int i = 1; attr_ok && i < threads; ++i) {
    pthread_t t;
    if (pthread_create(&t, &attr, run, &work) != 0) break;
    started.push_back(t);
  }
  if (attr_ok) pthread_attr_destroy(&attr);
  work();
  for (pthread_t t : started) pthread_join(t, nullptr);
}

// Candidate `m` valued `alone`. The root search's value of its move can differ from the move's
// value alone (another window, a table filled by the moves before it): the engine's point shows
// the value the engine plays it for, so that it never reads lost where the engine plays it to
// win.
CandidateValue valued(const Move& m, const RootResult& engine, int alone) {
  const bool engine_point = m.row == engine.move.row && m.col == engine.move.col;
  return CandidateValue{m, engine_point ? engine.value : alone, alone};
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
    result.candidates.push_back(valued(result.moves[0], engine, engine.value));
    if (progress) progress(result);
    return result;
  }
  for (const Move& m : result.moves) {
    int alone = 0;
    result.stop = candidate_value(search, settings, board, side, level, m, start, alone);
    if (result.stop != STOP_NONE) break;
    result.candidates.push_back(valued(m, engine, alone));
    if (progress) progress(result);
  }
  return result;
}

AnalysisResult analyse_on_threads(const Search& search, const MatchSettings& settings,
                                  const Board& board, int side, int level, int threads) {
  const int start = search.clock_ms();
  AnalysisResult result;
  result.moves = root_moves(board, side, level, settings.rule);
  const int n = static_cast<int>(result.moves.size());
  if (n == 0) return result;

  // Task 0 is the engine's answer, task i the candidate moves[i - 1]; a single root move is
  // the generator's verdict and is not searched.
  std::vector<int> values(n, 0), stops(n, STOP_NONE);
  share_out(search, threads, n == 1 ? 1 : n + 1, [&](Search& own, int i) {
    if (i == 0) {
      Board played = board;  // the root search plays on it, and gives it back as it was
      result.engine = within_what_is_left(
          own, start, [&] { return root_search_detailed(own, settings, played, side, level); });
    } else {
      stops[i - 1] = candidate_value(own, settings, board, side, level, result.moves[i - 1], start,
                                     values[i - 1]);
    }
  });

  result.engine_known = result.engine.stop == STOP_NONE;
  if (!result.engine_known) {
    result.stop = result.engine.stop;
    return result;
  }
  if (n == 1) values[0] = result.engine.value;
  for (int i = 0; i < n; ++i) {
    if (stops[i] == STOP_NONE) {
      result.candidates.push_back(valued(result.moves[i], result.engine, values[i]));
    } else if (result.stop == STOP_NONE) {
      result.stop = stops[i];
    }
  }
  return result;
}

void share_out(const Search& like, int threads, int tasks,
               const std::function<void(Search&, int)>& task) {
  std::atomic<int> next{0};
  auto work = [&] {
    Search own;
    own.limits = like.limits;
    own.out = like.out;
    own.clock_us = like.clock_us;
    for (int i = next++; i < tasks; i = next++) task(own, i);
  };
  on_threads(std::clamp(threads, 1, std::max(1, tasks)), work);
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
