// Fixed-capacity lists of Moves and Candidates with a caller-owned count: the only containers
// of the move generator and the search, kept on the stack of the operation that owns them.
#pragma once

#include "movegen/move.h"

// Room for every list a 20 x 20 board can produce: a scan list holds at most one entry per
// cell, an output list at most two per cell plus a few dozen defences.
constexpr int MOVE_LIST_CAPACITY = 1024;

// A point with its classification for the side it was classified for; the first five fields
// are exactly the Move written when the candidate is chosen.
struct Candidate {
  int row;
  int col;
  int kind;
  int forcing;
  int main_only;
  int th;
  int c;
  int fo;
  int sm;
};

[[noreturn]] void list_overflow(const char* who, int count);

// Appends a Move; a full list is fatal.
inline void uloz_tah(int row, int col, int kind, int forcing, int main_only, Move* list,
                     int& count) {
  if (count >= MOVE_LIST_CAPACITY) list_overflow("uloz_tah", count);
  list[count] = Move{row, col, kind, forcing, main_only};
  ++count;
}

inline void uloz_tah_c(int row, int col, int kind, int forcing, int main_only, int th, int c,
                       int fo, int sm, Candidate* list, int& count) {
  if (count >= MOVE_LIST_CAPACITY) list_overflow("uloz_tah_c", count);
  list[count] = Candidate{row, col, kind, forcing, main_only, th, c, fo, sm};
  ++count;
}

inline Move move_of(const Candidate& c) { return Move{c.row, c.col, c.kind, c.forcing, c.main_only}; }

// fo, then th, then c, packed so that a higher rank sorts first (c + 8 lies in 1..13).
inline int candidate_rank(int th, int c, int fo) { return fo << 8 | th << 4 | (c + 8); }
inline int candidate_rank(const Candidate& c) { return candidate_rank(c.th, c.c, c.fo); }

// Negative puts a first: fo, then th, then c, each descending. Nothing else takes part.
inline int compare_candidates(const Candidate& a, const Candidate& b) {
  if (a.fo != b.fo) return a.fo > b.fo ? -1 : 1;
  if (a.th != b.th) return a.th > b.th ? -1 : 1;
  if (a.c != b.c) return a.c > b.c ? -1 : 1;
  return 0;
}

// Stable, so candidates that compare equal keep their scan order and the engine plays the same
// everywhere. Insertion sort: the lists are short and it allocates nothing.
void sort_candidates(Candidate* list, int count);
