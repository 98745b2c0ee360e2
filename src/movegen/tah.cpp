// The threat-based move generator. Own points go to own_main (fours and open threes, later the
// extensions) or own_other; opponent points to opp_fives, opp_fours, opp_doubles or opp_other.
// A point can stand in one own and one opponent list and so reach the output twice.
//
// Which list a point joins follows from its class alone, and the position keeps those points
// as sets per side (see Position::listed), so each list walks just its own points, with no
// branch on a class. Most points of a window fall only into own_other or opp_other, of which
// little is read: their sizes, the score of the best own ones and, in the quiet case, the first
// few of each in sorted order. So those two lists keep just points and sort keys, and are
// ranked through a count of their keys only as far as a caller reads them.
#include "movegen/tah.h"

#include <algorithm>
#include <bit>

#include "movegen/forced_replies.h"

namespace {

// By point_sort_key: what a point of that class adds to the static score.
struct KeyTables {
  int8_t score[POINT_SORT_KEYS];
};

constexpr KeyTables make_key_tables() {
  KeyTables t{};
  for (int fo = 0; fo < 3; ++fo) {
    for (int th = 0; th < 5; ++th) {
      for (int c = -7; c <= 5; ++c) {
        const int index = 9 * (th - 1) + 3 * fo + std::min(c - 1, 2);
        t.score[point_sort_key(th, c, fo)] =
            static_cast<int8_t>(index >= 0 && index < 27 ? SCORE_TABLE[index] : 0);
      }
    }
  }
  return t;
}

constexpr KeyTables KEYS = make_key_tables();

int score_of(const Candidate& cand) {
  return SCORE_TABLE[9 * (cand.th - 1) + 3 * cand.fo + std::min(cand.c - 1, 2)];
}

void write_candidates(const Candidate* list, int n, Move* out, int& count) {
  for (int i = 0; i < n; ++i) {
    uloz_tah(list[i].row, list[i].col, list[i].kind, list[i].forcing, list[i].main_only, out,
             count);
  }
}

// own_other or opp_other: the points in scan order with their sort keys.
class LowerList {
 public:
  int size() const { return size_; }

  // Counts each key as it goes: cheaper than a pass over the list later.
  void append(int point, int key) {
    point_[size_] = static_cast<uint16_t>(point);
    key_[size_] = static_cast<uint8_t>(key);
    ++size_;
    ++count_[key];
    present_[key >> 6] |= uint64_t{1} << (key & 63);
  }

  // The static score of the first m points in sorted order.
  int score_of_head(int m) {
    int total = 0;
    if (size_ <= m) {
      for (int i = 0; i < size_; ++i) total += KEYS.score[key_[i]];
      return total;
    }
    for (int key = top_key(POINT_SORT_KEYS); m > 0 && key >= 0; key = top_key(key)) {
      const int take = std::min<int>(count_[key], m);
      total += take * KEYS.score[key];
      m -= take;
    }
    return total;
  }

  // Writes the first m points in sorted order, stable among equal keys, as Moves
  // (row, col, 0, 0, main_only).
  void write_head(int m, int main_only, Move* out, int& n) {
    if (m <= 0) return;
    // Where each key's points start in the head, for the keys that reach into it; the points of
    // every lower key, and those of the last key beyond the head, go to a spare slot at m.
    int start[POINT_SORT_KEYS];
    int taken = 0, lowest = POINT_SORT_KEYS;
    for (int key = top_key(POINT_SORT_KEYS); taken < m && key >= 0; key = top_key(key)) {
      start[key] = taken;
      taken += count_[key];
      lowest = key;
    }
    int spare = m;
    uint16_t head[MAX_POINTS + 1];
    for (int i = 0; i < size_; ++i) {
      int& slot = key_[i] >= lowest ? start[key_[i]] : spare;
      head[std::min(slot++, m)] = point_[i];
    }
    for (int i = 0; i < std::min(m, size_); ++i) {
      uloz_tah(head[i] / BOARD_STRIDE, head[i] % BOARD_STRIDE, 0, 0, main_only, out, n);
    }
  }

 private:
  static constexpr int MAX_POINTS = BOARD_STRIDE * BOARD_STRIDE;

  // The highest key below `below` that some point has, or -1.
  int top_key(int below) const {
    for (int word = (below - 1) >> 6; word >= 0; --word) {
      uint64_t bits = present_[word];
      if (word == (below - 1) >> 6 && (below & 63) != 0) bits &= (uint64_t{1} << (below & 63)) - 1;
      if (bits != 0) return word * 64 + 63 - std::countl_zero(bits);
    }
    return -1;
  }

