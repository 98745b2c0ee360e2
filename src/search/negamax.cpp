#include "search/negamax.h"

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdlib>

int64_t steady_clock_us() {
  static const auto start = std::chrono::steady_clock::now();
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() -
                                                               start)
      .count();
}

SearchWindow update_window(SearchWindow w, int row, int col, int dim) {
  w.row_from = std::min(w.row_from, std::max(row - 2, 0));
  w.col_from = std::min(w.col_from, std::max(col - 2, 0));
  w.row_to = std::max(w.row_to, std::min(row + 2, dim - 1));
  w.col_to = std::max(w.col_to, std::min(col + 2, dim - 1));
  return w;
}

void tt_store(Search& search, HashKey key, int value) {
  TranspositionTable& table = search.table;
  const int r = table.insert(key.h0, key.h1, value);
  if (r == 1) {
    // Same h0, whatever the h1: neither the old value nor the new one is kept.
    table.remove(key.h0);
  } else if (r == 2) {
    // The table cannot grow: a limit like time, so the search stops and answers.
    search.state.stop = STOP_MEMORY;
    return;
  }
  ++search.state.node_count;
}

bool hard_limit_reached(Search& search) {
  SearchState& st = search.state;
  st.stop_countdown = STOP_CHECK_NODES;
  if (search.limits.hard_ms == NO_TIME_LIMIT) return false;
  if (search.clock_ms() - st.clock_start < search.limits.hard_ms) return false;
  st.stop = STOP_TIME;
  return true;
}

void time_check(Search& search, const MatchSettings& settings) {
  SearchState& st = search.state;
  ++st.check_count;
  const int64_t now_us = search.clock_us();
  // The speed from the microsecond clock: a search of a few milliseconds read in whole
  // milliseconds is off by up to half. No finite speed from 0 us: count it as 1 us.
  const int64_t elapsed_us = std::max<int64_t>(now_us - st.clock_start_us, 1);
  const double nps = st.node_count * 1e6 / static_cast<double>(elapsed_us);
  st.nps = nps >= static_cast<double>(INT_MAX) ? INT_MAX : static_cast<int>(nps);
  // The drops compare whole milliseconds, as they always have; 0 ms counts as 1 ms.
  int elapsed = static_cast<int>(now_us / 1000) - st.clock_start;
  if (elapsed < 1) elapsed = 1;
  const double seconds = elapsed / 1000.0;

  if (st.level_request >= 0 || settings.timeout_turn <= 0 || st.search_level <= 0) return;
  // At most one drop per check: first by one level, then, with under a second left, to 0.
  if (st.level_drop == 0) {
    if (seconds > settings.timeout_turn * 2 / 3) {
      set_level(st, st.search_level - 1, search.out);
      st.level_drop = 1;
    }
  } else if (st.level_drop == 1) {
    if (settings.timeout_turn - seconds < 1) {
      set_level(st, 0, search.out);
      st.level_drop = 2;
    }
  }
}

int negamax(Search& search, const MatchSettings& settings, Position& pos, int side, int depth,
            int alpha, int beta, int forcing, int main_only, SearchWindow window,
            int parent_score) {
  // Step 0: the hard time limit. The value of a stopped node is never used.
  if (--search.state.stop_countdown == 0 && hard_limit_reached(search)) return 0;

  // Step 1: the generator's moves and the node's static score.
  Move moves[MOVE_LIST_CAPACITY];
  int score = 0;
  const int n = tah(pos, side, depth, moves, score, parent_score, forcing, main_only, window,
                    search.state.limits);

  // Steps 2-4: nodes the generator has settled.
  if (n == 0) return score - parent_score;
  if (score > 256) return score;
  if (n == 1 && (moves[0].kind == 3 || moves[0].kind == -3)) return score;

  // Step 5: the clock, once per 128 stored nodes.
  if (128 * search.state.check_count < search.state.node_count) time_check(search, settings);

  // Step 6: the moves in the generator's order; a probe hit stands for a finished child search
  // on the same stones with the same window, already in this node's view.
  RowHashes& keys = search.keys;
  const HashParts own_parts = keys.parts();  // the stores below are keyed on this position
  int best = alpha;
  for (int i = 0; i < n; ++i) {
    const Move& m = moves[i];
    // The child's key first, so that its slot in the table is on its way in while the stone
    // is placed: a probe that waits for memory costs more than the whole node besides.
    const RowHashes::Row row_before = keys.row(m.row);
    keys.add_stone(m.row, m.col, side);
    const HashKey key = hash_key(keys.parts(), best, beta);
    search.table.prefetch(key.h0);
    pos.place(m.row, m.col, side);
    const SearchWindow child = update_window(window, m.row, m.col, pos.dim());
    const TableEntry* e = search.table.find(key.h0);
    int v;
    if (e != nullptr && e->h1 == key.h1) {
      v = e->cena;
    } else {
      v = -negamax(search, settings, pos, -side, depth + 1, -beta, -best, m.forcing, m.main_only,
                   child, score);
    }
    pos.remove(m.row, m.col);
    keys.restore_row(m.row, row_before, own_parts);
    if (search.state.stop != STOP_NONE) return 0;  // neither trusted nor stored
    if (v > best) {
      if (v >= beta) {
        tt_store(search, hash_key(own_parts, -beta, -alpha), -beta);
        return beta;
      }
      best = v;
    }
  }

  // Step 7: stored under the key the parent probes with.
  tt_store(search, hash_key(own_parts, -beta, -alpha), -best);
  return best;
}
