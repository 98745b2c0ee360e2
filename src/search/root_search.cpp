// The root search: level choice, the root moves, the root loop and its result line.
#include "search/root_search.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "search/negamax.h"

int choose_level(int nps, double time_left, double timeout_turn) {
  const double limit = timeout_turn > time_left / 13 ? time_left / 13 : timeout_turn;
  if (nps == 0) return 0;
  for (int b = 0; b < 5; ++b) {
    if (static_cast<double>(NODE_BUDGETS[b]) / nps > limit) return b == 0 ? 0 : b - 1;
  }
  return 4;
}

SearchWindow root_window(const Board& board) {
  const int dim = board.dim;
  int min_row = dim - 1, max_row = 0, min_col = dim - 1, max_col = 0;
  for (int row = 0; row < dim; ++row) {
    for (int col = 0; col < dim; ++col) {
      if (board.at(row, col) != 1 && board.at(row, col) != -1) continue;
      if (row < min_row) min_row = row;
      if (row > max_row) max_row = row;
      if (col < min_col) min_col = col;
      if (col > max_col) max_col = col;
    }
  }
  return SearchWindow{min_row < 2 ? 0 : min_row - 2, max_row < dim - 2 ? max_row + 2 : dim - 1,
                      min_col < 2 ? 0 : min_col - 2, max_col < dim - 2 ? max_col + 2 : dim - 1};
}

std::string format_move(const Move& m) {
  char text[32];
  std::snprintf(text, sizeof text, "[%d,%d]", m.row, m.col);
  return text;
}

namespace {

bool first_empty(const Board& board, int row_from, int row_to, int col_from, int col_to,
                 Move& found) {
  for (int row = row_from; row <= row_to; ++row) {
    for (int col = col_from; col <= col_to; ++col) {
      if (board.at(row, col) == 0) {
        found = Move{row, col, 0, 0, 0};
        return true;
      }
    }
  }
  return false;
}

// Tells a person reading the manager's log that the move comes from a search cut short.
void report_stop(Search& search, int finished, int n) {
  if (search.state.stop == STOP_TIME) {
    std::fprintf(search.out, "MESSAGE Search stopped at its time limit of %d ms",
                 search.limits.hard_ms);
  } else {
    std::fprintf(search.out, "MESSAGE Search stopped at its memory limit, with a table of %d MiB",
                 static_cast<int>(search.table.bytes() >> 20));
  }
  std::fprintf(search.out, ": %d of %d root moves finished\n", finished, n);
}

void release_table(Search& search) {
  search.table.release();
  search.state.node_count = 1;
}

}  // namespace