  uint16_t point_[MAX_POINTS];
  uint8_t key_[MAX_POINTS];
  int size_ = 0;
  uint16_t count_[POINT_SORT_KEYS] = {};
  uint64_t present_[4] = {};
};

// The window's points as a Position::PointSet, and the words that hold any of them.
struct WindowSet {
  explicit WindowSet(const SearchWindow& window) {
    const int width = window.col_to - window.col_from + 1;
    if (width <= 0 || window.row_from > window.row_to) return;
    const uint64_t row_bits = (uint64_t{1} << width) - 1;
    for (int row = window.row_from; row <= window.row_to; ++row) {
      const int point = row * BOARD_STRIDE + window.col_from, shift = point & 63;
      bits[point >> 6] |= row_bits << shift;
      if (shift + width > 64) bits[(point >> 6) + 1] |= row_bits >> (64 - shift);
    }
    first = (window.row_from * BOARD_STRIDE + window.col_from) >> 6;
    last = (window.row_to * BOARD_STRIDE + window.col_to) >> 6;
  }

  // Calls f(point) for every point of `in` that is not in `out`, inside the window, in
  // row-major order, until f returns true; returns whether it did.
  template <class F>
  bool find_point(const Position::PointSet& in, const Position::PointSet& out, F f) const {
    for (int w = first; w <= last; ++w) {
      for (uint64_t b = in[w] & ~out[w] & bits[w]; b != 0; b &= b - 1) {
        if (f(w * 64 + std::countr_zero(b))) return true;
      }
    }
    return false;
  }

  Position::PointSet bits{};
  int first = 0, last = -1;
};

constexpr Position::PointSet NO_POINTS{};

}  // namespace

