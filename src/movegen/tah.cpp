// The threat-based move generator. Own points go to own_main (fours and open threes, later the
// extensions) or own_other; opponent points to opp_fives, opp_fours, opp_doubles or opp_other.
// A point can stand in one own and one opponent list and so reach the output twice.
#include "movegen/tah.h"

#include <algorithm>
#include <bit>

#include "movegen/forced_replies.h"

namespace {

int score_of(const Candidate& cand) {
  return SCORE_TABLE[9 * (cand.th - 1) + 3 * cand.fo + std::min(cand.c - 1, 2)];
}

void write_candidates(const Candidate* list, int n, Move* out, int& count) {
  for (int i = 0; i < n; ++i) {
    uloz_tah(list[i].row, list[i].col, list[i].kind, list[i].forcing, list[i].main_only, out,
             count);
  }
}

}  // namespace

int tah(const Position& pos, int side, int depth, Move* out, int& score, int parent_score,
        int forcing, int main_only, SearchWindow window, const SearchState& limits) {
  // Step 1: every list starts empty. Untouched stack costs nothing, so capacity is free.
  int n = 0;
  // Of own_other and opp_other only the head is ever read (step 5): at most the scored
  // candidates, and at most the largest list limit of opponent points.
  Candidate own_main[MOVE_LIST_CAPACITY];
  CandidateHead<SCORED_CANDIDATES> own_other;
  Candidate opp_fives[MOVE_LIST_CAPACITY];
  Candidate opp_fours[MOVE_LIST_CAPACITY];
  Candidate opp_doubles[MOVE_LIST_CAPACITY];
  CandidateHead<OPPONENT_LIMIT_MAX> opp_other;
  Move extensions[MOVE_LIST_CAPACITY];
  int n_main = 0, n_fives = 0, n_fours = 0, n_doubles = 0, n_ext = 0;
  const int opponent = -side;
  const int threat_forcing = forcing > 0 ? 1 : 0;  // what an open three or an extension passes on

  // Step 2: the empty points in row-major order, with their classes for both sides. Points
  // outside the position's candidate masks would enter no list, so only the masks are walked.
  const uint32_t columns = window.col_from > window.col_to
                               ? 0u
                               : ((2u << window.col_to) - 1) & ~((1u << window.col_from) - 1);
  for (int row = window.row_from; row <= window.row_to; ++row) {
    for (uint32_t bits = pos.candidate_mask(row) & columns; bits != 0; bits &= bits - 1) {
      const int col = std::countr_zero(bits);
      const PointThreat own = pos.threat(row, col, side);
      const PointThreat opp = pos.threat(row, col, opponent);
      if (own.th == 4) {  // the first own five point in scan order wins at once
        uloz_tah(row, col, 3, forcing, main_only, out, n);
        score = 1024 - depth;
        return 1;
      }
      if (own.th == 3) {
        if (depth <= EXTENSION_MAX_DEPTH && own.c == 1) {
          extension_moves(pos, Move{row, col, 0, 0, 0}, side, extensions, n_ext, own.sm);
        }
        uloz_tah_c(row, col, 2, forcing, main_only, 3, own.c, own.fo, own.sm, own_main, n_main);
      } else if (own.th == 2 && own.c >= 2) {
        uloz_tah_c(row, col, 1, threat_forcing, main_only, 2, own.c, own.fo, own.sm, own_main,
                   n_main);
      } else if (own.th >= 2 || own.c >= 2) {
        own_other.append(Candidate{row, col, 0, 0, main_only, own.th, own.c, own.fo, own.sm});
      }

      if (opp.th == 4) {
        uloz_tah_c(row, col, 0, 0, 0, 4, opp.c, opp.fo, opp.sm, opp_fives, n_fives);
      } else if (opp.th == 3 && (opp.c >= 2 || opp.fo == 2)) {
        uloz_tah_c(row, col, 0, 0, 0, 3, opp.c, opp.fo, opp.sm, opp_fours, n_fours);
      } else if (opp.fo == 2) {
        uloz_tah_c(row, col, 0, 0, 0, opp.th, opp.c, 2, opp.sm, opp_doubles, n_doubles);
      } else if (opp.th >= 2 || opp.c >= 2) {
        opp_other.append(Candidate{row, col, 0, 0, main_only, opp.th, opp.c, opp.fo, opp.sm});
      }
    }
  }

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

  // Step 5: best candidates first; the heads of own_other and opp_other are in order already.
  sort_candidates(own_main, n_main);
  const int n_other = own_other.count(), n_opp = opp_other.count();

  // Step 6: the static score of the best own candidates only.
  const int n1 = std::min(n_main, SCORED_CANDIDATES);
  const int n2 = std::min(n_other, SCORED_CANDIDATES - n1);
  for (int i = 0; i < n1; ++i) score += score_of(own_main[i]);
  for (int i = 0; i < n2; ++i) score += score_of(own_other.head()[i]);

  // Step 7: extensions go after the sorted main candidates, unscored, duplicates and all.
  for (int i = 0; i < n_ext; ++i) {
    uloz_tah_c(extensions[i].row, extensions[i].col, 1, threat_forcing, main_only, 0, 0, 0, 0,
               own_main, n_main);
  }

  // Step 8a: deep in the tree only own fours go on.
  if (depth > limits.three_limit) {
    if (forcing == 0) return 0;
    if (depth > limits.mixed_limit && forcing != 2) return 0;
    for (int i = 0; i < n_main; ++i) {
      if (own_main[i].kind == 2) uloz_tah(own_main[i].row, own_main[i].col, 2, own_main[i].forcing,
                                          own_main[i].main_only, out, n);
    }
    return n;
  }

  // Step 8b: the opponent threatens an open four: own fours, then the defences.
  if (n_fours > 0) {
    if (depth > limits.quiet_limit && forcing == 0) return 0;
    for (int i = 0; i < n_main; ++i) {
      if (own_main[i].kind == 2) uloz_tah(own_main[i].row, own_main[i].col, 2, own_main[i].forcing,
                                          1, out, n);
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
  if (depth > limits.quiet_limit) {
    if (forcing == 0) return 0;
    write_candidates(own_main, main_count, out, n);
    return n;
  }
  write_candidates(own_main, main_count, out, n);
  if (main_only != 0) return n;
  write_candidates(own_other.head(), own_total - main_count, out, n);
  write_candidates(opp_other.head(), opp_count, out, n);
  return n;
}

int tah(const Board& board, int side, int depth, Move* out, int& score, int parent_score,
        int forcing, int main_only, SearchWindow window, const SearchState& limits, int rule) {
  return tah(Position(board, rule), side, depth, out, score, parent_score, forcing, main_only,
             window, limits);
}