RootResult root_search_detailed(Search& search, const MatchSettings& settings, Board& board,
                                int side, int level) {
  SearchState& st = search.state;
  // Steps 1-3: the clock, the level, its depth limits.
  st.clock_start_us = search.clock_us();
  st.clock_start = static_cast<int>(st.clock_start_us / 1000);
  st.check_count = 1;
  st.stop = STOP_NONE;
  st.stop_countdown = 1;  // the first node entered reads the clock: a spent limit stops at once
  st.level_request = level;
  if (level >= 0) {
    st.search_level = level;
  } else {
    st.level_drop = 0;
    st.search_level = choose_level(st.nps, settings.time_left, settings.timeout_turn);
  }
  set_level(st, st.search_level, search.out);

  // Step 4: the table, with the entry of a fresh tree.
  if (!search.table.create(search.limits.table_bytes)) {
    std::fputs("ERROR No memory for root of binary tree!\n", search.out);
    std::fflush(search.out);
    std::exit(1);
  }

  // Steps 5-7: the root window and the root moves. The search plays on its own analysed copy
  // of the board, so the game board is never touched.
  const SearchWindow window = root_window(board);
  Position pos(board, settings.rule);
  Move moves[MOVE_LIST_CAPACITY];
  int score = 0;
  const int n = tah(pos, side, 0, moves, score, 0, 2, 0, window, st.limits);

  // Step 8: nothing generated. While any cell is empty, play rather than forfeit the game.
  if (n == 0) {
    Move fallback;
    if (!first_empty(board, window.row_from, window.row_to, window.col_from, window.col_to,
                     fallback) &&
        !first_empty(board, 0, board.dim - 1, 0, board.dim - 1, fallback)) {
      std::fputs("MESSAGE No selected move, resign...\n", search.out);
      std::fflush(search.out);
      std::exit(0);
    }
    release_table(search);
    std::fflush(search.out);
    return RootResult{fallback, score, 0, 0};
  }

  // Step 9: a single move needs no search.
  if (n == 1) {
    release_table(search);
    return RootResult{moves[0], score, 0, 1};
  }

  // Step 10: the root loop. Each later move only has to beat the best so far; on equal values
  // the earlier move stays. A stop at a hard limit ends it: the move under way is dropped, and
  // the best of the finished ones stands (the first move when none has finished).
  int best = -1025;
  int bound = -1024;
  int chosen = 0;
  int finished = 0;
  search.keys.reset(search.hashes, board);
  const HashParts root_parts = search.keys.parts();
  for (int i = 0; i < n; ++i) {
    const Move& m = moves[i];
    pos.place(m.row, m.col, side);
    const RowHashes::Row row_before = search.keys.row(m.row);
    search.keys.update_row(pos.board(), m.row);
    const SearchWindow child = update_window(window, m.row, m.col, pos.dim());
    const int v = -negamax(search, settings, pos, -side, 1, -1024, -bound, m.forcing, m.main_only,
                           child, score);
    pos.remove(m.row, m.col);
    search.keys.restore_row(m.row, row_before, root_parts);
    if (st.stop != STOP_NONE) break;
    ++finished;
    if (v > best) {
      best = v;
      bound = v;
      chosen = i;
    }
  }

  // Steps 11-13: report, release, return.
  const int stop = st.stop;
  if (stop != STOP_NONE) report_stop(search, finished, n);
  if (finished > 0) {
    std::fprintf(search.out, "MESSAGE %s, val = %d\n", format_move(moves[chosen]).c_str(), best);
  }
  const int nodes = st.node_count;
  release_table(search);
  st.stop = STOP_NONE;
  std::fflush(search.out);
  return RootResult{moves[chosen], best, nodes, n, stop, finished};
}

Move root_search(Search& search, const MatchSettings& settings, Board& board, int side, int level) {
#ifndef NDEBUG
  const Board before = board;
#endif
  const Move m = root_search_detailed(search, settings, board, side, level).move;
#ifndef NDEBUG
  if (before.cells != board.cells) std::abort();  // the search must give the board back
#endif
  return m;
}

void benchmark(Search& search, const MatchSettings& settings, int dim) {
  static constexpr int STONES[8][3] = {{0, 0, 1},  {1, 1, -1}, {1, -1, 1}, {-1, 1, -1},
                                       {2, -1, 1}, {2, 1, -1}, {3, 1, 1},  {0, -1, -1}};
  Board scratch;
  scratch.dim = dim;
  clear_board(scratch);
  const int c = (dim - 1) / 2;
  for (const auto& s : STONES) scratch.at(c + s[0], c + s[1]) = s[2];
  // The speed measured must be the search's, not that of building its tables.
  Position::prepare_tables(settings.rule);
  // A small fixed search: the move's limits, whatever they were, do not apply to it.
  search.limits = SearchLimits{};
  SearchState& st = search.state;
  int64_t start = search.clock_us();
  int64_t nodes = root_search_detailed(search, settings, scratch, 1, 1).nodes;
  // One search takes a few milliseconds, the first of them with cold caches and a cold heap,
  // in which a busy scheduler weighs heavily too: the same search again, silently, until the
  // reading spans BENCHMARK_US, and the reading from those alone.
  std::FILE* const shown = search.out;
  std::FILE* const sink = null_stream();
  if (sink != nullptr) {
    search.out = sink;
    nodes = 0;
    start = search.clock_us();
    for (int i = 0; i < BENCHMARK_REPEATS && search.clock_us() - start < BENCHMARK_US; ++i) {
      nodes += root_search_detailed(search, settings, scratch, 1, 1).nodes;
    }
    search.out = shown;
  }
  st.nps = speed_reading(nodes, search.clock_us() - start);
  std::fprintf(search.out, "MESSAGE Benchmark, nps=%d\n", st.nps);
}

int speed_reading(int64_t nodes, int64_t elapsed_us) {
  const double nps =
      static_cast<double>(nodes) * 1e6 / static_cast<double>(std::max<int64_t>(elapsed_us, 1));
  return nps >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(nps);
}

std::FILE* null_stream() {
#ifdef _WIN32
  static std::FILE* const sink = std::fopen("NUL", "w");
#else
  static std::FILE* const sink = std::fopen("/dev/null", "w");
#endif
  return sink;
}
