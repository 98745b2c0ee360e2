// What a stone of a side on an empty point would threaten, condensed from its four lines.
#pragma once

#include "board/board.h"

struct PointThreat {
  int th;  // best own-stone count over the four lines: 4 makes five, 3 a four, 2 a three
  int c;   // `count` of the line that gave th
  int fo;  // 2: two or more strong lines at once, 1: two or more live lines, else 0
  int sm;  // direction index of the line that gave th; -1 when th is 0
};

// (fo, th, c) as one number that orders points as the move generator's sort does, fo first,
// then th, then c, higher first: 0 .. POINT_SORT_KEYS - 1.
constexpr int POINT_SORT_KEYS = 3 * 5 * 13;
constexpr int point_sort_key(int th, int c, int fo) { return (fo * 5 + th) * 13 + c + 7; }

// The point must lie on the board and be empty.
PointThreat classify_point(const Board& board, int row, int col, int side, int rule);
