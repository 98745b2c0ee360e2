// Fixed-capacity lists of Moves and Candidates with a caller-owned count: the only containers
// of the move generator and the search, kept on the stack of the operation that owns them.
#pragma once

#include "board/point_threat.h"
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

inline Move move_of(const Candidate& c) {
  return Move{c.row, c.col, c.kind, c.forcing, c.main_only};
}

// Negative puts a first: fo, then th, then c, each descending. Nothing else takes part. The
// three compare at once as one point_sort_key.
inline int compare_candidates(const Candidate& a, const Candidate& b) {
  return point_sort_key(b.th, b.c, b.fo) - point_sort_key(a.th, a.c, a.fo);
}

// Stable, so candidates that compare equal keep their scan order and the engine plays the same
// everywhere. Insertion sort: the lists are short and it allocates nothing.
void sort_candidates(Candidate* list, int count);