int tah(const Position& pos, int side, int depth, Move* out, int& score, int parent_score,
        int forcing, int main_only, SearchWindow window, const DepthLimits& limits) {
  // Step 1: every list starts empty. Untouched stack costs nothing, so capacity is free. The
  // long lists, own_other and opp_other, start where they are first needed, after step 4.
  int n = 0;
  Candidate own_main[MOVE_LIST_CAPACITY];
  Candidate opp_fives[MOVE_LIST_CAPACITY];
  Candidate opp_fours[MOVE_LIST_CAPACITY];
  Candidate opp_doubles[MOVE_LIST_CAPACITY];
  Move extensions[MOVE_LIST_CAPACITY];
  int n_main = 0, n_fives = 0, n_fours = 0, n_doubles = 0, n_ext = 0;
  const int opponent = -side;
  const int threat_forcing = forcing > 0 ? 1 : 0;  // what an open three or an extension passes on

  // Step 2: the empty points in row-major order, with their classes for both sides. The
  // position keeps, per side, which points each of the generator's lists takes, so each list
  // walks its own points. The short lists, which alone can end the node in steps 2 to 4, come
  // first; the long lists are read only for a node that goes on. Own points before opponent
  // points keeps every list in scan order and returns at the same first own five.
  const WindowSet in_window(window);
  const Position::PointSet& own_main_points = pos.own_main(side);
  const bool five = in_window.find_point(own_main_points, NO_POINTS, [&](int point) {
    const int row = point / BOARD_STRIDE, col = point % BOARD_STRIDE;
    const PointThreat own = pos.threat(row, col, side);
    if (own.th == 4) {  // the first own five point in scan order wins at once
      uloz_tah(row, col, 3, forcing, main_only, out, n);
      return true;
    }
    if (own.th == 3) {
      if (depth <= EXTENSION_MAX_DEPTH && own.c == 1) {
        extension_moves(pos, Move{row, col, 0, 0, 0}, side, extensions, n_ext, own.sm);
      }
      uloz_tah_c(row, col, 2, forcing, main_only, 3, own.c, own.fo, own.sm, own_main, n_main);
    } else {
      uloz_tah_c(row, col, 1, threat_forcing, main_only, 2, own.c, own.fo, own.sm, own_main,
                 n_main);
    }
    return false;
  });
  if (five) {
    score = 1024 - depth;
    return 1;
  }
  const Position::PointSet& opp_short_points = pos.opp_short(opponent);
  in_window.find_point(opp_short_points, NO_POINTS, [&](int point) {
    const int row = point / BOARD_STRIDE, col = point % BOARD_STRIDE;
    const PointThreat opp = pos.threat(row, col, opponent);
    if (opp.th == 4) {
      uloz_tah_c(row, col, 0, 0, 0, 4, opp.c, opp.fo, opp.sm, opp_fives, n_fives);
    } else if (opp.th == 3 && (opp.c >= 2 || opp.fo == 2)) {
      uloz_tah_c(row, col, 0, 0, 0, 3, opp.c, opp.fo, opp.sm, opp_fours, n_fours);
    } else {
      uloz_tah_c(row, col, 0, 0, 0, opp.th, opp.c, 2, opp.sm, opp_doubles, n_doubles);
    }
    return false;
  });

  // Step 3: opponent five points. One must be blocked; two or more lose.
  if (n_fives == 1) {
    uloz_tah(opp_fives[0].row, opp_fives[0].col, -2, forcing, main_only, out, n);
    score = parent_score - 1;
    return 1;
  }
  if (n_fives >= 2) {
    uloz_tah(opp_fives[0].row, opp_fives[0].col, -3, forcing, 1, out, n);
    score = depth - 1024;
    return 1;
  }

  // Step 4: own fours that cannot be stopped, in scan order. An open four that is also a
  // confirmed double threat is written twice.
  for (int i = 0; i < n_main; ++i) {
    const Candidate& cand = own_main[i];
    if (cand.th != 3) continue;
    if (cand.c >= 2) uloz_tah(cand.row, cand.col, cand.kind, cand.forcing, cand.main_only, out, n);
    if (cand.fo == 2 && verify_four_line(pos, move_of(cand), side)) {
      uloz_tah(cand.row, cand.col, cand.kind, cand.forcing, cand.main_only, out, n);
    }
  }
  if (n > 0) {
    score = 512 - depth;
    return n;
  }

  // The long lists in scan order. own_other scores every node that goes on; opp_other is read
  // only in the quiet case of step 8d, which the short lists and the depth already tell.
  const bool opp_read =
      depth <= limits.quiet_limit && n_fours == 0 && n_doubles == 0 && main_only == 0;
  LowerList own_other, opp_other;
  in_window.find_point(pos.listed(side), own_main_points, [&](int point) {
    own_other.append(point, pos.sort_key_at(point, side));
    return false;
  });
  if (opp_read) {
    in_window.find_point(pos.listed(opponent), opp_short_points, [&](int point) {
      opp_other.append(point, pos.sort_key_at(point, opponent));
      return false;
    });
  }

  // Step 5: best candidates first; own_other and opp_other are ranked as far as they are read.
  // own_main is sorted only once its order is read: a node that ends as a leaf below scores all
  // of own_main when it has no more than SCORED_CANDIDATES, in any order.
  const int n_sorted = n_main;
  bool sorted = false;
  auto sort_main = [&] {
    if (!sorted) sort_candidates(own_main, n_sorted);
    sorted = true;
  };
  if (n_main > SCORED_CANDIDATES) sort_main();
  const int n_other = own_other.size(), n_opp = opp_other.size();

  // Step 6: the static score of the best own candidates only.
  const int n1 = std::min(n_main, SCORED_CANDIDATES);
  const int n2 = std::min(n_other, SCORED_CANDIDATES - n1);
  for (int i = 0; i < n1; ++i) score += score_of(own_main[i]);
  score += own_other.score_of_head(n2);

  // Step 7: extensions go after the sorted main candidates, unscored, duplicates and all.
  for (int i = 0; i < n_ext; ++i) {
    uloz_tah_c(extensions[i].row, extensions[i].col, 1, threat_forcing, main_only, 0, 0, 0, 0,
               own_main, n_main);
  }

  // Step 8a: deep in the tree only own fours go on.
  if (depth > limits.three_limit) {
    if (forcing == 0) return 0;
    if (depth > limits.mixed_limit && forcing != 2) return 0;
    sort_main();
    for (int i = 0; i < n_main; ++i) {
      if (own_main[i].kind == 2)
        uloz_tah(own_main[i].row, own_main[i].col, 2, own_main[i].forcing, own_main[i].main_only,
                 out, n);
    }
    return n;
  }

  // Step 8b: the opponent threatens an open four: own fours, then the defences.
  if (n_fours > 0) {
    if (depth > limits.quiet_limit && forcing == 0) return 0;
    sort_main();
    for (int i = 0; i < n_main; ++i) {
      if (own_main[i].kind == 2)
        uloz_tah(own_main[i].row, own_main[i].col, 2, own_main[i].forcing, 1, out, n);
    }
    int target = 0;
    for (int i = 0; i < n_fours; ++i) {
      if (opp_fours[i].c == 2) target = i;
    }
    defence_moves(pos, move_of(opp_fours[target]), opponent, out, n, forcing);
    return n;
  }

  // Step 8c: the opponent threatens a double: the best own main candidates, then the defences.
  if (n_doubles > 0) {
    if (depth > limits.quiet_limit && forcing == 0) return 0;
    sort_main();
    n_main = std::min(n_main, MAIN_CANDIDATE_CUT);
    for (int i = 0; i < n_main; ++i) {
      uloz_tah(own_main[i].row, own_main[i].col, own_main[i].kind, own_main[i].forcing, 1, out, n);
    }
    defence_moves(pos, move_of(opp_doubles[0]), opponent, out, n, forcing);
    return n;
  }

  // Step 8d: no strong opponent threat.
  const int* list_limits = LIST_LIMITS[2 * std::min(depth, 2) + (score > parent_score ? 1 : 0)];
  const int own_total = std::min(n_main + n_other, list_limits[0]);
  const int main_count = std::min(n_main, MAIN_CANDIDATE_CUT);
  const int opp_count = std::min(n_opp, list_limits[1]);
  if (depth > limits.quiet_limit && forcing == 0) return 0;
  sort_main();
  write_candidates(own_main, main_count, out, n);
  if (depth > limits.quiet_limit) return n;
  if (main_only != 0) return n;
  own_other.write_head(own_total - main_count, main_only, out, n);
  opp_other.write_head(opp_count, main_only, out, n);
  return n;
}

int tah(const Board& board, int side, int depth, Move* out, int& score, int parent_score,
        int forcing, int main_only, SearchWindow window, const DepthLimits& limits, int rule) {
  return tah(Position(board, rule), side, depth, out, score, parent_score, forcing, main_only,
             window, limits);
}
